// ScriptMain: writes the log header, loads the settings, then runs one pass of the frame loop
// each time the host resumes the script.
#include "core/script_main.h"

#include "config/process_log.h"
#include "config/settings.h"
#include "draw/notice.h"
#include "frame/frame_state.h"
#include "host/natives.h"
#include "input/hotkeys.h"
#include "input/placement.h"
#include "location/location_panel.h"
#include "multiplayer/player_blips.h"
#include "multiplayer/player_list.h"

constexpr DWORD kNextFrame = 0;
constexpr DWORD kDeadPassWaitMs = 100;

// The player cannot act while no ped exists (a loading screen) or the pause menu is open. The pause
// menu is asked about only when the ped exists.
static bool PlayerCanAct() { return DoesEntityExist(CurrentFrame().localPlayerPed) && !IsPauseMenuActive(); }

// Idle pass: the one-shot blip sweep may run; nothing is polled or drawn. A session byte other
// than 0 or 1 counts as neither, so it does not sweep.
static void RunIdlePass() {
    const uint8_t inSession = CurrentFrame().inSession;
    if (inSession == 1 || (inSession == 0 && !BlipsCleared())) ClearPlayerBlips();
}

// The game hides its HUD: switched off, in a cutscene, or during a character switch.
static bool GameHidesItsHud() { return IsHudHidden() || IsCutscenePlaying() || IsPlayerSwitchInProgress(); }

static void RunFrameTasks() {
    const FrameState& frame = CurrentFrame();
    if (IsEntityDead(frame.localPlayerPed)) {
        EndPlacementUnsaved();
        if (frame.bigMapActive) ToggleBigMap();
        scriptWait(kDeadPassWaitMs);
    }
    PollHotkeys();
    UpdatePlacement();
    // Asked only with HideWithGameHud on; off, the record is cleared without a call.
    RecordGameHudHidden(CurrentSettings().HideWithGameHud == 1 && GameHidesItsHud());
    DrawPlacementGuides(UpdateLocationPanel());
    DrawPlayerListPanel();
    UpdatePlayerBlips();
    DrawNotice();
    // A blip created by the first pass is moved onto its player before the host draws the frame.
    if (frame.inSession == 1) UpdatePlayerBlips();
}

void ScriptMain() {
    WriteLogHeader();
    LoadSettings();
    for (;;) {
        // Asked in this order: index, ped, session byte.
        const int32_t index = GetLocalPlayerIndex();
        const int32_t ped = GetLocalPlayerPed();
        RecordFrameSnapshot(index, ped, GetSessionActiveByte());
        if (PlayerCanAct()) {
            RunFrameTasks();
        } else {
            EndPlacementUnsaved();
            RunIdlePass();
        }
        scriptWait(kNextFrame);
    }
}
