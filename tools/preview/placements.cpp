// Pixel positions of drawn texts: each draw position placed by the screen model under the alignment
// it was drawn with (as the renderer places it), rounded; in words where no pixel count holds it.
#include "tools/preview/placements.h"

#include <cmath>
#include <limits>

#include "sim/game/frame_summary.h"

namespace preview {

namespace {

// One coordinate in words when it is no whole number of pixels an int holds; empty otherwise.
std::string FarWords(double pixels, const char* ahead, const char* behind) {
    if (std::isnan(pixels)) return "nowhere: not a number";
    if (std::fabs(std::round(pixels)) <= std::numeric_limits<int>::max()) return "";
    return std::string(std::isinf(pixels) ? "infinitely far " : "over 2 billion pixels ") +
           (pixels > 0 ? ahead : behind);
}

TextPlacement Placement(const sim::DrawnText& text, const sim::PixelPoint& at) {
    TextPlacement placement{sim::ReadableText(text.text), 0, 0, text.state.centred, ""};
    const std::string across = FarWords(at.x, "right", "left"), down = FarWords(at.y, "down", "up");
    placement.far = across + (!across.empty() && !down.empty() ? " and " : "") + down;
    if (placement.far.empty()) {
        placement.x = static_cast<int>(std::lround(at.x));
        placement.y = static_cast<int>(std::lround(at.y));
    }
    return placement;
}

}  // namespace

std::vector<TextPlacement> PlaceTexts(const ScreenView& scene, int width, int height) {
    const sim::RealScreen screen{width, height, scene.screen.safeZone};
    std::vector<TextPlacement> placements;
    for (const sim::DrawnText& text : scene.frame.texts) {
        placements.push_back(Placement(text, sim::PlaceDrawPosition(screen, text.align, text.x, text.y)));
    }
    return placements;
}

std::string FormatPlacements(const std::vector<TextPlacement>& placements) {
    std::string out;
    for (const TextPlacement& p : placements) {
        const std::string at =
            p.far.empty() ? std::to_string(p.x) + "," + std::to_string(p.y) : "off the screen (" + p.far + ")";
        out += at + " " + p.text + (p.centred ? " (centred)" : "") + "\n";
    }
    return out;
}

}  // namespace preview
