// The module entry, the script's start and the frame loop, observed through the host's trace; and
// the simulated host's own frame and wait timing.
#include <algorithm>
#include <string>
#include <vector>

#include "host/platform.h"
#include "host/script_hook.h"
#include "sim_harness.h"

namespace {

using simtest::PluginTest;

class FrameLoop : public PluginTest {
protected:
    // The lines of the next complete pass: from the mark up to and including its "wait 0".
    std::vector<std::string> NextPass(size_t mark) {
        constexpr int kMaxFrames = 50;
        for (int i = 0; i < kMaxFrames; ++i) {
            const std::vector<std::string> lines = TraceLines(mark);
            const auto end = std::find(lines.begin(), lines.end(), "wait 0");
            if (end != lines.end()) return std::vector<std::string>(lines.begin(), end + 1);
            if (!Run(1)) break;
        }
        ADD_FAILURE() << "no complete pass";
        return {};
    }

    static size_t Count(const std::vector<std::string>& lines, const std::string& prefix) {
        return static_cast<size_t>(std::count_if(lines.begin(), lines.end(), [&](const std::string& line) {
            return line.compare(0, prefix.size(), prefix) == 0;
        }));
    }

    static size_t IndexOf(const std::vector<std::string>& lines, const std::string& line, size_t from = 0) {
        const auto found = std::find(lines.begin() + static_cast<std::ptrdiff_t>(from), lines.end(), line);
        return static_cast<size_t>(found - lines.begin());
    }

    // A second online player in slot 3 whose ped exists, so the blip pass has work to do.
    void AddOtherPlayer() {
        sim::World& world = host().world;
        world.players[3].activeByte = 1;
        world.players[3].ped = 50;
        world.peds[50].player = 3;
    }
};

const std::vector<std::string> kSnapshot = {
    "local player index() -> 0",
    "local player ped() -> 1",
    "network session active() -> 0",
};

std::vector<std::string> Snapshot(std::vector<std::string> rest) {
    std::vector<std::string> lines = kSnapshot;
    lines.insert(lines.end(), rest.begin(), rest.end());
    return lines;
}

struct IdleCase {
    const char* name;
    void (*makeIdle)(sim::World&);
    std::vector<std::string> pass;
};

TEST_F(FrameLoop, IdlePassOnlyTakesTheSnapshotAndWaits) {
    const IdleCase cases[] = {
        {"no local ped (loading screen)", [](sim::World& w) { w.peds.clear(); },
         Snapshot({"entity exists(1) -> false", "wait 0"})},
        {"pause menu open", [](sim::World& w) { w.pauseMenu = true; },
         Snapshot({"entity exists(1) -> true", "pause menu active() -> true", "wait 0"})},
    };
    for (const IdleCase& c : cases) {
        SCOPED_TRACE(c.name);
        NewHost(simtest::StandardWorld());
        ASSERT_TRUE(StartFrameLoop());
        c.makeIdle(host().world);
        const size_t mark = TraceMark();
        ASSERT_TRUE(Run(1));
        EXPECT_EQ(TraceLines(mark), c.pass);
        EXPECT_TRUE(host().lastFrame().texts.empty());
    }
}

TEST_F(FrameLoop, HotkeyPressedWhileIdleHasNoEffect) {
    ASSERT_TRUE(StartFrameLoop());
    host().world.pauseMenu = true;
    ASSERT_TRUE(Run(1));
    ASSERT_TRUE(PressDisplayHotkey());
    host().world.pauseMenu = false;
    ASSERT_TRUE(Run(2));
    const sim::Frame& frame = host().lastFrame();
    EXPECT_FALSE(frame.texts.empty()) << "the panel must still be on";
    for (const sim::DrawnText& text : frame.texts) EXPECT_EQ(text.text.find("Location display"), std::string::npos);
}

TEST_F(FrameLoop, DeadPassWaits100msThenRunsTheTasks) {
    ASSERT_TRUE(StartFrameLoop());
    const size_t mark = TraceMark();
    host().world.peds[1].dead = true;
    const std::vector<std::string> pass = NextPass(mark);
    ASSERT_GE(pass.size(), 9u);
    EXPECT_EQ(std::vector<std::string>(pass.begin(), pass.begin() + 7),
              Snapshot({"entity exists(1) -> true", "pause menu active() -> false", "entity dead(1, false) -> true",
                        "wait 100"}));
    EXPECT_EQ(pass[7], "control just released(2, 48) -> false") << "the hotkeys are polled after the wait";

    const sim::TraceEntry& wait = host().trace()[mark + 6];
    const sim::TraceEntry& afterWait = host().trace()[mark + 7];
    EXPECT_GE(afterWait.timeMs - wait.timeMs, 100u);
    EXPECT_LT(afterWait.timeMs - wait.timeMs, 100u + host().frameStepMs);
}

TEST_F(FrameLoop, DyingWithTheBigMapOnClosesItOnlyOnTheFirstDeadPass) {
    ASSERT_TRUE(StartFrameLoop());
    host().world.radarControlJustReleased = true;
    ASSERT_TRUE(Run(1));
    host().world.radarControlJustReleased = false;
    ASSERT_FALSE(Calls("set big map active").empty());
    ASSERT_EQ(Calls("set big map active").back()->line, "set big map active(true, false)");

    const size_t mark = TraceMark();
    host().world.peds[1].dead = true;
    const std::vector<std::string> first = NextPass(mark);
    const size_t dead = IndexOf(first, "entity dead(1, false) -> true");
    ASSERT_LT(dead + 3, first.size());
    EXPECT_EQ(first[dead + 1], "display radar(true)");
    EXPECT_EQ(first[dead + 2], "set big map active(false, false)");
    EXPECT_EQ(first[dead + 3], "wait 100");

    const std::vector<std::string> second = NextPass(TraceMark());
    const size_t secondDead = IndexOf(second, "entity dead(1, false) -> true");
    ASSERT_LT(secondDead + 1, second.size());
    EXPECT_EQ(second[secondDead + 1], "wait 100");
}

// The session byte gates the blip pass (twice per pass only at exactly 1) and the sweep of idle
// passes (at 0 or 1, never at any other value).
struct SessionCase {
    uint8_t sessionByte;
    size_t blipPassesPerFrame;
    bool idlePassSweeps;
};

TEST_F(FrameLoop, SessionByteGatesTheBlipPassesAndTheSweep) {
    const SessionCase cases[] = {{0, 0, true}, {1, 2, true}, {2, 0, false}, {255, 0, false}};
    for (const SessionCase& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.sessionByte));
        NewHost(simtest::StandardWorld());
        AddOtherPlayer();
        host().world.sessionByte = 1;
        ASSERT_TRUE(StartFrameLoop());
        ASSERT_TRUE(Run(2));
        ASSERT_EQ(host().world.blips.size(), 1u) << "slot 3 has a blip";
        const int32_t blip = host().world.blips.begin()->first;

        host().world.sessionByte = c.sessionByte;
        const std::vector<std::string> alive = NextPass(TraceMark());
        EXPECT_EQ(Count(alive, "network player active("), 32 * c.blipPassesPerFrame);

        const size_t mark = TraceMark();
        host().world.pauseMenu = true;
        const std::vector<std::string> idle = NextPass(mark);
        const std::string removal = "remove blip(&[" + std::to_string(blip) + "])";
        EXPECT_EQ(Count(idle, removal), c.idlePassSweeps ? 1u : 0u);
        EXPECT_EQ(host().world.blips.count(blip), c.idlePassSweeps ? 0u : 1u);
    }
}

TEST_F(FrameLoop, SweepRunsOnceEvenOverSeveralIdleSpells) {
    AddOtherPlayer();
    host().world.sessionByte = 1;
    ASSERT_TRUE(StartFrameLoop());
    ASSERT_TRUE(Run(2));
    host().world.pauseMenu = true;
    ASSERT_TRUE(Run(2));
    EXPECT_TRUE(host().world.blips.empty()) << "the first idle spell sweeps";

    host().world.pauseMenu = false;
    ASSERT_TRUE(Run(3));
    ASSERT_EQ(host().world.blips.size(), 1u) << "the blip is created again";
    const size_t mark = TraceMark();
    host().world.pauseMenu = true;
    ASSERT_TRUE(Run(3));
    EXPECT_TRUE(Calls("remove blip", mark).empty());
    EXPECT_TRUE(Calls("blip exists", mark).empty());
    EXPECT_EQ(host().world.blips.size(), 1u);
}

TEST_F(FrameLoop, OnlineTheSecondBlipPassFollowsTheNotice) {
    host().world.sessionByte = 1;
    ASSERT_TRUE(StartFrameLoop());
    ASSERT_TRUE(PressDisplayHotkey());  // switches the panel off and posts a notice
    const std::vector<std::string> pass = NextPass(TraceMark());
    const size_t notice = IndexOf(pass, "add text component(\"~y~KOV | ~w~Location display disabled.\")");
    ASSERT_LT(notice, pass.size()) << "the notice is drawn in this pass";
    const std::vector<std::string> before(pass.begin(), pass.begin() + static_cast<std::ptrdiff_t>(notice));
    const std::vector<std::string> after(pass.begin() + static_cast<std::ptrdiff_t>(notice), pass.end());
    EXPECT_EQ(Count(before, "network player active("), 32u);
    EXPECT_EQ(Count(after, "network player active("), 32u);
}

TEST_F(FrameLoop, StartUpWritesTheLogWaits100msThenLoadsTheSettings) {
    ASSERT_TRUE(Start());
    ASSERT_TRUE(Run(1));
    ASSERT_EQ(TraceLines(), std::vector<std::string>{"wait 100"});
    ASSERT_EQ(LogLines().size(), 8u) << "the header is written before the wait";
    ASSERT_TRUE(RunUntilFrameLoop());
    EXPECT_EQ(LogLines().size(), 9u) << "the settings are loaded before the first pass";
    const auto& trace = host().trace();
    EXPECT_EQ(trace[1].line, "local player index() -> 0");
    EXPECT_GE(trace[1].timeMs - trace[0].timeMs, 100u);
}

TEST_F(FrameLoop, EntryPointAnswersEveryReasonAndUnregistersOnDetach) {
    ASSERT_TRUE(StartFrameLoop());
    constexpr uint32_t kThreadAttach = 2, kThreadDetach = 3, kProcessDetach = 0;
    EXPECT_EQ(host().CallEntryPoint(kThreadAttach), 1);
    EXPECT_EQ(host().CallEntryPoint(kThreadDetach), 1);
    ASSERT_TRUE(Run(2)) << "thread attach and detach change nothing";

    EXPECT_EQ(host().CallEntryPoint(kProcessDetach), 1);
    EXPECT_FALSE(host().RunFrame());
    EXPECT_NE(host().error().find("no script is registered"), std::string::npos) << host().error();
}

// ---- the host's frame and wait timing, with a script of the test's own ----

std::vector<uint32_t> resumedAt;
uint32_t waitMs;

void WaitingScript() {
    for (;;) {
        scriptWait(waitMs);
        resumedAt.push_back(GetTickCount());
    }
}

struct WaitCase {
    uint32_t clockStartMs;
    uint32_t frameStepMs;
    uint32_t waitMs;
};

TEST(HostWait, ResumesOnTheFirstFrameAtLeastTheWaitLater) {
    const WaitCase cases[] = {
        {0, 16, 0},          {0, 16, 100},   {0, 100, 100},
        {0, 7, 100},         {0, 1000, 100}, {0xFFFFFFC0u, 16, 100},  // the 32-bit clock wraps during the wait
        {0xFFFFFFFFu, 1, 0},
    };
    for (const WaitCase& c : cases) {
        SCOPED_TRACE(testing::Message() << "start " << c.clockStartMs << " step " << c.frameStepMs << " wait "
                                        << c.waitMs);
        resumedAt.clear();
        waitMs = c.waitMs;
        sim::Host host;
        host.clockMs = c.clockStartMs;
        host.frameStepMs = c.frameStepMs;
        host.Register(nullptr, WaitingScript);
        ASSERT_TRUE(host.RunFrames(60)) << host.error();
        ASSERT_GE(resumedAt.size(), 3u);

        const auto& trace = host.trace();
        for (size_t i = 0; i < resumedAt.size(); ++i) {
            ASSERT_TRUE(trace[i].isWait);
            const uint32_t elapsed = resumedAt[i] - trace[i].timeMs;
            EXPECT_GE(elapsed, c.waitMs);
            EXPECT_GT(elapsed, 0u) << "never in the frame of the wait";
            EXPECT_LT(elapsed - c.frameStepMs, c.waitMs == 0 ? 1u : c.waitMs) << "the frame before was too early";
        }
        size_t framesRun = 0;
        for (const sim::Frame& frame : host.frames()) framesRun += frame.scriptRan ? 1 : 0;
        EXPECT_EQ(framesRun, resumedAt.size() + 1);
    }
}

TEST(HostWait, WaitNeverEndsWhileTheClockStands) {
    resumedAt.clear();
    waitMs = 100;
    sim::Host host;
    host.frameStepMs = 0;
    host.Register(nullptr, WaitingScript);
    ASSERT_TRUE(host.RunFrames(50)) << host.error();
    EXPECT_TRUE(resumedAt.empty());
}

TEST(HostWait, NotRecordingKeepsNoHistory) {
    resumedAt.clear();
    waitMs = 0;
    sim::Host host;
    host.recording = false;
    host.Register(nullptr, WaitingScript);
    ASSERT_TRUE(host.RunFrames(20)) << host.error();
    EXPECT_EQ(resumedAt.size(), 19u);
    EXPECT_TRUE(host.trace().empty());
    EXPECT_TRUE(host.frames().empty());
    EXPECT_EQ(host.lastFrame().index, 20);
}

TEST(HostWait, RunWithoutAScriptFails) {
    sim::Host host;
    EXPECT_FALSE(host.RunFrame());
    EXPECT_NE(host.error().find("no script is registered"), std::string::npos) << host.error();
}

}  // namespace
