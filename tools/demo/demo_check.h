// kov-demo's command line checked as a whole, with the tour, the plug-in and the folder it writes
// in, before it writes anything (what kov-demo runs, and what the fuzz target of the command lines
// calls); and the names of the pictures, with the rule of which the demo may write.
#pragma once

#include <cstddef>
#include <filesystem>
#include <string>
#include <vector>

#include "sim/scenario/scenario.h"
#include "tools/command_line.h"
#include "tools/demo/picture_manifest.h"
#include "tools/kov_demo_options.h"
#include "tools/preview/picture.h"

namespace demo {

constexpr const char* kSheetName = "contact-sheet.png";
constexpr int kSheetColumns = 3;
constexpr double kSheetTileWidthPx = 640;

// A stop is a step whose label does not start with "(".
bool IsStop(const std::string& label);
// "01-davis-ave-west-of-the-split.png" for stop 1 "Davis Ave, west of the split".
std::string PictureName(size_t stop, const std::string& label);

// May the demo write this name in the folder? Free, or a picture of its own (PictureManifest):
// yes. A folder: never. Anything else is in the way, unless force.
sim::Status Claim(const PictureManifest& manifest, const std::filesystem::path& folder, const std::string& name,
                  bool force);

// The contact sheet's cells: one per stop up to the sheet's limit, each as wide as
// kSheetTileWidthPx for the tour's starting screen (a stop on another screen is fitted in).
std::vector<preview::Tile> SheetCells(size_t stops, const sim::RealScreen& screen);

struct DemoRun {
    tools::DemoOptions options;
    sim::Scenario tour;  // --size applied
    size_t stops = 0;
    std::string plugin;
};
tools::Checked<DemoRun> CheckDemoRun(const std::vector<std::string>& args);

}  // namespace demo
