// The measured frames. Start-up takes two passes (the log header ends with a wait, then the
// settings and the first frame run); a case's set-up passes follow, then its first frame.
#include "bench/frame_cases.h"

#include <iterator>

namespace bench {

namespace {

constexpr int kStartUpPasses = 2;

// Downtown, on the road, at a crossing: "Vinewood Blvd  [SR-18]   /   Hawick Ave  [SR-17]".
void OnRoadAtCrossing(FixedWorld& w) {
    w.position = {285.5f, 180.25f, 104.0f};
    w.heading = 100.0f;
    w.streetHash = 0x1A2B3C4D;
    w.streetName = "Vinewood Blvd";
    w.crossingHash = 0x5E6F7081;
    w.crossingName = "Hawick Ave";
    w.zoneCode = "DTVine";
    w.onRoad = true;
}

// In the desert, 60 units from the nearest major road: "Near  US Route 68" (the street line is built
// twice, once for the panel and once for the "Near" form).
void OffRoadNear(FixedWorld& w) {
    w.position = {1200.0f, 2600.0f, 40.0f};
    w.heading = 200.0f;
    w.streetHash = 0x24681357;
    w.streetName = "Route 68";
    w.crossingHash = 0;
    w.zoneCode = "Desrt";
    w.onRoad = false;
    w.nodeResult = 1;
    w.node = {1260.0f, 2600.0f, 40.0f};
}

void SinglePlayerCrossing(FixedWorld& w) {
    w = FixedWorld{};
    OnRoadAtCrossing(w);
}

void SinglePlayerNear(FixedWorld& w) {
    w = FixedWorld{};
    OffRoadNear(w);
}

// Online with every slot taken, all in vehicles that match no special sprite (every sprite test
// runs), all on another team than the local player (each blip gets its second alpha), off the
// road with a crossing.
void OnlineWorst(FixedWorld& w) {
    w = FixedWorld{};
    OffRoadNear(w);
    w.crossingHash = 0x13572468;
    w.crossingName = "Senora Fwy";
    w.sessionByte = 1;
    w.activePlayers = kPlayerSlots;
    w.localTeam = 1;
    w.otherTeam = 2;
    w.inVehicle = true;
}

// Ctrl+Alt+L turns the display off, L is let go, Ctrl+Alt+L turns it on again: the display is on
// and its notice is on screen (the host's clock stands still, so it never expires).
const KeysHeld kNoticeOn[] = {
    {true, true, true, false},
    {true, true, false, false},
    {true, true, true, false},
};

const KeysHeld kNoKeys = {false, false, false, false};
const KeysHeld kPlayerListHeld = {false, true, false, true};  // Alt with the radar control

void HoldKeys(const KeysHeld& keys) {
    world.ctrlDown = keys.ctrl;
    world.altDown = keys.alt;
    world.lDown = keys.l;
    world.radarControlPressed = keys.radarControl;
    world.radarControlJustReleased = false;
}

}  // namespace

const FrameCase kFrameCases[3] = {
    {"single_player_crossing", "single player, on a road at a crossing", SinglePlayerCrossing, nullptr, 0, kNoKeys,
     2000.0},
    {"single_player_near", "single player, off the road (\"Near\" form)", SinglePlayerNear, nullptr, 0, kNoKeys,
     2000.0},
    {"online_worst", "online: 32 players listed, all in vehicles, two blip passes, a notice", OnlineWorst, kNoticeOn,
     std::size(kNoticeOn), kPlayerListHeld, 20000.0},
};

bool LoadCase(const FrameCase& frameCase, const char* pluginPath) {
    frameCase.configure(world);
    HoldKeys(kNoKeys);
    return LoadPlugin(pluginPath);
}

void RunToFirstFrame(const FrameCase& frameCase) {
    for (int i = 0; i < kStartUpPasses; ++i) RunPluginPass();
    for (size_t i = 0; i < frameCase.setupPasses; ++i) {
        HoldKeys(frameCase.setupKeys[i]);
        RunPluginPass();
    }
    HoldKeys(frameCase.frameKeys);
    RunPluginPass();
}

bool PrepareCase(const FrameCase& frameCase, const char* pluginPath) {
    if (!LoadCase(frameCase, pluginPath)) return false;
    RunToFirstFrame(frameCase);
    return true;
}

}  // namespace bench
