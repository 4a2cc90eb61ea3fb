// Small file-system helpers shared by the scenario runner, the tools and the tests: temporary work
// directories, a scoped change of the current directory, and whole-file reads and writes.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "sim/result.h"

namespace sim {

// Creates a new, empty directory under the system's temporary directory, or under parent.
std::filesystem::path MakeTempDirectory(const std::string& prefix);
std::filesystem::path MakeTempDirectory(const std::string& prefix, const std::filesystem::path& parent);

// Makes a directory the current one for its lifetime, then restores the previous one.
struct ScopedCurrentDirectory {
    explicit ScopedCurrentDirectory(const std::filesystem::path& dir);
    ~ScopedCurrentDirectory();
    ScopedCurrentDirectory(const ScopedCurrentDirectory&) = delete;
    ScopedCurrentDirectory& operator=(const ScopedCurrentDirectory&) = delete;
    std::filesystem::path previous;
};

// The file's bytes, or nullopt when it cannot be read or is not a regular file.
std::optional<std::string> ReadFileBytes(const std::filesystem::path& path);
// A regular file (or a link to one), or why not, for messages: "no such file", "a folder, not a
// file", "a FIFO (named pipe), not a regular file", ... The check opens nothing.
Status CheckRegularFile(const std::filesystem::path& path);
// The bytes of a file a tool was given, at most maxBytes (sim/input_limits.h), or why not.
Result<std::string> ReadInputFile(const std::filesystem::path& path, uint64_t maxBytes);
Status WriteFileBytes(const std::filesystem::path& path, const std::string& bytes);
// The lines of a text, without their LF or CRLF ends; a final line end adds no empty line.
std::vector<std::string> SplitLines(const std::string& text);

}  // namespace sim
