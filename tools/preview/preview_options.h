// kov-preview's command line: the options, their checks and defaults, and --help.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "sim/result.h"
#include "tools/preview/common_screens.h"
#include "tools/preview/picture.h"

namespace preview {

enum class OffRoad { No, Near, Far, NoRoad };
enum class NoticeKind { None, Enabled, Disabled };

struct PreviewOptions {
    bool help = false;
    std::string iniPath;           // empty: no KOV.ini, the plug-in's defaults
    std::string pluginPath;        // empty: KOV.so beside the program
    std::string output;            // .png or .svg; may be empty with --report
    std::vector<PixelSize> sizes;  // real screens, pictures side by side; 1920x1080 when none is given
    std::vector<float> safeZones;  // the game's safe-zone size, a row of pictures each; 1.0 when none
    bool bothModes = false;        // a row with AnchorToRadar off, then one with it on
    bool report = false;           // print the gaps between the radar and the panel
    std::string street = "Vinewood Blvd";
    std::string crossing;  // empty: no crossing
    std::string zone = "DTVine";
    float x = 250, y = 150, z = 30;  // the player's position in the world
    // --at: the game's San Andreas answers what the options do not name (street, crossing, zone,
    // and the road test unless --offroad is given); without a Z there, the player stands at the
    // height of the nearest road node.
    bool atMap = false, groundHeight = false;
    struct Named {
        bool street = false, crossing = false, zone = false;
    } named;  // given by --street, --crossing, --zone
    float heading = 0;
    OffRoad offRoad = OffRoad::No;
    bool bigMap = false;
    int sessionPlayers = 0;  // 0: single player
    bool playerList = false;
    int deathSlot = -1;   // -1: nobody dies
    int killerSlot = -1;  // -1: died without a killer
    NoticeKind notice = NoticeKind::None;
    Crop crop;
    double zoom = 1;
    bool positions = false;  // print where each drawn text lands, in pixels
    int tileHeight = 0;      // > 0: each screen scaled to this many picture pixels high
};

// Parses the arguments (without the program name), then checks the options together and fills in
// the defaults; a one-line message on the first problem. --help stops parsing and succeeds.
sim::Result<PreviewOptions> ParsePreviewOptions(const std::vector<std::string>& args);
// --at's value X,Y[,Z] into the options: the player there, the map answering; the page's map click
// takes the same way.
sim::Status ApplyAt(const std::string& value, PreviewOptions& options);

// Picture pixels per screen pixel for a screen of this size: --zoom, or what --tile-height makes of
// the --crop part of the screen.
double TileZoom(const PreviewOptions& options, const PixelSize& size);

// Every option with what it does.
std::string PreviewHelp();

}  // namespace preview
