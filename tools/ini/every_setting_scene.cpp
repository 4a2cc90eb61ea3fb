// The scene as a scenario document, parsed like any scenario file.
#include "tools/ini/every_setting_scene.h"

namespace ini {

namespace {

const char kSceneDocument[] = R"({
  "description": "Every setting of KOV.ini shown in what the plug-in draws and calls.",
  "world": {"street": "Alta St", "crossing": "", "zone": "DOWNT"},
  "steps": [
    {"label": "panel with the radar", "frames": 10},
    {"label": "panel with the big map", "world": {"radarControl": {"justReleased": true}}, "frames": 1},
    {"label": "session: a team mate and a rival",
     "world": {"radarControl": {"justReleased": false}, "session": 1,
               "peds": {"20": {"pos": [10, 10, 0], "player": 3}, "21": {"pos": [40, -5, 0], "player": 9}},
               "players": {"0": {"active": 1, "ped": 1, "team": 2, "name": "Local"},
                           "3": {"active": 1, "ped": 20, "team": 2, "name": "Rook"},
                           "9": {"active": 1, "ped": 21, "team": 5, "name": "Vesper"}}},
     "frames": 2},
    {"label": "the team mate is killed by the rival",
     "world": {"peds": {"20": {"dead": true}}, "players": {"3": {"killer": 21}}}, "frames": 2}
  ]
})";

}  // namespace

sim::Scenario EverySettingScene(const std::optional<std::string>& iniBytes, const sim::RealScreen& screen) {
    sim::Result<sim::Scenario> scene = sim::ParseScenario(kSceneDocument, "every-setting scene");
    if (!scene) {  // the document is fixed: only a change to the scenario format gets here
        sim::StopOnDefect(scene.error());
    }
    // The file's bytes as they are, not through the JSON text.
    scene->ini = iniBytes;
    scene->world["display"] = {{"resolution", {screen.width, screen.height}}, {"safeZone", screen.safeZone}};
    return *scene;
}

}  // namespace ini
