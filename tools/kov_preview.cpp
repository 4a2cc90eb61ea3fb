// kov-preview: runs the plug-in with a KOV.ini in a described world and draws what it drew, at one
// or more screen sizes side by side, so a player can place the panel without starting the game.
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "sim/files.h"
#include "sim/frame_summary.h"
#include "sim/plugin_module.h"
#include "tools/guarded_main.h"
#include "tools/preview/picture.h"
#include "tools/preview/preview_options.h"
#include "tools/preview/scenes.h"

namespace {

constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;

int Failed(const std::string& message) {
    std::fprintf(stderr, "kov-preview: %s\n", message.c_str());
    return kExitFailed;
}

std::vector<preview::Tile> Tiles(const preview::PreviewOptions& options, const preview::Scene& scene) {
    std::vector<preview::Tile> tiles;
    for (const preview::PixelSize& size : options.sizes) {
        preview::Tile tile;
        tile.scene = &scene;
        tile.width = size.width;
        tile.height = size.height;
        if (options.sizes.size() > 1) tile.caption = std::to_string(size.width) + "x" + std::to_string(size.height);
        tile.zoom = options.zoom;
        tile.crop = options.crop;
        tiles.push_back(tile);
    }
    return tiles;
}

}  // namespace

int Run(int argc, char** argv) {
    preview::PreviewOptions options;
    std::string error;
    if (!preview::ParsePreviewOptions(std::vector<std::string>(argv + 1, argv + argc), options, &error)) {
        std::fprintf(stderr, "kov-preview: %s\n", error.c_str());
        return kExitUsage;
    }
    if (options.help) {
        std::printf("%s", preview::PreviewHelp().c_str());
        return 0;
    }

    std::optional<std::string> ini;
    if (!options.iniPath.empty()) {
        ini = sim::ReadFileBytes(options.iniPath);
        if (!ini) return Failed("cannot read the settings file " + options.iniPath + ": " + sim::UnreadableFileReason(options.iniPath));
    }
    const preview::Scene sizing;  // the picture's size depends on the tiles' sizes only
    if (!preview::CheckPictureSize(Tiles(options, sizing), static_cast<int>(options.sizes.size()), options.output, &error)) {
        std::fprintf(stderr, "kov-preview: %s\n", error.c_str());
        return kExitUsage;
    }
    sim::ScenarioRunOptions run;
    run.pluginPath = options.pluginPath.empty() ? sim::DefaultPluginPath() : options.pluginPath;
    std::error_code ignored;
    if (!std::filesystem::is_regular_file(run.pluginPath, ignored)) return Failed("cannot find the plug-in " + run.pluginPath);

    const std::optional<sim::Scenario> scenario = preview::PreviewScenario(options, ini, &error);
    if (!scenario) return Failed(error);
    const sim::ScenarioResult result = sim::RunScenario(*scenario, run);
    if (!result.ok) return Failed("the plug-in run failed: " + result.error);

    const preview::Scene scene = preview::SceneOfStep(result, result.steps.size() - 1);
    if (!preview::WritePicture(options.output, Tiles(options, scene), static_cast<int>(options.sizes.size()), &error)) {
        return Failed(error);
    }
    std::printf("%s", sim::SummariseFrame(scene.frame).c_str());
    std::printf("wrote %s\n", options.output.c_str());
    return 0;
}

int main(int argc, char** argv) {
    return tools::GuardedMain("kov-preview", [&] { return Run(argc, argv); });
}
