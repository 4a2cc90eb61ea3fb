// The HUD's placement rule on a real screen, for the maps the player sees and aligned script draws alike.
#include "sim/game/screen_model.h"

namespace sim {

namespace {

constexpr float kHudAspect = 16.0f / 9.0f;
// Set-ups wider than the widest single monitors (32:9) are taken for several monitors side by
// side: the HUD then keeps to a centred 16:9 region. The least certain part of the model.
constexpr float kSeveralMonitorsAspect = 3.6f;

// A map as the player sees it, in the 16:9 frame's normalised units, aligned to the safe zone's
// bottom left with y measured from its bottom (negative upward). The HUD component around it (its
// frame) is larger: the map hangs from the frame's top-left corner, so left and top are the frame's
// position (x, and y less the frame's height), while width and height are the visible map's own.
// Public scripts give the widths as shares of the screen's width, 1/(4 x aspect) for the radar and
// 1/(2.52 x aspect) for the big map, written here at the 16:9 frame's aspect; heights are shares of
// the screen's height. Both maps end about 0.0106 above the safe zone's bottom.
struct VisibleMap {
    float left, top, width, height;
};
constexpr VisibleMap kVisibleRadar = {-0.0045f, 0.002f - 0.188888f, 1 / (4 * kHudAspect), 1 / 5.674f};
constexpr VisibleMap kVisibleBigMap = {-0.003975f, 0.022f - 0.460416666f, 1 / (2.52f * kHudAspect), 1 / 2.3374f};

float PlaceX(const SafeArea& area, const GfxAlign& align, float x) {
    if (!align.set) return x;
    switch (align.horizontal) {
        case kAlignLeft: return area.left + x * area.xScale;
        case kAlignRight: return area.right + (x - align.w) * area.xScale;
        case kAlignCentre: return (area.left + area.right) / 2 + (x - align.w / 2) * area.xScale;
        default: return x;
    }
}

float PlaceY(const SafeArea& area, const GfxAlign& align, float y) {
    if (!align.set) return y;
    switch (align.vertical) {
        case kAlignTop: return area.top + y;
        case kAlignBottom: return area.bottom + y - align.h;
        case kAlignCentre: return (area.top + area.bottom) / 2 + y - align.h / 2;
        default: return y;
    }
}

bool ScalesWidth(const GfxAlign& align) {
    return align.set &&
           (align.horizontal == kAlignLeft || align.horizontal == kAlignRight || align.horizontal == kAlignCentre);
}

}  // namespace

bool IsHorizontalAlign(int32_t letter) {
    return letter == kAlignLeft || letter == kAlignRight || letter == kAlignCentre || letter == kAlignIgnore;
}

bool IsVerticalAlign(int32_t letter) {
    return letter == kAlignTop || letter == kAlignBottom || letter == kAlignCentre || letter == kAlignIgnore;
}

float AspectRatio(const RealScreen& screen) {
    return screen.height > 0 ? static_cast<float>(screen.width) / static_cast<float>(screen.height) : kHudAspect;
}

SafeArea SafeAreaOf(const RealScreen& screen) {
    const float aspect = AspectRatio(screen);
    const float xScale = aspect > 0 ? kHudAspect / aspect : 1.0f;
    // The region the HUD keeps to: the whole screen, or a centred 16:9 part of several monitors.
    const float regionWidth = aspect > kSeveralMonitorsAspect ? xScale : 1.0f;
    const float regionLeft = (1.0f - regionWidth) / 2;
    const float margin = (1.0f - screen.safeZone) / 2;  // each side's share of that dimension
    SafeArea area;
    area.left = regionLeft + margin * regionWidth;
    area.right = regionLeft + regionWidth - margin * regionWidth;
    area.top = margin;
    area.bottom = 1.0f - margin;
    area.xScale = xScale;
    return area;
}

PixelPoint PlaceDrawPosition(const RealScreen& screen, const GfxAlign& align, float x, float y) {
    const SafeArea area = SafeAreaOf(screen);
    return {static_cast<double>(PlaceX(area, align, x)) * screen.width,
            static_cast<double>(PlaceY(area, align, y)) * screen.height};
}

PixelBox PlaceDrawRect(const RealScreen& screen, const GfxAlign& align, float centreX, float centreY, float w,
                       float h) {
    const PixelPoint centre = PlaceDrawPosition(screen, align, centreX, centreY);
    const double width = static_cast<double>(ScalesWidth(align) ? w * SafeAreaOf(screen).xScale : w) * screen.width;
    const double height = static_cast<double>(h) * screen.height;
    return {centre.x - width / 2, centre.y - height / 2, width, height};
}

// A map's top-left corner is where an aligned draw at (left, top) lands under ('L', 'B'): the same
// rule that places the panel when it is anchored to the radar.
PixelBox VisibleMapBox(const RealScreen& screen, HudMap map) {
    const VisibleMap& visible = map == HudMap::BigMap ? kVisibleBigMap : kVisibleRadar;
    GfxAlign bottomLeft;
    bottomLeft.set = true;
    bottomLeft.horizontal = kAlignLeft;
    bottomLeft.vertical = kAlignBottom;
    const PixelPoint corner = PlaceDrawPosition(screen, bottomLeft, visible.left, visible.top);
    return {corner.x, corner.y, static_cast<double>(visible.width * SafeAreaOf(screen).xScale) * screen.width,
            static_cast<double>(visible.height) * screen.height};
}

}  // namespace sim
