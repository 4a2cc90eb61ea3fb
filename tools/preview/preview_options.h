// kov-preview's command line, and the scenario that brings the plug-in into the requested state.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "sim/scenario/scenario.h"
#include "tools/preview/picture.h"

namespace preview {

struct PixelSize {
    int width = 0, height = 0;
};

enum class OffRoad { No, Near, Far, NoRoad };
enum class NoticeKind { None, Enabled, Disabled };

struct PreviewOptions {
    bool help = false;
    std::string iniPath;                // empty: no KOV.ini, the plug-in's defaults
    std::string pluginPath;             // empty: KOV.so beside the program
    std::string output;                 // .png or .svg; may be empty with --report
    std::vector<PixelSize> sizes;       // real screens, pictures side by side; 1920x1080 when none is given
    std::vector<float> safeZones;       // the game's safe-zone size, a row of pictures each; 1.0 when none
    bool bothModes = false;             // a row with AnchorToRadar off, then one with it on
    bool report = false;                // print the gaps between the radar and the panel
    std::string street = "Vinewood Blvd";
    std::string crossing;               // empty: no crossing
    std::string zone = "DTVine";
    float x = 250, y = 150, z = 30;     // the player's position in the world
    float heading = 0;
    OffRoad offRoad = OffRoad::No;
    bool bigMap = false;
    int sessionPlayers = 0;             // 0: single player
    bool playerList = false;
    int deathSlot = -1;                 // -1: nobody dies
    int killerSlot = -1;                // -1: died without a killer
    NoticeKind notice = NoticeKind::None;
    Crop crop;
    double zoom = 1;
    bool positions = false;             // print where each drawn text lands, in pixels
    int tileHeight = 0;                 // > 0: each screen scaled to this many picture pixels high
};

// The scenes a player picks from, by name: the page's scene list and kov-preview --scene.
struct ScenePreset {
    const char* name;
    const char* title;
    void (*apply)(PreviewOptions& options);
};
extern const ScenePreset kScenePresets[];
extern const size_t kScenePresetCount;
// Sets the options of the named scene; false for an unknown name.
bool ApplyScenePreset(const std::string& name, PreviewOptions& options);

// "1920x1080" into a picture size of 1 to 16384 pixels a side; false (out unchanged) otherwise.
bool ParsePictureSize(const std::string& text, PixelSize& out);

// The screens players meet, from 1280x720 to 5120x1440 (--size all).
const std::vector<PixelSize>& CommonScreenSizes();

// The settings file's bytes (any encoding; nullopt: no file, so only that key) with AnchorToRadar
// set as given, in the file's own encoding.
std::optional<std::string> WithAnchorToRadar(const std::optional<std::string>& iniText, bool on);

// Parses the arguments (without the program name). False with a one-line message on the first
// problem; --help stops parsing and succeeds.
bool ParsePreviewOptions(const std::vector<std::string>& args, PreviewOptions& options, std::string* error);

// Every option with what it does.
std::string PreviewHelp();

// The scenario that starts the plug-in with iniText as KOV.ini (nullopt: no file) on the given real
// screen in the world the options describe, drives the keys and controls to the requested state,
// and ends with a step whose last frame is the picture. nullopt, with the reason, if the host would
// not accept it.
std::optional<sim::Scenario> PreviewScenario(const PreviewOptions& options, const sim::RealScreen& screen,
                                            const std::optional<std::string>& iniText, std::string* error);

}  // namespace preview
