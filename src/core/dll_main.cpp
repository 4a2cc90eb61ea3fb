// The module entry: registers the script on process attach and unregisters it on detach.
#include "core/script_main.h"
#include "host/script_hook.h"

constexpr DWORD kProcessDetach = 0;
constexpr DWORD kProcessAttach = 1;

extern "C" BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, LPVOID) {
    if (reason == kProcessAttach) scriptRegister(module, ScriptMain);
    else if (reason == kProcessDetach) scriptUnregister(module);
    return 1;
}
