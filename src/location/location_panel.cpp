// UpdateLocationPanel, DrawLocationPanel and HeadingLetter.
#include "location/location_panel.h"

#include <iterator>

#include "config/settings.h"
#include "draw/radar_alignment.h"
#include "draw/styled_text.h"
#include "frame/frame_state.h"
#include "host/natives.h"
#include "location/area_line.h"
#include "location/street_line.h"
#include "text/bounded_text.h"

// One row per element; offsets and sizes in design units, multiplied by m.
struct PanelElement {
    float dx, dy, size;
    int32_t alpha;
    bool centred, proportional;
};

enum PanelRow { kLeftSeparator, kHeading, kRightSeparator, kStreet, kArea };

static const PanelElement kPanelLayout[] = {
    // dx      dy      size    alpha  centred  proportional
    // clang-format off
    {0.0f,   1.5f,   0.4f,   70,    false,   false},  // "|"
    {24.62f, 3.25f,  0.32f,  150,   true,    true},   // heading letter
    {36.0f,  1.5f,   0.4f,   70,    false,   false},  // "|"
    {54.0f,  -1.1f,  0.17f,  180,   false,   false},  // street line
    {54.1f,  20.45f, 0.15f,  160,   false,   false},  // area line
    // clang-format on
};
static_assert(std::size(kPanelLayout) == 5, "the panel has five elements");

constexpr const char* kSeparator = "|";
constexpr const char* kRoadNameUnavailable = "Road name unavailable";
constexpr float kNearRoadDistance = 20.0f;  // farther than this from a major node: "Near  "
constexpr float kNodeSearchThreshold = 3.0f;
constexpr uint8_t kNodeFound = 1;

// "N", "W", "S" or "E" for the ped's heading.
static const char* HeadingLetter(int32_t ped) {
    const float h = GetEntityHeading(ped);
    // The host's heading grows counter-clockwise from north; not-a-number falls through to "N".
    if (h > 45.0f && h <= 135.0f) return "W";
    if (h > 135.0f && h <= 225.0f) return "S";
    if (h > 225.0f && h <= 315.0f) return "E";
    return "N";
}

// Anchor plus offset times m; a zero offset is the anchor itself (even for an infinite m).
static float Place(float anchor, float offset, float m) { return offset == 0.0f ? anchor : anchor + offset * m; }

static void DrawPanelElement(PanelRow row, const char* text, float anchorX, float anchorY, float m, float lift) {
    const PanelElement& e = kPanelLayout[row];
    SetTextOutline();
    DrawStyledText(text, e.size * m, e.alpha, e.centred, e.proportional, Place(anchorX, e.dx, m),
                   Place(anchorY, e.dy, m), lift);
}

// The street element's text: the street line on the road network; off it "Near  <line>" (written
// into nearForm, from a second build of the line) when the nearest major node is more than 20
// units away, or "Road name unavailable" when there is none.
static const char* ApplyRoadTest(const char* streetLine, int32_t ped, const NativeVector3& position,
                                 char (&nearForm)[128]) {
    if (IsPointOnRoad(position.x, position.y, position.z, 0)) return streetLine;
    NativeVector3 node = {};
    if (GetClosestMajorVehicleNode(position.x, position.y, position.z, &node, kNodeSearchThreshold, 0) != kNodeFound) {
        return kRoadNameUnavailable;
    }
    const float distance = GetDistanceBetweenCoords(position.x, position.y, position.z, node.x, node.y, node.z, true);
    if (distance > kNearRoadDistance) {
        JoinText(nearForm, {"Near  ", BuildStreetLine(ped)});
        return nearForm;
    }
    return streetLine;
}

// Draws the five elements at anchor (x, y), design units, with size multiplier m. Anchored to the
// radar, they are drawn under the safe zone's bottom-left alignment, y measured from its bottom.
// The texts are drawn where they lie: the street and area lines stay valid until their next build,
// which no drawing makes, and the panel's buffers would hold every line whole.
static void DrawLocationPanel(float anchorX, float anchorY, float m, bool anchorToRadar) {
    // The panel asks the host for the ped again rather than using the frame's snapshot.
    const int32_t ped = GetLocalPlayerPed();
    const NativeVector3 position = GetEntityCoords(ped);
    char nearForm[128];
    const char* street = ApplyRoadTest(BuildStreetLine(ped), ped, position, nearForm);

    const float lift = anchorToRadar ? kBottomAlignedLift : 0.0f;
    if (anchorToRadar) BeginRadarAlignment();
    DrawPanelElement(kLeftSeparator, kSeparator, anchorX, anchorY, m, lift);
    DrawPanelElement(kHeading, HeadingLetter(ped), anchorX, anchorY, m, lift);
    DrawPanelElement(kRightSeparator, kSeparator, anchorX, anchorY, m, lift);
    DrawPanelElement(kStreet, street, anchorX, anchorY, m, lift);
    DrawPanelElement(kArea, BuildAreaLine(ped), anchorX, anchorY, m, lift);
    if (anchorToRadar) EndRadarAlignment();
}

bool UpdateLocationPanel() {
    const FrameState& frame = CurrentFrame();
    if (!frame.displayEnabled) return false;
    if (IsRadarHidden()) return false;
    if (IsEntityDead(frame.localPlayerPed)) return false;
    if (frame.gameHudHidden) return false;
    const Settings& settings = CurrentSettings();
    const bool anchorToRadar = settings.AnchorToRadar == 1;
    if (frame.bigMapActive) {
        DrawLocationPanel(settings.LocTextPosX_RadarLrg, settings.LocTextPosY_RadarLrg, settings.LocTextSizeMult,
                          anchorToRadar);
    } else {
        DrawLocationPanel(settings.LocTextPosX, settings.LocTextPosY, settings.LocTextSizeMult, anchorToRadar);
    }
    // Only frames that drew the panel suppress the host's own area name.
    DisplayAreaName(false);
    return true;
}
