// Player blips: a map blip for every other online player that follows the player, shows the kind of
// vehicle, turns with it and honours the team settings; and the one-shot sweep of those blips.
#pragma once

#include <cstdint>

// One pass over the 32 player slots; the frame loop runs it twice per frame in a session.
void UpdatePlayerBlips();
// Removes every blip of the table, once in the life of the library, while the player cannot act.
void ClearPlayerBlips();

// 1 once the sweep has run; never cleared.
extern uint8_t blipsCleared;
