// kov-preview: runs the plug-in with a KOV.ini in a described world and draws what it drew, on one
// or more real screens side by side, so a player can place the panel without starting the game;
// or reports how far the panel stands from the radar on each screen.
#include <cstdio>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "sim/game/frame_summary.h"
#include "sim/game/text_escape.h"
#include "tools/guarded_main.h"
#include "tools/preview/gap_report.h"
#include "tools/preview/picture.h"
#include "tools/preview/placements.h"
#include "tools/preview/preview_check.h"
#include "tools/preview/preview_picture.h"
#include "tools/preview/preview_run.h"
#include "tools/preview/preview_world.h"

namespace {

int Failed(const std::string& message) {
    tools::PrintFailure("kov-preview", message);
    return tools::kExitFailed;
}

// One run of the plug-in per screen of the picture, each tile showing its own.
sim::Status Picture(const preview::PreviewOptions& options, const std::optional<std::string>& ini,
                    const std::string& plugin) {
    const std::vector<preview::PictureRow> rows = preview::PictureRows(options, ini);
    std::vector<preview::ScreenView> scenes;
    for (const preview::PictureRow& row : rows) {
        for (const preview::PixelSize& size : options.sizes) {
            const sim::RealScreen screen{size.width, size.height, row.safeZone};
            sim::Result<preview::ScreenView> view = preview::RunPreview(options, screen, row.ini, plugin);
            if (!view) return view.status();
            scenes.push_back(std::move(*view));
        }
    }
    const std::vector<preview::Tile> tiles = preview::PictureTiles(options, rows, scenes);
    if (sim::Status written = preview::WritePicture(options.output, tiles, static_cast<int>(options.sizes.size()));
        !written) {
        return written;
    }
    std::printf("%s", sim::SummariseFrame(scenes.front().frame).c_str());
    if (options.positions) {
        const preview::PixelSize& size = options.sizes.front();
        std::printf("text positions at %dx%d:\n%s", size.width, size.height,
                    preview::FormatPlacements(preview::PlaceTexts(scenes.front(), size.width, size.height)).c_str());
    }
    std::printf("wrote %s\n", sim::TerminalText(options.output).c_str());
    return {};
}

}  // namespace

int Run(int argc, char** argv) {
    const tools::Checked<preview::PreviewRun> checked =
        preview::CheckPreviewRun(std::vector<std::string>(argv + 1, argv + argc));
    if (!checked.run) {
        tools::PrintFailure("kov-preview", checked.message);
        return checked.exitCode;
    }
    const preview::PreviewOptions& options = checked.run->options;
    if (options.help) {
        std::printf("%s", preview::PreviewHelp().c_str());
        return 0;
    }
    const std::optional<std::string>& ini = checked.run->ini;
    const std::string& plugin = checked.run->plugin;

    if (options.report) {
        const sim::Result<std::vector<preview::GapRow>> rows = preview::MeasureGaps(options, ini, plugin);
        if (!rows) return Failed(rows.error());
        std::printf(
            "Gap in pixels from the right edge of the radar (and of the big map) to the panel's first\n"
            "separator; in brackets the same on a screen 1080 pixels high. Negative: the panel starts\n"
            "left of the map's right edge.\n\n%s",
            preview::FormatGapTable(*rows).c_str());
    }
    if (!options.output.empty()) {
        if (sim::Status drawn = Picture(options, ini, plugin); !drawn) return Failed(drawn.error());
    }
    return 0;
}

int main(int argc, char** argv) {
    return tools::GuardedMain("kov-preview", [&] { return Run(argc, argv); });
}
