// What a picture shows: the plug-in's draw list for one frame and the host's own screen around it.
#pragma once

#include <cstddef>
#include <vector>

#include "sim/host/host.h"
#include "sim/scenario/scenario_run.h"
#include "sim/host/screen_model.h"

namespace preview {

// A blip on the map, relative to the player in world units (x east, y north).
struct MapMark {
    float dx = 0, dy = 0;
    int alpha = 255;
    bool dead = false;
};

struct ScreenView {
    sim::RealScreen screen;           // the real screen the run described (its safe zone is drawn)
    sim::Frame frame;                 // the draw list of the frame shown
    std::vector<sim::FeedPost> feed;  // feed posts still on screen, oldest first
    bool radarShown = true;           // the host shows its radar (or the big map)
    bool bigMap = false;              // the big map is on
    float headingDeg = 0;             // the player's heading, for the arrow on the map
    std::vector<MapMark> marks;       // the blips the plug-in keeps on the map
};

// The last frame of the step in which the script ran (an empty frame when it never ran), the feed
// posts still on screen then, and the host's radar, big map and the player's heading after it.
ScreenView ViewOfStep(const sim::ScenarioResult& result, size_t step);

}  // namespace preview
