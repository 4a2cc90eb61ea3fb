// Pixel positions of drawn texts: each draw position placed by the screen model under the alignment
// it was drawn with (as the renderer places it), rounded.
#include "tools/preview/placements.h"

#include <cmath>

#include "sim/host/frame_summary.h"

namespace preview {

std::vector<TextPlacement> PlaceTexts(const ScreenView& scene, int width, int height) {
    const sim::RealScreen screen{width, height, scene.screen.safeZone};
    std::vector<TextPlacement> placements;
    for (const sim::DrawnText& text : scene.frame.texts) {
        const sim::PixelPoint at = sim::PlaceDrawPosition(screen, text.align, text.x, text.y);
        placements.push_back(TextPlacement{sim::ReadableText(text.text), static_cast<int>(std::lround(at.x)),
                                           static_cast<int>(std::lround(at.y)), text.state.centred});
    }
    return placements;
}

std::string FormatPlacements(const std::vector<TextPlacement>& placements) {
    std::string out;
    for (const TextPlacement& p : placements) {
        out += std::to_string(p.x) + "," + std::to_string(p.y) + " " + p.text + (p.centred ? " (centred)" : "") + "\n";
    }
    return out;
}

}  // namespace preview
