// The plug-in in the WebAssembly build: there is no dynamic loading, so the plug-in is linked into
// the program and a load calls its entry point directly. Its process-wide records are at their
// load-time state only once per instance of the program; a second load in the same instance is
// refused, and the page starts a fresh instance for every run.
#include "sim/platform/plugin_module.h"

#include "host/platform.h"

extern "C" BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, LPVOID reserved);

namespace sim {

struct PluginModule {};

namespace {

constexpr DWORD kProcessDetach = 0;
constexpr DWORD kProcessAttach = 1;

PluginModule linkedModule;
bool loadedBefore = false;

HINSTANCE ModuleHandle() { return reinterpret_cast<HINSTANCE>(&linkedModule); }

}  // namespace

Result<PluginModule*> LoadPluginModule(const std::string&) {
    if (loadedBefore) {
        return Failure("the linked-in plug-in was loaded before in this instance, so its records are no longer "
                       "at their load-time state; run it in a fresh instance");
    }
    loadedBefore = true;
    DllMain(ModuleHandle(), kProcessAttach, nullptr);
    return &linkedModule;
}

void UnloadPluginModule(PluginModule* module) {
    if (module != nullptr) DllMain(ModuleHandle(), kProcessDetach, nullptr);
}

int CallPluginEntry(PluginModule*, uint32_t reason) { return DllMain(ModuleHandle(), reason, nullptr); }

std::string DefaultPluginPath() { return "KOV (linked in)"; }

}  // namespace sim
