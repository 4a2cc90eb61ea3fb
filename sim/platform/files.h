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
// Writes in place, as a program that opens the file and writes it does (the plug-in's host); what
// the tools write goes through WholeFile instead.
Status WriteFileBytes(const std::filesystem::path& path, const std::string& bytes);

// A file written whole or not at all. The bytes go to a temporary name in the target's folder (so
// the rename stays on one file system), covered by the temporary-path registry so that a signal
// removes it too; Commit renames it over the target, with the permissions an earlier file had. A
// reader, or a run interrupted at any point, finds the earlier file or the new one, never part of
// one, and no part under any other name. A link is followed to the file it names; a target that
// exists but is no regular file (a device, a FIFO) has no earlier bytes to keep and is written in
// place. Not committed, the temporary file goes when the object does.
class WholeFile {
public:
    explicit WholeFile(const std::filesystem::path& target);
    ~WholeFile();
    WholeFile(const WholeFile&) = delete;
    WholeFile& operator=(const WholeFile&) = delete;

    // Where the bytes go: the temporary name (absolute), or the target itself when written in place.
    const std::filesystem::path& path() const { return writeTo_; }
    // Puts the file in place; a failure names the target as the user gave it.
    Status Commit();

private:
    std::string given_;
    std::filesystem::path target_;
    std::filesystem::path writeTo_;
    bool pending_ = false;  // a temporary file of ours is there
};

// The one way the tools write a file: write(where) writes the bytes to `where` and returns why it
// could not; then the file is put in place (WholeFile).
template <typename Write>
Status WriteWholeFile(const std::filesystem::path& path, Write write) {
    WholeFile file(path);
    if (Status written = write(file.path()); !written) return written;
    return file.Commit();
}
// The bytes as a whole file; a failure reads "cannot write PATH: reason".
Status WriteWholeFileBytes(const std::filesystem::path& path, const std::string& bytes);
// The lines of a text, without their LF or CRLF ends; a final line end adds no empty line.
std::vector<std::string> SplitLines(const std::string& text);

}  // namespace sim
