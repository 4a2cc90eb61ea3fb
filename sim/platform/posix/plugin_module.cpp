// Loading KOV.so: every load dlopens a private copy of the file, so each load gets fresh
// process-wide records even where the loader would otherwise hand back the library already mapped.
#include "sim/platform/plugin_module.h"

#include <dlfcn.h>
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "host/platform.h"
#include "sim/platform/temporary_paths.h"

namespace sim {

struct PluginModule {
    void* handle = nullptr;
    std::string copyPath;
};

namespace {

using DllMainFunction = BOOL (*)(HINSTANCE, DWORD, LPVOID);

constexpr DWORD kProcessDetach = 0;
constexpr DWORD kProcessAttach = 1;

std::string ErrnoText(const std::string& what) { return what + ": " + std::strerror(errno); }

bool CopyFile(int from, int to) {
    char buffer[64 * 1024];
    for (;;) {
        const ssize_t got = read(from, buffer, sizeof buffer);
        if (got == 0) return true;
        if (got < 0) return false;
        for (ssize_t done = 0; done < got;) {
            const ssize_t put = write(to, buffer + done, static_cast<size_t>(got - done));
            if (put < 0) return false;
            done += put;
        }
    }
}

// A private copy of the plug-in in the temporary directory; empty on failure.
std::string MakePrivateCopy(const std::string& path, std::string* error) {
    const int from = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (from < 0) {
        *error = ErrnoText("cannot open " + path);
        return "";
    }
    const char* tmp = std::getenv("TMPDIR");
    std::string copy = std::string(tmp != nullptr && *tmp != '\0' ? tmp : "/tmp") + "/kov-plugin-XXXXXX.so";
    const int to = mkstemps(copy.data(), 3);
    if (to < 0) {
        *error = ErrnoText("cannot create a copy of the plug-in");
        close(from);
        return "";
    }
    RegisterTemporaryPath(copy);
    const bool copied = CopyFile(from, to);
    if (!copied) *error = ErrnoText("cannot copy " + path);
    close(from);
    if (close(to) != 0 || !copied) {
        unlink(copy.c_str());
        ForgetTemporaryPath(copy);
        return "";
    }
    return copy;
}

// A Windows executable or DLL starts with "MZ".
bool IsWindowsDll(const std::string& path) {
    char magic[2] = {};
    const int file = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (file < 0) return false;
    const bool read2 = read(file, magic, sizeof magic) == static_cast<ssize_t>(sizeof magic);
    close(file);
    return read2 && magic[0] == 'M' && magic[1] == 'Z';
}

DllMainFunction EntryPoint(const PluginModule* module) {
    return reinterpret_cast<DllMainFunction>(dlsym(module->handle, "DllMain"));
}

HINSTANCE ModuleHandle(const PluginModule* module) { return static_cast<HINSTANCE>(module->handle); }

void Release(PluginModule* module) {
    if (module->handle != nullptr) dlclose(module->handle);
    unlink(module->copyPath.c_str());
    ForgetTemporaryPath(module->copyPath);
    delete module;
}

}  // namespace

PluginModule* LoadPluginModule(const std::string& path, std::string* error) {
    auto* module = new PluginModule();
    module->copyPath = MakePrivateCopy(path, error);
    if (module->copyPath.empty()) {
        delete module;
        return nullptr;
    }
    module->handle = dlopen(module->copyPath.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (module->handle == nullptr) {
        *error = IsWindowsDll(path) ? "it is a Windows DLL (KOV.asi); it runs under Wine with the Windows build of "
                                      "the tools: scripts/wine-run.sh build/windows/kov-sim.exe SCENARIO.json"
                                    : dlerror();
        Release(module);
        return nullptr;
    }
    const DllMainFunction entry = EntryPoint(module);
    if (entry == nullptr) {
        *error = "the plug-in exports no DllMain";
        Release(module);
        return nullptr;
    }
    entry(ModuleHandle(module), kProcessAttach, nullptr);
    return module;
}

void UnloadPluginModule(PluginModule* module) {
    if (module == nullptr) return;
    EntryPoint(module)(ModuleHandle(module), kProcessDetach, nullptr);
    Release(module);
}

int CallPluginEntry(PluginModule* module, uint32_t reason) {
    return EntryPoint(module)(ModuleHandle(module), reason, nullptr);
}

std::string DefaultPluginPath() {
    char exe[4096];
    const ssize_t length = readlink("/proc/self/exe", exe, sizeof exe - 1);
    if (length <= 0) return "KOV.so";
    std::string dir(exe, static_cast<size_t>(length));
    return dir.substr(0, dir.rfind('/') + 1) + "KOV.so";
}

}  // namespace sim
