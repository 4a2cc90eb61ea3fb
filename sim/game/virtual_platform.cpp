// Tick count and key state from the active host; settings lookups recorded in it.
#include "sim/game/virtual_platform.h"

#include <string>
#include <utility>

#include "sim/game/host.h"

namespace sim {

constexpr uint16_t kKeyDownBit = 0x8000;
constexpr uint32_t kAccessDenied = 5;
constexpr uint32_t kSharingViolation = 32;

// Only the script's thread calls the platform functions.
static uint32_t lastError = 0;

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

uint32_t SettingsFileRefusal(bool writing) {
    const Host* host = Host::Current();
    if (host == nullptr) return 0;
    if (writing && host->world.readOnlyFolder) return kAccessDenied;
    return host->world.iniLocked ? kSharingViolation : 0;
}

uint32_t VirtualLastError() { return lastError; }
void SetVirtualLastError(uint32_t error) { lastError = error; }

void RecordSettingsLookup(const char* section, const char* key, const char* fallback, const char* out, uint32_t size,
                          uint32_t copied) {
    Host* host = Host::Current();
    if (host == nullptr) return;
    auto text = [](const char* value) { return std::string(value != nullptr ? value : ""); };
    SettingsLookup lookup;
    lookup.section = text(section);
    lookup.key = text(key);
    lookup.fallback = text(fallback);
    lookup.bufferSize = size;
    if (size > 0 && out != nullptr) lookup.text.assign(out, copied);
    host->RecordLookup(std::move(lookup));
}

}  // namespace sim
