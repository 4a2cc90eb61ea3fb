// The multiplayer natives: network player slots, peds in vehicles, model hashes, the killer chain,
// and map blips as host objects the plug-in creates, changes and removes.
#include <cmath>
#include <string>

#include "sim/host/host.h"
#include "sim/host/host_hash.h"
#include "sim/natives/native_table.h"

namespace sim {
namespace {

// The weapon the killer-of-player native reports for a death with a killer; the plug-in ignores it.
const uint32_t kKillerWeaponHash = HostHash("WEAPON_PISTOL");

// ---- lookups ---------------------------------------------------------------------------------

const NetworkPlayer* FindPlayer(const World& world, int32_t index) {
    if (index < 0 || index >= kPlayerSlots) return nullptr;
    return &world.players[static_cast<size_t>(index)];
}

const Ped* PlayerPed(const World& world, int32_t index) {
    const NetworkPlayer* player = FindPlayer(world, index);
    return player == nullptr ? nullptr : FindPed(world, player->ped);
}

// The vehicle the ped sits in; null on foot, for an unknown ped or a vehicle the world lacks.
const Vehicle* VehicleOfPed(const World& world, int32_t pedHandle) {
    const Ped* ped = FindPed(world, pedHandle);
    if (ped == nullptr || ped->vehicle == 0) return nullptr;
    const auto it = world.vehicles.find(ped->vehicle);
    return it == world.vehicles.end() ? nullptr : &it->second;
}

// The player slot the ped belongs to: its own mark, else the slot whose ped it is; -1 for none.
int32_t PlayerOfPed(const World& world, int32_t pedHandle) {
    const Ped* ped = FindPed(world, pedHandle);
    if (ped == nullptr) return -1;
    if (ped->player >= 0) return ped->player;
    for (int32_t i = 0; i < kPlayerSlots; ++i) {
        if (world.players[static_cast<size_t>(i)].ped == pedHandle) return i;
    }
    return -1;
}

// The blip behind a handle, which notes the frame. An unknown handle is recorded where tests can
// see it, never a crash: the plug-in may legitimately address a blip the host has dropped.
Blip* FindBlip(Host& host, const NativeCall& call, int32_t handle) {
    const auto it = host.world.blips.find(handle);
    if (it != host.world.blips.end()) {
        it->second.addressedInFrame = host.currentFrame().index;
        return &it->second;
    }
    const NativeDef* def = FindNative(call.hash);
    host.world.blipErrors.push_back(std::string(def != nullptr ? def->role : "blip native") + " on unknown blip " +
                                    std::to_string(handle));
    return nullptr;
}

// ---- players ---------------------------------------------------------------------------------

void PlayerIndexFromInteger(Host&, NativeCall& call) { call.ReturnInt(call.Int(0)); }

void NetworkPlayerActive(Host& host, NativeCall& call) {
    const NetworkPlayer* player = FindPlayer(host.world, call.Int(0));
    call.ReturnByte(player == nullptr ? 0 : player->activeByte);
}

void GetPlayerPed(Host& host, NativeCall& call) {
    const NetworkPlayer* player = FindPlayer(host.world, call.Int(0));
    call.ReturnInt(player == nullptr ? 0 : player->ped);
}

void GetPlayerTeam(Host& host, NativeCall& call) {
    const NetworkPlayer* player = FindPlayer(host.world, call.Int(0));
    call.ReturnInt(player == nullptr ? -1 : player->team);
}

void IsPlayerDead(Host& host, NativeCall& call) {
    const Ped* ped = PlayerPed(host.world, call.Int(0));
    call.ReturnBool(ped != nullptr && ped->dead);
}

void ReturnName(Host& host, NativeCall& call, HostText NetworkPlayer::*name) {
    const NetworkPlayer* player = FindPlayer(host.world, call.Int(0));
    call.ReturnText(host.KeepText(player == nullptr ? HostText() : player->*name));
}

void GetNetworkPlayerName(Host& host, NativeCall& call) { ReturnName(host, call, &NetworkPlayer::networkName); }
void GetPlayerName(Host& host, NativeCall& call) { ReturnName(host, call, &NetworkPlayer::name); }

// ---- peds and vehicles -----------------------------------------------------------------------

void IsPedDeadOrDying(Host& host, NativeCall& call) {
    const Ped* ped = FindPed(host.world, call.Int(0));
    call.ReturnBool(ped != nullptr && (ped->dead || ped->dying));
}

void IsPedInAnyVehicle(Host& host, NativeCall& call) {
    call.ReturnBool(VehicleOfPed(host.world, call.Int(0)) != nullptr);
}

void GetVehiclePedIsIn(Host& host, NativeCall& call) {
    const Ped* ped = FindPed(host.world, call.Int(0));
    call.ReturnInt(ped == nullptr ? 0 : ped->vehicle);
}

template <VehicleKind Kind>
void IsPedInKind(Host& host, NativeCall& call) {
    const Vehicle* vehicle = VehicleOfPed(host.world, call.Int(0));
    call.ReturnBool(vehicle != nullptr && vehicle->kind == Kind);
}

void GetHashKey(Host& host, NativeCall& call) {
    const char* text = call.Text(0);
    if (text == nullptr) {
        host.Fail("hash key of string: null text");
        return;
    }
    call.ReturnUint(HostHash(text));
}

void IsVehicleModel(Host& host, NativeCall& call) {
    const auto it = host.world.vehicles.find(call.Int(0));
    call.ReturnBool(it != host.world.vehicles.end() && HostHash(it->second.model) == call.Uint(1));
}

void CeilFloat(Host&, NativeCall& call) { call.ReturnInt(static_cast<int32_t>(std::ceil(call.Float(0)))); }

// ---- blips -----------------------------------------------------------------------------------

void AddBlipForCoords(Host& host, NativeCall& call) {
    const int32_t handle = host.world.nextBlipHandle++;
    Blip& blip = host.world.blips[handle];
    blip.pos = {call.Float(0), call.Float(1), call.Float(2)};
    call.ReturnInt(handle);
}

// One handler per integer blip property: set blip priority, display, category, sprite, rotation,
// alpha, colour and name to player name all take the blip and one integer.
template <int32_t Blip::*Field>
void SetBlipInt(Host& host, NativeCall& call) {
    if (Blip* blip = FindBlip(host, call, call.Int(0))) blip->*Field = call.Int(1);
}

void SetBlipCoords(Host& host, NativeCall& call) {
    if (Blip* blip = FindBlip(host, call, call.Int(0))) blip->pos = {call.Float(1), call.Float(2), call.Float(3)};
}

void DoesBlipExist(Host& host, NativeCall& call) { call.ReturnBool(host.world.blips.count(call.Int(0)) != 0); }

// The host's remove takes the address of the handle variable (never null: the call checks fail
// the run first). Removing an unknown handle, or the same blip twice, is recorded.
void RemoveBlip(Host& host, NativeCall& call) {
    const int32_t handle = *call.Pointer<int32_t>(0);
    ++host.world.blipRemovals[handle];
    if (FindBlip(host, call, handle) != nullptr) host.world.blips.erase(handle);
}

// ---- the killer chain ------------------------------------------------------------------------

void GetEntityKillerOfPlayer(Host& host, NativeCall& call) {
    const NetworkPlayer* player = FindPlayer(host.world, call.Int(0));
    const int32_t killer = player == nullptr ? 0 : player->killer;
    *call.Pointer<uint32_t>(1) = killer != 0 ? kKillerWeaponHash : 0;
    call.ReturnInt(killer);
}

void IsEntityAPed(Host& host, NativeCall& call) { call.ReturnBool(FindPed(host.world, call.Int(0)) != nullptr); }

void GetPedFromEntity(Host&, NativeCall& call) { call.ReturnInt(call.Int(0)); }

void IsPedAPlayer(Host& host, NativeCall& call) { call.ReturnBool(PlayerOfPed(host.world, call.Int(0)) >= 0); }

void GetPlayerIndexFromPed(Host& host, NativeCall& call) { call.ReturnInt(PlayerOfPed(host.world, call.Int(0))); }

}  // namespace

std::vector<NativeDef> PlayerNatives() {
    return {
        {0x41BD2A6B006AF756, "player index from integer",       "i",    'i', PlayerIndexFromInteger},
        {0xB8DFD30D6973E135, "network player active",           "i",    'B', NetworkPlayerActive},
        {0x43A66C31C68491C0, "player ped",                      "i",    'i', GetPlayerPed},
        {0x37039302F4E0A008, "player team",                     "i",    'i', GetPlayerTeam},
        {0x424D4687FA1E5652, "player dead",                     "i",    'b', IsPlayerDead},
        {0x7718D2E2060837D2, "network player name",             "i",    's', GetNetworkPlayerName},
        {0x6D0DE6A7B5DA71F8, "player name",                     "i",    's', GetPlayerName},
        {0x3317DEDB88C95038, "ped dead or dying",               "ib",   'b', IsPedDeadOrDying},
        {0x997ABD671D25CA0B, "ped in any vehicle",              "ib",   'b', IsPedInAnyVehicle},
        {0x9A9112A0FE9A4713, "vehicle ped is in",               "ib",   'i', GetVehiclePedIsIn},
        {0x2E0E1C2B4F6CB339, "ped in any boat",                 "i",    'b', IsPedInKind<VehicleKind::Boat>},
        {0xFBFC01CCFB35D99E, "ped in any submarine",            "i",    'b', IsPedInKind<VehicleKind::Submarine>},
        {0x298B91AE825E5705, "ped in any helicopter",           "i",    'b', IsPedInKind<VehicleKind::Helicopter>},
        {0x5FFF4CFC74D8FB80, "ped in any plane",                "i",    'b', IsPedInKind<VehicleKind::Plane>},
        {0x94495889E22C6479, "ped on any bike",                 "i",    'b', IsPedInKind<VehicleKind::Bike>},
        {0xD24D37CC275948CC, "hash key of string",              "s",    'u', GetHashKey},
        {0x423E8DE37D934D89, "vehicle is model",                "iu",   'b', IsVehicleModel},
        {0x11E019C8F43ACC8A, "ceiling of float",                "f",    'i', CeilFloat},
        {0x5A039BB0BCA604B6, "add blip for coordinates",        "fff",  'i', AddBlipForCoords},
        {0xAE9FC9EF6A9FAC79, "set blip priority",               "ii",   '-', SetBlipInt<&Blip::priority>},
        {0x9029B2F3DA924928, "set blip display",                "ii",   '-', SetBlipInt<&Blip::display>},
        {0x234CDD44D996FD9A, "set blip category",               "ii",   '-', SetBlipInt<&Blip::category>},
        {0xAE2AF67E9D9AF65D, "set blip coordinates",            "ifff", '-', SetBlipCoords},
        {0xDF735600A4696DAF, "set blip sprite",                 "ii",   '-', SetBlipInt<&Blip::sprite>},
        {0xF87683CDF73C3F6E, "set blip rotation",               "ii",   '-', SetBlipInt<&Blip::rotation>},
        {0x127DE7B20C60A6A3, "set blip name to player name",    "ii",   '-', SetBlipInt<&Blip::namePlayer>},
        {0x45FF974EEE1C8734, "set blip alpha",                  "ii",   '-', SetBlipInt<&Blip::alpha>},
        {0x03D7FB09E75D6B7E, "set blip colour",                 "ii",   '-', SetBlipInt<&Blip::colour>},
        {0xA6DB27D19ECBB7DA, "blip exists",                     "i",    'b', DoesBlipExist},
        {0x86A652570E5F25DD, "remove blip",                     "h",    '-', RemoveBlip},
        {0x42B2DAA6B596F5F8, "network entity killer of player", "io",   'i', GetEntityKillerOfPlayer},
        {0x524AC5ECEA15343E, "entity is a ped",                 "i",    'b', IsEntityAPed},
        {0x04A2A40C73395041, "ped from entity",                 "i",    'i', GetPedFromEntity},
        {0x12534C348C6CB68B, "ped is a player",                 "i",    'b', IsPedAPlayer},
        {0x6C0E2E0125610278, "network player index from ped",   "i",    'i', GetPlayerIndexFromPed},
    };
}

}  // namespace sim
