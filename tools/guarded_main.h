// Every tool's main runs its work through GuardedMain. Signals that end the process (Ctrl+C, kill,
// a closed output pipe, a crash inside the plug-in) first remove the tool's temporary files, then
// take their usual course. An exception nothing else caught (out of memory, a library's error)
// ends the tool with one line on stderr and exit status 1, never with an abort; objects on the way
// out are destroyed, so temporary files go too.
#pragma once

#include <cstdio>
#include <exception>
#include <new>

namespace tools {

constexpr int kExitUnexpected = 1;

// Installs the clean-up on the ending signals the platform has; a signal the program was started
// with ignored stays ignored.
void RemoveTemporaryFilesOnSignals();

template <typename Work>
int GuardedMain(const char* tool, Work work) {
    RemoveTemporaryFilesOnSignals();
    try {
        return work();
    } catch (const std::bad_alloc&) {
        std::fprintf(stderr, "%s: out of memory\n", tool);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "%s: unexpected error: %s\n", tool, error.what());
    } catch (...) {
        std::fprintf(stderr, "%s: unexpected error\n", tool);
    }
    return kExitUnexpected;
}

}  // namespace tools
