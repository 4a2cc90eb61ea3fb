// Loading the linked-in plug-in: its records made fresh (FreshLinkedPlugin), then its entry point
// called with process attach, and with process detach on unloading, as the loader would.
#include "sim/platform/plugin_module.h"

#include "host/platform.h"
#include "sim/platform/linked/linked_plugin.h"

extern "C" BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, LPVOID reserved);

namespace sim {

struct PluginModule {};

namespace {

constexpr DWORD kProcessDetach = 0;
constexpr DWORD kProcessAttach = 1;

PluginModule linkedModule;

HINSTANCE ModuleHandle() { return reinterpret_cast<HINSTANCE>(&linkedModule); }

}  // namespace

Result<PluginModule*> LoadPluginModule(const std::string&) {
    if (Status fresh = FreshLinkedPlugin(); !fresh) return fresh;
    DllMain(ModuleHandle(), kProcessAttach, nullptr);
    return &linkedModule;
}

void UnloadPluginModule(PluginModule* module) {
    if (module != nullptr) DllMain(ModuleHandle(), kProcessDetach, nullptr);
}

int CallPluginEntry(PluginModule*, uint32_t reason) { return DllMain(ModuleHandle(), reason, nullptr); }

std::string DefaultPluginPath() { return "KOV (linked in)"; }

}  // namespace sim
