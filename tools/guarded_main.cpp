// The tools' signal handler: the registered temporary paths go, then the signal is raised again
// with its default action, so the process ends as it would have. And the check of stdout.
#include "tools/guarded_main.h"

#include <cerrno>
#include <csignal>
#include <cstring>
#include <string>

#include "sim/game/text_escape.h"
#include "sim/platform/temporary_paths.h"

namespace tools {

namespace {

// The signals whose default action ends the process and that a program may catch, as the
// platform has them: each removes the temporary paths first. SIGPIPE is not among them: it is
// ignored, so a write to a closed pipe fails and the tool says so (and cleans up on its way out).
const int kEndingSignals[] = {
    SIGINT,    SIGTERM, SIGABRT, SIGSEGV, SIGFPE,  SIGILL,
#ifndef _WIN32
    SIGHUP,    SIGQUIT, SIGBUS,  SIGALRM, SIGUSR1, SIGUSR2, SIGVTALRM, SIGPROF, SIGXCPU, SIGXFSZ, SIGSYS, SIGTRAP,
#endif
#ifdef SIGPOLL
    SIGPOLL,
#endif
#ifdef SIGSTKFLT
    SIGSTKFLT,
#endif
#ifdef SIGPWR
    SIGPWR,
#endif
#ifdef SIGLOST
    SIGLOST,
#endif
#ifdef SIGEMT
    SIGEMT,
#endif
};

extern "C" void RemoveTemporaryFilesAndRaise(int signal) {
    sim::RemoveRegisteredTemporaryPaths();
    std::signal(signal, SIG_DFL);
    std::raise(signal);
}

// A signal the program was started with ignored stays ignored.
void CatchEndingSignal(int signal) {
    if (std::signal(signal, RemoveTemporaryFilesAndRaise) == SIG_IGN) std::signal(signal, SIG_IGN);
}

}  // namespace

void RemoveTemporaryFilesOnSignals() {
    for (int signal : kEndingSignals) CatchEndingSignal(signal);
#ifdef SIGRTMIN
    // The real-time signals end a process by default too; their numbers are known only at run time.
    for (int signal = SIGRTMIN; signal <= SIGRTMAX; ++signal) CatchEndingSignal(signal);
#endif
#ifdef SIGPIPE
    std::signal(SIGPIPE, SIG_IGN);
#endif
}

void PrintFailure(const char* tool, const std::string& message) {
    std::fprintf(stderr, "%s: %s\n", tool, sim::TerminalText(message).c_str());
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
