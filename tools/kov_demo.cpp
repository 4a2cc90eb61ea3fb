// kov-demo: runs a tour scenario through the plug-in in the simulated host and, for every stop,
// prints what the screen shows and writes a picture of it; then a contact sheet of all stops.
// A step whose label starts with "(" only gets the tour to its next stop (a key let go, say) and
// is neither printed nor pictured.
#include <cctype>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "sim/platform/files.h"
#include "sim/host/frame_summary.h"
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

bool IsStop(const sim::StepResult& step) { return step.label.empty() || step.label[0] != '('; }

// "Davis Ave, west of the split" -> "davis-ave-west-of-the-split"
std::string Slug(const std::string& label) {
    std::string slug;
    for (char c : label) {
        const bool word = std::isalnum(static_cast<unsigned char>(c)) != 0;
        if (word) slug += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        else if (!slug.empty() && slug.back() != '-') slug += '-';
    }
    while (!slug.empty() && slug.back() == '-') slug.pop_back();
    return slug;
}

std::string TwoDigits(size_t n) { return (n < 10 ? "0" : "") + std::to_string(n); }

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

// Removes the pictures of an earlier run, so renamed stops leave nothing stale behind.
void ClearOldPictures(const fs::path& dir) {
    std::error_code ignored;
    for (const auto& entry : fs::directory_iterator(dir, ignored)) {
        const std::string name = entry.path().filename().string();
        const bool ours = name == kSheetName || (name.size() > 3 && std::isdigit(static_cast<unsigned char>(name[0])) &&
                                                 std::isdigit(static_cast<unsigned char>(name[1])) && name[2] == '-' &&
                                                 entry.path().extension() == ".png");
        if (ours) fs::remove(entry.path(), ignored);
    }
}

int Failed(const std::string& message) {
    std::fprintf(stderr, "kov-demo: %s\n", message.c_str());
    return kExitFailed;
}

}  // namespace

int Run(int argc, char** argv) {
    const sim::Result<tools::DemoOptions> parsed = tools::ParseDemoOptions(std::vector<std::string>(argv + 1, argv + argc));
    if (!parsed) {
        std::fprintf(stderr, "kov-demo: %s\n\n%s", parsed.error().c_str(), tools::DemoHelp().c_str());
        return kExitUsage;
    }
    const tools::DemoOptions& options = *parsed;
    if (options.help) {
        std::printf("%s", tools::DemoHelp().c_str());
        return 0;
    }
    std::string error;
    std::optional<sim::Scenario> tour = sim::LoadScenarioFile(options.tour, &error);
    if (!tour) return Failed(error);
    if (options.size) {
        if (!tour->world.is_object()) tour->world = nlohmann::json::object();
        tour->world["display"]["resolution"] = {options.size->width, options.size->height};
    }
    sim::ScenarioRunOptions run;
    run.pluginPath = options.plugin.empty() ? sim::DefaultPluginPath() : options.plugin;
    const sim::ScenarioResult result = sim::RunScenario(*tour, run);
    if (!result.ok) return Failed("the tour failed: " + result.error);

    std::error_code fsError;
    fs::create_directories(options.outDir, fsError);
    if (fsError) return Failed("cannot create " + options.outDir + ": " + fsError.message());
    ClearOldPictures(options.outDir);

    if (!tour->description.empty()) std::printf("%s\n\n", tour->description.c_str());
    std::vector<preview::ScreenView> scenes;
    std::vector<std::string> labels;
    for (size_t i = 0; i < result.steps.size(); ++i) {
        if (!IsStop(result.steps[i])) continue;
        scenes.push_back(preview::ViewOfStep(result, i));
        labels.push_back(std::to_string(scenes.size()) + ". " + result.steps[i].label);
    }
    std::vector<preview::Tile> sheet;
    for (size_t n = 0; n < scenes.size(); ++n) {
        const std::string file = (fs::path(options.outDir) / (TwoDigits(n + 1) + "-" + Slug(labels[n].substr(labels[n].find(' ') + 1)) + ".png")).string();
        preview::Tile tile;
        tile.scene = &scenes[n];
        tile.width = scenes[n].screen.width;
        tile.height = scenes[n].screen.height;
        if (sim::Status written = preview::WritePicture(file, {tile}, 1); !written) return Failed(written.error());
        std::printf("  %s\n", labels[n].c_str());
        PrintScreen(scenes[n]);
        std::printf("      -> %s\n\n", file.c_str());
        tile.caption = labels[n];
        tile.zoom = kSheetTileWidthPx / tile.width;
        sheet.push_back(tile);
    }
    const std::string sheetFile = (fs::path(options.outDir) / kSheetName).string();
    if (sim::Status written = preview::WritePicture(sheetFile, sheet, kSheetColumns); !written) return Failed(written.error());
    std::printf("contact sheet of %zu stops: %s\n", scenes.size(), sheetFile.c_str());
    return 0;
}

int main(int argc, char** argv) {
    return tools::GuardedMain("kov-demo", [&] { return Run(argc, argv); });
}
