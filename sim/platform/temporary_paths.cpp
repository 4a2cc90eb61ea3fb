// The registry a signal handler reads: fixed storage, filled and emptied outside the handler by the
// tool's one thread, read inside it with nothing but remove() (unlink or rmdir).
#include "sim/platform/temporary_paths.h"

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <system_error>

#include "sim/input_limits.h"
#include "sim/platform/files.h"

namespace sim {

namespace {

constexpr size_t kMaxPaths = 32;
constexpr size_t kMaxRegisteredPathBytes = 1024;

char registered[kMaxPaths][kMaxRegisteredPathBytes];
volatile std::sig_atomic_t registeredCount = 0;

void RemoveProcessTemporaryFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(ProcessTemporaryFolder(), ignored);
    ForgetTemporaryPath(ProcessTemporaryFolder());
}

// The variables naming the system's temporary folder, in the order the platform reads them.
#ifdef _WIN32
const char* const kTemporaryFolderVariables[] = {"TMP", "TEMP"};
#else
const char* const kTemporaryFolderVariables[] = {"TMPDIR"};
#endif

// What is wrong with a folder named to hold temporary files, or nothing.
std::string FolderProblem(const std::filesystem::path& folder) {
    std::error_code error;
    const std::filesystem::file_status status = std::filesystem::status(folder, error);
    if (status.type() == std::filesystem::file_type::directory) return "";
    if (status.type() == std::filesystem::file_type::not_found) return "does not exist";
    if (error) return "cannot be used: " + error.message();
    return "is not a folder";
}

}  // namespace

Result<std::filesystem::path> TemporaryFolderParent() {
    for (const char* variable : kTemporaryFolderVariables) {
        const char* value = std::getenv(variable);
        if (value == nullptr) continue;
        const std::string named = std::string(variable) + "=" + QuoteInput(value);
        if (*value == '\0') return Failure(named + " is empty: set it to a folder for temporary files, or unset it");
        const std::string problem = FolderProblem(value);
        if (!problem.empty()) return Failure(named + " " + problem + ": set it to a folder for temporary files");
        return std::filesystem::path(value);
    }
    std::error_code error;
    const std::filesystem::path system = std::filesystem::temp_directory_path(error);
    if (error) return Failure("the system's temporary folder cannot be used: " + error.message());
    return system;
}

const std::filesystem::path& ProcessTemporaryFolder() {
    static const std::filesystem::path folder = [] {
        const Result<std::filesystem::path> parent = TemporaryFolderParent();
        if (!parent) throw UnusableTemporaryFolder(parent.error());
        std::filesystem::path made;
        try {
            made = MakeTempDirectory("kov-", *parent);
        } catch (const std::filesystem::filesystem_error& error) {
            throw UnusableTemporaryFolder("cannot make a temporary folder in " + QuoteInput(parent->string()) + " (" +
                                          kTemporaryFolderVariables[0] + "): " + error.code().message());
        }
        RegisterTemporaryPath(made);
        return made;
    }();
    // Registered after the folder is made, so it runs before the path itself is destroyed.
    static const int removedAtExit = std::atexit(RemoveProcessTemporaryFolder);
    (void)removedAtExit;
    return folder;
}

void RegisterTemporaryPath(const std::filesystem::path& path) {
    const std::string text = path.string();
    if (registeredCount >= static_cast<std::sig_atomic_t>(kMaxPaths) || text.size() >= kMaxRegisteredPathBytes) return;
    std::memcpy(registered[registeredCount], text.c_str(), text.size() + 1);
    registeredCount = registeredCount + 1;
}

// The slot is emptied by its first byte, which a handler reads as "skip"; the count then drops
// past empty slots at the top. Entries never move, so a handler never reads half a path.
void ForgetTemporaryPath(const std::filesystem::path& path) {
    const std::string text = path.string();
    for (std::sig_atomic_t i = registeredCount; i > 0; --i) {
        if (text == registered[i - 1]) {
            registered[i - 1][0] = '\0';
            break;
        }
    }
    while (registeredCount > 0 && registered[registeredCount - 1][0] == '\0') registeredCount = registeredCount - 1;
}

void RemoveRegisteredTemporaryPaths() {
    for (std::sig_atomic_t i = registeredCount; i > 0; --i) {
        if (registered[i - 1][0] != '\0') std::remove(registered[i - 1]);
    }
}

TemporaryWorkDirectory::TemporaryWorkDirectory(const std::string& prefix)
    : path_(MakeTempDirectory(prefix, ProcessTemporaryFolder())) {
    RegisterTemporaryPath(path_);
    RegisterTemporaryPath(path_ / "KOV.ini");
    RegisterTemporaryPath(path_ / "KOV.log");
}

TemporaryWorkDirectory::~TemporaryWorkDirectory() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
    ForgetTemporaryPath(path_ / "KOV.log");
    ForgetTemporaryPath(path_ / "KOV.ini");
    ForgetTemporaryPath(path_);
}

}  // namespace sim
