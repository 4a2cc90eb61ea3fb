// The world of a preview: the scenario that starts the plug-in with a KOV.ini on a real screen in
// the world the options describe, drives keys and controls to the requested state, and ends with
// the step whose last frame is the picture.
#pragma once

#include <optional>
#include <string>

#include "sim/game/screen_model.h"
#include "sim/result.h"
#include "sim/scenario/scenario.h"
#include "tools/preview/preview_options.h"

namespace preview {

// iniText is KOV.ini's bytes in any encoding (nullopt: no file). Fails with the reason if the host
// would not accept the world.
sim::Result<sim::Scenario> PreviewScenario(const PreviewOptions& options, const sim::RealScreen& screen,
                                           const std::optional<std::string>& iniText);

// The settings file's bytes (any encoding; nullopt: no file, so only that key) with AnchorToRadar
// set as given, in the file's own encoding.
std::string WithAnchorToRadar(const std::optional<std::string>& iniText, bool on);

}  // namespace preview
