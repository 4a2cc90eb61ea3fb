// The frame state record, its load-time values and its writers.
#include "frame/frame_state.h"

static FrameState frameState = {0, 0, 0, false, false, true, false};

const FrameState& CurrentFrame() { return frameState; }

void RecordFrameSnapshot(int32_t localPlayerIndex, int32_t localPlayerPed, uint8_t inSession) {
    frameState.localPlayerIndex = localPlayerIndex;
    frameState.localPlayerPed = localPlayerPed;
    frameState.inSession = inSession;
}

void RecordBigMapActive(bool active) { frameState.bigMapActive = active; }

void RecordPlayerListRequested(bool requested) { frameState.playerListRequested = requested; }

void RecordDisplayEnabled(bool enabled) { frameState.displayEnabled = enabled; }

void RecordGameHudHidden(bool hidden) { frameState.gameHudHidden = hidden; }
