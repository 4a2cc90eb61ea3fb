// Draws one frame as the player would see it: what the plug-in drew (the simulated host's draw
// list for the frame) over stand-ins for the host's own screen, radar, big map and feed.
#pragma once

#include <vector>

#include "sim/game/screen_model.h"
#include "tools/preview/painter.h"
#include "tools/preview/screen_view.h"

namespace preview {

// Draws the scene on a screen of width by height pixels, with the scene's safe zone, whose top
// left corner is the origin. The radar, the big map and every draw are placed by the screen
// model's rule. Rectangles are drawn before texts (the draw list keeps them apart).
void DrawScene(Painter& painter, const ScreenView& scene, int width, int height);

// Where each text of the scene's frame lands, in draw order, as DrawScene lays it out (the painter
// measures): its left edge, its top, its widest line's width and its lines' height, in pixels.
std::vector<sim::PixelBox> DrawnTextBoxes(Painter& painter, const ScreenView& scene, int width, int height);

}  // namespace preview
