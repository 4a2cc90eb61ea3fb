// Hotkeys and the big-map toggle: Ctrl+Alt+L switches the location display, Alt with the radar
// control held asks for the player list, and releasing the radar control alone toggles the big map.
// Ctrl+Alt with the placement key starts and stops placement mode (input/placement.h).
#pragma once

// Whether the virtual key is held now (the top bit of GetAsyncKeyState).
bool IsKeyDown(int key);
// Per-frame task: exactly one case per call, as the modifiers are found.
void PollHotkeys();
// Switches the host's big map on or off; also closes it when the player dies.
void ToggleBigMap();
