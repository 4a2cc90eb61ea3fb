// The game's real screen and where things land on it: the radar and the big map as the player sees
// them, and script draws made under script gfx alignment. One rule places both, so every painter
// (kov-preview, kov-demo, the preview page) and every measurement shows the panel where the game
// would put it against the maps. Plain portable C++, no drawing library.
//
// Positions are normalised (0 to 1 across the screen) unless they say pixels. The HUD lays itself
// out in a 16:9 frame: on another aspect ratio, horizontal positions and widths of a left-aligned
// component are scaled by (16/9) / aspect from the safe zone's left edge, while heights and text
// sizes follow the screen height.
#pragma once

#include <cstdint>

namespace sim {

// The picture the game really shows; the screen-resolution native reports 1280x720 whatever it is.
struct RealScreen {
    int32_t width = 1920, height = 1080;  // actual resolution in pixels
    float safeZone = 1.0f;                // the player's HUD safe-zone size, 0.9 to 1.0
};

constexpr float kMinSafeZone = 0.9f;
constexpr float kMaxSafeZone = 1.0f;

// Script gfx alignment letters (set script gfx align).
constexpr int32_t kAlignLeft = 'L';
constexpr int32_t kAlignRight = 'R';
constexpr int32_t kAlignCentre = 'C';
constexpr int32_t kAlignTop = 'T';
constexpr int32_t kAlignBottom = 'B';
constexpr int32_t kAlignIgnore = 'I';  // this axis ignores the safe zone: placed as given

// The script's gfx alignment state, recorded with every text and rectangle drawn under it.
struct GfxAlign {
    bool set = false;                      // set script gfx align was called since the last reset
    int32_t horizontal = 0, vertical = 0;  // letters, 0 while not set
    float x = 0, y = 0, w = 0, h = 0;      // set script gfx align params; w and h are the size that
                                           // right/bottom (half of it for centre) alignment subtracts

    bool IsReset() const { return !set && x == 0 && y == 0 && w == 0 && h == 0; }
};

bool IsHorizontalAlign(int32_t letter);
bool IsVerticalAlign(int32_t letter);

// The safe zone and the HUD's horizontal scale on a screen.
struct SafeArea {
    float left, top, right, bottom;  // safe-zone edges, normalised
    float xScale;                    // normalised width of one 16:9-frame unit
};
SafeArea SafeAreaOf(const RealScreen& screen);

float AspectRatio(const RealScreen& screen);

struct PixelPoint {
    double x, y;
};
struct PixelBox {
    double left, top, width, height;
    double right() const { return left + width; }
    double bottom() const { return top + height; }
};

// Where a draw position (as passed to a draw native) lands, in pixels, under an alignment.
PixelPoint PlaceDrawPosition(const RealScreen& screen, const GfxAlign& align, float x, float y);
// A rectangle given by its normalised centre and size, drawn under an alignment, in pixels.
PixelBox PlaceDrawRect(const RealScreen& screen, const GfxAlign& align, float centreX, float centreY, float w, float h);

enum class HudMap { Radar, BigMap };
// The map the player sees, the radar or the big map, on this screen in pixels: smaller than the HUD
// component that holds it, whose frame the game's layout data gives.
PixelBox VisibleMapBox(const RealScreen& screen, HudMap map);

}  // namespace sim
