// Loading the linked-in plug-in. The program holds one set of its records: a load is refused while
// another is live, and otherwise has the program put them at their load-time values first
// (FreshLinkedPlugin), or refuses with the program's reason.
#include "sim/platform/plugin_module.h"

#include "host/platform.h"
#include "sim/platform/linked/linked_plugin.h"

extern "C" BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, LPVOID reserved);

namespace sim {

struct PluginModule {
    bool loaded = false;
};

namespace {

constexpr DWORD kProcessDetach = 0;
constexpr DWORD kProcessAttach = 1;

PluginModule linkedModule;

HINSTANCE ModuleHandle() { return reinterpret_cast<HINSTANCE>(&linkedModule); }

}  // namespace

Result<PluginModule*> LoadPluginModule(const std::string&) {
    if (linkedModule.loaded) {
        return Failure("the linked-in plug-in is loaded already, and the program holds one set of its records");
    }
    if (Status fresh = FreshLinkedPlugin(); !fresh) return fresh;
    linkedModule.loaded = true;
    DllMain(ModuleHandle(), kProcessAttach, nullptr);
    return &linkedModule;
}

void UnloadPluginModule(PluginModule* module) {
    if (module == nullptr) return;
    DllMain(ModuleHandle(), kProcessDetach, nullptr);
    module->loaded = false;
}

int CallPluginEntry(PluginModule*, uint32_t reason) { return DllMain(ModuleHandle(), reason, nullptr); }

std::string DefaultPluginPath() { return "KOV (linked in)"; }

}  // namespace sim
