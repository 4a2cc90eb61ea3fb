// Player blips: a map blip for every other online player that follows the player, shows the kind of
// vehicle, turns with it and honours the team settings; and the one-shot sweep of those blips.
#pragma once

// One pass over the 32 player slots; the frame loop runs it twice per frame in a session.
void UpdatePlayerBlips();
// Removes every blip of the table, once in the life of the library, while the player cannot act.
void ClearPlayerBlips();
// True once the sweep has run; it never runs again.
bool BlipsCleared();
