// Controls: the radar control's states, the controls read whether or not disabled and the record
// of those disabled, the radar display, the big map and the name tags on blips. The game reads no
// control while its window is not in front.
#include <algorithm>
#include <string>

#include "sim/game/host.h"
#include "sim/natives/native_table.h"

namespace sim {

// The radar control, control 48 of input group 2, has states of its own; to the plain control reads
// every other control is neither pressed nor released, and a disabled one is neither either.
constexpr int32_t kRadarControlGroup = 2;
constexpr int32_t kRadarControl = 48;

static bool DisabledThisFrame(Host& host, int32_t pad, int32_t control) {
    const std::vector<DisabledControl>& disabled = host.currentFrame().disabledControls;
    return std::find(disabled.begin(), disabled.end(), DisabledControl{pad, control}) != disabled.end();
}

static bool IsRadarControl(Host& host, const NativeCall& call) {
    return call.Int(0) == kRadarControlGroup && call.Int(1) == kRadarControl && host.world.windowInFront &&
           !DisabledThisFrame(host, kRadarControlGroup, kRadarControl);
}

static void ControlPressed(Host& host, NativeCall& call) {
    call.ReturnBool(IsRadarControl(host, call) && host.world.radarControlPressed);
}

static void ControlJustReleased(Host& host, NativeCall& call) {
    call.ReturnBool(IsRadarControl(host, call) && host.world.radarControlJustReleased);
}

// A pad and control the game knows, or the run fails naming them.
static bool KnownControl(Host& host, const NativeCall& call, const char* role) {
    const int32_t pad = call.Int(0), control = call.Int(1);
    if (pad >= 0 && pad <= kLastPad && control >= 0 && control <= kLastControl) return true;
    host.Fail(std::string(role) + " of pad " + std::to_string(pad) + ", control " + std::to_string(control) +
              ": the game has pads 0.." + std::to_string(kLastPad) + " and controls 0.." +
              std::to_string(kLastControl));
    return false;
}

static ControlState StateOf(const Host& host, int32_t control) {
    const auto found = host.world.controls.find(control);
    if (!host.world.windowInFront || found == host.world.controls.end()) return {};
    return found->second;
}

static void DisableControlAction(Host& host, NativeCall& call) {
    if (!KnownControl(host, call, "disable control action")) return;
    host.currentFrame().disabledControls.push_back({call.Int(0), call.Int(1)});
}

static void DisabledControlPressed(Host& host, NativeCall& call) {
    if (KnownControl(host, call, "disabled control pressed")) call.ReturnBool(StateOf(host, call.Int(1)).pressed);
}

static void DisabledControlJustPressed(Host& host, NativeCall& call) {
    if (KnownControl(host, call, "disabled control just pressed")) {
        call.ReturnBool(StateOf(host, call.Int(1)).justPressed);
    }
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
        {"disable control action",            DisableControlAction},
        {"disabled control pressed",          DisabledControlPressed},
        {"disabled control just pressed",     DisabledControlJustPressed},
        // clang-format on
    };
}

}  // namespace sim
