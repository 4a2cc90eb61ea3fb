// The plug-in linked into the program (the WebAssembly build, the fuzz targets): there is no
// dynamic loading, so a load calls its entry point directly, once the target has put the
// plug-in's records at their load-time state (PrepareLinkedPluginLoad, one per target).
#include "sim/platform/plugin_module.h"

#include "host/platform.h"
#include "sim/platform/linked_plugin.h"

extern "C" BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, LPVOID reserved);

namespace sim {

struct PluginModule {};

namespace {

constexpr DWORD kProcessDetach = 0;
constexpr DWORD kProcessAttach = 1;

PluginModule linkedModule;

HINSTANCE ModuleHandle() { return reinterpret_cast<HINSTANCE>(&linkedModule); }

}  // namespace

PluginModule* LoadPluginModule(const std::string&, std::string* error) {
    if (!PrepareLinkedPluginLoad(error)) return nullptr;
    DllMain(ModuleHandle(), kProcessAttach, nullptr);
    return &linkedModule;
}

void UnloadPluginModule(PluginModule* module) {
    if (module != nullptr) DllMain(ModuleHandle(), kProcessDetach, nullptr);
}

int CallPluginEntry(PluginModule*, uint32_t reason) { return DllMain(ModuleHandle(), reason, nullptr); }

std::string DefaultPluginPath() { return "KOV (linked in)"; }

}  // namespace sim
