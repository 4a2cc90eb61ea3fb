// PollHotkeys, the two one-bit latches, and ToggleBigMap.
#include "input/hotkeys.h"

#include <cstdint>

#include "config/settings.h"
#include "draw/notice.h"
#include "frame/frame_state.h"
#include "host/natives.h"
#include "host/platform.h"
#include "input/placement.h"

constexpr int kKeyAlt = 0x12;
constexpr int kKeyCtrl = 0x11;
constexpr int kKeyL = 0x4C;
constexpr uint16_t kKeyDownBit = 0x8000;

constexpr int32_t kRadarControlGroup = 2;
constexpr int32_t kRadarControl = 48;

constexpr const char* kDisplayEnabledNotice = "~y~KOV | ~w~Location display enabled.";
constexpr const char* kDisplayDisabledNotice = "~y~KOV | ~w~Location display disabled.";

// Set once an L press has toggled the display; cleared when L is seen up with Ctrl and Alt down.
static bool toggleKeyLatch;
// Set once a release report has toggled the big map; cleared by a report of no release.
static bool radarReleaseLatch;

bool IsKeyDown(int key) { return (static_cast<uint16_t>(GetAsyncKeyState(key)) & kKeyDownBit) != 0; }

static void ToggleLocationDisplay() {
    if (!CurrentFrame().displayEnabled) {
        LoadSettings();  // an edited KOV.ini takes effect with the new notice
        RecordDisplayEnabled(true);
        ShowNotice(kDisplayEnabledNotice);
    } else {
        RecordDisplayEnabled(false);
        ShowNotice(kDisplayDisabledNotice);
    }
}

static void PollDisplayToggle() {
    RecordPlayerListRequested(false);
    if (!IsKeyDown(kKeyL)) {
        toggleKeyLatch = false;
        return;
    }
    if (toggleKeyLatch) return;
    toggleKeyLatch = true;
    ToggleLocationDisplay();
}

// The radar control (input group 2, control 48) is held.
static bool IsRadarControlHeld() { return IsControlPressed(kRadarControlGroup, kRadarControl); }

// True once per run of consecutive release reports.
static bool RadarControlReleased() {
    if (!IsControlJustReleased(kRadarControlGroup, kRadarControl)) {
        radarReleaseLatch = false;
        return false;
    }
    if (radarReleaseLatch) return false;
    radarReleaseLatch = true;
    return true;
}

void PollHotkeys() {
    if (IsKeyDown(kKeyAlt) && IsKeyDown(kKeyCtrl)) {
        PollDisplayToggle();
        PollPlacementKey();
        return;
    }
    RearmPlacementKey();
    if (IsKeyDown(kKeyAlt) && !IsKeyDown(kKeyCtrl)) {
        RecordPlayerListRequested(IsRadarControlHeld());
    } else if (!IsKeyDown(kKeyAlt) && !IsKeyDown(kKeyCtrl)) {
        RecordPlayerListRequested(false);
        if (RadarControlReleased()) ToggleBigMap();
    }
    // Ctrl held without Alt: nothing changes.
}

void ToggleBigMap() {
    const bool active = !CurrentFrame().bigMapActive;
    RecordBigMapActive(active);
    const bool online = CurrentFrame().inSession == 1;
    if (active) {
        SetBigMapActive(true, false);
    } else {
        DisplayRadar(true);  // the radar is shown before the big map is switched off
        SetBigMapActive(false, false);
    }
    if (online) DisplayPlayerNameTagsOnBlips(active);
}
