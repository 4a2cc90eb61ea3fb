// The platform functions the plug-in uses, answered from the active host: the tick count is the
// virtual clock and the key state comes from the world's scripted keys. POSIX exports them under
// their Windows names; on Windows the plug-in's imports are patched to reach them. Settings
// lookups are recorded in the active host where the simulated host answers them (POSIX only), and
// the world's read-only folder and lock of KOV.ini answered from there too.
#pragma once

#include <cstdint>

namespace sim {

// The active host's clock in milliseconds; 0 without a host.
uint32_t VirtualTickCount();
// 0x8000 (bit 15, "down") when the world holds the virtual key down, else 0.
short VirtualKeyState(int virtualKey);
// Tells the active host of a settings lookup the simulated host answered: the arguments, and the
// copied characters of out as the text handed out.
// Why the world keeps the plug-in from its settings file: 32 (sharing violation) while KOV.ini is
// locked, for reading and writing; 5 (access denied) for writing while the folder is read-only; else 0.
uint32_t SettingsFileRefusal(bool writing);
// The calling thread's last error as the virtual platform functions set it.
uint32_t VirtualLastError();
void SetVirtualLastError(uint32_t error);
void RecordSettingsLookup(const char* section, const char* key, const char* fallback, const char* out, uint32_t size,
                          uint32_t copied);

}  // namespace sim
