// Drawing anchored to the radar: under the safe zone's bottom-left alignment, with y measured from
// the safe zone's bottom, so what is drawn follows the radar on every aspect ratio and safe zone.
// The location panel and placement mode's frame around it share it.
#pragma once

// One screen height, normalised: subtracted from a bottom-aligned draw's y.
constexpr float kBottomAlignedLift = 1.0f;

// The alignment for the draws that follow, until EndRadarAlignment.
void BeginRadarAlignment();
void EndRadarAlignment();
