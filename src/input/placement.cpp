// Placement mode's record, its keys and controls, the moves within the screen, the save through the
// profile writer, and the frame and hint it draws.
#include "input/placement.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <iterator>

#include "config/process_log.h"
#include "config/setting_keys.h"
#include "config/settings.h"
#include "draw/design_units.h"
#include "draw/notice.h"
#include "draw/radar_alignment.h"
#include "draw/styled_text.h"
#include "frame/frame_state.h"
#include "host/natives.h"
#include "host/platform.h"
#include "input/hotkeys.h"
#include "text/bounded_text.h"

// The settings placement changes; a cancel puts back what they held when it started.
enum PlacedSetting { kNormalX, kNormalY, kBigMapX, kBigMapY, kSize, kPlacedCount };
static constexpr float Settings::*kPlacedFields[] = {
    &Settings::LocTextPosX,          &Settings::LocTextPosY,     &Settings::LocTextPosX_RadarLrg,
    &Settings::LocTextPosY_RadarLrg, &Settings::LocTextSizeMult,
};
static_assert(std::size(kPlacedFields) == kPlacedCount, "one field per placed setting");
constexpr bool EveryPlacedFieldHasItsKey() {
    for (float Settings::*field : kPlacedFields) {
        if (KeyOfField(field).number != field) return false;
    }
    return true;
}
static_assert(EveryPlacedFieldHasItsKey(), "each placed setting is a number key of the settings table");

struct Placement {
    bool placing;
    uint8_t session;             // the session byte when it started
    float before[kPlacedCount];  // the placed settings when it started
    uint32_t latches;            // per key: set once a press has acted, cleared by a report of none
};

static Placement placement;
// Set once a press of the placement key has acted; cleared when the key or Ctrl and Alt are seen up.
static bool placementKeyLatch;

// The controls of the keys placement reads, disabled every frame while placing: the player's on
// pad 0, the frontend's on the frontend group.
constexpr int32_t kPlayerPad = 0;
constexpr int32_t kFrontendPad = 2;
struct BlockedControl {
    int32_t pad;
    int32_t control;
};
static constexpr BlockedControl kBlockedControls[] = {
    // clang-format off
    {kPlayerPad, 27},                                                      // phone (up arrow)
    {kPlayerPad, 172}, {kPlayerPad, 173}, {kPlayerPad, 174}, {kPlayerPad, 175},  // cellphone arrows
    {kPlayerPad, 176}, {kPlayerPad, 177},                                  // cellphone select, cancel
    {kPlayerPad, 14}, {kPlayerPad, 15}, {kPlayerPad, 16}, {kPlayerPad, 17},  // weapon wheel, selection
    {kPlayerPad, 85},                                                      // radio wheel
    {kPlayerPad, 21},                                                      // sprint (Shift)
    {kFrontendPad, 199}, {kFrontendPad, 200},                              // pause
    {kFrontendPad, 201}, {kFrontendPad, 202},                              // accept, cancel
    {kFrontendPad, 187}, {kFrontendPad, 188}, {kFrontendPad, 189}, {kFrontendPad, 190},  // arrows
    {kFrontendPad, 207}, {kFrontendPad, 208},                              // LT, RT (Page Down, Up)
    {kFrontendPad, 209},                                                   // LS (left Shift)
    // clang-format on
};

enum PlacementAction { kSave, kCancel, kLeft, kRight, kUp, kDown, kBigger, kSmaller };
struct PlacementKey {
    int32_t control;  // a frontend control, read whether or not it is disabled
    PlacementAction action;
};
static constexpr PlacementKey kPlacementKeys[] = {
    // clang-format off
    {201, kSave},    // Enter, pad A
    {202, kCancel},  // Backspace or Esc, pad B
    {189, kLeft},    // the arrows, the d-pad
    {190, kRight},
    {188, kUp},
    {187, kDown},
    {208, kBigger},  // Page Up, RT
    {207, kSmaller}, // Page Down, LT
    // clang-format on
};
static_assert(std::size(kPlacementKeys) <= 32, "one latch bit per key");
constexpr int32_t kTenfoldControl = 209;  // left Shift, LS, held

constexpr float kUnitStep = 1.0f;
constexpr float kShiftStep = 10.0f;
constexpr double kSizeSteps = 20.0;  // sizes step through multiples of 0.05
constexpr double kOnGrid = 1e-3;     // a size this close to a multiple of 0.05 counts as on it
constexpr float kDesignWidth = 1920.0f;
constexpr float kDesignHeight = 1080.0f;

// The frame around the panel at size 1, design units from its anchor; the panel's texts lie inside
// (the street line as long as the alias table's longest). Moves keep it on the screen.
constexpr float kFrameLeft = -8.0f;
constexpr float kFrameRight = 430.0f;
constexpr float kFrameTop = -10.0f;
constexpr float kFrameBottom = 40.0f;
constexpr float kFrameLine = 2.0f;  // thickness, design units
constexpr int32_t kFrameRed = 240, kFrameGreen = 200, kFrameBlue = 80, kFrameAlpha = 220;

constexpr const char* kHint =
    "~y~Placing~w~   Arrows move (Shift: 10)   PgUp / PgDn size   Enter saves   "
    "Backspace cancels";
constexpr float kHintSize = 0.15f;
constexpr float kHintGap = 24.0f;  // design units between the hint's line and the frame

constexpr const char* kStartedNotice = "~y~KOV | ~w~Placing the panel: arrows move it, Enter saves.";
constexpr const char* kDisplayOffNotice = "~y~KOV | ~w~Switch the location panel on first (Ctrl+Alt+L).";
constexpr const char* kSavedNotice = "~y~KOV | ~w~Panel placement saved to KOV.ini.";
constexpr const char* kUnchangedNotice = "~y~KOV | ~w~Placement ended: the panel had not moved.";
constexpr const char* kCancelledNotice = "~y~KOV | ~w~Placement cancelled.";
constexpr const char* kEndedNotice = "~y~KOV | ~w~Placement ended without saving.";

constexpr uint32_t kAccessDenied = 5;
constexpr uint32_t kSharingViolation = 32;

static float Current(PlacedSetting setting) { return CurrentSettings().*kPlacedFields[setting]; }

// The anchor in use: the big map's while it is shown.
static PlacedSetting AnchorX() { return CurrentFrame().bigMapActive ? kBigMapX : kNormalX; }
static PlacedSetting AnchorY() { return CurrentFrame().bigMapActive ? kBigMapY : kNormalY; }

static void StartPlacement() {
    if (!CurrentFrame().displayEnabled) {
        ShowNotice(kDisplayOffNotice);
        return;
    }
    placement.placing = true;
    placement.session = CurrentFrame().inSession;
    placement.latches = 0;
    for (int setting = 0; setting < kPlacedCount; ++setting) {
        placement.before[setting] = Current(static_cast<PlacedSetting>(setting));
    }
    ShowNotice(kStartedNotice);
}

// Ends placement; unless kept, the placed settings get back what they held when it started.
static void EndPlacement(bool keep, const char* notice) {
    if (!keep) {
        for (int setting = 0; setting < kPlacedCount; ++setting) {
            SetNumberSetting(kPlacedFields[setting], placement.before[setting]);
        }
    }
    placement.placing = false;
    ShowNotice(notice);
}

void PollPlacementKey() {
    const int32_t key = CurrentSettings().PlacementKey;
    if (key == 0) return;
    if (!IsKeyDown(key)) {
        placementKeyLatch = false;
        return;
    }
    if (placementKeyLatch) return;
    placementKeyLatch = true;
    if (placement.placing) EndPlacement(false, kEndedNotice);
    else StartPlacement();
}

void RearmPlacementKey() { placementKeyLatch = false; }

void EndPlacementUnsaved() {
    if (placement.placing) EndPlacement(false, kEndedNotice);
}

// ---- moves -----------------------------------------------------------------------------------

// A step within [low, high]: it stops at the edge, never moves further out from beyond it, and a
// step back towards the screen from beyond an edge lands on that edge.
static float Moved(float value, float step, float low, float high) {
    if (step > 0.0f) {
        if (value < low) return low;
        return value + step > high ? (value > high ? value : high) : value + step;
    }
    if (value > high) return high;
    return value + step < low ? (value < low ? value : low) : value + step;
}

static float Clamped(float value, float low, float high) { return value < low ? low : value > high ? high : value; }

// The anchor's range at size m that keeps the frame on the screen.
static float LowX(float m) { return -kFrameLeft * m; }
static float HighX(float m) { return kDesignWidth - kFrameRight * m; }
static float LowY(float m) { return -kFrameTop * m; }
static float HighY(float m) { return kDesignHeight - kFrameBottom * m; }

static void MoveAnchor(float dx, float dy) {
    const float m = Current(kSize);
    const PlacedSetting x = AnchorX(), y = AnchorY();
    if (dx != 0.0f) SetNumberSetting(kPlacedFields[x], Moved(Current(x), dx, LowX(m), HighX(m)));
    if (dy != 0.0f) SetNumberSetting(kPlacedFields[y], Moved(Current(y), dy, LowY(m), HighY(m)));
}

// The next multiple of 0.05 up or down, never below the size's own minimum nor so large that the
// frame outgrows the screen; the anchor in use then moves as far as the frame needs to stay on it.
static void Resize(int direction) {
    const double steps = static_cast<double>(Current(kSize)) * kSizeSteps;
    const double next = direction > 0 ? std::floor(steps + kOnGrid) + 1.0 : std::ceil(steps - kOnGrid) - 1.0;
    const float minimum = KeyOfField(&Settings::LocTextSizeMult).minimum;
    float m = static_cast<float>(next / kSizeSteps);
    if (m < minimum) m = minimum;
    if ((kFrameRight - kFrameLeft) * m > kDesignWidth || (kFrameBottom - kFrameTop) * m > kDesignHeight) return;
    SetNumberSetting(kPlacedFields[kSize], m);
    const PlacedSetting x = AnchorX(), y = AnchorY();
    SetNumberSetting(kPlacedFields[x], Clamped(Current(x), LowX(m), HighX(m)));
    SetNumberSetting(kPlacedFields[y], Clamped(Current(y), LowY(m), HighY(m)));
}

// ---- saving ----------------------------------------------------------------------------------

// The shortest fixed-point text that the settings' reading turns back into the same float.
static void ShortestText(char (&text)[64], float value) {
    for (int decimals = 0; decimals <= 9; ++decimals) {
        std::snprintf(text, sizeof text, "%.*f", decimals, static_cast<double>(value));
        if (static_cast<float>(std::strtod(text, nullptr)) == value) return;
    }
    std::snprintf(text, sizeof text, "%.9g", static_cast<double>(value));  // nine digits always read back
}

static const char* SaveFailureReason(uint32_t error, char (&reason)[32]) {
    if (error == kAccessDenied) return "the folder or KOV.ini is read-only.";
    if (error == kSharingViolation) return "another program has KOV.ini open.";
    char number[12];
    DecimalText(number, static_cast<int32_t>(error), 0);
    JoinText(reason, {"Windows error ", number, "."});
    return reason;
}

// Writes each changed key through the profile writer, which keeps every other line of the file;
// stops at the first that fails. One line in KOV.log either way.
static void SavePlacement() {
    char written[256] = "";
    uint32_t error = 0;
    bool changed = false;
    for (int setting = 0; setting < kPlacedCount && error == 0; ++setting) {
        const float value = Current(static_cast<PlacedSetting>(setting));
        if (value == placement.before[setting]) continue;
        changed = true;
        const SettingKey& key = KeyOfField(kPlacedFields[setting]);
        char text[64];
        ShortestText(text, value);
        if (WritePrivateProfileStringA(key.section, key.key, text, kSettingsPath) == 0) error = GetLastError();
        char joined[256];
        JoinText(joined, {written, " ", key.key, "=", text});
        CopyText(written, joined);
    }
    if (!changed) return EndPlacement(true, kUnchangedNotice);
    if (error == 0) {
        LogLine(kLogFile, "<FILES> Panel placement saved:%s", written);
        return EndPlacement(true, kSavedNotice);
    }
    LogLine(kLogFile, "<FILES> Panel placement not saved (error %u):%s", static_cast<unsigned>(error), written);
    char reason[32];
    char notice[128];
    // Short, like the other notices: centred near the panel, a long one would run into it.
    JoinText(notice, {"~y~KOV | ~w~Not saved: ", SaveFailureReason(error, reason)});
    EndPlacement(true, notice);
}

// ---- the keys --------------------------------------------------------------------------------

// True once per run of consecutive just-pressed reports of the key.
static bool KeyPressed(size_t index) {
    const uint32_t bit = 1u << index;
    if (!IsDisabledControlJustPressed(kFrontendPad, kPlacementKeys[index].control)) {
        placement.latches &= ~bit;
        return false;
    }
    if ((placement.latches & bit) != 0) return false;
    placement.latches |= bit;
    return true;
}

// Acts on one key's press; false once placement has ended.
static bool Act(PlacementAction action, float step) {
    switch (action) {
        case kSave: SavePlacement(); return false;
        case kCancel: EndPlacement(false, kCancelledNotice); return false;
        case kLeft: MoveAnchor(-step, 0.0f); break;
        case kRight: MoveAnchor(step, 0.0f); break;
        case kUp: MoveAnchor(0.0f, -step); break;
        case kDown: MoveAnchor(0.0f, step); break;
        case kBigger: Resize(1); break;
        case kSmaller: Resize(-1); break;
    }
    return true;
}

void UpdatePlacement() {
    if (!placement.placing) return;
    const FrameState& frame = CurrentFrame();
    if (frame.inSession != placement.session || !frame.displayEnabled) return EndPlacement(false, kEndedNotice);
    for (const BlockedControl& blocked : kBlockedControls) DisableControlAction(blocked.pad, blocked.control);
    float step = 0.0f;  // asked once, on the first move of the frame
    for (size_t index = 0; index < std::size(kPlacementKeys); ++index) {
        if (!KeyPressed(index)) continue;
        const PlacementAction action = kPlacementKeys[index].action;
        const bool moves = action >= kLeft && action <= kDown;
        if (moves && step == 0.0f) {
            step = IsDisabledControlPressed(kFrontendPad, kTenfoldControl) ? kShiftStep : kUnitStep;
        }
        if (!Act(action, step)) return;
    }
}

// ---- the frame and the hint ------------------------------------------------------------------

// A filled box between two design-unit corners; lift as the panel's texts take it.
static void DrawBox(float left, float top, float right, float bottom, float lift, ScreenSize screen) {
    DrawRectangle(DesignToNormalisedX((left + right) * 0.5f, screen),
                  DesignToNormalisedY((top + bottom) * 0.5f, screen) - lift, DesignToNormalisedX(right - left, screen),
                  DesignToNormalisedY(bottom - top, screen), kFrameRed, kFrameGreen, kFrameBlue, kFrameAlpha);
}

void DrawPlacementGuides(bool panelDrawn) {
    if (!placement.placing || !panelDrawn) return;
    const Settings& settings = CurrentSettings();
    const float m = Current(kSize);
    const float left = Current(AnchorX()) + kFrameLeft * m, right = Current(AnchorX()) + kFrameRight * m;
    const float top = Current(AnchorY()) + kFrameTop * m, bottom = Current(AnchorY()) + kFrameBottom * m;
    const bool anchorToRadar = settings.AnchorToRadar == 1;
    const float lift = anchorToRadar ? kBottomAlignedLift : 0.0f;
    const ScreenSize screen = QueryScreenSize();
    if (anchorToRadar) BeginRadarAlignment();
    DrawBox(left, top - kFrameLine, right, top, lift, screen);
    DrawBox(left, bottom, right, bottom + kFrameLine, lift, screen);
    DrawBox(left - kFrameLine, top - kFrameLine, left, bottom + kFrameLine, lift, screen);
    DrawBox(right, top - kFrameLine, right + kFrameLine, bottom + kFrameLine, lift, screen);
    // Above the frame, or below it where the screen's top leaves no room.
    const float hintY = top - kHintGap >= 0.0f ? top - kHintGap + kFrameLine : bottom + kHintGap;
    SetTextOutline();
    DrawStyledText(kHint, kHintSize, 255, false, true, left, hintY, lift);
    if (anchorToRadar) EndRadarAlignment();
}
