// kov-preview's options: one table drives both the parser and --help.
#include "tools/preview/preview_options.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <iterator>

#include "sim/ini/ini_edit.h"
#include "sim/ini/ini_text.h"
#include "sim/ini/utf.h"

namespace preview {

namespace {

using nlohmann::json;

constexpr int kMaxPicturePixels = 16384;   // per side
constexpr double kMaxZoom = 4;
constexpr int kMinTileHeight = 16;
constexpr int kMaxTileHeight = 4096;
constexpr int kLocalPed = 1;
constexpr int kFirstOtherPed = 100;        // ped handle of slot s is this plus s
constexpr float kNearNodeDistance = 12;    // within the 20 units that keep the street line
constexpr float kFarNodeDistance = 60;     // beyond them: "Near  ..."
constexpr int kStartFrames = 10;           // the log header's 100 ms wait and the first passes
constexpr int kPictureFrames = 2;
constexpr size_t kHelpWidth = 88;         // characters of an option's explanation per line

// Network names of the session's players by slot.
const char* const kPlayerNames[] = {
    "You_Are_Here",   "NightOwl_88",   "Kestrel-Nine",  "mossy_gravel",  "Vantablackout", "TeaWithMilk",
    "Quarry_Rat",     "LowRider_Lou",  "ParcelBomb",    "seagull_sam",   "Drift_Theory",  "HalfPipeHank",
    "OrbitalSnack",   "CactusJuice",   "MarlinMonroe",  "Sir_Honksalot", "byte_sized",    "Tarmac_Tess",
    "GreenLightGo",   "Hushpuppy",     "Foghorn_Fi",    "ZeroToSixty",   "WaffleIron",    "Static_Pike",
    "RustBucket_Ray", "NeonNomad",     "CloudBerry",    "Pier_Pressure", "KiloWhiskey",   "Sunset_Strip",
    "GhostPepper",    "LastOrders",
};
static_assert(std::size(kPlayerNames) == sim::kPlayerSlots, "a name per player slot");

// ---- values ----

bool ParseDouble(const std::string& text, double& out) {
    if (text.empty()) return false;
    char* end = nullptr;
    errno = 0;
    out = std::strtod(text.c_str(), &end);
    return *end == '\0' && errno == 0 && std::isfinite(out);
}

bool ParseInt(const std::string& text, int low, int high, int& out) {
    double value = 0;
    if (!ParseDouble(text, value) || value != std::floor(value) || value < low || value > high) return false;
    out = static_cast<int>(value);
    return true;
}

bool ParseSize(const std::string& text, int maxSide, PixelSize& out) {
    const size_t x = text.find('x');
    PixelSize size;
    if (x == std::string::npos || !ParseInt(text.substr(0, x), 1, maxSide, size.width) ||
        !ParseInt(text.substr(x + 1), 1, maxSide, size.height)) {
        return false;
    }
    out = size;
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

// "a,b,c,..." into exactly count numbers.
bool ParseNumbers(const std::string& text, size_t count, std::vector<double>& out) {
    out.clear();
    for (const std::string& item : SplitCommas(text)) {
        double value = 0;
        if (!ParseDouble(item, value)) return false;
        out.push_back(value);
    }
    return out.size() == count;
}

bool Fail(std::string* error, const std::string& message) {
    *error = message;
    return false;
}

// The host's names are UTF-8; a name in another encoding would reach the plug-in as bytes the
// host never hands out.
bool SetHostName(const char* option, const std::string& value, std::string& field, std::string* error) {
    if (!sim::IsUtf8(value)) return Fail(error, std::string(option) + " wants UTF-8 text, as the host's names are");
    field = value;
    return true;
}

// ---- the option table ----

using Apply = bool (*)(const std::string& value, PreviewOptions& o, std::string* error);

struct OptionDef {
    const char* name;
    const char* value;  // what the value looks like; nullptr for a switch
    const char* help;
    Apply apply;
};

const OptionDef kOptions[] = {
    {"--ini", "FILE", "the KOV.ini to use (default: none, so the plug-in's defaults)",
     [](const std::string& v, PreviewOptions& o, std::string*) { o.iniPath = v; return true; }},
    {"--size", "WxH[,WxH...]|all", "your screen's resolution in pixels, e.g. 2560x1080; several (repeat the "
                                   "option or separate them by commas) give pictures side by side; all gives the "
                                   "eight screens players meet (1280x720 1920x1080 1920x1200 2560x1080 2560x1440 "
                                   "3440x1440 5120x1440 1024x768); default 1920x1080. The game's resolution query "
                                   "reports 1280x720 to the plug-in whatever the screen, as the game does",
     [](const std::string& v, PreviewOptions& o, std::string* e) {
         if (v == "all") {
             o.sizes.insert(o.sizes.end(), CommonScreenSizes().begin(), CommonScreenSizes().end());
             return true;
         }
         for (const std::string& item : SplitCommas(v)) {
             PixelSize size;
             if (!ParsePictureSize(item, size)) {
                 return Fail(e, "--size wants WIDTHxHEIGHT of 1 to 16384 pixels (or all), got \"" + item + "\"");
             }
             o.sizes.push_back(size);
         }
         return true;
     }},
    {"--safe-zone", "S", "the game's HUD safe-zone size (its display setting) from 0.9 to 1.0: below 1.0 the radar "
                         "moves in from the screen's edges; repeat it for a row of pictures each; default 1.0",
     [](const std::string& v, PreviewOptions& o, std::string* e) {
         double size = 0;
         if (!ParseDouble(v, size) || size < sim::kMinSafeZone || size > sim::kMaxSafeZone) {
             return Fail(e, "--safe-zone wants a number from 0.9 to 1.0, got \"" + v + "\"");
         }
         o.safeZones.push_back(static_cast<float>(size));
         return true;
     }},
    {"--both-modes", nullptr, "two rows of pictures: your KOV.ini with AnchorToRadar=false, then with "
                              "AnchorToRadar=true",
     [](const std::string&, PreviewOptions& o, std::string*) { o.bothModes = true; return true; }},
    {"--report", nullptr, "print, for each screen and safe zone, the gap in pixels between the right edge of the "
                          "radar (and of the big map) and the panel's first separator, with AnchorToRadar off and "
                          "on. -o is then optional; without -o, --size and --safe-zone default to all eight "
                          "screens and to 1.0 and 0.9",
     [](const std::string&, PreviewOptions& o, std::string*) { o.report = true; return true; }},
    {"--street", "NAME", "the host's name of the street the player is on; default \"Vinewood Blvd\"",
     [](const std::string& v, PreviewOptions& o, std::string* e) { return SetHostName("--street", v, o.street, e); }},
    {"--crossing", "NAME", "the host's name of the crossing street; default none",
     [](const std::string& v, PreviewOptions& o, std::string* e) { return SetHostName("--crossing", v, o.crossing, e); }},
    {"--zone", "CODE", "the host's zone code of the player's area, e.g. Downt, Davis, Desrt; default DTVine",
     [](const std::string& v, PreviewOptions& o, std::string* e) { return SetHostName("--zone", v, o.zone, e); }},
    {"--pos", "X,Y,Z", "the player's position in the world (Davis Ave carries its route west of x -373.38); "
                       "default 250,150,30",
     [](const std::string& v, PreviewOptions& o, std::string* e) {
         std::vector<double> xyz;
         if (!ParseNumbers(v, 3, xyz)) return Fail(e, "--pos wants three numbers X,Y,Z, got \"" + v + "\"");
         o.x = static_cast<float>(xyz[0]), o.y = static_cast<float>(xyz[1]), o.z = static_cast<float>(xyz[2]);
         return true;
     }},
    {"--heading", "DEG", "the player's heading in degrees, counter-clockwise from north (90 faces west); default 0",
     [](const std::string& v, PreviewOptions& o, std::string* e) {
         double heading = 0;
         if (!ParseDouble(v, heading)) return Fail(e, "--heading wants a number of degrees, got \"" + v + "\"");
         o.heading = static_cast<float>(heading);
         return true;
     }},
    {"--offroad", "near|far|none", "put the player off the road: near (a main road within 20 units), far (the "
                                   "nearest main road further away), none (no main road found)",
     [](const std::string& v, PreviewOptions& o, std::string* e) {
         if (v == "near") o.offRoad = OffRoad::Near;
         else if (v == "far") o.offRoad = OffRoad::Far;
         else if (v == "none") o.offRoad = OffRoad::NoRoad;
         else return Fail(e, "--offroad wants near, far or none, got \"" + v + "\"");
         return true;
     }},
    {"--bigmap", nullptr, "open the big map (the radar control released once), so the panel uses its big-map anchor",
     [](const std::string&, PreviewOptions& o, std::string*) { o.bigMap = true; return true; }},
    {"--session-players", "N", "an online session with N players (1 to 32) in slots 0 to N-1; slot 0 is you",
     [](const std::string& v, PreviewOptions& o, std::string* e) {
         if (!ParseInt(v, 1, sim::kPlayerSlots, o.sessionPlayers)) return Fail(e, "--session-players wants 1 to 32, got \"" + v + "\"");
         return true;
     }},
    {"--player-list", nullptr, "hold Alt and the radar control, so the player list shows (needs --session-players)",
     [](const std::string&, PreviewOptions& o, std::string*) { o.playerList = true; return true; }},
    {"--death", "SLOT[:KILLER]", "the player in SLOT (1 to N-1) is dead, killed by the player in KILLER when given; "
                                 "the death notice shows in the feed (needs --session-players)",
     [](const std::string& v, PreviewOptions& o, std::string* e) {
         const size_t colon = v.find(':');
         const bool ok = ParseInt(v.substr(0, colon), 0, sim::kPlayerSlots - 1, o.deathSlot) &&
                         (colon == std::string::npos || ParseInt(v.substr(colon + 1), 0, sim::kPlayerSlots - 1, o.killerSlot));
         if (!ok) return Fail(e, "--death wants SLOT or SLOT:KILLER with slots 0 to 31, got \"" + v + "\"");
         return true;
     }},
    {"--notice", "enabled|disabled", "press Ctrl+Alt+L: disabled switches the panel off, enabled switches it off "
                                     "and on again; the notice shows",
     [](const std::string& v, PreviewOptions& o, std::string* e) {
         if (v == "enabled") o.notice = NoticeKind::Enabled;
         else if (v == "disabled") o.notice = NoticeKind::Disabled;
         else return Fail(e, "--notice wants enabled or disabled, got \"" + v + "\"");
         return true;
     }},
    {"--scene", "NAME", "start from one of the page's scenes: street, crossing, near-road, far-from-roads, big-map, "
                        "display-off, online or death (options after it change it further)",
     [](const std::string& v, PreviewOptions& o, std::string* e) {
         if (!ApplyScenePreset(v, o)) return Fail(e, "--scene wants one of street, crossing, near-road, far-from-roads, big-map, display-off, online, death; got \"" + v + "\"");
         return true;
     }},
    {"--positions", nullptr, "also print where each drawn text lands on the first picture size, in pixels",
     [](const std::string&, PreviewOptions& o, std::string*) { o.positions = true; return true; }},
    {"--crop", "X,Y,W,H", "show only this part of each screen, as shares of its width and height "
                          "(0,0.7,0.35,0.3 is the lower left corner); default the whole screen",
     [](const std::string& v, PreviewOptions& o, std::string* e) {
         std::vector<double> c;
         const bool ok = ParseNumbers(v, 4, c) && c[0] >= 0 && c[1] >= 0 && c[2] > 0 && c[3] > 0 &&
                         c[0] + c[2] <= 1 && c[1] + c[3] <= 1;
         if (!ok) return Fail(e, "--crop wants X,Y,W,H inside 0..1 with W and H above 0, got \"" + v + "\"");
         o.crop = Crop{c[0], c[1], c[2], c[3]};
         return true;
     }},
    {"--zoom", "F", "picture pixels per screen pixel, above 0 and up to 4; default 1",
     [](const std::string& v, PreviewOptions& o, std::string* e) {
         if (!ParseDouble(v, o.zoom) || o.zoom <= 0 || o.zoom > kMaxZoom) return Fail(e, "--zoom wants a number above 0 and up to 4, got \"" + v + "\"");
         return true;
     }},
    {"--tile-height", "PX", "instead of --zoom: scale each screen so that its picture (the --crop part) is PX "
                            "pixels high, so that screens of different heights show at one scale; 16 to 4096",
     [](const std::string& v, PreviewOptions& o, std::string* e) {
         if (!ParseInt(v, kMinTileHeight, kMaxTileHeight, o.tileHeight)) {
             return Fail(e, "--tile-height wants a whole number of pixels from 16 to 4096, got \"" + v + "\"");
         }
         return true;
     }},
    {"--plugin", "PATH", "the plug-in to run (default: KOV.so beside this program)",
     [](const std::string& v, PreviewOptions& o, std::string*) { o.pluginPath = v; return true; }},
    {"-o", "FILE", "the picture to write: FILE.png or FILE.svg (required)",
     [](const std::string& v, PreviewOptions& o, std::string*) { o.output = v; return true; }},
    {"--help", nullptr, "show this help",
     [](const std::string&, PreviewOptions& o, std::string*) { o.help = true; return true; }},
};

const OptionDef* FindOption(const std::string& name) {
    for (const OptionDef& option : kOptions) {
        if (name == option.name) return &option;
    }
    return nullptr;
}

// Rules that join several options.
bool CheckTogether(PreviewOptions& o, std::string* error) {
    if (o.output.empty() && !o.report) return Fail(error, "no output file: give -o FILE.png or -o FILE.svg");
    if (!o.output.empty() && !IsPictureFileName(o.output)) {
        return Fail(error, "the output file must end in .png or .svg: " + o.output);
    }
    if (o.playerList && o.sessionPlayers == 0) return Fail(error, "--player-list needs --session-players N");
    if (o.deathSlot >= 0) {
        if (o.sessionPlayers == 0) return Fail(error, "--death needs --session-players N");
        if (o.deathSlot < 1 || o.deathSlot >= o.sessionPlayers || o.killerSlot >= o.sessionPlayers) {
            return Fail(error, "--death: the slots must be players of the session (victim 1 to " +
                                   std::to_string(o.sessionPlayers - 1) + ", killer 0 to " +
                                   std::to_string(o.sessionPlayers - 1) + ")");
        }
    }
    if (o.sizes.empty()) {
        if (o.report && o.output.empty()) o.sizes = CommonScreenSizes();
        else o.sizes.push_back(PixelSize{1920, 1080});
    }
    if (o.safeZones.empty()) {
        if (o.report && o.output.empty()) o.safeZones = {sim::kMaxSafeZone, sim::kMinSafeZone};
        else o.safeZones.push_back(sim::kMaxSafeZone);
    }
    return true;
}

// ---- the scenario ----

int PedOfSlot(int slot) { return slot == 0 ? kLocalPed : kFirstOtherPed + slot; }

// Other players stand around the player on a widening spiral.
json PedsAndPlayers(const PreviewOptions& o, json& players) {
    json peds = json::object();
    peds[std::to_string(kLocalPed)] = {{"pos", {o.x, o.y, o.z}}, {"heading", o.heading}, {"player", 0}};
    for (int slot = 0; slot < o.sessionPlayers; ++slot) {
        // Teams: you and every third player are team 1, so the list shows team mates.
        const int team = slot % 3 == 0 ? 1 : (slot % 3 == 1 ? 2 : -1);
        json player = {{"active", true}, {"ped", PedOfSlot(slot)}, {"team", team},
                       {"networkName", kPlayerNames[slot]}, {"name", kPlayerNames[slot]}};
        if (slot == o.deathSlot && o.killerSlot >= 0) player["killer"] = PedOfSlot(o.killerSlot);
        players[std::to_string(slot)] = player;
        if (slot == 0) continue;
        const double angle = slot * 2.4, radius = 30.0 + 8.0 * slot;
        peds[std::to_string(PedOfSlot(slot))] = {{"pos", {o.x + radius * std::cos(angle), o.y + radius * std::sin(angle), o.z}},
                                                 {"heading", slot * 37 % 360},
                                                 {"dead", slot == o.deathSlot},
                                                 {"player", slot}};
    }
    return peds;
}

json InitialWorldPatch(const PreviewOptions& o, const sim::RealScreen& screen) {
    json players = json::object();
    json world = {
        {"display", {{"resolution", {screen.width, screen.height}}, {"safeZone", screen.safeZone}}},
        {"localPed", kLocalPed},
        {"localPlayerIndex", 0},
        {"street", o.street},
        {"crossing", o.crossing},
        {"zone", o.zone},
        {"onRoad", o.offRoad == OffRoad::No},
        {"session", o.sessionPlayers > 0 ? 1 : 0},
    };
    const float nodeDistance = o.offRoad == OffRoad::Far ? kFarNodeDistance : kNearNodeDistance;
    world["node"] = {{"result", o.offRoad == OffRoad::NoRoad ? 0 : 1}, {"pos", {o.x + nodeDistance, o.y, o.z}}};
    world["peds"] = PedsAndPlayers(o, players);
    if (!players.empty()) world["players"] = players;
    return world;
}

void AddStep(json& steps, const std::string& label, json world, int frames) {
    steps.push_back({{"label", label}, {"world", std::move(world)}, {"frames", frames}});
}

// Words of a text in lines of at most width characters, each line after an indent.
std::string Wrap(const std::string& text, size_t width, const std::string& indent) {
    std::string out, line;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find(' ', start);
        if (end == std::string::npos) end = text.size();
        const std::string word = text.substr(start, end - start);
        if (!line.empty() && line.size() + 1 + word.size() > width) {
            out += indent + line + "\n";
            line.clear();
        }
        line += (line.empty() ? "" : " ") + word;
        start = end + 1;
    }
    return out + indent + line + "\n";
}

}  // namespace

const ScenePreset kScenePresets[] = {
    {"street", "On a street", [](PreviewOptions&) {}},
    {"crossing", "At a crossing",
     [](PreviewOptions& o) { o.street = "Los Santos Freeway", o.crossing = "Alta St", o.zone = "Downt"; }},
    {"near-road", "Off the road, near a road", [](PreviewOptions& o) { o.offRoad = OffRoad::Near, o.zone = "CHIL"; }},
    {"far-from-roads", "Far from roads", [](PreviewOptions& o) { o.offRoad = OffRoad::Far, o.zone = "Desrt"; }},
    {"big-map", "Big map open", [](PreviewOptions& o) { o.bigMap = true; }},
    {"display-off", "Display switched off (Ctrl+Alt+L)", [](PreviewOptions& o) { o.notice = NoticeKind::Disabled; }},
    {"online", "Online, player list shown", [](PreviewOptions& o) { o.sessionPlayers = 12, o.playerList = true; }},
    {"death", "Online, a death notice", [](PreviewOptions& o) { o.sessionPlayers = 12, o.deathSlot = 4, o.killerSlot = 7; }},
};
const size_t kScenePresetCount = std::size(kScenePresets);

bool ApplyScenePreset(const std::string& name, PreviewOptions& options) {
    for (const ScenePreset& preset : kScenePresets) {
        if (name != preset.name) continue;
        preset.apply(options);
        return true;
    }
    return false;
}

bool ParsePictureSize(const std::string& text, PixelSize& out) { return ParseSize(text, kMaxPicturePixels, out); }

const std::vector<PixelSize>& CommonScreenSizes() {
    static const std::vector<PixelSize> sizes = {
        {1280, 720}, {1920, 1080}, {1920, 1200}, {2560, 1080}, {2560, 1440}, {3440, 1440}, {5120, 1440}, {1024, 768},
    };
    return sizes;
}

std::optional<std::string> WithAnchorToRadar(const std::optional<std::string>& iniText, bool on) {
    // Edited where the lookup reads it and written back in the file's own encoding, the other lines kept.
    const sim::IniText file = sim::DecodeIniText(iniText.value_or(""));
    return sim::EncodeIniText(sim::SetIniValue(file.editText, "GENERAL", "AnchorToRadar", on ? "true" : "false"),
                              file.encoding);
}

bool ParsePreviewOptions(const std::vector<std::string>& args, PreviewOptions& options, std::string* error) {
    for (size_t i = 0; i < args.size(); ++i) {
        const OptionDef* option = FindOption(args[i]);
        if (option == nullptr) return Fail(error, "unknown argument \"" + args[i] + "\" (see --help)");
        std::string value;
        if (option->value != nullptr) {
            if (i + 1 >= args.size()) return Fail(error, std::string(option->name) + " needs a value: " + option->value);
            value = args[++i];
        }
        if (!option->apply(value, options, error)) return false;
        if (options.help) return true;
    }
    return CheckTogether(options, error);
}

std::string PreviewHelp() {
    std::string help =
        "usage: kov-preview [options] -o FILE.png|FILE.svg\n"
        "       kov-preview [options] --report\n"
        "\n"
        "Runs the plug-in (KOV.so) in the simulated host with your KOV.ini and the world you\n"
        "describe, then draws what it drew in the last frame over stand-ins for the host's screen,\n"
        "radar, big map and feed. Use it to place the panel without starting the game.\n"
        "\n"
        "options:\n";
    for (const OptionDef& option : kOptions) {
        std::string head = std::string("  ") + option.name + (option.value ? std::string(" ") + option.value : "");
        help += head + "\n" + Wrap(option.help, kHelpWidth, "      ");
    }
    help +=
        "\n"
        "examples:\n"
        "  kov-preview --ini KOV.ini --size 1920x1080 --size 3440x1440 --street \"Los Santos Freeway\"\n"
        "              --crossing \"Alta St\" --zone Downt -o panel.png\n"
        "  kov-preview --ini KOV.ini --size 2560x1080 --both-modes -o anchor.png\n"
        "  kov-preview --ini KOV.ini --report\n"
        "\n"
        "exit status: 0 when the picture was written; 2 for bad arguments; 1 when a file cannot be\n"
        "read or written or the plug-in run fails.\n";
    return help;
}

std::optional<sim::Scenario> PreviewScenario(const PreviewOptions& o, const sim::RealScreen& screen,
                                            const std::optional<std::string>& iniText, std::string* error) {
    json steps = json::array();
    AddStep(steps, "start", nullptr, kStartFrames);
    if (o.notice != NoticeKind::None) {
        AddStep(steps, "Ctrl+Alt+L: off", {{"keys", {{"alt", true}, {"ctrl", true}, {"l", true}}}}, 1);
        AddStep(steps, "L up", {{"keys", {{"l", false}}}}, 1);
        if (o.notice == NoticeKind::Enabled) {
            AddStep(steps, "Ctrl+Alt+L: on", {{"keys", {{"l", true}}}}, 1);
            AddStep(steps, "L up", {{"keys", {{"l", false}}}}, 1);
        }
        AddStep(steps, "keys up", {{"keys", {{"alt", false}, {"ctrl", false}}}}, 1);
    }
    if (o.bigMap) {
        AddStep(steps, "radar control released", {{"radarControl", {{"justReleased", true}}}}, 1);
        AddStep(steps, "radar control idle", {{"radarControl", {{"justReleased", false}}}}, 1);
    }
    if (o.playerList) {
        AddStep(steps, "Alt and radar control held", {{"keys", {{"alt", true}}}, {"radarControl", {{"pressed", true}}}}, 1);
    }
    AddStep(steps, "picture", nullptr, kPictureFrames);
    const json document = {{"description", "kov-preview"},
                           {"world", InitialWorldPatch(o, screen)},
                           {"steps", steps}};
    // Parsed like any scenario file, so a patch the host would not accept is an error, not ignored.
    std::optional<sim::Scenario> scenario = sim::ParseScenario(document.dump(), "kov-preview", error);
    // The settings file's bytes as they are (any encoding), not through the JSON text.
    if (scenario) scenario->ini = iniText;
    return scenario;
}

}  // namespace preview
