// Draws one frame as the player would see it: what the plug-in drew (the simulated host's draw
// list for the frame) over stand-ins for the host's own screen, radar, big map and feed.
#pragma once

#include <cairo.h>

#include <vector>

#include "sim/host.h"
#include "sim/screen_model.h"

namespace preview {

// A blip on the map, relative to the player in world units (x east, y north).
struct MapMark {
    float dx = 0, dy = 0;
    int alpha = 255;
    bool dead = false;
};

struct Scene {
    sim::RealScreen screen;           // the real screen the run described (its safe zone is drawn)
    sim::Frame frame;                 // the draw list of the frame shown
    std::vector<sim::FeedPost> feed;  // feed posts still on screen, oldest first
    bool radarShown = true;           // the host shows its radar (or the big map)
    bool bigMap = false;              // the big map is on
    float headingDeg = 0;             // the player's heading, for the arrow on the map
    std::vector<MapMark> marks;       // the blips the plug-in keeps on the map
};

// Draws the scene on a screen of width by height pixels, with the scene's safe zone, whose top
// left corner is the origin. The radar, the big map and every draw are placed by the screen
// model's rule. Rectangles are drawn before texts (the draw list keeps them apart).
void DrawScene(cairo_t* cr, const Scene& scene, int width, int height);

}  // namespace preview
