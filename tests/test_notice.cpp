// The notification line: when it is drawn (2800 ms from its post, across the 32-bit tick-count
// wrap, never before a first notice), the host calls that draw it, and a notice replaced early.
#include <array>
#include <string>
#include <vector>

#include "controls_support.h"
#include "sim_harness.h"

namespace simtest {
namespace {

constexpr uint32_t kTick = 5000;

class NoticeTest : public PluginTest {
protected:
    // Runs one frame whose pass reads the tick count `tick`.
    bool RunAt(uint32_t tick) {
        host().clockMs = tick - host().frameStepMs;
        return Run(1);
    }

    // Ctrl+Alt+L in a frame at `tick`; Ctrl and Alt stay held with L up afterwards, which re-arms.
    bool ToggleAt(uint32_t tick) {
        HoldKeys(true, true, true);
        const bool ran = RunAt(tick);
        HoldKeys(true, true, false);
        return ran;
    }

    std::vector<std::string> Notices() { return NoticesIn(host().lastFrame()); }
};

// Frames at chosen ticks after the "disabled" notice was posted at `postedAt`. The panel is off
// then, so a frame that draws the notice draws nothing else.
struct Probe {
    uint32_t offset;  // from the post, modulo 2^32
    bool paused;
    bool drawn;
};

struct TimingCase {
    const char* name;
    uint32_t postedAt;
    std::vector<Probe> probes;
};

const std::vector<Probe> kFullTime = {
    {0, false, true}, {1, false, true}, {2799, false, true}, {2800, false, false}, {2801, false, false}};

const TimingCase kTimingCases[] = {
    // clang-format off
    {"posted at an ordinary tick",                   kTick,       kFullTime},
    {"posted just before the tick count wraps",      0xFFFFFF00u, kFullTime},
    {"running out exactly at the wrap",              0xFFFFF510u, kFullTime},
    // clang-format on
    {"the time runs on while the pause menu is open",
     kTick,
     {{0, false, true}, {1000, true, false}, {2000, false, true}, {2700, true, false}, {2800, false, false}}},
    // Offset 100 after 2800 is 2^32 - 2700 ms later: the spent notice must not come round again.
    {"an expired notice stays gone when the tick count comes round",
     kTick,
     {{0, false, true}, {2800, false, false}, {100, false, false}}},
};

TEST_F(NoticeTest, DrawnFromItsPostFor2800Ms) {
    for (const TimingCase& c : kTimingCases) {
        SCOPED_TRACE(c.name);
        NewHost(StandardWorld());
        ASSERT_TRUE(StartFrameLoop());
        ASSERT_TRUE(ToggleAt(c.postedAt));
        for (const Probe& probe : c.probes) {
            SCOPED_TRACE("offset " + std::to_string(probe.offset));
            host().world.pauseMenu = probe.paused;
            ASSERT_TRUE(RunAt(c.postedAt + probe.offset));
            const sim::Frame& frame = host().lastFrame();
            ASSERT_TRUE(frame.scriptRan);
            if (probe.drawn) {
                EXPECT_EQ(Notices(), std::vector<std::string>{kDisabledNotice});
                EXPECT_EQ(frame.texts.size(), 1u) << "the panel is off: only the notice is drawn";
            } else {
                EXPECT_TRUE(frame.texts.empty());
            }
            EXPECT_TRUE(frame.rects.empty());
        }
    }
}

// With the radar hidden the panel draws nothing, so any host text call would be the notice's.
TEST_F(NoticeTest, NothingIsDrawnBeforeTheFirstNotice) {
    host().world.radarHidden = true;
    ASSERT_TRUE(StartFrameLoop());
    const size_t mark = TraceMark();
    for (const uint32_t tick : {0u, 1u, 2799u, 2800u, 0xFFFFFFFFu, kTick}) {
        SCOPED_TRACE("tick " + std::to_string(tick));
        ASSERT_TRUE(RunAt(tick));
        EXPECT_TRUE(host().lastFrame().scriptRan);
        EXPECT_TRUE(host().lastFrame().texts.empty());
    }
    EXPECT_TRUE(Calls("screen resolution query", mark).empty());
}

// The nine calls that end each showing frame, and the line they put on screen; the screen size is
// asked afresh in every frame.
TEST_F(NoticeTest, DrawsWithNineHostCallsAtItsFixedPosition) {
    const std::vector<std::string> roles = {
        "screen resolution query", "set text scale",        "set text centring",
        "set text drop shadow",    "set text colour",       "begin on-screen text command",
        "add text component",      "set text proportional", "end text command: draw text"};
    struct Screen {
        int32_t width, height;
    };
    ASSERT_TRUE(StartFrameLoop());
    ASSERT_TRUE(ToggleAt(kTick));
    uint32_t tick = kTick;
    for (const Screen screen : {Screen{1280, 720}, Screen{1920, 1080}, Screen{800, 600}}) {
        SCOPED_TRACE(std::to_string(screen.width) + "x" + std::to_string(screen.height));
        host().world.screenWidth = screen.width;
        host().world.screenHeight = screen.height;
        const size_t mark = TraceMark();
        ASSERT_TRUE(RunAt(tick += 100));

        const auto& trace = host().trace();
        ASSERT_GE(trace.size(), mark + roles.size() + 1);
        ASSERT_TRUE(trace.back().isWait);
        EXPECT_EQ(trace.back().waitMs, 0u);
        std::vector<std::string> last;
        for (size_t i = trace.size() - 1 - roles.size(); i + 1 < trace.size(); ++i) last.push_back(RoleOf(trace[i]));
        EXPECT_EQ(last, roles);

        ASSERT_EQ(host().lastFrame().texts.size(), 1u);
        const sim::DrawnText& line = host().lastFrame().texts[0];
        EXPECT_EQ(line.text, kDisabledNotice);
        EXPECT_EQ(line.state.scaleFirst, 0.0f);
        EXPECT_EQ(line.state.scale, 0.384f);
        EXPECT_TRUE(line.state.centred);
        EXPECT_TRUE(line.state.proportional);
        EXPECT_FALSE(line.state.outline);
        EXPECT_EQ(line.state.font, sim::TextState{}.font) << "no font is selected";
        EXPECT_TRUE(line.state.dropShadowSet);
        EXPECT_EQ(line.state.dropShadow, (std::array<int32_t, 5>{}));
        EXPECT_EQ(line.state.r, 255);
        EXPECT_EQ(line.state.g, 255);
        EXPECT_EQ(line.state.b, 255);
        EXPECT_EQ(line.state.a, 240);
        // Constants already in host scale, divided by the reported size and nothing else.
        EXPECT_EQ(line.x, 633.3333f / static_cast<float>(screen.width));
        EXPECT_EQ(line.y, 689.3333f / static_cast<float>(screen.height));
        if (screen.width == 1280) {
            EXPECT_NEAR(line.x, 0.494792f, 1e-6f);
            EXPECT_NEAR(line.y, 0.957407f, 1e-6f);
        }
    }
}

// Off and on again within a second: only the second notice shows, for 2800 ms from its own post.
TEST_F(NoticeTest, SecondToggleWithinASecondShowsOnlyTheSecondNotice) {
    constexpr uint32_t kSecond = kTick + 500;
    ASSERT_TRUE(StartFrameLoop());
    ASSERT_TRUE(ToggleAt(kTick));
    ASSERT_TRUE(RunAt(kTick + 16));
    ASSERT_TRUE(ToggleAt(kSecond));
    EXPECT_EQ(Notices(), std::vector<std::string>{kEnabledNotice});
    struct Expectation {
        uint32_t tick;
        bool drawn;
    };
    for (const Expectation e :
         {Expectation{kTick + 2800, true}, Expectation{kSecond + 2799, true}, Expectation{kSecond + 2800, false}}) {
        SCOPED_TRACE("tick " + std::to_string(e.tick));
        ASSERT_TRUE(RunAt(e.tick));
        EXPECT_EQ(Notices(), e.drawn ? std::vector<std::string>{kEnabledNotice} : std::vector<std::string>{});
    }
}

}  // namespace
}  // namespace simtest
