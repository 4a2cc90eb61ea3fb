// kov-demo: runs a tour scenario through the plug-in in the simulated host and, for every stop as
// the tour reaches it, prints what the screen shows and writes a picture of it; then a contact
// sheet of the first stops. A step whose label starts with "(" only gets the tour to its next stop
// (a key let go, say) and is neither printed nor pictured. Nothing of a stop is kept once it is
// drawn, so memory stays the same however long the tour.
//
// The output folder is the user's too. The demo keeps a record there of the pictures it wrote for
// each tour (demo::PictureManifest), so a later run knows its own: it replaces only those, refuses
// to start while any other file has the name of one it will write (unless --force), and once the
// tour has succeeded removes its own earlier pictures of that tour it did not write again (stops
// renamed since). Every picture goes in whole (sim::WholeFile).
#include <cstdio>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "sim/game/frame_summary.h"
#include "sim/game/text_escape.h"
#include "sim/input_limits.h"
#include "sim/platform/files.h"
#include "sim/scenario/scenario_run.h"
#include "tools/demo/demo_check.h"
#include "tools/guarded_main.h"
#include "tools/preview/picture.h"
#include "tools/preview/screen_view.h"

namespace {

namespace fs = std::filesystem;

constexpr const char* kKeyword = "kov-demo";  // the PNG text naming the tour and the stop

std::string Shown(const std::string& text) { return sim::TerminalText(text); }

// The frame's summary without its heading and the positions of the texts, and the feed posts still
// on screen (the frame's summary has only those posted in that very frame).
void PrintScreen(const preview::ScreenView& scene) {
    const std::vector<std::string> lines = sim::SplitLines(sim::SummariseFrame(scene.frame));
    for (size_t i = 1; i < lines.size(); ++i) {
        const std::string& line = lines[i];
        const bool detail = line.compare(0, 3, "   ") == 0 || line.compare(0, 8, "  feed: ") == 0;
        if (!detail) std::printf("      %s\n", line.substr(line.find_first_not_of(' ')).c_str());
    }
    for (const sim::FeedPost& post : scene.feed) std::printf("      feed: %s\n", sim::ReadableText(post.text).c_str());
    if (scene.frame.texts.empty() && scene.feed.empty()) std::printf("      (nothing drawn)\n");
}

// Puts a picture in the folder: claimed again (the folder may have changed since the run was
// checked), recorded as the demo's own, then written whole.
class PictureWriter {
public:
    explicit PictureWriter(const tools::DemoOptions& options)
        : options_(options), outDir_(fs::absolute(options.outDir)), manifest_(outDir_, options.tour) {}

    sim::Status Write(const std::string& name, preview::TiledPng& picture, const std::string& stop) {
        if (sim::Status free = demo::Claim(manifest_, outDir_, name, options_.force); !free) return free;
        const preview::PngText text{kKeyword,
                                    sim::QuoteInput(fs::path(options_.tour).filename().string()) + ", " + stop};
        const std::string file = (outDir_ / name).string();
        const sim::Result<std::string> bytes = picture.Encode(&text);
        if (!bytes) return sim::Failure("cannot write " + file + ": " + bytes.error());
        if (sim::Status recorded = manifest_.Record(name, *bytes); !recorded) return recorded;
        if (sim::Status written = sim::WriteWholeFileBytes(file, *bytes); !written) return written;
        written_.insert(name);
        return {};
    }
    // Once the tour has succeeded: the demo's earlier pictures of the tour not written again go.
    sim::Status Settle() { return manifest_.Settle(written_); }

private:
    const tools::DemoOptions& options_;
    const fs::path outDir_;
    demo::PictureManifest manifest_;
    std::set<std::string> written_;
};

// Draws each stop as the tour reaches it: its picture, its lines on stdout, its cell of the sheet.
// The run works in a folder of its own, so the pictures go by absolute path; messages and the
// printout name them as the user gave the folder.
class TourPictures : public preview::StepViews {
public:
    TourPictures(const tools::DemoOptions& options, PictureWriter& writer, preview::TiledPng& sheet)
        : options_(options), writer_(writer), sheet_(sheet) {}

    size_t stops = 0;

private:
    sim::Status StepViewed(size_t, const std::string& label, const preview::ScreenView& scene) override {
        if (!demo::IsStop(label)) return {};
        ++stops;
        const std::string caption = std::to_string(stops) + ". " + label;
        const std::string name = demo::PictureName(stops, label);
        preview::Tile tile;
        tile.scene = &scene;
        tile.width = scene.screen.width;
        tile.height = scene.screen.height;
        preview::TiledPng picture({tile}, 1);
        picture.Draw(0, tile);
        if (sim::Status written = writer_.Write(name, picture, "stop " + std::to_string(stops)); !written)
            return written;
        std::printf("  %s\n", Shown(caption).c_str());
        PrintScreen(scene);
        std::printf("      -> %s\n\n", Shown((fs::path(options_.outDir) / name).string()).c_str());
        if (stops <= sim::kMaxSheetStops) {
            tile.caption = caption;
            tile.zoom = demo::kSheetTileWidthPx / tile.width;
            sheet_.Draw(stops - 1, tile);
        }
        return tools::CheckStandardOutput();
    }

    const tools::DemoOptions& options_;
    PictureWriter& writer_;
    preview::TiledPng& sheet_;
};

int Failed(const std::string& message) {
    tools::PrintFailure("kov-demo", message);
    return tools::kExitFailed;
}

int Run(const demo::DemoRun& checked) {
    const tools::DemoOptions& options = checked.options;
    std::error_code fsError;
    fs::create_directories(options.outDir, fsError);
    if (fsError) return Failed("cannot create " + options.outDir + ": " + fsError.message());

    if (!checked.tour.description.empty()) std::printf("%s\n\n", Shown(checked.tour.description).c_str());
    const sim::RealScreen screen = sim::InitialWorld(checked.tour).realScreen;
    preview::TiledPng sheet(demo::SheetCells(checked.stops, screen), demo::kSheetColumns);
    PictureWriter writer(options);
    TourPictures pictures(options, writer, sheet);
    sim::ScenarioRunOptions run;
    run.pluginPath = checked.plugin;
    run.observer = &pictures;
    run.keepHistory = false;
    const sim::ScenarioResult result = sim::RunScenario(checked.tour, run);
    if (!tools::CheckStandardOutput()) return tools::kExitWriteFailed;  // GuardedMain says why
    if (!result.status.ok()) return Failed("the tour failed: " + result.status.error());

    if (sim::Status written = writer.Write(demo::kSheetName, sheet, "contact sheet"); !written)
        return Failed(written.error());
    if (sim::Status settled = writer.Settle(); !settled) return Failed(settled.error());
    const std::string sheetFile = Shown((fs::path(options.outDir) / demo::kSheetName).string());
    if (pictures.stops <= sim::kMaxSheetStops) {
        std::printf("contact sheet of %zu stops: %s\n", pictures.stops, sheetFile.c_str());
    } else {
        std::printf("contact sheet of the first %zu of %zu stops: %s\n", sim::kMaxSheetStops, pictures.stops,
                    sheetFile.c_str());
    }
    return 0;
}

int CheckAndRun(int argc, char** argv) {
    const tools::Checked<demo::DemoRun> checked = demo::CheckDemoRun(std::vector<std::string>(argv + 1, argv + argc));
    if (!checked.run) {
        tools::PrintFailure("kov-demo", checked.message);
        return checked.exitCode;
    }
    if (checked.run->options.help) {
        std::printf("%s", tools::DemoHelp().c_str());
        return 0;
    }
    return Run(*checked.run);
}

}  // namespace

int main(int argc, char** argv) {
    return tools::GuardedMain("kov-demo", [&] { return CheckAndRun(argc, argv); });
}
