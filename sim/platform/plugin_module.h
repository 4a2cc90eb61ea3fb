// Loading the plug-in as the operating system would: a fresh copy of the library per load, with
// its entry point called for process attach and detach. POSIX: a private copy of KOV.so through
// dlopen. Windows: LoadLibraryA of KOV.asi, with its GetTickCount and GetAsyncKeyState imports
// patched to the virtual clock and the scripted keys.
#pragma once

#include <cstdint>
#include <string>

#include "sim/result.h"

namespace sim {

struct PluginModule;

// The loaded module, attached; or why it cannot be loaded (a path that is not a regular file is
// refused before it is read).
Result<PluginModule*> LoadPluginModule(const std::string& path);
void UnloadPluginModule(PluginModule* module);
// Calls the loaded module's entry point with a reason code, as the loader does; its result.
int CallPluginEntry(PluginModule* module, uint32_t reason);
// The plug-in built beside the running executable: KOV.so, or KOV.asi on Windows.
std::string DefaultPluginPath();

}  // namespace sim
