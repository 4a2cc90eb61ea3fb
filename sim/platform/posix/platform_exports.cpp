// The three Windows platform functions for a plug-in built for POSIX: the tick count and key
// state of the simulated host, and the profile-string lookup over the INI file on disk
// (sim/ini/ini_lookup.h), recorded in the active host.
#include "host/platform.h"
#include "sim/game/virtual_platform.h"
#include "sim/ini/ini_lookup.h"

// Each lookup is recorded in the active host, so tests see which settings the plug-in asked for and
// what it got (under Wine the system's own lookup answers, so nothing is recorded there).
extern "C" DWORD GetPrivateProfileStringA(LPCSTR section, LPCSTR key, LPCSTR fallback, LPSTR out, DWORD size,
                                          LPCSTR path) {
    const DWORD copied = sim::LookupProfileFile(path, section, key, fallback, out, size);
    sim::RecordSettingsLookup(section, key, fallback, out, size, copied);
    return copied;
}

extern "C" DWORD GetTickCount(void) { return sim::VirtualTickCount(); }

extern "C" short GetAsyncKeyState(int virtualKey) { return sim::VirtualKeyState(virtualKey); }
