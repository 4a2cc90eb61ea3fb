// Building a preview's scenario: the player, the session's players around them, the road, and the
// steps that press the keys a scene needs.
#include "tools/preview/preview_world.h"

#include <cmath>
#include <iterator>

#include "sim/world/map_index.h"
#include "tools/ini/ini_edit.h"

namespace preview {

namespace {

using nlohmann::json;

constexpr int kLocalPed = 1;
constexpr int kFirstOtherPed = 100;      // ped handle of slot s is this plus s
constexpr float kNearNodeDistance = 12;  // within the 20 units that keep the street line
constexpr float kFarNodeDistance = 60;   // beyond them: "Near  ..."
constexpr int kStartFrames = 10;         // the log header's 100 ms wait and the first passes
constexpr int kPictureFrames = 2;

// Network names of the session's players by slot.
const char* const kPlayerNames[] = {
    "You_Are_Here", "NightOwl_88",   "Kestrel-Nine", "mossy_gravel",   "Vantablackout", "TeaWithMilk",  "Quarry_Rat",
    "LowRider_Lou", "ParcelBomb",    "seagull_sam",  "Drift_Theory",   "HalfPipeHank",  "OrbitalSnack", "CactusJuice",
    "MarlinMonroe", "Sir_Honksalot", "byte_sized",   "Tarmac_Tess",    "GreenLightGo",  "Hushpuppy",    "Foghorn_Fi",
    "ZeroToSixty",  "WaffleIron",    "Static_Pike",  "RustBucket_Ray", "NeonNomad",     "CloudBerry",   "Pier_Pressure",
    "KiloWhiskey",  "Sunset_Strip",  "GhostPepper",  "LastOrders",
};
static_assert(std::size(kPlayerNames) == sim::kPlayerSlots, "a name per player slot");

int PedOfSlot(int slot) { return slot == 0 ? kLocalPed : kFirstOtherPed + slot; }

// Other players stand around the player on a widening spiral.
json PedsAndPlayers(const PreviewOptions& o, json& players) {
    json peds = json::object();
    peds[std::to_string(kLocalPed)] = {{"pos", {o.x, o.y, o.z}}, {"heading", o.heading}, {"player", 0}};
    for (int slot = 0; slot < o.sessionPlayers; ++slot) {
        // Teams: you and every third player are team 1, so the list shows team mates.
        const int team = slot % 3 == 0 ? 1 : (slot % 3 == 1 ? 2 : -1);
        json player = {{"active", true},
                       {"ped", PedOfSlot(slot)},
                       {"team", team},
                       {"networkName", kPlayerNames[slot]},
                       {"name", kPlayerNames[slot]}};
        if (slot == o.deathSlot && o.killerSlot >= 0) player["killer"] = PedOfSlot(o.killerSlot);
        players[std::to_string(slot)] = player;
        if (slot == 0) continue;
        const double angle = slot * 2.4, radius = 30.0 + 8.0 * slot;
        peds[std::to_string(PedOfSlot(slot))] = {
            {"pos", {o.x + radius * std::cos(angle), o.y + radius * std::sin(angle), o.z}},
            {"heading", slot * 37 % 360},
            {"dead", slot == o.deathSlot},
            {"player", slot}};
    }
    return peds;
}

// The location: what the options name, and with --at the game's San Andreas for the rest.
void AddLocation(const PreviewOptions& o, json& world) {
    if (o.atMap) world["sanAndreas"] = true;
    if (!o.atMap || o.named.street || o.named.crossing) world["street"] = o.street, world["crossing"] = o.crossing;
    if (!o.atMap || o.named.zone) world["zone"] = o.zone;
    if (o.atMap && o.offRoad == OffRoad::No) return;
    world["onRoad"] = o.offRoad == OffRoad::No;
    const float nodeDistance = o.offRoad == OffRoad::Far ? kFarNodeDistance : kNearNodeDistance;
    world["node"] = {{"result", o.offRoad == OffRoad::NoRoad ? 0 : 1}, {"pos", {o.x + nodeDistance, o.y, o.z}}};
}

json InitialWorldPatch(const PreviewOptions& o, const sim::RealScreen& screen) {
    json players = json::object();
    json world = {
        {"display", {{"resolution", {screen.width, screen.height}}, {"safeZone", screen.safeZone}}},
        {"localPed", kLocalPed},
        {"localPlayerIndex", 0},
        {"session", o.sessionPlayers > 0 ? 1 : 0},
    };
    AddLocation(o, world);
    world["peds"] = PedsAndPlayers(o, players);
    if (!players.empty()) world["players"] = players;
    return world;
}

void AddStep(json& steps, const std::string& label, json world, int frames) {
    steps.push_back({{"label", label}, {"world", std::move(world)}, {"frames", frames}});
}

}  // namespace

sim::Result<sim::Scenario> PreviewScenario(const PreviewOptions& o, const sim::RealScreen& screen,
                                           const std::optional<std::string>& iniText) {
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
        AddStep(steps, "Alt and radar control held", {{"keys", {{"alt", true}}}, {"radarControl", {{"pressed", true}}}},
                1);
    }
    AddStep(steps, "picture", nullptr, kPictureFrames);
    PreviewOptions placed = o;
    if (o.groundHeight) placed.z = sim::TheMapIndex().GroundHeight(o.x, o.y);
    const json document = {
        {"description", "kov-preview"}, {"world", InitialWorldPatch(placed, screen)}, {"steps", steps}};
    // Parsed like any scenario file, so a patch the host would not accept is an error, not ignored.
    sim::Result<sim::Scenario> scenario = sim::ParseScenario(document.dump(), "kov-preview");
    if (!scenario) return scenario.status();
    // The settings file's bytes as they are (any encoding), not through the JSON text.
    scenario->ini = iniText;
    return std::move(*scenario);
}

std::string WithAnchorToRadar(const std::optional<std::string>& iniText, bool on) {
    return ini::SetIniFileValue(iniText.value_or(""), "GENERAL", "AnchorToRadar", on ? "true" : "false");
}

}  // namespace preview
