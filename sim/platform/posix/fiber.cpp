// The script fiber on POSIX: ucontext with a heap stack. Under AddressSanitizer every switch is
// announced, so the sanitizer follows the stack change instead of reporting false overflows.
#include "sim/platform/fiber.h"

#include <ucontext.h>

#include <cerrno>
#include <cstring>
#include <memory>
#include <string>

#include "sim/result.h"

#if defined(__SANITIZE_ADDRESS__)
#define KOV_FIBER_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define KOV_FIBER_ASAN 1
#endif
#endif

#ifdef KOV_FIBER_ASAN
#include <sanitizer/common_interface_defs.h>
#endif

namespace sim {

constexpr size_t kFiberStackBytes = 256 * 1024;

struct Fiber {
    ucontext_t context;
    ucontext_t hostContext;
    std::unique_ptr<char[]> stack;
    void (*entry)() = nullptr;
    // Sanitizer bookkeeping: the host stack to return to and each side's fake stack.
    const void* hostStackBottom = nullptr;
    size_t hostStackSize = 0;
    void* hostFakeStack = nullptr;
    void* fiberFakeStack = nullptr;
};

namespace {

void StartSwitch(void** fakeStackSave, const void* bottom, size_t size) {
#ifdef KOV_FIBER_ASAN
    __sanitizer_start_switch_fiber(fakeStackSave, bottom, size);
#else
    (void)fakeStackSave, (void)bottom, (void)size;
#endif
}

void FinishSwitch(void* fakeStackSave, const void** bottomOld, size_t* sizeOld) {
#ifdef KOV_FIBER_ASAN
    __sanitizer_finish_switch_fiber(fakeStackSave, bottomOld, sizeOld);
#else
    (void)fakeStackSave, (void)bottomOld, (void)sizeOld;
#endif
}

// makecontext passes only ints; the fiber being started is handed over here instead.
Fiber* startingFiber = nullptr;

void FiberMain() {
    Fiber* fiber = startingFiber;
    FinishSwitch(nullptr, &fiber->hostStackBottom, &fiber->hostStackSize);
    fiber->entry();
    // Returning would end the thread (no successor context): park the fiber instead.
    for (;;) YieldToHost(fiber);
}

void Check(int result, const char* what) {
    if (result == 0) return;
    StopOnDefect(std::string(what) + ": " + std::strerror(errno));
}

}  // namespace

Fiber* CreateFiber(void (*entry)()) {
    auto* fiber = new Fiber();
    fiber->entry = entry;
    fiber->stack.reset(new char[kFiberStackBytes]);
    Check(getcontext(&fiber->context), "getcontext");
    fiber->context.uc_stack.ss_sp = fiber->stack.get();
    fiber->context.uc_stack.ss_size = kFiberStackBytes;
    fiber->context.uc_link = nullptr;
    makecontext(&fiber->context, FiberMain, 0);
    return fiber;
}

void SwitchToFiber(Fiber* fiber) {
    startingFiber = fiber;
    StartSwitch(&fiber->hostFakeStack, fiber->stack.get(), kFiberStackBytes);
    Check(swapcontext(&fiber->hostContext, &fiber->context), "swapcontext");
    FinishSwitch(fiber->hostFakeStack, nullptr, nullptr);
}

void YieldToHost(Fiber* fiber) {
    StartSwitch(&fiber->fiberFakeStack, fiber->hostStackBottom, fiber->hostStackSize);
    Check(swapcontext(&fiber->context, &fiber->hostContext), "swapcontext");
    FinishSwitch(fiber->fiberFakeStack, &fiber->hostStackBottom, &fiber->hostStackSize);
}

void DestroyFiber(Fiber* fiber) { delete fiber; }

}  // namespace sim
