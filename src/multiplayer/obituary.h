// Obituary notices: one feed line per death of another online player, in the died or killed-by form.
#pragma once

#include <cstdint>

// Posts the notice for the slot's current death unless it was posted already or obituaries are off.
void PostObituaryNotice(int32_t slot);
// The slot's player (0 to 31) is alive: their next death is reported. Called by the blip pass.
void RearmObituaryNotice(int32_t slot);
