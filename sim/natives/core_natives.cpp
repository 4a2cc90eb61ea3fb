// Natives of the frame loop: who the local player is, whether a session runs, whether the
// player's ped exists, is dead, or the pause menu is open; and whether the game hides its HUD.
#include "sim/game/host.h"
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

void HudHidden(Host& host, NativeCall& call) { call.ReturnBool(host.world.hudHidden); }
void CutscenePlaying(Host& host, NativeCall& call) { call.ReturnBool(host.world.cutscenePlaying); }
void PlayerSwitch(Host& host, NativeCall& call) { call.ReturnBool(host.world.playerSwitch); }

}  // namespace

std::vector<NativeHandler> CoreHandlers() {
    return {
        // clang-format off
        {"local player index",     LocalPlayerIndex},
        {"local player ped",       LocalPlayerPed},
        {"network session active", SessionActive},
        {"entity exists",          EntityExists},
        {"pause menu active",      PauseMenuActive},
        {"entity dead",            EntityDead},
        {"hud hidden",             HudHidden},
        {"cutscene playing",       CutscenePlaying},
        {"player switch in progress", PlayerSwitch},
        // clang-format on
    };
}

}  // namespace sim
