// Natives of the frame loop: who the local player is, whether a session runs, whether the
// player's ped exists, is dead, or the pause menu is open.
#include "sim/host/host.h"
#include "sim/natives/native_table.h"

namespace sim {

namespace {

void LocalPlayerIndex(Host& host, NativeCall& call) { call.ReturnInt(host.world.localPlayerIndex); }

void LocalPlayerPed(Host& host, NativeCall& call) { call.ReturnInt(host.world.localPed); }

void SessionActive(Host& host, NativeCall& call) { call.ReturnByte(host.world.sessionByte); }

void EntityExists(Host& host, NativeCall& call) {
    const int32_t entity = call.Int(0);
    call.ReturnBool(host.world.peds.count(entity) != 0 || host.world.vehicles.count(entity) != 0);
}

void PauseMenuActive(Host& host, NativeCall& call) { call.ReturnBool(host.world.pauseMenu); }

void EntityDead(Host& host, NativeCall& call) {
    const Ped* ped = FindPed(host.world, call.Int(0));
    call.ReturnBool(ped != nullptr && ped->dead);
}

}  // namespace

std::vector<NativeDef> CoreNatives() {
    return {
        {0x4F8644AF03D0E0D6, "local player index",     "",   'i', LocalPlayerIndex},
        {0xD80958FC74E988A6, "local player ped",       "",   'i', LocalPlayerPed},
        {0xD83C2B94E7508980, "network session active", "",   'B', SessionActive},
        {0x7239B21A38F536BA, "entity exists",          "i",  'b', EntityExists},
        {0xB0034A223497FFCB, "pause menu active",      "",   'b', PauseMenuActive},
        {0x5F9532F3B5CC2551, "entity dead",            "ib", 'b', EntityDead},
    };
}

}  // namespace sim
