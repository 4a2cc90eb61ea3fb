// Picking the frame a step shows and the host's state around it.
#include "tools/preview/screen_view.h"

#include "tools/preview/host_look.h"

namespace preview {

namespace {

std::vector<MapMark> Marks(const sim::World& world, const sim::Vec3& player) {
    std::vector<MapMark> marks;
    for (const auto& [handle, blip] : world.blips) {
        marks.push_back(
            MapMark{blip.pos.x - player.x, blip.pos.y - player.y, blip.alpha, blip.sprite == kDeadBlipSprite});
    }
    return marks;
}

}  // namespace

sim::Status StepViews::StepStarted(size_t, const std::string& label) {
    label_ = label;
    scriptRan_ = false;
    shown_ = sim::Frame{};
    return {};
}

sim::Status StepViews::Traced(const sim::TraceEntry&) { return {}; }

// Only the newest posts can be on screen, so older ones are let go as newer ones come.
sim::Status StepViews::FrameDone(const sim::Frame& frame) {
    if (!frame.scriptRan) return {};
    scriptRan_ = true;
    shown_ = frame;
    for (const sim::FeedPost& post : frame.feedPosts) {
        newestPosts_.push_back({frame.timeMs, post});
        if (newestPosts_.size() > kFeedMaxPosts) newestPosts_.pop_front();
    }
    return {};
}

sim::Status StepViews::StepEnded(size_t step, const sim::StepResult& result) {
    return StepViewed(step, label_, View(result.world));
}

ScreenView StepViews::View(const sim::World& world) const {
    ScreenView scene;
    scene.screen = world.realScreen;
    scene.radarShown = world.radarShown && !world.radarHidden;
    scene.bigMap = world.bigMap;
    const auto ped = world.peds.find(world.localPed);
    if (ped != world.peds.end()) {
        scene.headingDeg = ped->second.heading;
        scene.playerX = ped->second.pos.x;
        scene.playerY = ped->second.pos.y;
        scene.marks = Marks(world, ped->second.pos);
    }
    if (!scriptRan_) return scene;
    scene.frame = shown_;
    // Posts stay on screen for kFeedShowMs after the frame that posted them; oldest first.
    for (const Post& post : newestPosts_) {
        if (shown_.timeMs - post.frameMs < kFeedShowMs)
            scene.feed.push_back(post.post);  // unsigned: survives the clock's wrap
    }
    return scene;
}

}  // namespace preview
