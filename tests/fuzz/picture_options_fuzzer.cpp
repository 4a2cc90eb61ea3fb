// Fuzz target: kov-preview's picture options (screen sizes, safe zones, both modes, crops, zooms,
// tile heights; PNG or SVG) through the parser to the picture's tiles and its size check. A
// picture the check accepts is within the picture limits of sim/input_limits.h and is written
// (an SVG always, a PNG when small enough to draw quickly) without an error; a rejected one has a
// message. The scene on every tile is a fixed one with texts, rectangles, blips and feed posts.
#include <fuzzer/FuzzedDataProvider.h>

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "sim/input_limits.h"
#include "tools/preview/picture.h"
#include "tools/preview/preview_options.h"
#include "tools/preview/preview_picture.h"
#include "work_dir.h"

namespace {

constexpr double kMaxDrawnPixels = 1 << 20;  // a larger PNG is checked but not drawn

std::string commandLine;  // this input's arguments, for a report

[[noreturn]] void Violation(const char* what, const std::string& detail) {
    std::fprintf(stderr, "picture options: %s\n%.2000s\narguments:%.2000s\n", what, detail.c_str(),
                 commandLine.c_str());
    std::abort();
}

// A number as a person or a script might type it, edge cases among them.
std::string Number(FuzzedDataProvider& bytes) {
    static const char* const kEdges[] = {"0",     "1",         "-1",     "0.5",  "1e-300",         "4.9e-324",
                                         "1e308", "nan",       "inf",    "-inf", "0x1p-60",        "2.5",
                                         "4",     "4.0000001", "0.0001", "1e-5", "6.103515625e-05"};
    if (bytes.ConsumeBool()) return bytes.PickValueInArray(kEdges);
    char text[64];
    std::snprintf(text, sizeof text, "%.17g", bytes.ConsumeFloatingPoint<double>());
    return text;
}

std::string Size(FuzzedDataProvider& bytes) {
    static const char* const kSizes[] = {"320x240", "16384x240", "320x16384", "16384x16384", "1920x1080", "all", "0x0"};
    if (bytes.ConsumeBool()) return bytes.PickValueInArray(kSizes);
    return std::to_string(bytes.ConsumeIntegralInRange<int>(0, 20000)) + "x" +
           std::to_string(bytes.ConsumeIntegralInRange<int>(0, 20000));
}

std::vector<std::string> Arguments(FuzzedDataProvider& bytes, const std::string& output) {
    std::vector<std::string> args{"-o", output};
    while (bytes.remaining_bytes() > 0 && args.size() < 40) {
        switch (bytes.ConsumeIntegralInRange(0, 6)) {
            case 0: args.insert(args.end(), {"--size", Size(bytes)}); break;
            case 1:
                args.insert(args.end(), {"--crop", Number(bytes) + "," + Number(bytes) + "," + Number(bytes) + "," +
                                                       Number(bytes)});
                break;
            case 2: args.insert(args.end(), {"--zoom", Number(bytes)}); break;
            case 3:
                args.insert(args.end(),
                            {"--tile-height", std::to_string(bytes.ConsumeIntegralInRange<int>(-10, 5000))});
                break;
            case 4: args.insert(args.end(), {"--safe-zone", Number(bytes)}); break;
            case 5: args.push_back("--both-modes"); break;
            default: args.insert(args.end(), {"--size", Size(bytes) + "," + Size(bytes)}); break;
        }
    }
    return args;
}

preview::ScreenView FixedScene() {
    preview::ScreenView scene;
    sim::DrawnText text;
    text.text = "~y~Vinewood Blvd~w~  |  Downtown";
    text.state.scale = 0.5f;
    text.state.font = 4;
    text.state.outline = true;
    text.x = 0.2f;
    text.y = 0.9f;
    scene.frame.texts = {text};
    sim::DrawnRect rect;
    rect.x = rect.y = 0.5f;
    rect.w = 0.2f;
    rect.h = 0.1f;
    rect.a = 160;
    scene.frame.rects = {rect};
    scene.feed = {sim::FeedPost{"~w~Rook ~c~died."}};
    scene.marks = {preview::MapMark{30, -20, 255, false}, preview::MapMark{-400, 900, 120, true}};
    return scene;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider bytes(data, size);
    const bool png = bytes.ConsumeBool();
    const std::string output = (fuzz::ScratchDirectory() / (png ? "picture.png" : "picture.svg")).string();
    const std::vector<std::string> args = Arguments(bytes, output);
    commandLine.clear();
    for (const std::string& arg : args) commandLine += " " + arg;
    const sim::Result<preview::PreviewOptions> options = preview::ParsePreviewOptions(args);
    if (!options) {
        if (options.error().empty()) Violation("a rejection without a message", "");
        return 0;
    }
    static const preview::ScreenView kScene = FixedScene();
    const std::vector<preview::PictureRow> rows = preview::PictureRows(*options, std::nullopt);
    const std::vector<preview::ScreenView> scenes(rows.size() * options->sizes.size(), kScene);
    const std::vector<preview::Tile> tiles = preview::PictureTiles(*options, rows, scenes);
    const int columns = static_cast<int>(options->sizes.size());
    const sim::Status fits = preview::CheckPictureSize(tiles, columns, output);
    if (!fits) {
        if (fits.error().empty()) Violation("a picture refused without a message", "");
        return 0;
    }
    const preview::PictureExtent extent = preview::MeasurePicture(tiles, columns);
    if (!(extent.width >= 1 && extent.height >= 1 && extent.width <= sim::kMaxPictureSidePx &&
          extent.height <= sim::kMaxPictureSidePx)) {
        Violation("a picture accepted past the limits",
                  std::to_string(extent.width) + "x" + std::to_string(extent.height));
    }
    if (png && !(extent.width * extent.height <= sim::kMaxPicturePixels))
        Violation("a PNG accepted past its pixels", "");
    if (png && extent.width * extent.height > kMaxDrawnPixels) return 0;
    if (const sim::Status written = preview::WritePicture(output, tiles, columns); !written) {
        Violation("an accepted picture could not be written", written.error());
    }
    return 0;
}
