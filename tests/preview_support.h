// Test support for the pictures: the scene kov-preview would draw for a set of options (the real
// plug-in, run in the simulated host), and pixel comparisons of rendered scenes.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "sim_harness.h"
#include "tools/preview/picture.h"
#include "tools/preview/preview_options.h"
#include "tools/preview/preview_run.h"

namespace previewtest {

// Runs the plug-in as kov-preview does for these options and returns the scene of the picture, on
// the first screen and safe zone the options name.
inline preview::ScreenView PreviewScene(const std::vector<std::string>& args) {
    std::vector<std::string> withOutput = args;
    withOutput.insert(withOutput.end(), {"-o", "unused.png"});
    const sim::Result<preview::PreviewOptions> options = preview::ParsePreviewOptions(withOutput);
    EXPECT_TRUE(options.ok()) << options.error();
    if (!options) return preview::ScreenView{};
    const sim::RealScreen screen{options->sizes.front().width, options->sizes.front().height,
                                 options->safeZones.front()};
    const sim::Result<preview::ScreenView> view =
        preview::RunPreview(*options, screen, std::nullopt, simtest::PluginPath());
    EXPECT_TRUE(view.ok()) << view.error();
    return view ? *view : preview::ScreenView{};
}

// The same scene with nothing of the plug-in's: only the host's own screen.
inline preview::ScreenView HostOnly(const preview::ScreenView& scene) {
    preview::ScreenView bare = scene;
    bare.frame = sim::Frame{};
    bare.feed.clear();
    return bare;
}

struct Pixel {
    int r, g, b;
};

inline Pixel Unpack(uint32_t argb) {
    return Pixel{static_cast<int>((argb >> 16) & 0xFF), static_cast<int>((argb >> 8) & 0xFF),
                 static_cast<int>(argb & 0xFF)};
}

inline int Distance(Pixel a, Pixel b) { return std::abs(a.r - b.r) + std::abs(a.g - b.g) + std::abs(a.b - b.b); }

// Pixels of the box (x0, y0)-(x1, y1), clipped to the image, that differ between two images.
inline int ChangedPixels(const preview::Image& a, const preview::Image& b, int x0, int y0, int x1, int y1) {
    int changed = 0;
    for (int y = std::max(0, y0); y < std::min(a.height, y1); ++y) {
        for (int x = std::max(0, x0); x < std::min(a.width, x1); ++x) changed += a.At(x, y) != b.At(x, y) ? 1 : 0;
    }
    return changed;
}

// Pixels of the box that have exactly this colour.
inline int PixelsOfColour(const preview::Image& image, Pixel colour, int x0, int y0, int x1, int y1) {
    int count = 0;
    for (int y = std::max(0, y0); y < std::min(image.height, y1); ++y) {
        for (int x = std::max(0, x0); x < std::min(image.width, x1); ++x) {
            count += Distance(Unpack(image.At(x, y)), colour) == 0 ? 1 : 0;
        }
    }
    return count;
}

}  // namespace previewtest
