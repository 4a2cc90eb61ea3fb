// Loading the plug-in as the game's loader does. Each build links one loader: posix/ (KOV.so),
// win32/ (KOV.asi) or linked/ (the plug-in linked into the program: the page, the fuzz targets).
//
// Every load is a first load. A load that succeeds gives each process-wide record of the plug-in
// (every global and static of its own code and of the runtime inside it) its load-time value, and
// calls the plug-in's entry point for process attach, as the operating system's loader does;
// unloading calls it for process detach. A loader that cannot guarantee this for a load (the target
// holds one set of the plug-in's records and an earlier load used it, or still does) refuses the
// load with a Status that says why: it never runs a plug-in with records left by another load.
// Each loader's file says how it keeps this; tests/load_afresh checks it on every target.
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
