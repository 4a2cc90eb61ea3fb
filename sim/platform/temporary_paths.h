// Temporary files and folders of the tools (work folders, private copies of the plug-in) all go
// inside one folder per process, which is removed on every way out that can be caught: on a normal
// exit (also after an exception ended main), by their owners on return and while an exception
// unwinds, and by a program's signal handler when a signal ends the process (the tools and the
// benchmarks install one in main: tools/guarded_main.h). The handler removes what is registered here.
#pragma once

#include <filesystem>
#include <stdexcept>
#include <string>

#include "sim/result.h"

namespace sim {

// The folder the process's temporary folder goes in: $TMPDIR when it is set (TMP or TEMP on
// Windows), which must then name a folder, else the system's. A failure is one line naming the
// variable and its value: TMPDIR="" is empty, TMPDIR="/x" does not exist, ... Looks only.
Result<std::filesystem::path> TemporaryFolderParent();

// What ProcessTemporaryFolder throws when TemporaryFolderParent fails; the tools print its one line.
struct UnusableTemporaryFolder : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// The process's temporary folder under the system's temporary folder, made on first use and
// removed with all it holds at exit. Throws UnusableTemporaryFolder when there is no place for it.
const std::filesystem::path& ProcessTemporaryFolder();

// Registered paths are removed newest first, so a folder's files go before the folder. At most
// 32 at a time; a path that does not fit is simply not covered on a signal.
void RegisterTemporaryPath(const std::filesystem::path& path);
void ForgetTemporaryPath(const std::filesystem::path& path);
// Removes every registered path, newest first. Safe in a signal handler: it only calls remove().
void RemoveRegisteredTemporaryPaths();

// A fresh folder inside the process's temporary folder for one run: the plug-in's KOV.ini and
// KOV.log inside it are covered too. Removed with all it holds when it goes out of scope.
class TemporaryWorkDirectory {
public:
    explicit TemporaryWorkDirectory(const std::string& prefix);
    ~TemporaryWorkDirectory();
    TemporaryWorkDirectory(const TemporaryWorkDirectory&) = delete;
    TemporaryWorkDirectory& operator=(const TemporaryWorkDirectory&) = delete;
    const std::filesystem::path& path() const { return path_; }

private:
    std::filesystem::path path_;
};

}  // namespace sim
