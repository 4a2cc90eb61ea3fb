// Scenes from scenario runs: what the player sees at the end of a step.
#pragma once

#include <cstddef>
#include <optional>
#include <string>

#include "sim/scenario/scenario_run.h"
#include "tools/preview/preview_options.h"
#include "tools/preview/scene.h"

namespace preview {

// The last frame of the step in which the script ran (an empty frame when it never ran), the feed
// posts still on screen then, and the host's radar, big map and the player's heading after it.
Scene SceneOfStep(const sim::ScenarioResult& result, size_t step);

// Runs the plug-in at pluginPath as kov-preview does for the options, with iniText as KOV.ini
// (nullopt: none), on one real screen: the scene of the picture, or nullopt with the reason.
std::optional<Scene> PreviewSceneOn(const PreviewOptions& options, const sim::RealScreen& screen,
                                    const std::optional<std::string>& iniText, const std::string& pluginPath,
                                    std::string* error);

}  // namespace preview
