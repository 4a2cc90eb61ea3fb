// What the tools tell a player about a KOV.ini: what the plug-in reads from it and the check's
// findings, both taken from a run of the plug-in on the file's bytes through the every-setting
// scene on the player's screen: the settings from the lookups the run recorded, off the screen
// from the extent of each text the run drew, measured as the pictures lay it out (the painter's
// font metrics: its lines' height and its widest line's width). The page shows these claims; a
// fuzz target holds them to the plug-in's behaviour.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "sim/scenario/scenario_run.h"
#include "tools/ini/ini_check.h"
#include "tools/ini/settings_read.h"
#include "tools/preview/painter.h"

namespace ini {

struct SettingsClaims {
    sim::Status status = sim::Failure("not run");  // done, or why the run failed
    std::vector<SettingRead> read;                 // every key as the plug-in read it
    std::vector<IniFinding> findings;              // the check against the run
};

// The every-setting scene run with the file (nullopt: none) on that screen.
sim::ScenarioResult RunEverySettingScene(const std::optional<std::string>& fileBytes, const sim::RealScreen& screen,
                                         const std::string& pluginPath);
// The claims about the file from that run; the painter measures the texts it drew.
SettingsClaims ClaimsOfRun(std::string_view fileBytes, const sim::ScenarioResult& run, const sim::RealScreen& screen,
                           preview::Painter& measure);
// Both: the run, then the claims.
SettingsClaims ClaimsOfFile(std::string_view fileBytes, const sim::RealScreen& screen, const std::string& pluginPath,
                            preview::Painter& measure);
// The extents of the texts a step of the every-setting scene drew last, in draw order, in pixels.
std::vector<sim::PixelBox> StepTextBoxes(const sim::ScenarioResult& run, size_t step, const sim::RealScreen& screen,
                                         preview::Painter& measure);

}  // namespace ini
