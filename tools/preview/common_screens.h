// The screens players meet and the limits of a screen the tools accept: one table for kov-preview,
// kov-demo and the page.
#pragma once

#include <string>
#include <vector>

#include "sim/input_limits.h"
#include "sim/result.h"

namespace preview {

struct PixelSize {
    int width = 0, height = 0;
};

// A real screen's limits, stated in sim/input_limits.h.
using sim::kMaxScreenSide;
using sim::kMinScreenHeight;
using sim::kMinScreenWidth;

struct CommonScreen {
    PixelSize size;
    bool measured;  // one of the eight of --size all and the gap report
};

// In the order the page lists them, the 4:3 and 5:4 screens last.
const std::vector<CommonScreen>& CommonScreens();
// The eight measured screens, in the table's order.
std::vector<PixelSize> MeasuredScreens();

// "2560x1080" within a real screen's limits (sim/input_limits.h); otherwise a message that quotes the text.
sim::Result<PixelSize> ParseScreenSize(const std::string& text);
// "WIDTHxHEIGHT of 320x240 to 16384x16384 pixels", for messages.
std::string ScreenSizeRule();

}  // namespace preview
