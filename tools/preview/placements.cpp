// Pixel positions of drawn texts: normalised host positions scaled to the screen, rounded.
#include "tools/preview/placements.h"

#include <cmath>

#include "sim/frame_summary.h"

namespace preview {

std::vector<TextPlacement> PlaceTexts(const Scene& scene, int width, int height) {
    std::vector<TextPlacement> placements;
    for (const sim::DrawnText& text : scene.frame.texts) {
        placements.push_back(TextPlacement{sim::ReadableText(text.text), static_cast<int>(std::lround(text.x * width)),
                                           static_cast<int>(std::lround(text.y * height)), text.state.centred});
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
