// The script fiber in WebAssembly: an emscripten fiber (the build links with ASYNCIFY, which saves
// and restores the call stack of each side in its own buffer). The host's side is taken from the
// current context at every switch, so the host may be entered from any exported call.
#include "sim/platform/fiber.h"

#include <emscripten/fiber.h>

#include <memory>

namespace sim {

constexpr size_t kScriptStackBytes = 256 * 1024;
// Room for the call stack each side saves while the other runs.
constexpr size_t kSavedStackBytes = 64 * 1024;

struct Fiber {
    emscripten_fiber_t script;
    emscripten_fiber_t host;
    std::unique_ptr<char[]> stack{new char[kScriptStackBytes]};
    std::unique_ptr<char[]> scriptSaved{new char[kSavedStackBytes]};
    std::unique_ptr<char[]> hostSaved{new char[kSavedStackBytes]};
    void (*entry)() = nullptr;
};

namespace {

// Returning would leave the fiber with nowhere to go: park it instead.
void RunFiber(void* parameter) {
    Fiber* fiber = static_cast<Fiber*>(parameter);
    fiber->entry();
    for (;;) YieldToHost(fiber);
}

}  // namespace

Fiber* CreateFiber(void (*entry)()) {
    auto* fiber = new Fiber();
    fiber->entry = entry;
    emscripten_fiber_init(&fiber->script, RunFiber, fiber, fiber->stack.get(), kScriptStackBytes,
                          fiber->scriptSaved.get(), kSavedStackBytes);
    return fiber;
}

void SwitchToFiber(Fiber* fiber) {
    emscripten_fiber_init_from_current_context(&fiber->host, fiber->hostSaved.get(), kSavedStackBytes);
    emscripten_fiber_swap(&fiber->host, &fiber->script);
}

void YieldToHost(Fiber* fiber) { emscripten_fiber_swap(&fiber->script, &fiber->host); }

void DestroyFiber(Fiber* fiber) { delete fiber; }

}  // namespace sim
