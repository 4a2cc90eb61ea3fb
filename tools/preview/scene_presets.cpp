// The scene presets as data.
#include "tools/preview/scene_presets.h"

namespace preview {

const std::vector<ScenePreset>& ScenePresets() {
    static const std::vector<ScenePreset> presets = {
        {"street", "On a street", [](PreviewOptions&) {}},
        {"crossing", "At a crossing",
         [](PreviewOptions& o) { o.street = "Los Santos Freeway", o.crossing = "Alta St", o.zone = "Downt"; }},
        {"near-road", "Off the road, near a road",
         [](PreviewOptions& o) { o.offRoad = OffRoad::Near, o.zone = "CHIL"; }},
        {"far-from-roads", "Far from roads", [](PreviewOptions& o) { o.offRoad = OffRoad::Far, o.zone = "Desrt"; }},
        {"big-map", "Big map open", [](PreviewOptions& o) { o.bigMap = true; }},
        {"display-off", "Display switched off (Ctrl+Alt+L)",
         [](PreviewOptions& o) { o.notice = NoticeKind::Disabled; }},
        {"online", "Online, player list shown", [](PreviewOptions& o) { o.sessionPlayers = 12, o.playerList = true; }},
        {"death", "Online, a death notice",
         [](PreviewOptions& o) { o.sessionPlayers = 12, o.deathSlot = 4, o.killerSlot = 7; }},
        {"legion-square", "In the game's San Andreas: Legion Square",
         [](PreviewOptions& o) { o.x = 229.5f, o.y = -994.5f, o.atMap = true, o.groundHeight = true; }},
    };
    return presets;
}

bool ApplyScenePreset(const std::string& name, PreviewOptions& options) {
    for (const ScenePreset& preset : ScenePresets()) {
        if (name != preset.name) continue;
        preset.apply(options);
        return true;
    }
    return false;
}

std::string ScenePresetNames() {
    std::string names;
    for (const ScenePreset& preset : ScenePresets()) names += (names.empty() ? "" : ", ") + std::string(preset.name);
    return names;
}

}  // namespace preview
