// Controls: the radar control's states, the radar display, the big map and the name tags on blips.
#include "sim/host/host.h"
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

static void DisplayPlayerNameTagsOnBlips(Host& host, NativeCall& call) {
    host.world.nameTagsOnBlips = call.Bool(0);
}

std::vector<NativeDef> ControlNatives() {
    return {
        {0xF3A21BCD95725A4A, "control pressed",                    "ii", 'b', ControlPressed},
        {0x50F940259D3841E6, "control just released",              "ii", 'b', ControlJustReleased},
        {0xA0EBB943C300E693, "display radar",                      "b",  '-', DisplayRadar},
        {0x231C8F89D0539D8F, "set big map active",                 "bb", '-', SetBigMapActive},
        {0x82CEDC33687E1F50, "display player name tags on blips",  "b",  '-', DisplayPlayerNameTagsOnBlips},
    };
}

}  // namespace sim
