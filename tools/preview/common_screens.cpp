// The common screens and the screen-size rule.
#include "tools/preview/common_screens.h"

#include <cstdlib>

#include "sim/input_limits.h"

namespace preview {

namespace {

// A whole number of pixels from low to high, nothing else around it.
bool ParseSide(const std::string& text, int low, int high, int& out) {
    if (text.empty() || text.size() > 5 || text.find_first_not_of("0123456789") != std::string::npos) return false;
    const long value = std::strtol(text.c_str(), nullptr, 10);
    if (value < low || value > high) return false;
    out = static_cast<int>(value);
    return true;
}

}  // namespace

const std::vector<CommonScreen>& CommonScreens() {
    static const std::vector<CommonScreen> screens = {
        // clang-format off
        {{1280, 720}, true},   {{1366, 768}, false}, {{1600, 900}, false},  {{1920, 1080}, true},
        {{1920, 1200}, true},  {{2560, 1080}, true}, {{2560, 1440}, true},  {{3440, 1440}, true},
        {{3840, 2160}, false}, {{5120, 1440}, true}, {{1024, 768}, true},   {{1280, 1024}, false},
        // clang-format on
    };
    return screens;
}

std::vector<PixelSize> MeasuredScreens() {
    std::vector<PixelSize> sizes;
    for (const CommonScreen& screen : CommonScreens()) {
        if (screen.measured) sizes.push_back(screen.size);
    }
    return sizes;
}

std::string ScreenSizeRule() {
    return "WIDTHxHEIGHT of " + std::to_string(sim::kMinScreenWidth) + "x" + std::to_string(sim::kMinScreenHeight) +
           " to " + std::to_string(sim::kMaxScreenSide) + "x" + std::to_string(sim::kMaxScreenSide) + " pixels";
}

sim::Result<PixelSize> ParseScreenSize(const std::string& text) {
    const size_t x = text.find('x');
    PixelSize size;
    if (x == std::string::npos ||
        !ParseSide(text.substr(0, x), sim::kMinScreenWidth, sim::kMaxScreenSide, size.width) ||
        !ParseSide(text.substr(x + 1), sim::kMinScreenHeight, sim::kMaxScreenSide, size.height)) {
        return sim::Failure("wants " + ScreenSizeRule() + ", got " + sim::QuoteInput(text));
    }
    return size;
}

}  // namespace preview
