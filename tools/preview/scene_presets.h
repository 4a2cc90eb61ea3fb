// The scenes a player picks from by name (the page's scene list, kov-preview --scene): a street, a
// crossing, off the road, the big map, the display switched off, online, a death.
#pragma once

#include <string>
#include <vector>

#include "tools/preview/preview_options.h"

namespace preview {

struct ScenePreset {
    const char* name;
    const char* title;
    void (*apply)(PreviewOptions& options);
};

const std::vector<ScenePreset>& ScenePresets();
// Sets the options of the named scene; false for an unknown name.
bool ApplyScenePreset(const std::string& name, PreviewOptions& options);
// "street, crossing, ..." for messages and help.
std::string ScenePresetNames();

}  // namespace preview
