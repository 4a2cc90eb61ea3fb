// Fixed answers for every native the plug-in calls, from one FixedWorld, found by hash.
#include "bench/native_answers.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <iterator>

#include "bench/minimal_host.h"
#include "sim/natives/native_join.h"

namespace bench {

FixedWorld world;

namespace {

using sim::NativeCall;

// ---- answers -----------------------------------------------------------------------------------

void Nothing(NativeCall&) {}
void True(NativeCall& c) { c.ReturnBool(true); }
void False(NativeCall& c) { c.ReturnBool(false); }
void Zero(NativeCall& c) { c.ReturnInt(0); }
void SameInt(NativeCall& c) { c.ReturnInt(c.Int(0)); }

bool IsActiveSlot(int32_t player) { return player >= 0 && player < world.activePlayers; }

void LocalPlayerIndex(NativeCall& c) { c.ReturnInt(world.localPlayerIndex); }
void LocalPlayerPed(NativeCall& c) { c.ReturnInt(kPedBase + world.localPlayerIndex); }
void SessionByte(NativeCall& c) { c.ReturnByte(world.sessionByte); }
void ScreenResolution(NativeCall& c) {
    *c.Pointer<int32_t>(0) = world.screenWidth;
    *c.Pointer<int32_t>(1) = world.screenHeight;
}

void RadarHidden(NativeCall& c) { c.ReturnBool(world.radarHidden); }
void EntityCoords(NativeCall& c) { c.ReturnVector(world.position.x, world.position.y, world.position.z); }
void EntityHeading(NativeCall& c) { c.ReturnFloat(world.heading); }
void StreetHashes(NativeCall& c) {
    *c.Pointer<uint32_t>(3) = world.streetHash;
    *c.Pointer<uint32_t>(4) = world.crossingHash;
}
void StreetName(NativeCall& c) {
    const uint32_t hash = c.Uint(0);
    c.ReturnText(hash == world.streetHash ? world.streetName : hash == world.crossingHash ? world.crossingName : "");
}
void ZoneCode(NativeCall& c) { c.ReturnText(world.zoneCode); }
void PointOnRoad(NativeCall& c) { c.ReturnBool(world.onRoad); }
void ClosestNode(NativeCall& c) {
    float* node = c.Pointer<float>(3);  // x, y and z in the low halves of three slots
    node[0] = world.node.x;
    node[2] = world.node.y;
    node[4] = world.node.z;
    c.ReturnByte(world.nodeResult);
}
void Distance(NativeCall& c) {
    const float dx = c.Float(3) - c.Float(0);
    const float dy = c.Float(4) - c.Float(1);
    const float dz = c.Float(5) - c.Float(2);
    c.ReturnFloat(std::sqrt(dx * dx + dy * dy + dz * dz));
}

void ControlPressed(NativeCall& c) { c.ReturnBool(world.radarControlPressed); }
void ControlJustReleased(NativeCall& c) { c.ReturnBool(world.radarControlJustReleased); }

void PlayerActive(NativeCall& c) { c.ReturnByte(IsActiveSlot(c.Int(0)) ? 1 : 0); }
void PlayerPed(NativeCall& c) { c.ReturnInt(kPedBase + c.Int(0)); }
void PlayerTeam(NativeCall& c) { c.ReturnInt(c.Int(0) == world.localPlayerIndex ? world.localTeam : world.otherTeam); }
void InAnyVehicle(NativeCall& c) { c.ReturnBool(world.inVehicle); }
void VehiclePedIsIn(NativeCall& c) { c.ReturnInt(kVehicleBase + (c.Int(0) - kPedBase)); }
void HashKey(NativeCall& c) { c.ReturnUint(0x5A3C0F1Eu); }
void Ceiling(NativeCall& c) { c.ReturnInt(static_cast<int32_t>(std::ceil(c.Float(0)))); }

char playerNames[kPlayerSlots][16];
void PlayerName(NativeCall& c) {
    const int32_t player = c.Int(0);
    c.ReturnText(player >= 0 && player < kPlayerSlots ? playerNames[player] : "");
}

int32_t nextBlip = 0;
void AddBlip(NativeCall& c) { c.ReturnInt(++nextBlip); }
void KillerOfPlayer(NativeCall& c) {
    *c.Pointer<uint32_t>(1) = 0;
    c.ReturnInt(0);
}

struct Answer {
    const char* role;
    void (*answer)(NativeCall& call);
};

// One answer per native the plug-in calls, by the native's role in the table.
const Answer kAnswers[] = {
    // frame loop
    // clang-format off
    {"local player index",                LocalPlayerIndex},
    {"local player ped",                  LocalPlayerPed},
    {"network session active",            SessionByte},
    {"entity exists",                     True},
    {"pause menu active",                 False},
    {"entity dead",                       False},
    {"hud hidden",                        False},
    {"cutscene playing",                  False},
    {"player switch in progress",         False},
    // text, rectangles and feed posts
    {"screen resolution query",           ScreenResolution},
    {"set text scale",                    Nothing},
    {"set text centring",                 Nothing},
    {"set text drop shadow",              Nothing},
    {"set text colour",                   Nothing},
    {"begin on-screen text command",      Nothing},
    {"add text component",                Nothing},
    {"set text proportional",             Nothing},
    {"set text font",                     Nothing},
    {"set text outline",                  Nothing},
    {"end text command: draw text",       Nothing},
    {"draw rectangle",                    Nothing},
    {"begin feed post",                   Nothing},
    {"end feed post as ticker",           Nothing},
    {"hide help text this frame",         Nothing},
    // location
    {"radar hidden",                      RadarHidden},
    {"display area name",                 Nothing},
    {"entity coordinates",                EntityCoords},
    {"entity heading",                    EntityHeading},
    {"street name hashes at coordinates", StreetHashes},
    {"street name from hash key",         StreetName},
    {"zone code at coordinates",          ZoneCode},
    {"point on road",                     PointOnRoad},
    {"closest major vehicle node",        ClosestNode},
    {"distance between coordinates",      Distance},
    // controls
    {"control pressed",                   ControlPressed},
    {"control just released",             ControlJustReleased},
    {"disable control action",            Nothing},
    {"disabled control pressed",          False},
    {"disabled control just pressed",     False},
    {"display radar",                     Nothing},
    {"set big map active",                Nothing},
    {"display player name tags on blips", Nothing},
    // players
    {"player index from integer",         SameInt},
    {"network player active",             PlayerActive},
    {"player ped",                        PlayerPed},
    {"player team",                       PlayerTeam},
    {"player dead",                       False},
    {"network player name",               PlayerName},
    {"player name",                       PlayerName},
    // peds and vehicles
    {"ped dead or dying",                 False},
    {"ped in any vehicle",                InAnyVehicle},
    {"vehicle ped is in",                 VehiclePedIsIn},
    {"ped in any boat",                   False},
    {"ped in any submarine",              False},
    {"ped in any helicopter",             False},
    {"ped in any plane",                  False},
    {"ped on any bike",                   False},
    {"hash key of string",                HashKey},
    {"vehicle is model",                  False},
    {"ceiling of float",                  Ceiling},
    // blips
    {"add blip for coordinates",          AddBlip},
    {"set blip priority",                 Nothing},
    {"set blip display",                  Nothing},
    {"set blip category",                 Nothing},
    {"set blip coordinates",              Nothing},
    {"set blip sprite",                   Nothing},
    {"set blip rotation",                 Nothing},
    {"set blip name to player name",      Nothing},
    {"set blip alpha",                    Nothing},
    {"set blip colour",                   Nothing},
    {"blip exists",                       True},
    {"remove blip",                       Nothing},
    // obituaries
    {"network entity killer of player",   KillerOfPlayer},
    {"entity is a ped",                   False},
    {"ped from entity",                   SameInt},
    {"ped is a player",                   False},
    {"network player index from ped",     Zero},
    // script gfx alignment (AnchorToRadar)
    {"set script gfx align",              Nothing},
    {"set script gfx align params",       Nothing},
    {"reset script gfx align",            Nothing},
    // clang-format on
};

// ---- rows by hash ------------------------------------------------------------------------------

NativeRow rows[sim::kNativeCount];

// Open addressing over a power-of-two table a few times larger than the row count, so a lookup is
// one multiply and, nearly always, one probe.
constexpr size_t kLookupSlots = 512;
NativeRow* lookup[kLookupSlots];

size_t LookupSlot(uint64_t hash) { return static_cast<size_t>((hash * 0x9E3779B97F4A7C15ull) >> 55); }
static_assert(kLookupSlots == size_t{1} << (64 - 55), "the slot index covers the table");
static_assert(kLookupSlots >= 4 * sim::kNativeCount, "the lookup stays sparse");

void AddRow(NativeRow* row) {
    size_t slot = LookupSlot(row->hash);
    while (lookup[slot] != nullptr) slot = (slot + 1) % kLookupSlots;
    lookup[slot] = row;
}

}  // namespace

void PrepareRows() {
    static bool prepared = false;
    if (prepared) return;
    const sim::RoleJoin join = sim::JoinByRole(kAnswers, std::size(kAnswers), true, "answer");
    if (!join.defect.empty()) {
        std::fprintf(stderr, "minimal host: %s\n", join.defect.c_str());
        std::abort();
    }
    for (size_t i = 0; i < sim::kNativeCount; ++i) {
        if (join.entryOf[i] < 0) continue;
        const sim::NativeSignature& native = sim::kNativeSignatures[i];
        rows[i] = NativeRow{native.hash, &native, kAnswers[join.entryOf[i]].answer, sim::RulesOf(native), 0};
        AddRow(&rows[i]);
    }
    for (int p = 0; p < kPlayerSlots; ++p) std::snprintf(playerNames[p], sizeof playerNames[p], "Rider_%02d", p);
    prepared = true;
}

NativeRow* FindRow(uint64_t hash) {
    for (size_t slot = LookupSlot(hash);; slot = (slot + 1) % kLookupSlots) {
        NativeRow* row = lookup[slot];
        if (row == nullptr || row->hash == hash) return row;
    }
}

void ResetAnswers() {
    nextBlip = 0;
    for (NativeRow& row : rows) row.calls = 0;
}

}  // namespace bench
