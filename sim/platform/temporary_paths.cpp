// The registry the signal handlers read: fixed storage, filled and emptied outside the handlers by
// the tool's one thread, read inside them with nothing but remove() (unlink or rmdir) and the
// re-raise.
#include "sim/platform/temporary_paths.h"

#include <csignal>
#include <cstdio>
#include <cstring>
#include <iterator>
#include <system_error>

#include "sim/platform/files.h"

namespace sim {

namespace {

constexpr size_t kMaxPaths = 32;
constexpr size_t kMaxPathBytes = 1024;

char registered[kMaxPaths][kMaxPathBytes];
volatile std::sig_atomic_t registeredCount = 0;

// The signals that end a process by default and can be caught, as the platform has them.
const int kEndingSignals[] = {
    SIGINT, SIGTERM, SIGABRT, SIGSEGV, SIGFPE, SIGILL,
#ifdef SIGHUP
    SIGHUP,
#endif
#ifdef SIGQUIT
    SIGQUIT,
#endif
#ifdef SIGPIPE
    SIGPIPE,
#endif
#ifdef SIGBUS
    SIGBUS,
#endif
};

extern "C" void RemoveRegisteredAndRaise(int signal) {
    for (std::sig_atomic_t i = registeredCount; i > 0; --i) {
        if (registered[i - 1][0] != '\0') std::remove(registered[i - 1]);
    }
    std::signal(signal, SIG_DFL);
    std::raise(signal);
}

void InstallHandlersOnce() {
    static bool installed = false;
    if (installed) return;
    installed = true;
    for (int signal : kEndingSignals) {
        // A signal the program chose to ignore stays ignored.
        if (std::signal(signal, RemoveRegisteredAndRaise) == SIG_IGN) std::signal(signal, SIG_IGN);
    }
}

}  // namespace

void RegisterTemporaryPath(const std::filesystem::path& path) {
    const std::string text = path.string();
    InstallHandlersOnce();
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

TemporaryWorkDirectory::TemporaryWorkDirectory(const std::string& prefix) : path_(MakeTempDirectory(prefix)) {
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
