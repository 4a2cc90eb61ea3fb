// What the tools tell a player about a KOV.ini: what the plug-in reads from it and the check's
// findings, both taken from a run of the plug-in on the file's bytes through the every-setting
// scene on the player's screen: the settings from the lookups the run recorded, off the screen
// from where the run drew the panel. The page shows these claims; a fuzz target holds them to the
// plug-in's behaviour.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "sim/scenario/scenario_run.h"
#include "tools/ini/ini_check.h"
#include "tools/ini/settings_read.h"

namespace ini {

struct SettingsClaims {
    sim::Status status = sim::Failure("not run");  // done, or why the run failed
    std::vector<SettingRead> read;                 // every key as the plug-in read it
    std::vector<IniFinding> findings;              // the check against the run
};

// The every-setting scene run with the file (nullopt: none) on that screen.
sim::ScenarioResult RunEverySettingScene(const std::optional<std::string>& fileBytes, const sim::RealScreen& screen,
                                         const std::string& pluginPath);
// The claims about the file from that run.
SettingsClaims ClaimsOfRun(std::string_view fileBytes, const sim::ScenarioResult& run, const sim::RealScreen& screen);
// Both: the run, then the claims.
SettingsClaims ClaimsOfFile(std::string_view fileBytes, const sim::RealScreen& screen, const std::string& pluginPath);

}  // namespace ini
