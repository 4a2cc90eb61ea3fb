// Placement mode: the player sets the location panel up in the game itself. The placement key held
// with Ctrl and Alt (PlacementKey in KOV.ini) starts and stops it; while it lasts the arrows move
// the anchor in use (the big map's while the big map is shown), Page Up and Page Down change the
// size, Enter saves the changed keys to KOV.ini and Backspace puts back what was there. The game's
// own use of those keys is disabled every frame meanwhile. Nothing of it runs while not placing.
#pragma once

// Ctrl and Alt are held: a press of the placement key starts or stops placement (once per press).
void PollPlacementKey();
// Ctrl and Alt are not both held: the next press of the placement key with them acts again.
void RearmPlacementKey();
// Per-frame task before the panel: while placing, ends it when the session or the display changed,
// disables the game's controls of the keys and acts on the keys.
void UpdatePlacement();
// Per-frame task after the panel: while placing, a thin frame around the panel and a line naming
// the keys, in a frame that drew the panel.
void DrawPlacementGuides(bool panelDrawn);
// The pause menu opened, the player died or no ped exists: placement ends, nothing saved.
void EndPlacementUnsaved();
