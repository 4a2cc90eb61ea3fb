// The script fiber: the plug-in's script runs on its own stack and gives control back to the host
// only through scriptWait. Implemented with ucontext on POSIX and Win32 fibers on Windows.
#pragma once

namespace sim {

struct Fiber;

Fiber* CreateFiber(void (*entry)());
// Runs the fiber until it yields; called from the host's own stack.
void SwitchToFiber(Fiber* fiber);
// Gives control back to the host; called on the fiber.
void YieldToHost(Fiber* fiber);
void DestroyFiber(Fiber* fiber);

}  // namespace sim
