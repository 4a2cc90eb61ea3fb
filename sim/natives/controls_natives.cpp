// Controls: the radar control's states, the radar display, the big map and the name tags on blips.
#include "sim/game/host.h"
#include "sim/natives/native_table.h"

namespace sim {

// The only control the host scripts: the radar control, control 48 of input group 2. Every other
// control reads as neither pressed nor released.
constexpr int32_t kRadarControlGroup = 2;
constexpr int32_t kRadarControl = 48;

static bool IsRadarControl(const NativeCall& call) {
    return call.Int(0) == kRadarControlGroup && call.Int(1) == kRadarControl;
}

static void ControlPressed(Host& host, NativeCall& call) {
    call.ReturnBool(IsRadarControl(call) && host.world.radarControlPressed);
}

static void ControlJustReleased(Host& host, NativeCall& call) {
    call.ReturnBool(IsRadarControl(call) && host.world.radarControlJustReleased);
}

static void DisplayRadar(Host& host, NativeCall& call) { host.world.radarShown = call.Bool(0); }

static void SetBigMapActive(Host& host, NativeCall& call) {
    host.world.bigMap = call.Bool(0);
    host.world.fullMap = call.Bool(1);
}

static void DisplayPlayerNameTagsOnBlips(Host& host, NativeCall& call) { host.world.nameTagsOnBlips = call.Bool(0); }

std::vector<NativeHandler> ControlHandlers() {
    return {
        // clang-format off
        {"control pressed",                   ControlPressed},
        {"control just released",             ControlJustReleased},
        {"display radar",                     DisplayRadar},
        {"set big map active",                SetBigMapActive},
        {"display player name tags on blips", DisplayPlayerNameTagsOnBlips},
        // clang-format on
    };
}

}  // namespace sim
