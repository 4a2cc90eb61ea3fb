// The plug-in linked into a fuzz target as a shared library, loaded as the simulated host's loader
// would load a fresh copy: its writable data goes back to the load-time image (fresh_load.h), then
// its entry point is called. Loading a library per input would pile up libFuzzer's coverage
// modules; this keeps one.
#include "sim/platform/plugin_module.h"

#include "fresh_load.h"
#include "host/platform.h"

extern "C" BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, LPVOID reserved);

namespace sim {

struct PluginModule {};

namespace {

constexpr DWORD kProcessDetach = 0;
constexpr DWORD kProcessAttach = 1;

PluginModule linkedModule;

HINSTANCE ModuleHandle() { return reinterpret_cast<HINSTANCE>(&linkedModule); }

}  // namespace

PluginModule* LoadPluginModule(const std::string&, std::string*) {
    static const bool saved = (fuzz::SaveLoadTimeImage("libkov_fuzz_plugin"), true);  // before the first run
    (void)saved;
    fuzz::RestoreLoadTimeImage();
    DllMain(ModuleHandle(), kProcessAttach, nullptr);
    return &linkedModule;
}

void UnloadPluginModule(PluginModule* module) {
    if (module != nullptr) DllMain(ModuleHandle(), kProcessDetach, nullptr);
}

int CallPluginEntry(PluginModule*, uint32_t reason) { return DllMain(ModuleHandle(), reason, nullptr); }

std::string DefaultPluginPath() { return "KOV (linked in)"; }

}  // namespace sim
