// The per-frame snapshot and the mode flags the frame tasks share. The record lives in
// frame_state.cpp: every module reads it through CurrentFrame(), and each writer has a function of
// its own. Only the script fiber touches it.
#pragma once

#include <cstdint>

#include "frame/player_slots.h"

struct FrameState {
    // Written by the frame loop every pass; read by the player list and the player blips.
    int32_t localPlayerIndex;
    // Written by the frame loop every pass; read by the loop and the location panel.
    int32_t localPlayerPed;
    // The session byte as the host returned it, online only when exactly 1. Written by the frame
    // loop every pass; read by the loop, ToggleBigMap, the player list and the player blips.
    uint8_t inSession;
    // Written by ToggleBigMap; read by the loop, ToggleBigMap and the location panel.
    bool bigMapActive;
    // Written by PollHotkeys; read by the player list.
    bool playerListRequested;
    // Written by PollHotkeys on Ctrl+Alt+L; read by PollHotkeys, the location panel and placement.
    bool displayEnabled;
    // The game hides its HUD this frame (only asked with HideWithGameHud on). Written by the frame
    // loop before the panels; read by the location panel and the player list.
    bool gameHudHidden;
};

// The live record: a reference stays current as the writers below change it.
const FrameState& CurrentFrame();

// The frame loop, at the start of every pass.
void RecordFrameSnapshot(int32_t localPlayerIndex, int32_t localPlayerPed, uint8_t inSession);
// ToggleBigMap.
void RecordBigMapActive(bool active);
// PollHotkeys.
void RecordPlayerListRequested(bool requested);
void RecordDisplayEnabled(bool enabled);
// The frame loop, each pass that runs the frame tasks.
void RecordGameHudHidden(bool hidden);
