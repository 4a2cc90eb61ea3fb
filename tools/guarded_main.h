// Every tool's main runs its work through GuardedMain. Signals that end the process (Ctrl+C, kill,
// a crash inside the plug-in) first remove the tool's temporary files, then take their usual
// course. A closed output pipe is no signal here: the write fails, and the tool ends with exit
// status 1 and a message, as on a full disk. An exception nothing else caught (out of memory, a
// library's error) ends the tool with one line on stderr and exit status 1, never with an abort;
// objects on the way out are destroyed, so temporary files go too.
#pragma once

#include <cstdio>
#include <exception>
#include <new>
#include <string>

#include "sim/platform/temporary_paths.h"
#include "sim/result.h"

namespace tools {

constexpr int kExitUnexpected = 1;
constexpr int kExitWriteFailed = 1;

// Installs the clean-up on the ending signals the platform has (one table, in the .cpp); a signal
// the program was started with ignored stays ignored. SIGPIPE is ignored, so writes to a closed
// pipe fail instead.
void RemoveTemporaryFilesOnSignals();

// "tool: message" on stderr, on one line with any control character escaped (sim::TerminalText).
void PrintFailure(const char* tool, const std::string& message);

// Whether everything written to stdout so far has gone out; the failure names why not ("cannot
// write the standard output: No space left on device"). Flush first to know for sure.
sim::Status CheckStandardOutput();
// Flushes stdout and checks it: what a tool does before it exits.
sim::Status FinishStandardOutput();

template <typename Work>
int GuardedMain(const char* tool, Work work) {
    RemoveTemporaryFilesOnSignals();
    int status = kExitUnexpected;
    try {
        status = work();
    } catch (const std::bad_alloc&) {
        PrintFailure(tool, "out of memory");
    } catch (const sim::UnusableTemporaryFolder& error) {
        PrintFailure(tool, error.what());
    } catch (const std::exception& error) {
        PrintFailure(tool, std::string("unexpected error: ") + error.what());
    } catch (...) {
        PrintFailure(tool, "unexpected error");
    }
    if (const sim::Status written = FinishStandardOutput(); !written) {
        PrintFailure(tool, written.error());
        return kExitWriteFailed;
    }
    return status;
}

}  // namespace tools
