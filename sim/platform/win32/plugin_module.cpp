// Loading KOV.asi on Windows: LoadLibraryA runs its entry point for process attach (FreeLibrary,
// for detach), as a game's loader would. Its imports of GetTickCount and GetAsyncKeyState are then
// pointed at the virtual clock and the scripted keys; the profile functions and GetLastError stay the system's.
// The entry point for the loader's other calls is the one in the image's header, as the loader
// finds it (KOV.asi exports nothing).
//
// LoadLibraryA maps the file anew, with its load-time data, unless the module is in the process
// already: then it hands back that mapping, records and all. So a load that gets back a module an
// earlier load still holds, or one that FreeLibrary left mapped, is undone and refused.
#include <windows.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "sim/game/virtual_platform.h"
#include "sim/platform/files.h"
#include "sim/platform/plugin_module.h"

namespace sim {

struct PluginModule {
    HMODULE handle;
};

static DWORD WINAPI PatchedGetTickCount() { return VirtualTickCount(); }
static SHORT WINAPI PatchedGetAsyncKeyState(int virtualKey) { return VirtualKeyState(virtualKey); }

struct ImportPatch {
    const char* name;
    void* replacement;
};

static const ImportPatch kImportPatches[] = {
    {"GetTickCount", reinterpret_cast<void*>(&PatchedGetTickCount)},
    {"GetAsyncKeyState", reinterpret_cast<void*>(&PatchedGetAsyncKeyState)},
};

static const void* ReplacementFor(const char* importName) {
    for (const ImportPatch& patch : kImportPatches) {
        if (std::strcmp(patch.name, importName) == 0) return patch.replacement;
    }
    return nullptr;
}

static bool WriteImportSlot(ULONGLONG* slot, const void* target) {
    DWORD oldProtection;
    if (!VirtualProtect(slot, sizeof *slot, PAGE_READWRITE, &oldProtection)) return false;
    *slot = reinterpret_cast<ULONGLONG>(target);
    VirtualProtect(slot, sizeof *slot, oldProtection, &oldProtection);
    return true;
}

static const IMAGE_NT_HEADERS64* ImageHeaders(HMODULE module) {
    const BYTE* base = reinterpret_cast<const BYTE*>(module);
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    return reinterpret_cast<const IMAGE_NT_HEADERS64*>(base + dos->e_lfanew);
}

// Walks every imported module's name table beside its address table and rewrites the slots of the
// imports listed above, whichever system DLL they come from.
static Status PatchImports(HMODULE module) {
    BYTE* base = reinterpret_cast<BYTE*>(module);
    const IMAGE_DATA_DIRECTORY& directory =
        ImageHeaders(module)->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    if (directory.VirtualAddress == 0) return {};

    for (auto* entry = reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(base + directory.VirtualAddress);
         entry->Name != 0; ++entry) {
        if (entry->OriginalFirstThunk == 0) return Failure("import table without a name table");
        const auto* names = reinterpret_cast<const IMAGE_THUNK_DATA64*>(base + entry->OriginalFirstThunk);
        auto* slots = reinterpret_cast<IMAGE_THUNK_DATA64*>(base + entry->FirstThunk);
        for (; names->u1.AddressOfData != 0; ++names, ++slots) {
            if (IMAGE_SNAP_BY_ORDINAL64(names->u1.Ordinal)) continue;
            const auto* byName = reinterpret_cast<const IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData);
            const void* replacement = ReplacementFor(reinterpret_cast<const char*>(byName->Name));
            if (replacement != nullptr && !WriteImportSlot(&slots->u1.Function, replacement)) {
                return Failure("cannot write the import address table");
            }
        }
    }
    return {};
}

// Modules handed out by a load and not known to be unmapped since: loaded now, or left mapped.
static std::vector<HMODULE> mappedModules;

static bool IsMapped(HMODULE module) {
    HMODULE found = nullptr;
    return GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                              reinterpret_cast<LPCSTR>(module), &found) != 0 &&
           found == module;
}

Result<PluginModule*> LoadPluginModule(const std::string& path) {
    if (Status regular = CheckRegularFile(path); !regular) return regular;
    HMODULE handle = LoadLibraryA(path.c_str());
    if (handle == nullptr) return Failure("cannot load " + path + " (error " + std::to_string(GetLastError()) + ")");
    if (std::find(mappedModules.begin(), mappedModules.end(), handle) != mappedModules.end()) {
        FreeLibrary(handle);
        return Failure(
            "the plug-in is still mapped from an earlier load, so Windows hands back that load's records "
            "instead of load-time ones");
    }
    if (Status patched = PatchImports(handle); !patched) {
        FreeLibrary(handle);
        return patched;
    }
    mappedModules.push_back(handle);
    return new PluginModule{handle};
}

void UnloadPluginModule(PluginModule* module) {
    if (module == nullptr) return;
    FreeLibrary(module->handle);
    if (!IsMapped(module->handle)) {
        mappedModules.erase(std::find(mappedModules.begin(), mappedModules.end(), module->handle));
    }
    delete module;
}

int CallPluginEntry(PluginModule* module, uint32_t reason) {
    using EntryFunction = BOOL(WINAPI*)(HINSTANCE, DWORD, LPVOID);
    BYTE* base = reinterpret_cast<BYTE*>(module->handle);
    const auto entry =
        reinterpret_cast<EntryFunction>(base + ImageHeaders(module->handle)->OptionalHeader.AddressOfEntryPoint);
    return entry(module->handle, reason, nullptr);
}

std::string DefaultPluginPath() {
    char exe[MAX_PATH];
    const DWORD length = GetModuleFileNameA(nullptr, exe, sizeof exe);
    if (length == 0 || length >= sizeof exe) return "KOV.asi";
    const std::string path(exe, length);
    return path.substr(0, path.find_last_of("\\/") + 1) + "KOV.asi";
}

}  // namespace sim
