// Scenes from scenario runs: what the player sees at the end of a step.
#pragma once

#include <cstddef>

#include "sim/scenario_run.h"
#include "tools/preview/scene.h"

namespace preview {

// The last frame of the step in which the script ran (an empty frame when it never ran), the feed
// posts still on screen then, and the host's radar, big map and the player's heading after it.
Scene SceneOfStep(const sim::ScenarioResult& result, size_t step);

}  // namespace preview
