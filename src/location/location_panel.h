// The location panel beside the radar: heading letter between two separators, the street line and
// the area line, at the normal or the big-map anchor.
#pragma once

#include <cstdint>

// Per-frame task: draws the panel while the display is on, the radar shown and the player alive,
// and then switches the host's own area name off for the frame.
void UpdateLocationPanel();
// Draws the five elements at anchor (x, y), design units, with size multiplier m. Anchored to the
// radar, they are drawn under the safe zone's bottom-left alignment, y measured from its bottom.
void DrawLocationPanel(float anchorX, float anchorY, float m, bool anchorToRadar);
// "N", "W", "S" or "E" for the ped's heading.
const char* HeadingLetter(int32_t ped);
