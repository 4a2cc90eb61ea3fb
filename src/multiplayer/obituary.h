// Obituary notices: one feed line per death of another online player, in the died or killed-by form.
#pragma once

#include <cstdint>

// Posts the notice for the slot's current death unless it was posted already or obituaries are off.
void PostObituaryNotice(int32_t slot);

// Per slot: 1 once the current death has been reported. The blip pass clears it while the player
// is alive.
extern uint8_t obituaryShown[32];
