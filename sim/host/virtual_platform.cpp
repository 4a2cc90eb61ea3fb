// Tick count and key state from the active host.
#include "sim/host/virtual_platform.h"

#include "sim/host/host.h"

namespace sim {

constexpr uint16_t kKeyDownBit = 0x8000;

uint32_t VirtualTickCount() {
    const Host* host = Host::Current();
    return host != nullptr ? host->clockMs : 0;
}

short VirtualKeyState(int virtualKey) {
    const Host* host = Host::Current();
    if (host == nullptr) return 0;
    const auto found = host->world.keysDown.find(virtualKey);
    const bool down = found != host->world.keysDown.end() && found->second;
    return static_cast<short>(down ? kKeyDownBit : 0);
}

}  // namespace sim
