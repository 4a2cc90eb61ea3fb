// The location panel beside the radar: heading letter between two separators, the street line and
// the area line, at the normal or the big-map anchor.
#pragma once

// Per-frame task: draws the panel while the display is on, the radar shown, the player alive and
// the game's HUD not hidden (FrameState::gameHudHidden), and then switches the host's own area name
// off for the frame. True when it drew the panel.
bool UpdateLocationPanel();
