// The plug-in of the fuzz targets that run the simulated host: linked in as a shared library, and
// loaded by putting back its load-time image (fresh_load.h) and calling its entry point, as the
// loader does for a fresh copy of KOV.so, without a copy or a dlopen per input.
#include "fresh_load.h"
#include "host/platform.h"
#include "sim/platform/plugin_module.h"

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
    static const bool saved = (fuzz::SaveLoadTimeImage("libkov_fuzz_plugin"), true);
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
