// The platform functions the plug-in uses, answered from the active host: the tick count is the
// virtual clock and the key state comes from the world's scripted keys. POSIX exports them under
// their Windows names; on Windows the plug-in's imports are patched to reach them.
#pragma once

#include <cstdint>

namespace sim {

// The active host's clock in milliseconds; 0 without a host.
uint32_t VirtualTickCount();
// 0x8000 (bit 15, "down") when the world holds the virtual key down, else 0.
short VirtualKeyState(int virtualKey);

}  // namespace sim
