// Load-time values of the frame state and the blip handle table.
#include "core/frame_state.h"

FrameState frameState = {0, 0, 0, false, false, true};

int32_t BlipHandleTable[kPlayerSlots] = {
    kNoBlip, kNoBlip, kNoBlip, kNoBlip, kNoBlip, kNoBlip, kNoBlip, kNoBlip,
    kNoBlip, kNoBlip, kNoBlip, kNoBlip, kNoBlip, kNoBlip, kNoBlip, kNoBlip,
    kNoBlip, kNoBlip, kNoBlip, kNoBlip, kNoBlip, kNoBlip, kNoBlip, kNoBlip,
    kNoBlip, kNoBlip, kNoBlip, kNoBlip, kNoBlip, kNoBlip, kNoBlip, kNoBlip,
};
