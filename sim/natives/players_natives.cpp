// The multiplayer natives: network player slots, peds in vehicles, model hashes, the killer chain,
// and map blips as host objects the plug-in creates, changes and removes.
#include <cmath>
#include <string>

#include "sim/game/host.h"
#include "sim/game/host_hash.h"
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

// The game converts with the processor's truncating conversion, which gives INT32_MIN (its
// "integer indefinite") for NaN and for anything past the int range, where C++ leaves it undefined.
void CeilFloat(Host&, NativeCall& call) {
    const double up = std::ceil(static_cast<double>(call.Float(0)));
    call.ReturnInt(up >= INT32_MIN && up <= INT32_MAX ? static_cast<int32_t>(up) : INT32_MIN);
}

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

std::vector<NativeHandler> PlayerHandlers() {
    return {
        // clang-format off
        {"player index from integer",       PlayerIndexFromInteger},
        {"network player active",           NetworkPlayerActive},
        {"player ped",                      GetPlayerPed},
        {"player team",                     GetPlayerTeam},
        {"player dead",                     IsPlayerDead},
        {"network player name",             GetNetworkPlayerName},
        {"player name",                     GetPlayerName},
        {"ped dead or dying",               IsPedDeadOrDying},
        {"ped in any vehicle",              IsPedInAnyVehicle},
        {"vehicle ped is in",               GetVehiclePedIsIn},
        {"ped in any boat",                 IsPedInKind<VehicleKind::Boat>},
        {"ped in any submarine",            IsPedInKind<VehicleKind::Submarine>},
        {"ped in any helicopter",           IsPedInKind<VehicleKind::Helicopter>},
        {"ped in any plane",                IsPedInKind<VehicleKind::Plane>},
        {"ped on any bike",                 IsPedInKind<VehicleKind::Bike>},
        {"hash key of string",              GetHashKey},
        {"vehicle is model",                IsVehicleModel},
        {"ceiling of float",                CeilFloat},
        {"add blip for coordinates",        AddBlipForCoords},
        {"set blip priority",               SetBlipInt<&Blip::priority>},
        {"set blip display",                SetBlipInt<&Blip::display>},
        {"set blip category",               SetBlipInt<&Blip::category>},
        {"set blip coordinates",            SetBlipCoords},
        {"set blip sprite",                 SetBlipInt<&Blip::sprite>},
        {"set blip rotation",               SetBlipInt<&Blip::rotation>},
        {"set blip name to player name",    SetBlipInt<&Blip::namePlayer>},
        {"set blip alpha",                  SetBlipInt<&Blip::alpha>},
        {"set blip colour",                 SetBlipInt<&Blip::colour>},
        {"blip exists",                     DoesBlipExist},
        {"remove blip",                     RemoveBlip},
        {"network entity killer of player", GetEntityKillerOfPlayer},
        {"entity is a ped",                 IsEntityAPed},
        {"ped from entity",                 GetPedFromEntity},
        {"ped is a player",                 IsPedAPlayer},
        {"network player index from ped",   GetPlayerIndexFromPed},
        // clang-format on
    };
}

}  // namespace sim
