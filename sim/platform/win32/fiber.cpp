// The script fiber on Windows: a Win32 fiber. The host's thread becomes a fiber itself on first
// use, so it can be switched back to.

// GCC 12 takes GetCurrentFiber's read of the thread block through gs:0x20 for an access past a
// zero-length array; the read is what the system header means.
#pragma GCC diagnostic ignored "-Warray-bounds"
#include <windows.h>

#include "sim/platform/fiber.h"

namespace sim {

constexpr SIZE_T kScriptStackBytes = 1 << 20;

struct Fiber {
    void* handle = nullptr;
    void* host = nullptr;  // the fiber that last resumed this one
    void (*entry)() = nullptr;
};

// A script entry is not expected to return; if it does, the fiber parks and keeps handing control
// back (a Win32 fiber that returns from its start routine would end the thread).
static VOID CALLBACK RunFiber(LPVOID parameter) {
    Fiber* fiber = static_cast<Fiber*>(parameter);
    fiber->entry();
    for (;;) ::SwitchToFiber(fiber->host);
}

static void* CurrentThreadFiber() {
    if (IsThreadAFiber()) return GetCurrentFiber();
    return ConvertThreadToFiber(nullptr);
}

Fiber* CreateFiber(void (*entry)()) {
    if (CurrentThreadFiber() == nullptr) return nullptr;
    Fiber* fiber = new Fiber;
    fiber->entry = entry;
    fiber->handle = ::CreateFiber(kScriptStackBytes, RunFiber, fiber);
    if (fiber->handle == nullptr) {
        delete fiber;
        return nullptr;
    }
    return fiber;
}

void SwitchToFiber(Fiber* fiber) {
    fiber->host = GetCurrentFiber();
    ::SwitchToFiber(fiber->handle);
}

void YieldToHost(Fiber* fiber) { ::SwitchToFiber(fiber->host); }

void DestroyFiber(Fiber* fiber) {
    if (fiber == nullptr) return;
    ::DeleteFiber(fiber->handle);
    delete fiber;
}

}  // namespace sim
