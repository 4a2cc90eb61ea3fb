// Small file-system helpers shared by the scenario runner, the tools and the tests: temporary work
// directories, a scoped change of the current directory, and whole-file reads and writes.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace sim {

// Creates a new, empty directory under the system's temporary directory.
std::filesystem::path MakeTempDirectory(const std::string& prefix);

// Makes a directory the current one for its lifetime, then restores the previous one.
struct ScopedCurrentDirectory {
    explicit ScopedCurrentDirectory(const std::filesystem::path& dir);
    ~ScopedCurrentDirectory();
    ScopedCurrentDirectory(const ScopedCurrentDirectory&) = delete;
    ScopedCurrentDirectory& operator=(const ScopedCurrentDirectory&) = delete;
    std::filesystem::path previous;
};

// The file's bytes, or nullopt when it cannot be read.
std::optional<std::string> ReadFileBytes(const std::filesystem::path& path);
// Why ReadFileBytes failed, for messages: "no such file", "a folder, not a file", ...
std::string UnreadableFileReason(const std::filesystem::path& path);
bool WriteFileBytes(const std::filesystem::path& path, const std::string& bytes);
// The lines of a text, without their LF or CRLF ends; a final line end adds no empty line.
std::vector<std::string> SplitLines(const std::string& text);

}  // namespace sim
