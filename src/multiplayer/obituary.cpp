// PostObituaryNotice: the victim's name, and the killer's when another player is behind the death.
#include "multiplayer/obituary.h"

#include "config/settings.h"
#include "frame/frame_state.h"
#include "host/natives.h"
#include "text/bounded_text.h"

// Per slot: 1 once the current death has been reported. Set by PostObituaryNotice; cleared through
// RearmObituaryNotice by the blip pass while the slot's player is alive.
static uint8_t obituaryShown[kPlayerSlots];

constexpr int32_t kFeedFont = 4;

// Finds the player behind the slot's death: every link of the chain (an existing entity, a ped, a
// player's ped) must hold.
static bool FindKillerPlayer(int32_t slot, int32_t* killerIndex) {
    uint32_t weapon = 0;  // written by the host, not used
    const int32_t killer = GetEntityKillerOfPlayer(slot, &weapon);
    if (!DoesEntityExist(killer) || !IsEntityAPed(killer)) return false;
    const int32_t killerPed = GetPedFromEntity(killer);
    if (!IsPedAPlayer(killerPed)) return false;
    *killerIndex = GetPlayerIndexFromPed(killerPed);
    return true;
}

static void PostToFeed(const char* text) {
    BeginFeedPost("STRING");
    AddTextComponent(text);
    SetTextFont(kFeedFont);
    EndFeedPostTicker(false, true);
}

void PostObituaryNotice(int32_t slot) {
    if (slot < 0 || slot >= kPlayerSlots) return;
    if (CurrentSettings().ShowPlayerObituaries != 1 || obituaryShown[slot] != 0) return;

    char notice[64];
    char victim[64];
    CopyText(victim, GetPlayerName(slot));
    JoinText(notice, {"~w~", victim, " ~c~died."});

    int32_t killerIndex = 0;
    if (FindKillerPlayer(slot, &killerIndex) && killerIndex != slot) {  // killing oneself is dying
        char killer[64];
        CopyText(killer, GetPlayerName(killerIndex));
        CopyText(victim, GetPlayerName(slot));
        JoinText(notice, {"~w~", victim, " ~c~killed by ~w~", killer, "."});
    }
    PostToFeed(notice);
    obituaryShown[slot] = 1;
}

void RearmObituaryNotice(int32_t slot) { obituaryShown[slot] = 0; }
