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
     "world": {"peds": {"20": {"dead": true}}, "players": {"3": {"killer": 21}}}, "frames": 2},
    {"label": "Ctrl+Alt and every key a placement key can name, L aside",
     "world": {"keys": {"ctrl": true, "alt": true, "a": true, "b": true, "c": true, "d": true, "e": true, "f": true, "g": true, "h": true, "i": true, "j": true, "k": true, "m": true, "n": true, "o": true, "p": true, "q": true, "r": true, "s": true, "t": true, "u": true, "v": true, "w": true, "x": true, "y": true, "z": true, "0": true, "1": true, "2": true, "3": true, "4": true, "5": true, "6": true, "7": true, "8": true, "9": true}}, "frames": 1},
    {"label": "placing, in a cutscene",
     "world": {"keys": {"ctrl": false, "alt": false, "a": false, "b": false, "c": false, "d": false, "e": false, "f": false, "g": false, "h": false, "i": false, "j": false, "k": false, "m": false, "n": false, "o": false, "p": false, "q": false, "r": false, "s": false, "t": false, "u": false, "v": false, "w": false, "x": false, "y": false, "z": false, "0": false, "1": false, "2": false, "3": false, "4": false, "5": false, "6": false, "7": false, "8": false, "9": false}, "cutscenePlaying": true}, "frames": 1},
    {"label": "placing, cancelled",
     "world": {"cutscenePlaying": false, "controls": {"202": {"justPressed": true}}}, "frames": 2}
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
