// One preview: the plug-in run in the world the options describe on one real screen, and what the
// screen shows at the end.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "sim/game/screen_model.h"
#include "sim/result.h"
#include "tools/preview/preview_options.h"
#include "tools/preview/screen_view.h"

namespace preview {

// Runs the plug-in at pluginPath as kov-preview does for the options, with iniText as KOV.ini
// (nullopt: none), on one real screen: what the picture shows, or why the run failed. lookups, when
// given, receives the settings lookups the plug-in made in the run.
sim::Result<ScreenView> RunPreview(const PreviewOptions& options, const sim::RealScreen& screen,
                                   const std::optional<std::string>& iniText, const std::string& pluginPath,
                                   std::vector<sim::SettingsLookup>* lookups = nullptr);

}  // namespace preview
