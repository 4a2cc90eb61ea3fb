// For a program with the plug-in linked in (sim/platform/linked/plugin_module.cpp): each target
// says how a load starts from the plug-in's load-time records.
#pragma once

#include <string>

namespace sim {

// Called before each load; false (with *error set) when the records cannot be at load-time state.
bool PrepareLinkedPluginLoad(std::string* error);

}  // namespace sim
