// kov-preview's options: one table drives both the parser and --help.
#include "tools/preview/preview_options.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "sim/game/screen_model.h"
#include "sim/game/world.h"
#include "sim/ini/ini_text.h"
#include "sim/ini/utf.h"
#include "sim/input_limits.h"
#include "tools/command_line.h"
#include "tools/preview/scene_presets.h"

namespace preview {

namespace {

// ---- values ----

bool ParseDouble(const std::string& text, double& out) {
    if (text.empty()) return false;
    char* end = nullptr;
    errno = 0;
    out = std::strtod(text.c_str(), &end);
    return *end == '\0' && errno == 0 && std::isfinite(out);
}

// A number the plug-in receives as a float: finite, inside the float range and within limit.
bool ParseFloat(const std::string& text, double limit, float& out) {
    double value = 0;
    if (!ParseDouble(text, value) || !sim::IsFloatValue(value) || std::fabs(value) > limit) return false;
    out = static_cast<float>(value);
    return true;
}

bool ParseInt(const std::string& text, int low, int high, int& out) {
    double value = 0;
    if (!ParseDouble(text, value) || value != std::floor(value) || value < low || value > high) return false;
    out = static_cast<int>(value);
    return true;
}

std::vector<std::string> SplitCommas(const std::string& text) {
    std::vector<std::string> items;
    size_t start = 0;
    for (size_t comma; (comma = text.find(',', start)) != std::string::npos; start = comma + 1) {
        items.push_back(text.substr(start, comma - start));
    }
    items.push_back(text.substr(start));
    return items;
}

// "X,Y,Z", or "X,Y" where Z may be left out, into the options' position: how many numbers it held,
// 0 when it is not that many numbers within the float range.
size_t ParsePosition(const std::string& text, bool zOptional, PreviewOptions& o) {
    const std::vector<std::string> xyz = SplitCommas(text);
    const bool ok = (xyz.size() == 3 || (zOptional && xyz.size() == 2)) &&
                    ParseFloat(xyz[0], sim::kMaxFloatValue, o.x) && ParseFloat(xyz[1], sim::kMaxFloatValue, o.y) &&
                    (xyz.size() == 2 || ParseFloat(xyz[2], sim::kMaxFloatValue, o.z));
    return ok ? xyz.size() : 0;
}

// "a,b,c,..." into exactly count numbers.
bool ParseNumbers(const std::string& text, size_t count, std::vector<double>& out) {
    out.clear();
    for (const std::string& item : SplitCommas(text)) {
        double value = 0;
        if (out.size() == count || !ParseDouble(item, value)) return false;
        out.push_back(value);
    }
    return out.size() == count;
}

// The host's names are UTF-8; a name in another encoding would reach the plug-in as bytes the
// host never hands out.
sim::Status SetHostName(const char* option, const std::string& value, std::string& field) {
    if (!sim::IsUtf8(value)) return sim::Failure(std::string(option) + " wants UTF-8 text, as the host's names are");
    field = value;
    return {};
}

// ---- the option table ----

}  // namespace

sim::Status ApplyAt(const std::string& value, PreviewOptions& o) {
    const size_t numbers = ParsePosition(value, true, o);
    if (numbers == 0) {
        return sim::Failure("--at wants two or three numbers X,Y[,Z] within the float range, got " +
                            sim::QuoteInput(value));
    }
    o.atMap = true;
    o.groundHeight = numbers == 2;
    return {};
}

namespace {

const tools::Option<PreviewOptions> kPreviewOptions[] = {
    {"--ini", "FILE", "the KOV.ini to use (default: none, so the plug-in's defaults)",
     [](const std::string& v, PreviewOptions& o) { return tools::SetPath("--ini", v, o.iniPath); }},
    {"--size", "WxH[,WxH...]|all",
     "your screen's resolution in pixels, e.g. 2560x1080; several (separated by commas "
     "or in several --size) give pictures side by side; all gives the "
     "eight screens players meet (1280x720 1920x1080 1920x1200 2560x1080 2560x1440 "
     "3440x1440 5120x1440 1024x768); default 1920x1080. The game's resolution query "
     "reports 1280x720 to the plug-in whatever the screen, as the game does",
     [](const std::string& v, PreviewOptions& o) -> sim::Status {
         if (v == "all") {
             const std::vector<PixelSize> measured = MeasuredScreens();
             o.sizes.insert(o.sizes.end(), measured.begin(), measured.end());
             return {};
         }
         for (const std::string& item : SplitCommas(v)) {
             const sim::Result<PixelSize> size = ParseScreenSize(item);
             if (!size)
                 return sim::Failure("--size wants " + ScreenSizeRule() + " (or all), got " + sim::QuoteInput(item));
             o.sizes.push_back(*size);
         }
         return {};
     },
     true},
    {"--safe-zone", "S",
     "the game's HUD safe-zone size (its display setting) from 0.9 to 1.0: below 1.0 the radar "
     "moves in from the screen's edges; a row of pictures each; default 1.0",
     [](const std::string& v, PreviewOptions& o) -> sim::Status {
         double size = 0;
         if (!ParseDouble(v, size) || size < sim::kMinSafeZone || size > sim::kMaxSafeZone) {
             return sim::Failure("--safe-zone wants a number from 0.9 to 1.0, got " + sim::QuoteInput(v));
         }
         o.safeZones.push_back(static_cast<float>(size));
         return {};
     },
     true},
    {"--both-modes", nullptr,
     "two rows of pictures: your KOV.ini with AnchorToRadar=false, then with "
     "AnchorToRadar=true",
     [](const std::string&, PreviewOptions& o) -> sim::Status {
         o.bothModes = true;
         return {};
     }},
    {"--report", nullptr,
     "print, for each screen and safe zone, the gap in pixels between the right edge of the "
     "radar (and of the big map) and the panel's first separator, with AnchorToRadar off and "
     "on. -o is then optional; without -o, --size and --safe-zone default to all eight "
     "screens and to 1.0 and 0.9",
     [](const std::string&, PreviewOptions& o) -> sim::Status {
         o.report = true;
         return {};
     }},
    {"--street", "NAME", "the host's name of the street the player is on; default \"Vinewood Blvd\"",
     [](const std::string& v, PreviewOptions& o) -> sim::Status {
         o.named.street = true;
         return SetHostName("--street", v, o.street);
     }},
    {"--crossing", "NAME", "the host's name of the crossing street; default none",
     [](const std::string& v, PreviewOptions& o) -> sim::Status {
         o.named.crossing = true;
         return SetHostName("--crossing", v, o.crossing);
     }},
    {"--zone", "CODE", "the host's zone code of the player's area, e.g. Downt, Davis, Desrt; default DTVine",
     [](const std::string& v, PreviewOptions& o) -> sim::Status {
         o.named.zone = true;
         return SetHostName("--zone", v, o.zone);
     }},
    {"--pos", "X,Y,Z",
     "the player's position in the world (Davis Ave carries its route west of x -373.38); "
     "default 250,150,30",
     [](const std::string& v, PreviewOptions& o) -> sim::Status {
         if (ParsePosition(v, false, o) == 0)
             return sim::Failure("--pos wants three numbers X,Y,Z within the float range, got " + sim::QuoteInput(v));
         o.groundHeight = false;
         return {};
     }},
    {"--at", "X,Y[,Z]",
     "put the player there in the game's own San Andreas: the streets are the map's unless "
     "--street or --crossing is given, the zone unless --zone is, the road test unless --offroad "
     "is; without Z the player stands at the nearest road's height",
     ApplyAt},
    {"--heading", "DEG", "the player's heading in degrees, counter-clockwise from north (90 faces west); default 0",
     [](const std::string& v, PreviewOptions& o) -> sim::Status {
         if (!ParseFloat(v, sim::kMaxHeadingDegrees, o.heading)) {
             return sim::Failure("--heading wants a number of degrees from -1000000 to 1000000, got " +
                                 sim::QuoteInput(v));
         }
         return {};
     }},
    {"--offroad", "near|far|none",
     "put the player off the road: near (a main road within 20 units), far (the "
     "nearest main road further away), none (no main road found)",
     [](const std::string& v, PreviewOptions& o) -> sim::Status {
         if (v == "near") o.offRoad = OffRoad::Near;
         else if (v == "far") o.offRoad = OffRoad::Far;
         else if (v == "none") o.offRoad = OffRoad::NoRoad;
         else return sim::Failure("--offroad wants near, far or none, got " + sim::QuoteInput(v));
         return {};
     }},
    {"--bigmap", nullptr, "open the big map (the radar control released once), so the panel uses its big-map anchor",
     [](const std::string&, PreviewOptions& o) -> sim::Status {
         o.bigMap = true;
         return {};
     }},
    {"--session-players", "N", "an online session with N players (1 to 32) in slots 0 to N-1; slot 0 is you",
     [](const std::string& v, PreviewOptions& o) -> sim::Status {
         if (!ParseInt(v, 1, sim::kPlayerSlots, o.sessionPlayers))
             return sim::Failure("--session-players wants 1 to 32, got " + sim::QuoteInput(v));
         return {};
     }},
    {"--player-list", nullptr, "hold Alt and the radar control, so the player list shows (needs --session-players)",
     [](const std::string&, PreviewOptions& o) -> sim::Status {
         o.playerList = true;
         return {};
     }},
    {"--death", "SLOT[:KILLER]",
     "the player in SLOT (1 to N-1) is dead, killed by the player in KILLER when given; "
     "the death notice shows in the feed (needs --session-players)",
     [](const std::string& v, PreviewOptions& o) -> sim::Status {
         const size_t colon = v.find(':');
         const bool ok =
             ParseInt(v.substr(0, colon), 0, sim::kPlayerSlots - 1, o.deathSlot) &&
             (colon == std::string::npos || ParseInt(v.substr(colon + 1), 0, sim::kPlayerSlots - 1, o.killerSlot));
         if (!ok)
             return sim::Failure("--death wants SLOT or SLOT:KILLER with slots 0 to 31, got " + sim::QuoteInput(v));
         return {};
     }},
    {"--notice", "enabled|disabled",
     "press Ctrl+Alt+L: disabled switches the panel off, enabled switches it off "
     "and on again; the notice shows",
     [](const std::string& v, PreviewOptions& o) -> sim::Status {
         if (v == "enabled") o.notice = NoticeKind::Enabled;
         else if (v == "disabled") o.notice = NoticeKind::Disabled;
         else return sim::Failure("--notice wants enabled or disabled, got " + sim::QuoteInput(v));
         return {};
     }},
    {"--scene", "NAME",
     "start from one of the page's scenes: street, crossing, near-road, far-from-roads, big-map, "
     "display-off, online, death or legion-square (the last at --at 229.5,-994.5; options after it "
     "change it further)",
     [](const std::string& v, PreviewOptions& o) -> sim::Status {
         if (!ApplyScenePreset(v, o)) {
             return sim::Failure("--scene wants one of " + ScenePresetNames() + "; got " + sim::QuoteInput(v));
         }
         return {};
     }},
    {"--positions", nullptr, "also print where each drawn text lands on the first picture size, in pixels",
     [](const std::string&, PreviewOptions& o) -> sim::Status {
         o.positions = true;
         return {};
     }},
    {"--crop", "X,Y,W,H",
     "show only this part of each screen, as shares of its width and height "
     "(0,0.7,0.35,0.3 is the lower left corner); default the whole screen",
     [](const std::string& v, PreviewOptions& o) -> sim::Status {
         std::vector<double> c;
         const bool ok = ParseNumbers(v, 4, c) && c[0] >= 0 && c[1] >= 0 && c[2] >= sim::kMinCropShare &&
                         c[3] >= sim::kMinCropShare && c[0] + c[2] <= 1 && c[1] + c[3] <= 1;
         if (!ok)
             return sim::Failure("--crop wants X,Y,W,H inside 0..1 with W and H at least 1/16384, got " +
                                 sim::QuoteInput(v));
         o.crop = Crop{c[0], c[1], c[2], c[3]};
         return {};
     }},
    {"--zoom", "F", "picture pixels per screen pixel, from 1/1024 to 4; default 1",
     [](const std::string& v, PreviewOptions& o) -> sim::Status {
         if (!ParseDouble(v, o.zoom) || o.zoom < sim::kMinZoom || o.zoom > sim::kMaxZoom) {
             return sim::Failure("--zoom wants a number from 1/1024 to 4, got " + sim::QuoteInput(v));
         }
         return {};
     }},
    {"--tile-height", "PX",
     "instead of --zoom: scale each screen so that its picture (the --crop part) is PX "
     "pixels high, so that screens of different heights show at one scale; 16 to 4096",
     [](const std::string& v, PreviewOptions& o) -> sim::Status {
         if (!ParseInt(v, sim::kMinTileHeightPx, sim::kMaxTileHeightPx, o.tileHeight)) {
             return sim::Failure("--tile-height wants a whole number of pixels from 16 to 4096, got " +
                                 sim::QuoteInput(v));
         }
         return {};
     }},
    {"--plugin", "PATH", "the plug-in to run (default: KOV.so beside this program)",
     [](const std::string& v, PreviewOptions& o) { return tools::SetPath("--plugin", v, o.pluginPath); }},
    {"-o", "FILE", "the picture to write: FILE.png or FILE.svg (required)",
     [](const std::string& v, PreviewOptions& o) { return tools::SetPath("-o", v, o.output); }},
    {"--help", nullptr, "show this help",
     [](const std::string&, PreviewOptions& o) -> sim::Status {
         o.help = true;
         return {};
     }},
};

// Rules that join several options.
sim::Status CheckTogether(PreviewOptions& o) {
    if (o.output.empty() && !o.report) return sim::Failure("no output file: give -o FILE.png or -o FILE.svg");
    if (!o.output.empty() && !IsPictureFileName(o.output)) {
        return sim::Failure("the output file must end in .png or .svg: " + sim::QuoteInput(o.output));
    }
    if (o.playerList && o.sessionPlayers == 0) return sim::Failure("--player-list needs --session-players N");
    if (o.deathSlot >= 0) {
        if (o.sessionPlayers == 0) return sim::Failure("--death needs --session-players N");
        if (o.deathSlot < 1 || o.deathSlot >= o.sessionPlayers || o.killerSlot >= o.sessionPlayers) {
            return sim::Failure("--death: the slots must be players of the session (victim 1 to " +
                                std::to_string(o.sessionPlayers - 1) + ", killer 0 to " +
                                std::to_string(o.sessionPlayers - 1) + ")");
        }
    }
    if (o.sizes.empty()) {
        if (o.report && o.output.empty()) o.sizes = MeasuredScreens();
        else o.sizes.push_back(PixelSize{1920, 1080});
    }
    if (o.safeZones.empty()) {
        if (o.report && o.output.empty()) o.safeZones = {sim::kMaxSafeZone, sim::kMinSafeZone};
        else o.safeZones.push_back(sim::kMaxSafeZone);
    }
    for (const PixelSize& size : o.sizes) {
        if (TileZoom(o, size) > sim::kMaxZoom) {
            char zoom[32];
            std::snprintf(zoom, sizeof zoom, "%.1f", TileZoom(o, size));
            return sim::Failure("--tile-height " + std::to_string(o.tileHeight) + " draws the --crop part of " +
                                std::to_string(size.width) + "x" + std::to_string(size.height) + " at " + zoom +
                                " picture pixels per screen pixel, more than 4: give a smaller one or a larger --crop");
        }
    }
    const size_t screens = o.sizes.size() * o.safeZones.size() * (o.bothModes ? 2 : 1);
    if (screens > sim::kMaxPictureScreens) {
        return sim::Failure("the picture would show " + std::to_string(screens) +
                            " screens (sizes x safe zones x modes), more than " +
                            std::to_string(sim::kMaxPictureScreens));
    }
    return {};
}

}  // namespace

sim::Result<PreviewOptions> ParsePreviewOptions(const std::vector<std::string>& args) {
    PreviewOptions options;
    if (sim::Status parsed =
            tools::ParseArguments(args, kPreviewOptions, tools::TakeOperand<PreviewOptions>{}, options);
        !parsed)
        return parsed;
    if (options.help) return options;
    if (sim::Status checked = CheckTogether(options); !checked) return checked;
    return options;
}

double TileZoom(const PreviewOptions& options, const PixelSize& size) {
    return options.tileHeight > 0 ? options.tileHeight / (size.height * options.crop.h) : options.zoom;
}

std::string PreviewHelp() {
    return tools::FormatHelp(
        {"kov-preview",
         {"[options] -o FILE.png|FILE.svg", "[options] --report"},
         "Runs the plug-in (KOV.so) in the simulated host with your KOV.ini and the world you\n"
         "describe, then draws what it drew in the last frame over stand-ins for the host's screen,\n"
         "radar, big map and feed. Use it to place the panel without starting the game.",
         tools::HelpOf(kPreviewOptions),
         "examples:\n"
         "  kov-preview --ini KOV.ini --size 1920x1080 --size 3440x1440 --street \"Los Santos Freeway\"\n"
         "              --crossing \"Alta St\" --zone Downt -o panel.png\n"
         "  kov-preview --ini KOV.ini --size 2560x1080 --both-modes -o anchor.png\n"
         "  kov-preview --ini KOV.ini --at 195,-935 -o legion-square.png\n"
         "  kov-preview --ini KOV.ini --report\n"
         "\n"
         "exit status: 0 done; 1 a file cannot be read or written or the plug-in run failed; 2 bad\n"
         "command line (a picture too large included).\n"});
}

}  // namespace preview
