// The styled text element: one outlined-or-not text of the location panel, placed in design units.
#pragma once

#include <cstdint>

// Draws one white text with the given alpha. The caller sets the outline beforehand if it wants
// one; this element never touches it. lift is subtracted from the normalised y: a lift of 1
// measures y from the safe zone's bottom, as a bottom-aligned draw needs.
void DrawStyledText(const char* text, float size, int32_t alpha, bool centred, bool proportional, float x, float y,
                    float lift = 0.0f);
