// The per-frame snapshot and mode flags the frame tasks share, and the blip handle table whose
// lifetime is the library's. Only the script fiber touches them.
#pragma once

#include <cstdint>

constexpr int kPlayerSlots = 32;
constexpr int32_t kNoBlip = -1;

struct FrameState {
    int32_t localPlayerIndex;  // frame loop, every pass; read by the player list and blips
    int32_t localPlayerPed;    // frame loop, every pass; read by the loop and the location panel
    uint8_t inSession;         // session byte as the host returned it; online only when exactly 1
    bool bigMapActive;         // ToggleBigMap; read by the loop and the location panel
    bool playerListRequested;  // PollHotkeys; read by the player list
    bool displayEnabled;       // PollHotkeys on Ctrl+Alt+L; read by the location panel
};

extern FrameState frameState;

// One blip handle per player slot, kNoBlip when the slot has none. Used by the player blips.
extern int32_t BlipHandleTable[kPlayerSlots];
