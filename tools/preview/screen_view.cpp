// Picking the frame a step shows and the host's state around it.
#include "tools/preview/screen_view.h"

#include "tools/preview/host_look.h"

namespace preview {

namespace {

// Posts stay on screen for kFeedShowMs after the frame that posted them; oldest first.
std::vector<sim::FeedPost> FeedShowing(const std::vector<sim::Frame>& frames, size_t shown) {
    std::vector<sim::FeedPost> feed;
    const uint32_t now = frames[shown].timeMs;
    for (size_t i = 0; i <= shown; ++i) {
        if (now - frames[i].timeMs >= kFeedShowMs) continue;  // unsigned: survives the clock's wrap
        feed.insert(feed.end(), frames[i].feedPosts.begin(), frames[i].feedPosts.end());
    }
    return feed;
}

std::vector<MapMark> Marks(const sim::World& world, const sim::Vec3& player) {
    std::vector<MapMark> marks;
    for (const auto& [handle, blip] : world.blips) {
        marks.push_back(MapMark{blip.pos.x - player.x, blip.pos.y - player.y, blip.alpha, blip.sprite == kDeadBlipSprite});
    }
    return marks;
}

}  // namespace

ScreenView ViewOfStep(const sim::ScenarioResult& result, size_t step) {
    ScreenView scene;
    const sim::StepResult& ran = result.steps.at(step);
    const sim::World& world = ran.world;
    scene.screen = world.realScreen;
    scene.radarShown = world.radarShown && !world.radarHidden;
    scene.bigMap = world.bigMap;
    const auto ped = world.peds.find(world.localPed);
    if (ped != world.peds.end()) {
        scene.headingDeg = ped->second.heading;
        scene.marks = Marks(world, ped->second.pos);
    }
    for (size_t i = ran.lastFrame + 1; i-- > ran.firstFrame && i < result.frames.size();) {
        if (!result.frames[i].scriptRan) continue;
        scene.frame = result.frames[i];
        scene.feed = FeedShowing(result.frames, i);
        break;
    }
    return scene;
}

}  // namespace preview
