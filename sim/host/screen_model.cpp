// The HUD's placement rule on a real screen, for HUD components and aligned script draws alike.
#include "sim/host/screen_model.h"

namespace sim {

namespace {

constexpr float kHudAspect = 16.0f / 9.0f;
// Set-ups wider than the widest single monitors (32:9) are taken for several monitors side by
// side: the HUD then keeps to a centred 16:9 region. The least certain part of the model.
constexpr float kSeveralMonitorsAspect = 3.6f;

// A HUD component in the 16:9 frame: position and size, aligned to the safe zone's bottom left.
struct ComponentLayout {
    float posX, posY, sizeX, sizeY;
};
constexpr ComponentLayout kRadarLayout = {-0.0045f, 0.002f, 0.150f, 0.188888f};
constexpr ComponentLayout kBigMapLayout = {-0.003975f, 0.022f, 0.364f, 0.460416666f};

float PlaceX(const HudFrame& frame, const GfxAlign& align, float x) {
    if (!align.set) return x;
    switch (align.horizontal) {
        case kAlignLeft: return frame.left + x * frame.xScale;
        case kAlignRight: return frame.right + (x - align.w) * frame.xScale;
        case kAlignCentre: return (frame.left + frame.right) / 2 + (x - align.w / 2) * frame.xScale;
        default: return x;
    }
}

float PlaceY(const HudFrame& frame, const GfxAlign& align, float y) {
    if (!align.set) return y;
    switch (align.vertical) {
        case kAlignTop: return frame.top + y;
        case kAlignBottom: return frame.bottom + y - align.h;
        case kAlignCentre: return (frame.top + frame.bottom) / 2 + y - align.h / 2;
        default: return y;
    }
}

bool ScalesWidth(const GfxAlign& align) {
    return align.set && (align.horizontal == kAlignLeft || align.horizontal == kAlignRight ||
                         align.horizontal == kAlignCentre);
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

HudFrame HudFrameOf(const RealScreen& screen) {
    const float aspect = AspectRatio(screen);
    const float xScale = aspect > 0 ? kHudAspect / aspect : 1.0f;
    // The region the HUD keeps to: the whole screen, or a centred 16:9 part of several monitors.
    const float regionWidth = aspect > kSeveralMonitorsAspect ? xScale : 1.0f;
    const float regionLeft = (1.0f - regionWidth) / 2;
    const float margin = (1.0f - screen.safeZone) / 2;  // each side's share of that dimension
    HudFrame frame;
    frame.left = regionLeft + margin * regionWidth;
    frame.right = regionLeft + regionWidth - margin * regionWidth;
    frame.top = margin;
    frame.bottom = 1.0f - margin;
    frame.xScale = xScale;
    return frame;
}

PixelPoint PlaceDrawPosition(const RealScreen& screen, const GfxAlign& align, float x, float y) {
    const HudFrame frame = HudFrameOf(screen);
    return {static_cast<double>(PlaceX(frame, align, x)) * screen.width,
            static_cast<double>(PlaceY(frame, align, y)) * screen.height};
}

PixelBox PlaceDrawRect(const RealScreen& screen, const GfxAlign& align, float centreX, float centreY, float w, float h) {
    const PixelPoint centre = PlaceDrawPosition(screen, align, centreX, centreY);
    const double width = static_cast<double>(ScalesWidth(align) ? w * HudFrameOf(screen).xScale : w) * screen.width;
    const double height = static_cast<double>(h) * screen.height;
    return {centre.x - width / 2, centre.y - height / 2, width, height};
}

// A component's top-left corner is where an aligned draw at (posX, posY - sizeY) lands under
// ('L', 'B'): the same rule that places the panel when it is anchored to the radar.
PixelBox HudComponentBox(const RealScreen& screen, HudComponent component) {
    const ComponentLayout& layout = component == HudComponent::BigMap ? kBigMapLayout : kRadarLayout;
    GfxAlign bottomLeft;
    bottomLeft.set = true;
    bottomLeft.horizontal = kAlignLeft;
    bottomLeft.vertical = kAlignBottom;
    const PixelPoint corner = PlaceDrawPosition(screen, bottomLeft, layout.posX, layout.posY - layout.sizeY);
    return {corner.x, corner.y, static_cast<double>(layout.sizeX * HudFrameOf(screen).xScale) * screen.width,
            static_cast<double>(layout.sizeY) * screen.height};
}

}  // namespace sim
