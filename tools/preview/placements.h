// Where the plug-in's texts land on a screen, in pixels: the list under the page's picture and
// kov-preview --positions.
#pragma once

#include <string>
#include <vector>

#include "tools/preview/screen_view.h"

namespace preview {

struct TextPlacement {
    std::string text;  // readable: colour codes as <yellow>...</yellow>
    int x = 0, y = 0;  // the text's anchor in pixels: its left edge (centre when centred), its top
    bool centred = false;
    // Where the text is, in words, when no pixel count holds its anchor (an infinite position, one
    // that is not a number, or one past 2^31 pixels): "infinitely far right", and x and y are 0.
    // Empty otherwise.
    std::string far;
};

// Every text of the scene's frame in draw order.
std::vector<TextPlacement> PlaceTexts(const ScreenView& scene, int width, int height);
// One line per text: "x,y text", or "off the screen (far) text" (with " (centred)" for centred texts).
std::string FormatPlacements(const std::vector<TextPlacement>& placements);

}  // namespace preview
