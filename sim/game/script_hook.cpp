// The script hook library's six operations, forwarded to the active simulated host.
#include "host/script_hook.h"

#include <string>

#include "sim/game/host.h"

namespace {

// A plug-in running without a host has no one to report to: stop loudly.
sim::Host& ActiveHost(const char* operation) {
    sim::Host* host = sim::Host::Current();
    if (host == nullptr) sim::StopOnDefect(std::string("simulated host: ") + operation + " called with no active host");
    return *host;
}

}  // namespace

void scriptRegister(HINSTANCE module, void (*entry)()) { ActiveHost("scriptRegister").Register(module, entry); }

void scriptUnregister(HINSTANCE module) { ActiveHost("scriptUnregister").Unregister(module); }

void scriptWait(DWORD milliseconds) { ActiveHost("scriptWait").Wait(milliseconds); }

void nativeInit(uint64_t hash) { ActiveHost("nativeInit").NativeInit(hash); }

void nativePush64(uint64_t value) { ActiveHost("nativePush64").NativePush(value); }

uint64_t* nativeCall() { return ActiveHost("nativeCall").NativeInvoke(); }
