// The location panel: layout at both anchors and with the size multiplier, the heading letter, the
// road test, the gates, and the host's own area name switched off only in frames with the panel.
#include <array>
#include <limits>
#include <string>
#include <utility>
#include <vector>

#include "location_support.h"

namespace simtest {
namespace {

class LocationPanelTest : public LocationTest {
protected:
    // Runs one frame; whether it drew nothing and left the host's own area name alone.
    bool NextFrameDrawsNothing() {
        const size_t mark = TraceMark();
        const sim::Frame& frame = DrawFrame();
        return frame.texts.empty() && !frame.areaNameSuppressed && Calls("display area name", mark).empty();
    }
};

constexpr double kSixDecimals = 5e-7;

struct ElementLook {
    const char* text;
    double x, y;  // normalised, to six decimals
    float scale;
    int alpha;
    bool centred;
};

// Every element is white, in font 4, outlined, without drop shadow and with a set text scale whose
// first argument is 0; only the heading letter is centred and proportional.
void ExpectElement(const sim::DrawnText& drawn, const ElementLook& want) {
    SCOPED_TRACE(std::string("element \"") + want.text + "\"");
    EXPECT_EQ(drawn.text, want.text);
    EXPECT_NEAR(drawn.x, want.x, kSixDecimals);
    EXPECT_NEAR(drawn.y, want.y, kSixDecimals);
    EXPECT_EQ(drawn.state.scale, want.scale);
    EXPECT_EQ(drawn.state.scaleFirst, 0.0f);
    EXPECT_EQ(drawn.state.a, want.alpha);
    EXPECT_EQ(drawn.state.centred, want.centred);
    EXPECT_EQ(drawn.state.proportional, want.centred);
    EXPECT_EQ(drawn.state.font, 4);
    EXPECT_TRUE(drawn.state.outline);
    EXPECT_EQ(drawn.state.r, 255);
    EXPECT_EQ(drawn.state.g, 255);
    EXPECT_EQ(drawn.state.b, 255);
    EXPECT_TRUE(drawn.state.dropShadowSet);
    EXPECT_EQ(drawn.state.dropShadow, (std::array<int32_t, 5>{0, 0, 0, 0, 0}));
}

struct LayoutCase {
    const char* name;
    const char* ini;  // nullptr: no KOV.ini (the defaults)
    bool openBigMap;  // release the radar control with no modifier first
    ElementLook elements[kPanelTexts];
};

// The worked example at 1280 by 720, the big-map anchor, and m 0.5 (element 3 at X + 18, street
// line size 0.085). Positions and scales worked out by hand from the design-unit rules; a scale is
// the float size widened to double, times 2.229, rounded to float, so sizes stored a little under
// their decimal value (0.32, 0.16) give a scale one step under the decimal product.
TEST_F(LocationPanelTest, LayoutAtBothAnchorsAndHalfSize) {
    const std::vector<LayoutCase> cases = {
        {"normal anchor (320, 1035), m 1",
         nullptr,
         false,
         {{"|", 0.166667, 0.946389, 0.8916f, 70, false},
          {"N", 0.179490, 0.950676, 0.713279963f, 150, true},
          {"|", 0.185417, 0.946389, 0.8916f, 70, false},
          {"~y~Alta St  [SR-19]~w~", 0.194792, 0.951648, 0.37893f, 180, false},
          {"Alta,  Metro Los Santos", 0.194844, 0.972269, 0.33435002f, 160, false}}},
        {"big-map anchor (470, 1035), m 1",
         nullptr,
         true,
         {{"|", 0.244792, 0.946389, 0.8916f, 70, false},
          {"N", 0.257615, 0.950676, 0.713279963f, 150, true},
          {"|", 0.263542, 0.946389, 0.8916f, 70, false},
          {"~y~Alta St  [SR-19]~w~", 0.272917, 0.951648, 0.37893f, 180, false},
          {"Alta,  Metro Los Santos", 0.272969, 0.972269, 0.33435002f, 160, false}}},
        {"normal anchor, m 0.5",
         "[GENERAL]\nLocTextSizeMult=0.5\n",
         false,
         {{"|", 0.166667, 0.952361, 0.4458f, 70, false},
          {"N", 0.173078, 0.954505, 0.356639981f, 150, true},
          {"|", 0.176042, 0.952361, 0.4458f, 70, false},
          {"~y~Alta St  [SR-19]~w~", 0.180729, 0.954991, 0.189465f, 180, false},
          {"Alta,  Metro Los Santos", 0.180755, 0.965301, 0.16717501f, 160, false}}},
    };
    for (const LayoutCase& c : cases) {
        SCOPED_TRACE(c.name);
        NewHost(StandardWorld());
        if (c.ini != nullptr) WriteIni(c.ini);
        PutOnStreet(std::string("Alta St"));
        world().zoneCode = std::string("Alta");
        ASSERT_TRUE(StartFrameLoop());
        if (c.openBigMap) {
            world().radarControlJustReleased = true;
            ASSERT_TRUE(Run(1));
            world().radarControlJustReleased = false;
        }
        const sim::Frame& frame = DrawFrame();
        ASSERT_EQ(frame.texts.size(), static_cast<size_t>(kPanelTexts));
        for (int i = 0; i < kPanelTexts; ++i) ExpectElement(frame.texts[i], c.elements[i]);
    }
}

// The screen size is asked for at every element: a new size applies from the next frame on.
TEST_F(LocationPanelTest, FollowsTheReportedScreenSize) {
    ASSERT_TRUE(StartFrameLoop());
    world().screenWidth = 1920;
    world().screenHeight = 1080;
    const sim::Frame& frame = DrawFrame();
    ASSERT_EQ(frame.texts.size(), static_cast<size_t>(kPanelTexts));
    EXPECT_NEAR(frame.texts[kLeftSeparator].x, 0.111111, kSixDecimals);
    EXPECT_NEAR(frame.texts[kLeftSeparator].y, 0.630926, kSixDecimals);
}

// An anchor at the far corner of the design space puts element 1 exactly on the screen's edge,
// an anchor at 0 exactly on the other.
TEST_F(LocationPanelTest, DesignSpaceSpansTheScreen) {
    for (const auto& [ini, x] : {std::pair<const char*, float>{"[GENERAL]\nLocTextPosX=1920\nLocTextPosY=1080\n", 1.0f},
                                 std::pair<const char*, float>{"[GENERAL]\nLocTextPosX=0\nLocTextPosY=0\n", 0.0f}}) {
        SCOPED_TRACE(ini);
        NewHost(StandardWorld());
        WriteIni(ini);
        ASSERT_TRUE(StartFrameLoop());
        const sim::Frame& frame = DrawFrame();
        ASSERT_EQ(frame.texts.size(), static_cast<size_t>(kPanelTexts));
        EXPECT_EQ(frame.texts[kLeftSeparator].x, x);
    }
}

TEST_F(LocationPanelTest, HeadingLetterBounds) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const std::vector<std::pair<float, const char*>> cases = {
        // clang-format off
        {0.0f, "N"},    {45.0f, "N"},   {45.01f, "W"},  {90.0f, "W"},   {135.0f, "W"},  {135.01f, "S"},
        {225.0f, "S"},  {225.01f, "E"}, {270.0f, "E"},  {315.0f, "E"},  {315.01f, "N"}, {360.0f, "N"},
        {-10.0f, "N"},  {nan, "N"},
        // clang-format on
    };
    ASSERT_TRUE(StartFrameLoop());
    for (const auto& [heading, letter] : cases) {
        SCOPED_TRACE("heading " + std::to_string(heading));
        player().heading = heading;
        EXPECT_EQ(PanelTextOfNextFrame(kHeading), letter);
    }
}

struct RoadCase {
    const char* name;
    bool onRoad;
    uint8_t nodeResult;
    sim::Vec3 nodeOffset;  // from the player
    std::string line;
    size_t streetLines;  // street lines built in the frame
    bool distanceAsked;
};

// Off the road the line gains "Near  " past 20 units from the nearest major node (measured in three
// dimensions) and reads "Road name unavailable" without a node.
TEST_F(LocationPanelTest, RoadTest) {
    const std::string line = "~y~Alta St  [SR-19]~w~";
    const std::vector<RoadCase> cases = {
        // clang-format off
        {"on a road", true, 1, {0, 0, 500}, line, 1, false},
        {"node 20 away", false, 1, {20, 0, 0}, line, 1, true},
        {"node 20.01 away", false, 1, {20.01f, 0, 0}, "Near  " + line, 2, true},
        {"node 20.01 straight up", false, 1, {0, 0, 20.01f}, "Near  " + line, 2, true},
        {"node 20.01 along y", false, 1, {0, 20.01f, 0}, "Near  " + line, 2, true},
        {"no node", false, 0, {0, 0, 500}, "Road name unavailable", 1, false},
        {"node result 2", false, 2, {0, 0, 500}, "Road name unavailable", 1, false},
        {"node result 255", false, 255, {0, 0, 500}, "Road name unavailable", 1, false},
        // clang-format on
    };
    ASSERT_TRUE(StartFrameLoop());
    PutOnStreet(std::string("Alta St"));
    const sim::Vec3 at = {100.0f, 200.0f, 30.0f};
    player().pos = at;
    for (const RoadCase& c : cases) {
        SCOPED_TRACE(c.name);
        world().onRoad = c.onRoad;
        world().nodeResult = c.nodeResult;
        world().nodePos = {at.x + c.nodeOffset.x, at.y + c.nodeOffset.y, at.z + c.nodeOffset.z};
        const size_t mark = TraceMark();
        const sim::Frame& frame = DrawFrame();
        ASSERT_EQ(frame.texts.size(), static_cast<size_t>(kPanelTexts));
        EXPECT_EQ(frame.texts[kStreetLine].text, c.line);
        // Whatever it reads, the street line keeps its look.
        EXPECT_EQ(frame.texts[kStreetLine].state.a, 180);
        EXPECT_EQ(frame.texts[kStreetLine].state.scale, 0.37893f);
        EXPECT_EQ(Calls("street name hashes at coordinates", mark).size(), c.streetLines);
        EXPECT_EQ(Calls("closest major vehicle node", mark).size(), c.onRoad ? 0u : 1u);
        const auto distance = Calls("distance between coordinates", mark);
        ASSERT_EQ(distance.size(), c.distanceAsked ? 1u : 0u);
        if (!c.distanceAsked) continue;
        const sim::NativeCall& d = distance[0]->call;
        EXPECT_EQ((std::vector<float>{d.Float(0), d.Float(1), d.Float(2), d.Float(3), d.Float(4), d.Float(5)}),
                  (std::vector<float>{at.x, at.y, at.z, world().nodePos.x, world().nodePos.y, world().nodePos.z}));
        EXPECT_TRUE(d.Bool(6));
    }
}

// The node search is made at the player's position, with threshold 3 and flags 0.
TEST_F(LocationPanelTest, NodeSearchArguments) {
    ASSERT_TRUE(StartFrameLoop());
    player().pos = {-5.5f, 7.25f, 1.0f};
    world().onRoad = false;
    const size_t mark = TraceMark();
    ASSERT_TRUE(Run(1));
    const auto road = Calls("point on road", mark);
    ASSERT_EQ(road.size(), 1u);
    EXPECT_EQ(road[0]->line, "point on road(-5.5, 7.25, 1, 0) -> false");
    const auto node = Calls("closest major vehicle node", mark);
    ASSERT_EQ(node.size(), 1u);
    const sim::NativeCall& n = node[0]->call;
    EXPECT_EQ((std::vector<float>{n.Float(0), n.Float(1), n.Float(2), n.Float(4)}),
              (std::vector<float>{-5.5f, 7.25f, 1.0f, 3.0f}));
    EXPECT_EQ(n.Int(5), 0);
}

// In a frame with the panel the host's own area name is switched off once, after the last text.
TEST_F(LocationPanelTest, HostAreaNameOffAfterThePanel) {
    ASSERT_TRUE(StartFrameLoop());
    const size_t mark = TraceMark();
    ASSERT_TRUE(Run(1));
    EXPECT_TRUE(host().lastFrame().areaNameSuppressed);
    std::vector<std::string> order;
    for (size_t i = mark; i < host().trace().size(); ++i) {
        const std::string role = RoleOf(host().trace()[i]);
        if (role == "end text command: draw text" || role == "display area name") order.push_back(role);
    }
    const std::string draw = "end text command: draw text";
    EXPECT_EQ(order, (std::vector<std::string>{draw, draw, draw, draw, draw, "display area name"}));
    EXPECT_EQ(Calls("display area name", mark).back()->line, "display area name(false)");
}

// The panel asks the host for the player's ped again instead of using the frame's snapshot.
TEST_F(LocationPanelTest, AsksForThePlayersPedAgain) {
    ASSERT_TRUE(StartFrameLoop());
    const size_t mark = TraceMark();
    ASSERT_TRUE(Run(1));
    EXPECT_EQ(Calls("local player ped", mark).size(), 2u);
}

// A hidden radar, a dead player or the display switched off: no panel and no area-name call;
// each gate lifted gives the panel back.
TEST_F(LocationPanelTest, Gates) {
    ASSERT_TRUE(StartFrameLoop());
    ASSERT_EQ(DrawFrame().texts.size(), static_cast<size_t>(kPanelTexts));

    world().radarHidden = true;
    EXPECT_TRUE(NextFrameDrawsNothing()) << "radar hidden";
    world().radarHidden = false;
    EXPECT_EQ(DrawFrame().texts.size(), static_cast<size_t>(kPanelTexts));

    player().dead = true;
    for (int frame = 0; frame < 20; ++frame) EXPECT_TRUE(NextFrameDrawsNothing()) << "dead, frame " << frame;
    player().dead = false;
    ASSERT_TRUE(Run(10));
    EXPECT_EQ(DrawFrame().texts.size(), static_cast<size_t>(kPanelTexts));

    // Ctrl+Alt+L: the frames after it show only the notice.
    const size_t mark = TraceMark();
    ASSERT_TRUE(PressDisplayHotkey());
    const sim::Frame& off = DrawFrame();
    ASSERT_EQ(off.texts.size(), 1u);
    EXPECT_EQ(off.texts[0].text, "~y~KOV | ~w~Location display disabled.");
    EXPECT_TRUE(Calls("display area name", mark).empty());
    ASSERT_TRUE(PressDisplayHotkey());
    EXPECT_EQ(DrawFrame().texts.size(), static_cast<size_t>(kPanelTexts) + 1);
}

}  // namespace
}  // namespace simtest
