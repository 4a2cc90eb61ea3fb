// Fuzz target: the tools' command lines. The first byte picks the tool (kov-sim, kov-demo,
// kov-preview), the rest is its argument vector, arguments separated by NUL bytes. A parse ends in
// options within every limit of sim/input_limits.h, or in one line of plain ASCII short enough to
// read, whatever the arguments (an argument a message repeats is quoted cut).
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "arguments.h"
#include "sim/game/screen_model.h"
#include "sim/game/world.h"
#include "sim/input_limits.h"
#include "tools/kov_demo_options.h"
#include "tools/kov_sim_options.h"
#include "tools/preview/preview_options.h"

namespace {

// Words, at most one quoted argument (four characters a byte at most) and a list of names.
constexpr size_t kMaxMessageBytes = 4 * sim::kMaxQuotedChars + 400;

[[noreturn]] void Violation(const char* what, const std::string& detail) {
    std::fprintf(stderr, "tool options: %s\n%.2000s\n", what, detail.c_str());
    std::abort();
}

void Require(bool holds, const char* what) {
    if (!holds) Violation(what, "");
}

void CheckMessage(const std::string& message) {
    if (message.empty()) Violation("a rejection without a message", message);
    if (message.size() > kMaxMessageBytes) Violation("a message too long", message);
    for (const char c : message) {
        if (c < 0x20 || c > 0x7E) Violation("a message that is not one line of plain ASCII", message);
    }
}

bool IsPath(const std::string& path) { return path.size() <= sim::kMaxPathBytes; }

bool IsScreen(const preview::PixelSize& size) {
    return size.width >= sim::kMinScreenWidth && size.height >= sim::kMinScreenHeight &&
           size.width <= sim::kMaxScreenSide && size.height <= sim::kMaxScreenSide;
}

bool IsFloatWithin(float value, double limit) { return std::isfinite(value) && std::fabs(value) <= limit; }

void CheckSim(const tools::SimOptions& o) {
    Require(o.help || !o.scenario.empty(), "kov-sim without a scenario");
    Require(IsPath(o.scenario) && IsPath(o.plugin) && IsPath(o.trace) && IsPath(o.log) && IsPath(o.workDir),
            "kov-sim: a path past the limit");
}

void CheckDemo(const tools::DemoOptions& o) {
    Require(o.help || !o.tour.empty(), "kov-demo without a tour");
    Require(!o.size || IsScreen(*o.size), "kov-demo: a screen past the limits");
    Require(IsPath(o.tour) && IsPath(o.outDir) && IsPath(o.plugin), "kov-demo: a path past the limit");
}

void CheckPreview(const preview::PreviewOptions& o) {
    if (o.help) return;
    Require(!o.output.empty() || o.report, "kov-preview with nothing to do");
    Require(IsPath(o.output) && IsPath(o.iniPath) && IsPath(o.pluginPath), "kov-preview: a path past the limit");
    Require(!o.sizes.empty() && !o.safeZones.empty(), "kov-preview without a screen");
    for (const preview::PixelSize& size : o.sizes) Require(IsScreen(size), "kov-preview: a screen past the limits");
    for (const float zone : o.safeZones)
        Require(zone >= sim::kMinSafeZone && zone <= sim::kMaxSafeZone, "a safe zone out of range");
    Require(o.sizes.size() * o.safeZones.size() * (o.bothModes ? 2 : 1) <= sim::kMaxPictureScreens, "too many screens");
    Require(o.zoom >= sim::kMinZoom && o.zoom <= sim::kMaxZoom, "a zoom out of range");
    for (const preview::PixelSize& size : o.sizes) {
        const double zoom = preview::TileZoom(o, size);
        Require(zoom >= sim::kMinZoom && zoom <= sim::kMaxZoom, "a screen drawn at a zoom out of range");
    }
    Require(o.tileHeight == 0 || (o.tileHeight >= sim::kMinTileHeightPx && o.tileHeight <= sim::kMaxTileHeightPx),
            "a tile height out of range");
    const preview::Crop& c = o.crop;
    Require(c.x >= 0 && c.y >= 0 && c.w >= sim::kMinCropShare && c.h >= sim::kMinCropShare && c.x + c.w <= 1 &&
                c.y + c.h <= 1,
            "a crop out of the screen");
    Require(IsFloatWithin(o.heading, sim::kMaxHeadingDegrees), "a heading out of range");
    Require(IsFloatWithin(o.x, sim::kMaxFloatValue) && IsFloatWithin(o.y, sim::kMaxFloatValue) &&
                IsFloatWithin(o.z, sim::kMaxFloatValue),
            "a position out of the float range");
    Require(o.sessionPlayers >= 0 && o.sessionPlayers <= sim::kPlayerSlots, "session players out of range");
    Require(!o.playerList || o.sessionPlayers > 0, "a player list without a session");
    Require(o.deathSlot < 0 || (o.deathSlot >= 1 && o.deathSlot < o.sessionPlayers && o.killerSlot < o.sessionPlayers),
            "a death outside the session");
}

template <typename Options>
void Check(const sim::Result<Options>& parsed, void (*check)(const Options&)) {
    if (!parsed) return CheckMessage(parsed.error());
    check(*parsed);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    const std::vector<std::string> args = fuzz::Arguments(data + 1, size - 1);
    switch (data[0] % 3) {
        case 0: Check(tools::ParseSimOptions(args), CheckSim); break;
        case 1: Check(tools::ParseDemoOptions(args), CheckDemo); break;
        default: Check(preview::ParsePreviewOptions(args), CheckPreview); break;
    }
    return 0;
}
