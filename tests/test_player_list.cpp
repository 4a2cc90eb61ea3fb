// The player list panel as drawn by the host: layout at 1280 by 720, drawing order, row colours,
// counting, and when nothing is drawn.
#include <array>
#include <iterator>
#include <string>
#include <vector>

#include "session_world.h"
#include "utf8_support.h"

namespace {

using simtest::AddPlayer;
using simtest::SessionWorld;

constexpr float kTolerance = 1e-6f;
constexpr float kDesign = 0.6666667f;
constexpr const char* kTitle = "TORVEK WAYGLASS  " KOV_VERSION_TEXT;

struct Rgba {
    int32_t r, g, b, a;
};
constexpr Rgba kHeader{0, 0, 0, 170};
constexpr Rgba kOther{21, 55, 92, 160};
constexpr Rgba kTeamMate{46, 110, 184, 200};
constexpr Rgba kDeadTeamMate{184, 45, 50, 200};
constexpr Rgba kDeadOther{184, 45, 50, 160};

std::string CountLine(int listed) { return "MP PLAYER LIST        " + std::to_string(listed) + " / 32"; }

// The panel's row box centre y (design units) as the host receives it at 720 lines.
float RowBoxY(int k) { return (340.0f + 22.0f * static_cast<float>(k)) * kDesign / 720.0f; }
float RowTextY(int k) { return (334.5f + 22.0f * static_cast<float>(k) - 6.0f) * kDesign / 720.0f; }

class PlayerList : public simtest::SessionTest {
protected:
    // A session world with the list keys held and the location panel out of the way (radar
    // hidden), so the frame's draw list is the panel's alone.
    static sim::World ListWorld() {
        sim::World world = SessionWorld();
        world.radarHidden = true;
        world.keysDown[simtest::kAltKey] = true;
        world.radarControlPressed = true;
        return world;
    }

    // What the panel drew, in call order: "box" for a rectangle, the text for a text.
    std::vector<std::string> DrawOrder(size_t from) {
        std::vector<std::string> order;
        std::string component;
        const auto& trace = host().trace();
        for (size_t i = from; i < trace.size(); ++i) {
            const std::string role = simtest::RoleOf(trace[i]);
            if (role == "draw rectangle") order.push_back("box");
            if (role == "add text component") component = trace[i].texts.at(0);
            if (role == "end text command: draw text") order.push_back(component);
        }
        return order;
    }

    static void ExpectColour(const sim::DrawnRect& rect, Rgba colour) {
        EXPECT_EQ(rect.r, colour.r);
        EXPECT_EQ(rect.g, colour.g);
        EXPECT_EQ(rect.b, colour.b);
        EXPECT_EQ(rect.a, colour.a);
    }
};

TEST_F(PlayerList, LayoutAt1280By720InDrawingOrderWithRowsCountingListedPlayersOnly) {
    sim::World start = ListWorld();
    start.players[0].activeByte = 0;  // the local player is not in the session's list this time
    AddPlayer(start, 3, 30, "Rook");
    AddPlayer(start, 9, 90, "Vesper");
    ASSERT_TRUE(StartIn(start));
    const size_t mark = TraceMark();
    ASSERT_TRUE(Run(1));

    EXPECT_EQ(DrawOrder(mark),
              (std::vector<std::string>{"box", kTitle, "box", "03", "Rook", "box", "09", "Vesper", CountLine(2)}));
    const sim::Frame& frame = host().lastFrame();
    EXPECT_TRUE(frame.helpTextHidden);

    struct Box {
        float x, y, w, h;
        Rgba colour;
    };
    const Box boxes[] = {
        {0.5f, 0.285185f, 0.145833f, 0.037037f, kHeader},
        {0.5f, RowBoxY(0), 0.145833f, 20 * kDesign / 720, kOther},
        {0.5f, RowBoxY(1), 0.145833f, 20 * kDesign / 720, kOther},
    };
    ASSERT_EQ(frame.rects.size(), std::size(boxes));
    for (size_t i = 0; i < std::size(boxes); ++i) {
        SCOPED_TRACE(i);
        EXPECT_NEAR(frame.rects[i].x, boxes[i].x, kTolerance);
        EXPECT_NEAR(frame.rects[i].y, boxes[i].y, kTolerance);
        EXPECT_NEAR(frame.rects[i].w, boxes[i].w, kTolerance);
        EXPECT_NEAR(frame.rects[i].h, boxes[i].h, kTolerance);
        ExpectColour(frame.rects[i], boxes[i].colour);
    }

    struct Text {
        std::string text;
        float x, y, scale;
        bool centred;
    };
    const Text texts[] = {
        // clang-format off
        {kTitle,   0.5f,       0.266667f,   0.192f, true},
        {"03",     0.433854f,  0.304167f,   0.252f, true},
        {"Rook",   0.4453125f, 0.304167f,   0.252f, false},
        {"09",     0.433854f,  RowTextY(1), 0.252f, true},
        {"Vesper", 0.4453125f, RowTextY(1), 0.252f, false},
        {CountLine(2), 0.5f,   300 * kDesign / 720, 0.336f, true},
        // clang-format on
    };
    ASSERT_EQ(frame.texts.size(), std::size(texts));
    for (size_t i = 0; i < std::size(texts); ++i) {
        const sim::DrawnText& drawn = frame.texts[i];
        SCOPED_TRACE(drawn.text);
        EXPECT_EQ(drawn.text, texts[i].text);
        EXPECT_NEAR(drawn.x, texts[i].x, kTolerance);
        EXPECT_NEAR(drawn.y, texts[i].y, kTolerance);
        EXPECT_FLOAT_EQ(drawn.state.scale, texts[i].scale);
        EXPECT_EQ(drawn.state.scaleFirst, 0.0f);
        EXPECT_EQ(drawn.state.centred, texts[i].centred);
        // Always opaque white, proportional, no shadow, no outline, no font chosen.
        EXPECT_EQ(drawn.state.r + drawn.state.g + drawn.state.b + drawn.state.a, 4 * 255);
        EXPECT_TRUE(drawn.state.proportional);
        EXPECT_FALSE(drawn.state.outline);
        EXPECT_EQ(drawn.state.font, 0);
        EXPECT_TRUE(drawn.state.dropShadowSet);
        EXPECT_EQ(drawn.state.dropShadow, (std::array<int32_t, 5>{}));
    }
}

TEST_F(PlayerList, RowColourTellsTeamMatesAndTheDeadApart) {
    struct Case {
        const char* what;
        int32_t localTeam, otherTeam;
        bool otherDead;
        Rgba localRow, otherRow;
    };
    const Case cases[] = {
        // clang-format off
        {"team mate",                        1,  1,  false, kTeamMate, kTeamMate},
        {"dead team mate",                   1,  1,  true,  kTeamMate, kDeadTeamMate},
        {"other team",                       1,  2,  false, kTeamMate, kOther},
        {"dead other team",                  1,  2,  true,  kTeamMate, kDeadOther},
        {"other without a team",             1,  -1, false, kTeamMate, kOther},
        {"local without a team, same -1",    -1, -1, false, kOther,    kOther},
        {"local without a team, other has",  -1, 4,  false, kOther,    kOther},
        {"local without a team, other dead", -1, -1, true,  kOther,    kDeadOther},
        // clang-format on
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        sim::World start = ListWorld();
        start.players[0].team = c.localTeam;
        AddPlayer(start, 5, 50, "Other", c.otherTeam);
        start.peds[50].dead = c.otherDead;
        ASSERT_TRUE(StartIn(start));
        ASSERT_TRUE(Run(1));
        const sim::Frame& frame = host().lastFrame();
        ASSERT_EQ(frame.rects.size(), 3u);
        ExpectColour(frame.rects[1], c.localRow);  // the local player is listed and counted too
        ExpectColour(frame.rects[2], c.otherRow);
        EXPECT_EQ(frame.texts.back().text, CountLine(2));
    }
}

TEST_F(PlayerList, ThirtyTwoPlayersFillTheListDownToDesignY1022) {
    sim::World start = ListWorld();
    for (int slot = 1; slot < sim::kPlayerSlots; ++slot) AddPlayer(start, slot, 100 + slot, "P" + std::to_string(slot));
    ASSERT_TRUE(StartIn(start));
    const size_t mark = TraceMark();
    ASSERT_TRUE(Run(1));

    const sim::Frame& frame = host().lastFrame();
    ASSERT_EQ(frame.rects.size(), 33u);
    EXPECT_NEAR(frame.rects.back().y, 1022 * kDesign / 720, kTolerance);
    ASSERT_EQ(frame.texts.size(), 2u + 2u * 32u);
    const sim::DrawnText& lastNumber = frame.texts[frame.texts.size() - 3];
    const sim::DrawnText& lastName = frame.texts[frame.texts.size() - 2];
    EXPECT_EQ(lastNumber.text, "31");
    EXPECT_EQ(lastName.text, "P31");
    EXPECT_NEAR(lastNumber.y, RowTextY(31), kTolerance);
    EXPECT_NEAR(lastName.y, RowTextY(31), kTolerance);
    EXPECT_EQ(frame.texts.back().text, CountLine(32));
    // Every box and every text asks for the screen size afresh.
    EXPECT_EQ(Calls("screen resolution query", mark).size(), 99u);
}

TEST_F(PlayerList, WithNobodyListedOnlyTheHeaderIsDrawn) {
    sim::World start = ListWorld();
    start.players[0].activeByte = 0;
    AddPlayer(start, 4, 40, "Ghost");
    start.peds.erase(40);  // active, but the ped does not exist
    AddPlayer(start, 6, 60, "Half");
    start.players[6].activeByte = 2;  // listed only when the byte is exactly 1
    ASSERT_TRUE(StartIn(start));
    const size_t mark = TraceMark();
    ASSERT_TRUE(Run(1));
    EXPECT_EQ(DrawOrder(mark), (std::vector<std::string>{"box", kTitle, CountLine(0)}));
    EXPECT_TRUE(host().lastFrame().helpTextHidden);
}

TEST_F(PlayerList, DrawnOnlyInASessionWhileAltAndTheRadarControlAreHeld) {
    struct Case {
        const char* what;
        uint8_t session;
        bool alt, ctrl, radar;
        bool drawn;
    };
    const Case cases[] = {
        // clang-format off
        {"all held in a session",     1, true,  false, true,  true},
        {"radar control not held",    1, true,  false, false, false},
        {"Alt not held",              1, false, false, true,  false},
        {"Ctrl held as well",         1, true,  true,  true,  false},
        {"no session",                0, true,  false, true,  false},
        {"session byte 2",            2, true,  false, true,  false},
        // clang-format on
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        sim::World start = ListWorld();
        start.sessionByte = c.session;
        start.keysDown[simtest::kAltKey] = c.alt;
        start.keysDown[simtest::kCtrlKey] = c.ctrl;
        start.radarControlPressed = c.radar;
        AddPlayer(start, 2, 20, "Rook");
        ASSERT_TRUE(StartIn(start));
        ASSERT_TRUE(Run(1));
        const sim::Frame& frame = host().lastFrame();
        EXPECT_EQ(frame.rects.size(), c.drawn ? 3u : 0u);
        EXPECT_EQ(frame.texts.size(), c.drawn ? 6u : 0u);
        EXPECT_EQ(frame.helpTextHidden, c.drawn);
    }
}

// A name is cut to 63 bytes on a whole character; the Cyrillic name is ours, written for the test.
TEST_F(PlayerList, LongNamesAreCutAndMissingNamesReadEmpty) {
    std::string cyrillic = "NN";  // then 40 letters of two bytes: the cut falls inside one
    for (int i = 0; i < 40; ++i) cyrillic += "Ё";
    sim::World start = ListWorld();
    start.players[0].activeByte = 0;
    AddPlayer(start, 1, 10, std::string(100, 'N'));
    AddPlayer(start, 2, 20, "");
    start.players[2].networkName.reset();  // the host returns a null pointer
    AddPlayer(start, 3, 30, cyrillic);
    ASSERT_TRUE(StartIn(start));
    const size_t mark = TraceMark();
    ASSERT_TRUE(Run(1));
    EXPECT_EQ(DrawOrder(mark),
              (std::vector<std::string>{"box", kTitle, "box", "01", std::string(63, 'N'), "box", "02", "", "box", "03",
                                        simtest::WholeCharacterPrefix(cyrillic, 63), CountLine(3)}));
}

}  // namespace
