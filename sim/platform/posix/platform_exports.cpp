// The three Windows platform functions for a plug-in built for POSIX: the tick count and key
// state of the simulated host, and the profile-string lookup over the INI file read from disk,
// recorded in the active host.
#include <cstdio>
#include <optional>
#include <string>

#include "host/platform.h"
#include "sim/ini/ini_lookup.h"
#include "sim/host/virtual_platform.h"

namespace {

// The whole file, or nullopt when it cannot be read (missing, a directory, no permission).
std::optional<std::string> ReadFileText(const char* path) {
    if (path == nullptr) return std::nullopt;
    FILE* file = std::fopen(path, "rb");
    if (file == nullptr) return std::nullopt;
    std::string text;
    char buffer[4096];
    size_t got;
    while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0) text.append(buffer, got);
    const bool readFailed = std::ferror(file) != 0;
    std::fclose(file);
    if (readFailed) return std::nullopt;
    return text;
}

}  // namespace

// Each lookup is recorded in the active host, so tests see which settings the plug-in asked for and
// what it got (under Wine the system's own lookup answers, so nothing is recorded there).
extern "C" DWORD GetPrivateProfileStringA(LPCSTR section, LPCSTR key, LPCSTR fallback, LPSTR out, DWORD size,
                                          LPCSTR path) {
    const DWORD copied = sim::LookupProfileString(ReadFileText(path), section, key, fallback, out, size);
    sim::RecordSettingsLookup(section, key, fallback, out, size, copied);
    return copied;
}

extern "C" DWORD GetTickCount(void) { return sim::VirtualTickCount(); }

extern "C" short GetAsyncKeyState(int virtualKey) { return sim::VirtualKeyState(virtualKey); }
