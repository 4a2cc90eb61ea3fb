// What a picture shows: the plug-in's draw list for one frame and the host's own screen around it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <string>
#include <vector>

#include "sim/game/host.h"
#include "sim/game/screen_model.h"
#include "sim/result.h"
#include "sim/scenario/scenario_run.h"

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
    float playerX = 0, playerY = 0;   // where the player stands, for the roads on the map
    std::vector<MapMark> marks;       // the blips the plug-in keeps on the map
};

// Follows a run as its observer and hands over the view of each step as the step ends, keeping no
// more than the step's latest frame the script ran in and the newest feed posts: the last frame of
// the step in which the script ran (an empty frame when it never ran), the feed posts still on
// screen then, and the host's radar, big map and the player's heading after the step.
class StepViews : public sim::ScenarioObserver {
public:
    sim::Status StepStarted(size_t step, const std::string& label) override;
    sim::Status Traced(const sim::TraceEntry& entry) override;
    sim::Status FrameDone(const sim::Frame& frame) override;
    sim::Status StepEnded(size_t step, const sim::StepResult& result) override;

protected:
    // A failure ends the run.
    virtual sim::Status StepViewed(size_t step, const std::string& label, const ScreenView& view) = 0;

private:
    struct Post {
        uint32_t frameMs;
        sim::FeedPost post;
    };
    ScreenView View(const sim::World& world) const;

    std::string label_;
    bool scriptRan_ = false;
    sim::Frame shown_;
    std::deque<Post> newestPosts_;  // at most the feed's visible count, oldest first
};

}  // namespace preview
