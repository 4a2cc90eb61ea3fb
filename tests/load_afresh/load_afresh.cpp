// The loader's contract (sim/platform/plugin_module.h), one check for every target that has a
// loader. The plug-in is loaded and run until a player would see that its process-wide state is no
// longer a load's (the panel switched off with its notice showing, the big map open, a death notice
// in the feed, blips on the other players), then unloaded and loaded again. That load must run as
// the first did: the same trace (every call, argument, result and wait, with its frame and time),
// the same settings lookups and the same KOV.log bytes. A load made while that one is still live
// must too, or be refused. All of it is seen through the host, never through the plug-in's symbols.
// Usage: load-afresh [--plugin PATH] [--may-refuse-reload]
//   PATH: the plug-in (default: the one built beside the program)
//   --may-refuse-reload: the target has one set of the plug-in's records per process (the page's
//   WebAssembly build), so a load after an unload may be refused there instead, with its reason.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "sim/game/host.h"
#include "sim/game/virtual_keys.h"
#include "sim/platform/files.h"
#include "sim/platform/plugin_module.h"
#include "sim/platform/temporary_paths.h"

namespace {

constexpr char kIni[] = "[GENERAL]\nLocTextPosX=100\n";

constexpr int kAnnSlot = 3, kBobSlot = 9;
constexpr int32_t kAnnPed = 40, kBobPed = 41;

void AddPlayer(sim::World& world, int slot, int32_t ped, const char* name, sim::Vec3 pos) {
    sim::NetworkPlayer& player = world.players[static_cast<size_t>(slot)];
    player.activeByte = 1;
    player.ped = ped;
    player.networkName = player.name = std::string(name);
    world.peds[ped].pos = pos;
    world.peds[ped].player = slot;
}

// An online session: the local player in slot 0 on ped 1, Ann and Bob near.
sim::World SessionWorld() {
    sim::World world;
    world.sessionByte = 1;
    AddPlayer(world, world.localPlayerIndex, world.localPed, "Local", {});
    AddPlayer(world, kAnnSlot, kAnnPed, "Ann", {50, 20, 0});
    AddPlayer(world, kBobSlot, kBobPed, "Bob", {200, 50, 1});
    return world;
}

void HoldDisplayHotkey(sim::World& world, bool down) {
    for (const char* key : {"ctrl", "alt", "l"}) world.keysDown[sim::VirtualKeyCode(key)] = down;
}

struct Step {
    const char* label;
    void (*change)(sim::World&);
    int frames;
};

const Step kSteps[] = {
    {"start-up: the panel, and blips on Ann and Bob", [](sim::World&) {}, 10},
    {"the radar control released: the big map opens", [](sim::World& w) { w.radarControlJustReleased = true; }, 1},
    {"Bob kills Ann: a death notice",
     [](sim::World& w) {
         w.radarControlJustReleased = false;
         w.peds[kAnnPed].dead = w.peds[kAnnPed].dying = true;
         w.players[kAnnSlot].killer = kBobPed;
     },
     3},
    {"Ctrl+Alt+L: the display goes off, with a notice", [](sim::World& w) { HoldDisplayHotkey(w, true); }, 1},
    {"the keys let go", [](sim::World& w) { HoldDisplayHotkey(w, false); }, 2},
};

bool Draws(const sim::Frame& frame, const char* text) {
    for (const sim::DrawnText& drawn : frame.texts) {
        if (drawn.text == text) return true;
    }
    return false;
}

// What a player sees after the steps that a load does not start with.
struct Sight {
    const char* what;
    bool (*seen)(const sim::Host&);
};

const Sight kLeftBehind[] = {
    {"the panel is off", [](const sim::Host& h) { return !Draws(h.lastFrame(), "|"); }},  // its separator
    {"the notice is showing",
     [](const sim::Host& h) { return Draws(h.lastFrame(), "~y~KOV | ~w~Location display disabled."); }},
    {"the big map is open", [](const sim::Host& h) { return h.world.bigMap; }},
    {"Ann and Bob have blips", [](const sim::Host& h) { return h.world.blips.size() == 2; }},
    {"the death notice is in the feed", [](const sim::Host& h) { return h.world.feed.size() == 1; }},
};

// A run as the host saw it, one line per traced call or wait, per settings lookup, per line of
// KOV.log; and the log's bytes.
struct Observed {
    std::vector<std::string> trace, lookups, log;
    std::string logBytes;
};

Observed Observe(const sim::Host& host, const std::filesystem::path& workDir) {
    Observed seen;
    for (const sim::TraceEntry& entry : host.trace()) {
        seen.trace.push_back(std::to_string(entry.frame) + " " + std::to_string(entry.timeMs) + " " + entry.line);
    }
    for (const sim::SettingsLookup& lookup : host.lookups()) {
        seen.lookups.push_back(std::to_string(lookup.frame) + " [" + lookup.section + "] " + lookup.key + " (" +
                               lookup.fallback + ", " + std::to_string(lookup.bufferSize) + ") -> " + lookup.text);
    }
    seen.logBytes = sim::ReadFileBytes(workDir / "KOV.log").value_or("(no KOV.log)");
    seen.log = sim::SplitLines(seen.logBytes);
    return seen;
}

// Where two runs part: the first line of a kind that differs, or "" when they are the same.
std::string Difference(const Observed& first, const Observed& again) {
    const struct {
        const char* name;
        const std::vector<std::string>& first;
        const std::vector<std::string>& again;
    } kinds[] = {{"trace", first.trace, again.trace},
                 {"settings lookup", first.lookups, again.lookups},
                 {"KOV.log", first.log, again.log}};
    for (const auto& kind : kinds) {
        for (size_t i = 0; i < kind.first.size() || i < kind.again.size(); ++i) {
            const std::string a = i < kind.first.size() ? kind.first[i] : "(end)";
            const std::string b = i < kind.again.size() ? kind.again[i] : "(end)";
            if (a != b) {
                return std::string(kind.name) + " line " + std::to_string(i + 1) + ":\n  first: " + a +
                       "\n  this:  " + b;
            }
        }
    }
    return first.logBytes == again.logBytes ? "" : "KOV.log's line ends";
}

// One load of the plug-in, in a host and a work folder of its own that holds kIni.
class Load {
public:
    // Loads the plug-in; a refusal is the loader's (or why KOV.ini could not be written).
    sim::Status Start(const std::string& plugin) {
        if (sim::Status written = sim::WriteFileBytes(workDir_.path() / "KOV.ini", kIni); !written) return written;
        const sim::ScopedCurrentDirectory inWorkDir(workDir_.path());
        host_.world = SessionWorld();
        return host_.Load(plugin);
    }

    // Runs the steps; a failed run, or one whose plug-in addressed a blip it did not make in this
    // host, is a failure.
    sim::Status Run() {
        const sim::ScopedCurrentDirectory inWorkDir(workDir_.path());
        for (const Step& step : kSteps) {
            step.change(host_.world);
            if (sim::Status ran = host_.RunFrames(step.frames); !ran) {
                return sim::Failure(std::string(step.label) + ": " + ran.error());
            }
        }
        if (!host_.world.blipErrors.empty()) return sim::Failure(host_.world.blipErrors.front());
        return {};
    }

    const sim::Host& host() const { return host_; }
    Observed Seen() const { return Observe(host_, workDir_.path()); }

private:
    sim::TemporaryWorkDirectory workDir_{"load-afresh-"};
    sim::Host host_;
};

bool Fail(const std::string& what) {
    std::printf("FAIL: %s\n", what.c_str());
    return false;
}

// The process's first load, run until a player sees what a load does not start with.
bool RunFirst(const std::string& plugin, Observed& first) {
    Load load;
    if (sim::Status started = load.Start(plugin); !started)
        return Fail("the first load was refused: " + started.error());
    if (sim::Status ran = load.Run(); !ran) return Fail("the first load failed: " + ran.error());
    for (const Sight& sight : kLeftBehind) {
        if (!sight.seen(load.host())) return Fail(std::string("the first load's run ended, but not so: ") + sight.what);
    }
    first = load.Seen();
    return true;
}

// A later load, which must run as the first did, or be refused where that is allowed.
bool RunsAsTheFirst(Load& load, const char* which, const std::string& plugin, const Observed& first, bool mayRefuse) {
    if (sim::Status started = load.Start(plugin); !started) {
        if (!mayRefuse) return Fail(std::string(which) + " was refused: " + started.error());
        std::printf("PASS: %s was refused: %s\n", which, started.error().c_str());
        return true;
    }
    if (sim::Status ran = load.Run(); !ran) return Fail(std::string(which) + " failed: " + ran.error());
    const Observed seen = load.Seen();
    if (const std::string difference = Difference(first, seen); !difference.empty()) {
        return Fail(std::string(which) + " did not run as the first load, at " + difference);
    }
    std::printf("PASS: %s ran as the first load: %zu trace lines, %zu settings lookups, KOV.log of %zu bytes\n", which,
                seen.trace.size(), seen.lookups.size(), seen.logBytes.size());
    return true;
}

int Check(int argc, char** argv) {
    std::string plugin = sim::DefaultPluginPath();
    bool mayRefuseReload = false;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--plugin") == 0 && i + 1 < argc) {
            plugin = std::filesystem::absolute(argv[++i]).string();  // the loads run in folders of their own
        } else if (std::strcmp(argv[i], "--may-refuse-reload") == 0) {
            mayRefuseReload = true;
        } else {
            std::fprintf(stderr, "usage: load-afresh [--plugin PATH] [--may-refuse-reload]\n");
            return 2;
        }
    }
    Observed first;
    if (!RunFirst(plugin, first)) return 1;
    Load again;
    bool passed = RunsAsTheFirst(again, "a load after an unload", plugin, first, mayRefuseReload);
    if (again.host().status().ok()) {
        Load beside;
        passed = RunsAsTheFirst(beside, "a load while another is live", plugin, first, true) && passed;
    }
    return passed ? 0 : 1;
}

}  // namespace

// Ends by exit(): in WebAssembly, once the script's fiber has run, main's own return value is lost.
int main(int argc, char** argv) { std::exit(Check(argc, argv)); }
