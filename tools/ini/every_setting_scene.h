// A scene in which every setting of KOV.ini shows in what the plug-in draws and calls: runs of it
// with two settings files trace the same calls exactly when the plug-in uses the same settings
// (AllowRadarSizeToggle aside, which changes nothing by design).
#pragma once

#include <optional>
#include <string>

#include "sim/scenario/scenario.h"

namespace ini {

// The panel beside the radar (LocTextPosX, LocTextPosY, LocTextSizeMult: the five texts' places and
// scales; AnchorToRadar: the alignment calls around them), the big map open (the _RadarLrg pair),
// then a session with a team mate and a rival (DisplayPlayerBlips, DisplayTeamBlipsOnly: which
// blips are made) in which the mate is killed (ShowPlayerObituaries: the feed post).
// iniBytes: the KOV.ini file's bytes; nullopt for no file at all. screen: the real screen the
// panel is placed on (the resolution query reports 1280 by 720 whatever it is).
sim::Scenario EverySettingScene(const std::optional<std::string>& iniBytes,
                                const sim::RealScreen& screen = sim::RealScreen{});

// The scene's steps that draw the panel: beside the radar, then while the big map is shown.
constexpr size_t kPanelWithRadarStep = 0;
constexpr size_t kPanelWithBigMapStep = 1;

}  // namespace ini
