// Loading KOV.so. Every load dlopens a private copy of the file (in the process's temporary folder),
// which the dynamic linker maps anew with its load-time data, whatever earlier copies are still
// mapped; KOV.so has no unique symbols that would bind a copy to another's (cmake/linux.cmake).
#include "sim/platform/plugin_module.h"

#include <dlfcn.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "host/platform.h"
#include "sim/input_limits.h"
#include "sim/platform/files.h"
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

bool CopyFile(int from, int to, uint64_t bytes) {
    char buffer[64 * 1024];
    while (bytes > 0) {
        const ssize_t got = read(from, buffer, static_cast<size_t>(std::min<uint64_t>(bytes, sizeof buffer)));
        if (got <= 0) return got == 0;
        bytes -= static_cast<uint64_t>(got);
        for (ssize_t done = 0; done < got;) {
            const ssize_t put = write(to, buffer + done, static_cast<size_t>(got - done));
            if (put < 0) return false;
            done += put;
        }
    }
    return true;
}

// The plug-in file opened for reading, if it is a regular file of a plug-in's size. Opened without
// blocking and checked on the open file, so a FIFO is neither waited on nor read from.
Result<int> OpenPluginFile(const std::string& path, uint64_t& size) {
    if (Status regular = CheckRegularFile(path); !regular) return regular;
    const int file = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (file < 0) return Failure(ErrnoText("cannot open it"));
    struct stat status {};
    if (fstat(file, &status) != 0 || !S_ISREG(status.st_mode)) {
        close(file);
        return Failure("not a regular file");
    }
    size = static_cast<uint64_t>(status.st_size);
    if (size > kMaxPluginFileBytes) {
        close(file);
        return Failure("it holds " + std::to_string(size) + " bytes, more than the " +
                       std::to_string(kMaxPluginFileBytes) + " of a plug-in");
    }
    return file;
}

// A private copy of the plug-in in the process's temporary folder.
Result<std::string> MakePrivateCopy(const std::string& path) {
    uint64_t size = 0;
    const Result<int> from = OpenPluginFile(path, size);
    if (!from) return from.status();
    std::string copy = (ProcessTemporaryFolder() / "KOV-XXXXXX.so").string();
    const int to = mkstemps(copy.data(), 3);
    if (to < 0) {
        const Status failed = Failure(ErrnoText("cannot create a copy of the plug-in"));
        close(*from);
        return failed;
    }
    RegisterTemporaryPath(copy);
    const bool copied = CopyFile(*from, to, size);
    const Status failed = Failure(ErrnoText("cannot copy it"));
    close(*from);
    if (close(to) != 0 || !copied) {
        unlink(copy.c_str());
        ForgetTemporaryPath(copy);
        return failed;
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

Result<PluginModule*> LoadPluginModule(const std::string& path) {
    Result<std::string> copy = MakePrivateCopy(path);
    if (!copy) return copy.status();
    auto* module = new PluginModule();
    module->copyPath = *copy;
    module->handle = dlopen(module->copyPath.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (module->handle == nullptr) {
        const Status failed = Failure(IsWindowsDll(path) ? "it is a Windows DLL (KOV.asi); it runs under Wine with the "
                                                           "Windows build of the tools: scripts/wine-run.sh "
                                                           "build/windows/kov-sim.exe SCENARIO.json"
                                                         : dlerror());
        Release(module);
        return failed;
    }
    const DllMainFunction entry = EntryPoint(module);
    if (entry == nullptr) {
        Release(module);
        return Failure("the plug-in exports no DllMain");
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
