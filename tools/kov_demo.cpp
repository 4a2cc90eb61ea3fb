// kov-demo: runs a tour scenario through the plug-in in the simulated host and, for every stop as
// the tour reaches it, prints what the screen shows and writes a picture of it; then a contact
// sheet of the first stops. A step whose label starts with "(" only gets the tour to its next stop
// (a key let go, say) and is neither printed nor pictured. Nothing of a stop is kept once it is
// drawn, so memory stays the same however long the tour.
//
// The output folder is the user's too. Every picture carries a text (a PNG tEXt chunk) naming the
// run that wrote it, so a later run knows its own: it replaces only those, refuses to start while
// any other file has the name of one it will write (unless --force), and once the tour has
// succeeded removes its own earlier pictures it did not write again (stops renamed since).
#include <cctype>
#include <cstdio>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "sim/game/frame_summary.h"
#include "sim/input_limits.h"
#include "sim/platform/files.h"
#include "sim/platform/plugin_module.h"
#include "sim/scenario/scenario.h"
#include "sim/scenario/scenario_run.h"
#include "tools/guarded_main.h"
#include "tools/kov_demo_options.h"
#include "tools/preview/picture.h"
#include "tools/preview/screen_view.h"

namespace {

namespace fs = std::filesystem;

constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;
constexpr int kSheetColumns = 3;
constexpr double kSheetTileWidthPx = 640;
constexpr const char* kSheetName = "contact-sheet.png";
constexpr const char* kOwnKeyword = "kov-demo";  // the PNG text by which the demo knows its pictures

bool IsStop(const std::string& label) { return label.empty() || label[0] != '('; }

// "Davis Ave, west of the split" -> "davis-ave-west-of-the-split", at most kMaxLabelInFileName long.
std::string Slug(const std::string& label) {
    std::string slug;
    for (size_t i = 0; i < label.size() && slug.size() < sim::kMaxLabelInFileName; ++i) {
        const unsigned char c = static_cast<unsigned char>(label[i]);
        if (std::isalnum(c) != 0) slug += static_cast<char>(std::tolower(c));
        else if (!slug.empty() && slug.back() != '-') slug += '-';
    }
    while (!slug.empty() && slug.back() == '-') slug.pop_back();
    return slug;
}

std::string PictureName(size_t stop, const std::string& label) {
    return (stop < 10 ? "0" : "") + std::to_string(stop) + "-" + Slug(label) + ".png";
}

// What marks this run's pictures: a number drawn afresh for every run.
preview::PngText ThisRun() {
    std::random_device random;
    char id[32];
    std::snprintf(id, sizeof id, "run %08x%08x", random(), random());
    return {kOwnKeyword, id};
}

// May the demo write this path? Free, or a picture of an earlier run: yes. Anything else is in the
// way: with --force (and `replace`) it is removed now; without, the demo refuses.
sim::Status Claim(const fs::path& path, bool force, bool replace) {
    std::error_code error;
    const fs::file_status status = fs::symlink_status(path, error);
    if (status.type() == fs::file_type::not_found) return {};
    if (status.type() == fs::file_type::regular && preview::PngTextOf(path.string(), kOwnKeyword)) return {};
    if (status.type() == fs::file_type::directory) return sim::Failure(path.string() + " is in the way: a folder");
    if (!force) {
        return sim::Failure(path.string() +
                            " is in the way: kov-demo did not write it; remove it, give another --out "
                            "or add --force to replace it");
    }
    if (replace && !fs::remove(path, error))
        return sim::Failure("cannot replace " + path.string() + ": " + error.message());
    return {};
}

// Removes the pictures of earlier runs (known by their text) that this run did not write again.
void RemoveEarlierPictures(const fs::path& dir, const preview::PngText& thisRun) {
    std::error_code error;
    for (const fs::directory_entry& entry : fs::directory_iterator(dir, error)) {
        if (entry.path().extension() != ".png" || !entry.is_regular_file(error) || entry.is_symlink(error)) continue;
        const std::optional<std::string> run = preview::PngTextOf(entry.path().string(), kOwnKeyword);
        if (run && *run != thisRun.text) fs::remove(entry.path(), error);
    }
}

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

// The contact sheet's cells: one per stop up to the sheet's limit, each as wide as
// kSheetTileWidthPx for the tour's starting screen (a stop on another screen is fitted in).
std::vector<preview::Tile> SheetCells(size_t stops, const sim::RealScreen& screen) {
    preview::Tile cell;
    cell.width = screen.width;
    cell.height = screen.height;
    cell.zoom = kSheetTileWidthPx / screen.width;
    cell.caption = "-";
    return std::vector<preview::Tile>(std::min(stops, sim::kMaxSheetStops), cell);
}

// Draws each stop as the tour reaches it: its picture, its lines on stdout, its cell of the sheet.
// The run works in a folder of its own, so the pictures go by absolute path; messages and the
// printout name them as the user gave the folder.
class TourPictures : public preview::StepViews {
public:
    TourPictures(const tools::DemoOptions& options, const preview::PngText& thisRun, preview::TiledPng& sheet)
        : options_(options), outDir_(fs::absolute(options.outDir)), thisRun_(thisRun), sheet_(sheet) {}

    size_t stops = 0;

private:
    sim::Status StepViewed(size_t, const std::string& label, const preview::ScreenView& scene) override {
        if (!IsStop(label)) return {};
        ++stops;
        const std::string caption = std::to_string(stops) + ". " + label;
        const std::string name = PictureName(stops, label);
        const std::string file = (outDir_ / name).string();
        if (sim::Status free = Claim(file, options_.force, true); !free) return free;
        preview::Tile tile;
        tile.scene = &scene;
        tile.width = scene.screen.width;
        tile.height = scene.screen.height;
        if (sim::Status written = preview::WritePicture(file, {tile}, 1, &thisRun_); !written) return written;
        std::printf("  %s\n", caption.c_str());
        PrintScreen(scene);
        std::printf("      -> %s\n\n", (fs::path(options_.outDir) / name).string().c_str());
        if (stops <= sim::kMaxSheetStops) {
            tile.caption = caption;
            tile.zoom = kSheetTileWidthPx / tile.width;
            sheet_.Draw(stops - 1, tile);
        }
        return tools::CheckStandardOutput();
    }

    const tools::DemoOptions& options_;
    const fs::path outDir_;
    const preview::PngText& thisRun_;
    preview::TiledPng& sheet_;
};

int Failed(const std::string& message) {
    std::fprintf(stderr, "kov-demo: %s\n", message.c_str());
    return kExitFailed;
}

// Counts the stops and checks, before anything is written, that every picture's name is free.
sim::Result<size_t> PlanStops(const sim::Scenario& tour, const tools::DemoOptions& options) {
    size_t stops = 0;
    sim::Status free;
    sim::ForEachStep(tour, [&](size_t, const sim::ScenarioStep& step) {
        if (IsStop(step.label))
            free = Claim(fs::path(options.outDir) / PictureName(++stops, step.label), options.force, false);
        return free.ok();
    });
    if (!free) return free;
    if (stops == 0) return sim::Failure("the tour has no stops: every step's label starts with \"(\"");
    if (sim::Status sheet = Claim(fs::path(options.outDir) / kSheetName, options.force, false); !sheet) return sheet;
    return stops;
}

}  // namespace

int Run(int argc, char** argv) {
    const sim::Result<tools::DemoOptions> parsed =
        tools::ParseDemoOptions(std::vector<std::string>(argv + 1, argv + argc));
    if (!parsed) {
        std::fprintf(stderr, "kov-demo: %s\n\n%s", parsed.error().c_str(), tools::DemoHelp().c_str());
        return kExitUsage;
    }
    const tools::DemoOptions& options = *parsed;
    if (options.help) {
        std::printf("%s", tools::DemoHelp().c_str());
        return 0;
    }
    sim::Result<sim::Scenario> tour = sim::LoadScenarioFile(options.tour);
    if (!tour) return Failed(tour.error());
    if (options.size) {
        if (!tour->world.is_object()) tour->world = nlohmann::json::object();
        tour->world["display"]["resolution"] = {options.size->width, options.size->height};
    }
    const sim::Result<size_t> stops = PlanStops(*tour, options);
    if (!stops) return Failed(stops.error());
    const sim::RealScreen screen = sim::InitialWorld(*tour).realScreen;
    const std::vector<preview::Tile> cells = SheetCells(*stops, screen);
    const std::string sheetFile = (fs::path(options.outDir) / kSheetName).string();
    preview::Tile stop;
    stop.width = screen.width;
    stop.height = screen.height;
    for (const sim::Status& fits : {preview::CheckPictureSize({stop}, 1, "stop.png"),
                                    preview::CheckPictureSize(cells, kSheetColumns, sheetFile)}) {
        if (!fits) return Failed(fits.error());
    }
    std::error_code fsError;
    fs::create_directories(options.outDir, fsError);
    if (fsError) return Failed("cannot create " + options.outDir + ": " + fsError.message());

    if (!tour->description.empty()) std::printf("%s\n\n", tour->description.c_str());
    const preview::PngText thisRun = ThisRun();
    preview::TiledPng sheet(cells, kSheetColumns);
    TourPictures pictures(options, thisRun, sheet);
    sim::ScenarioRunOptions run;
    run.pluginPath = options.plugin.empty() ? sim::DefaultPluginPath() : options.plugin;
    run.observer = &pictures;
    run.keepHistory = false;
    const sim::ScenarioResult result = sim::RunScenario(*tour, run);
    if (!tools::CheckStandardOutput()) return tools::kExitWriteFailed;  // GuardedMain says why
    if (!result.status.ok()) return Failed("the tour failed: " + result.status.error());

    if (sim::Status free = Claim(sheetFile, options.force, true); !free) return Failed(free.error());
    if (sim::Status written = sheet.Write(sheetFile, &thisRun); !written) return Failed(written.error());
    RemoveEarlierPictures(options.outDir, thisRun);
    if (pictures.stops <= sim::kMaxSheetStops) {
        std::printf("contact sheet of %zu stops: %s\n", pictures.stops, sheetFile.c_str());
    } else {
        std::printf("contact sheet of the first %zu of %zu stops: %s\n", sim::kMaxSheetStops, pictures.stops,
                    sheetFile.c_str());
    }
    return 0;
}

int main(int argc, char** argv) {
    return tools::GuardedMain("kov-demo", [&] { return Run(argc, argv); });
}
