// Two small DLLs the import check must reject, built from this file: one that also imports from a
// DLL outside the allowed set (KOV_PROBE_EXTRA_DLL), one that imports only five of the six script
// hook names (KOV_PROBE_FIVE_NAMES). Neither is ever loaded.
#include <windows.h>

#include "host/script_hook.h"

static void Entry() {}

extern "C" BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, LPVOID) {
    if (reason == 99) {  // never true: the calls only have to be linked
        scriptRegister(module, Entry);
        scriptUnregister(module);
        scriptWait(0);
        nativeInit(0);
        nativePush64(0);
#ifndef KOV_PROBE_FIVE_NAMES
        nativeCall();
#endif
#ifdef KOV_PROBE_EXTRA_DLL
        char name[64];
        DWORD size = sizeof name;
        GetUserNameA(name, &size);
#endif
    }
    return 1;
}
