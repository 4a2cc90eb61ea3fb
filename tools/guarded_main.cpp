// The tools' signal handler: the registered temporary paths go, then the signal is raised again
// with its default action, so the process ends as it would have.
#include "tools/guarded_main.h"

#include <csignal>

#include "sim/platform/temporary_paths.h"

namespace tools {

namespace {

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
}

}  // namespace tools
