// The tools' signal handler: the registered temporary paths go, then the signal is raised again
// with its default action, so the process ends as it would have. And the check of stdout.
#include "tools/guarded_main.h"

#include <cerrno>
#include <csignal>
#include <cstring>
#include <string>

#include "sim/platform/temporary_paths.h"

namespace tools {

namespace {

// The signals that end a process by default and can be caught, as the platform has them.
const int kEndingSignals[] = {
    SIGINT,  SIGTERM, SIGABRT, SIGSEGV, SIGFPE, SIGILL,
#ifdef SIGHUP
    SIGHUP,
#endif
#ifdef SIGQUIT
    SIGQUIT,
#endif
#ifdef SIGBUS
    SIGBUS,
#endif
};

extern "C" void RemoveTemporaryFilesAndRaise(int signal) {
    sim::RemoveRegisteredTemporaryPaths();
    std::signal(signal, SIG_DFL);
    std::raise(signal);
}

}  // namespace

void RemoveTemporaryFilesOnSignals() {
    for (int signal : kEndingSignals) {
        if (std::signal(signal, RemoveTemporaryFilesAndRaise) == SIG_IGN) std::signal(signal, SIG_IGN);
    }
#ifdef SIGPIPE
    std::signal(SIGPIPE, SIG_IGN);
#endif
}

// The first failure is kept with the reason the failing write left in errno, which a later call
// would overwrite: callers check right after they write.
sim::Status CheckStandardOutput() {
    static std::string failure;
    if (failure.empty() && std::ferror(stdout))
        failure = std::string("cannot write the standard output: ") + std::strerror(errno);
    if (failure.empty()) return {};
    return sim::Failure(failure);
}

sim::Status FinishStandardOutput() {
    std::fflush(stdout);
    return CheckStandardOutput();
}

}  // namespace tools
