// The registry a signal handler reads: fixed storage, filled and emptied outside the handler by the
// tool's one thread, read inside it with nothing but remove() (unlink or rmdir).
#include "sim/platform/temporary_paths.h"

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <system_error>

#include "sim/platform/files.h"

namespace sim {

namespace {

constexpr size_t kMaxPaths = 32;
constexpr size_t kMaxPathBytes = 1024;

char registered[kMaxPaths][kMaxPathBytes];
volatile std::sig_atomic_t registeredCount = 0;

void RemoveProcessTemporaryFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(ProcessTemporaryFolder(), ignored);
    ForgetTemporaryPath(ProcessTemporaryFolder());
}

}  // namespace

const std::filesystem::path& ProcessTemporaryFolder() {
    static const std::filesystem::path folder = [] {
        const std::filesystem::path made = MakeTempDirectory("kov-");
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
    if (registeredCount >= static_cast<std::sig_atomic_t>(kMaxPaths) || text.size() >= kMaxPathBytes) return;
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
