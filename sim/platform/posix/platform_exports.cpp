// The five Windows platform functions for a plug-in built for POSIX: the tick count and key state
// of the simulated host, the profile-string lookup and writer over the INI file on disk
// (sim/ini/ini_lookup.h, sim/ini/profile_writer.h) as the world lets the plug-in reach it, and the
// last error they leave.
#include "host/platform.h"
#include "sim/game/virtual_platform.h"
#include "sim/ini/ini_lookup.h"
#include "sim/ini/profile_writer.h"

// Each lookup is recorded in the active host, so tests see which settings the plug-in asked for and
// what it got (under Wine the system's own lookup answers, so nothing is recorded there). A locked
// file is no file to the lookup.
extern "C" DWORD GetPrivateProfileStringA(LPCSTR section, LPCSTR key, LPCSTR fallback, LPSTR out, DWORD size,
                                          LPCSTR path) {
    const uint32_t refusal = sim::SettingsFileRefusal(false);
    const DWORD copied = refusal != 0 ? sim::LookupProfileString(std::nullopt, section, key, fallback, out, size)
                                      : sim::LookupProfileFile(path, section, key, fallback, out, size);
    sim::SetVirtualLastError(refusal);
    sim::RecordSettingsLookup(section, key, fallback, out, size, copied);
    return copied;
}

extern "C" BOOL WritePrivateProfileStringA(LPCSTR section, LPCSTR key, LPCSTR value, LPCSTR path) {
    const uint32_t refusal = sim::SettingsFileRefusal(true);
    const uint32_t error = refusal != 0 ? refusal : sim::WriteProfileValueToFile(path, section, key, value);
    sim::SetVirtualLastError(error);
    return error == 0 ? 1 : 0;
}

extern "C" DWORD GetLastError(void) { return sim::VirtualLastError(); }

extern "C" DWORD GetTickCount(void) { return sim::VirtualTickCount(); }

extern "C" short GetAsyncKeyState(int virtualKey) { return sim::VirtualKeyState(virtualKey); }
