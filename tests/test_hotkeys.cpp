// Hotkeys: Ctrl+Alt+L and its latch, the player-list request, the big map toggled by releasing the
// radar control, the dead pass closing the big map, and the settings reload on enabling the panel.
#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "controls_support.h"
#include "session_world.h"

namespace simtest {
namespace {

// One frame's input, a letter for each thing held or open: A Alt, C Ctrl, L the L key, H the radar
// control held, R the radar control reported released, P the pause menu open, N no local ped.
using Inputs = std::vector<std::string>;

const std::string kSettingsLoaded = "<FILES> General information retrieved.";
const std::string kPlayerListHeader = "MP PLAYER LIST";

class HotkeysTest : public SessionTest {
protected:
    bool StartInWorld(const sim::World& start) {
        localPed_ = start.peds.at(kLocalPed);
        return StartIn(start);
    }

    bool Step(const std::string& input) {
        const auto has = [&input](char flag) { return input.find(flag) != std::string::npos; };
        HoldKeys(has('A'), has('C'), has('L'));
        world().radarControlPressed = has('H');
        world().radarControlJustReleased = has('R');
        world().pauseMenu = has('P');
        if (has('N')) {
            world().peds.erase(kLocalPed);
        } else {
            world().peds[kLocalPed] = localPed_;
        }
        return Run(1);
    }

    bool PlayerListDrawn() {
        const auto& texts = host().lastFrame().texts;
        return std::any_of(texts.begin(), texts.end(),
                           [](const sim::DrawnText& t) { return t.text.rfind(kPlayerListHeader, 0) == 0; });
    }

    // The traced lines of the given natives since a trace position.
    std::vector<std::string> LinesOf(const std::set<std::string>& roles, size_t from) {
        std::vector<std::string> lines;
        const auto& trace = host().trace();
        for (size_t i = from; i < trace.size(); ++i) {
            if (roles.count(RoleOf(trace[i])) != 0) lines.push_back(trace[i].line);
        }
        return lines;
    }

    sim::Ped localPed_;
};

const std::set<std::string> kMapRoles = {"display radar", "set big map active", "display player name tags on blips"};

// Per frame, '1' where: a new notice appeared (the display was toggled), the big map is on, the
// player list is drawn. Every case runs in a session so that the player list can show.
struct HotkeyCase {
    const char* name;
    Inputs inputs;
    const char* toggles;
    const char* bigMap;
    const char* playerList;
};

const HotkeyCase kHotkeyCases[] = {
    {"Ctrl+Alt+L held over frames toggles once", {"ACL", "ACL", "ACL", "ACL"}, "1000", "0000", "0000"},
    {"L up with Ctrl and Alt down re-arms", {"ACL", "AC", "ACL", "AC", "ACL"}, "10101", "00000", "00000"},
    {"L let go after Ctrl: all three in one frame do nothing",
     {"ACL", "AL", "A", "", "ACL", "AC", "ACL"},
     "1000001",
     "0000000",
     "0000000"},
    {"L let go after Alt: all three in one frame do nothing",
     {"ACL", "CL", "C", "", "ACL", "AC", "ACL"},
     "1000001",
     "0000000",
     "0000000"},
    {"Ctrl+Alt+L is not read while the pause menu is open", {"ACLP", "P", "ACL"}, "001", "000", "000"},
    {"Ctrl+Alt+L is not read while no ped exists", {"ACLN", "N", "ACL"}, "001", "000", "000"},
    {"L let go during the pause menu is not seen", {"ACL", "ACP", "ACL", "AC", "ACL"}, "10001", "00000", "00000"},
    {"L with one modifier or none does nothing", {"CL", "AL", "L"}, "000", "000", "000"},
    {"one release report opens the big map", {"R", ""}, "00", "11", "00"},
    {"a run of release reports toggles once", {"R", "R", "R", ""}, "0000", "1111", "0000"},
    {"each run of release reports toggles once", {"R", "", "R", "", "R"}, "00000", "11001", "00000"},
    {"a release with Alt held does not toggle", {"AR", "AR", ""}, "000", "000", "000"},
    {"a release with Ctrl held does not toggle", {"CR", "CR", ""}, "000", "000", "000"},
    {"a release with Ctrl and Alt held does not toggle", {"ACR", ""}, "00", "00", "00"},
    {"a report first seen with Alt held toggles once Alt is up", {"AR", "R", "R"}, "000", "011", "000"},
    {"no report seen with Ctrl held does not re-arm", {"R", "C", "R", "", "R"}, "00000", "11110", "00000"},
    {"a report during the pause menu is not seen", {"RP", "", "R"}, "000", "001", "000"},
    {"Alt with the radar control held lists the players", {"AH", "AH"}, "00", "00", "11"},
    {"Alt alone or the radar control alone list nobody", {"A", "H"}, "00", "00", "00"},
    {"Ctrl alone keeps the request", {"AH", "C", "CH", "CR"}, "0000", "0000", "1111"},
    {"Ctrl alone keeps no request", {"A", "C"}, "00", "00", "00"},
    {"Ctrl with Alt ends the request", {"AH", "ACH"}, "00", "00", "10"},
    {"letting Alt go ends the request", {"AH", "H"}, "00", "00", "10"},
    {"the pause menu hides the list but keeps the request", {"AH", "AHP", "C"}, "000", "000", "101"},
};

TEST_F(HotkeysTest, EachInputSequenceGivesItsToggles) {
    for (const HotkeyCase& c : kHotkeyCases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(StartInWorld(SessionWorld()));
        const size_t mark = TraceMark();
        std::string toggles, bigMap, playerList;
        std::string lastNotice;
        int mapChanges = 0;
        bool mapWas = world().bigMap;
        for (const std::string& input : c.inputs) {
            ASSERT_TRUE(Step(input));
            const std::vector<std::string> notices = NoticesIn(host().lastFrame());
            ASSERT_LE(notices.size(), 1u);
            const bool toggled = !notices.empty() && notices[0] != lastNotice;
            if (!notices.empty()) lastNotice = notices[0];
            toggles += toggled ? '1' : '0';
            bigMap += world().bigMap ? '1' : '0';
            playerList += PlayerListDrawn() ? '1' : '0';
            mapChanges += world().bigMap != mapWas;
            mapWas = world().bigMap;
        }
        EXPECT_EQ(toggles, c.toggles);
        EXPECT_EQ(bigMap, c.bigMap);
        EXPECT_EQ(playerList, c.playerList);
        EXPECT_EQ(Calls("set big map active", mark).size(), static_cast<size_t>(mapChanges));
    }
}

// Switching the big map off shows the radar first; the name tags follow the map only in a session,
// which means a session byte of exactly 1.
TEST_F(HotkeysTest, BigMapTogglesCallTheHostInOrder) {
    const std::vector<std::string> open = {"set big map active(true, false)"};
    const std::vector<std::string> close = {"display radar(true)", "set big map active(false, false)"};
    const std::string tagsOn = "display player name tags on blips(true)";
    const std::string tagsOff = "display player name tags on blips(false)";
    struct SessionCase {
        uint8_t sessionByte;
        bool nameTags;
    };
    for (const SessionCase c : {SessionCase{0, false}, SessionCase{1, true}, SessionCase{2, false}}) {
        SCOPED_TRACE("session byte " + std::to_string(c.sessionByte));
        sim::World start = SessionWorld();
        start.sessionByte = c.sessionByte;
        ASSERT_TRUE(StartInWorld(start));

        size_t mark = TraceMark();
        ASSERT_TRUE(Step("R"));
        std::vector<std::string> expected = open;
        if (c.nameTags) expected.push_back(tagsOn);
        EXPECT_EQ(LinesOf(kMapRoles, mark), expected);
        EXPECT_TRUE(world().bigMap);
        EXPECT_EQ(world().nameTagsOnBlips, c.nameTags);

        ASSERT_TRUE(Step(""));
        mark = TraceMark();
        ASSERT_TRUE(Step("R"));
        expected = close;
        if (c.nameTags) expected.push_back(tagsOff);
        EXPECT_EQ(LinesOf(kMapRoles, mark), expected);
        EXPECT_FALSE(world().bigMap);
        EXPECT_FALSE(world().fullMap);
        EXPECT_TRUE(world().radarShown);
    }
}

// Each pass of the frame loop from its death test to the first call after its 100 ms wait.
std::vector<std::vector<std::string>> DeadPasses(const std::vector<std::string>& lines) {
    std::vector<std::vector<std::string>> passes;
    for (size_t i = 0; i < lines.size(); ++i) {
        if (lines[i] != "pause menu active() -> false") continue;
        std::vector<std::string> pass;
        size_t j = i + 1;
        while (j < lines.size() && lines[j] != "wait 100") pass.push_back(lines[j++]);
        if (j + 1 >= lines.size()) break;  // a pass still waiting at the end of the run
        pass.push_back(lines[j]);
        pass.push_back(lines[j + 1]);
        passes.push_back(pass);
    }
    return passes;
}

// The first dead pass closes an open big map (radar first), later ones only wait; every pass then
// polls the hotkeys.
TEST_F(HotkeysTest, DeadPassClosesTheBigMapOnceThenOnlyWaits) {
    const std::vector<std::string> closing = {"entity dead(1, false) -> true", "display radar(true)",
                                              "set big map active(false, false)", "wait 100",
                                              "control just released(2, 48) -> false"};
    const std::vector<std::string> waiting = {"entity dead(1, false) -> true", "wait 100",
                                              "control just released(2, 48) -> false"};
    for (const bool mapOpen : {true, false}) {
        SCOPED_TRACE(mapOpen ? "big map open" : "big map closed");
        ASSERT_TRUE(StartInWorld(StandardWorld()));
        if (mapOpen) ASSERT_TRUE(Step("R"));
        ASSERT_TRUE(Step(""));
        ASSERT_EQ(world().bigMap, mapOpen);

        const size_t mark = TraceMark();
        localPed_.dead = true;
        ASSERT_TRUE(Step(""));
        ASSERT_TRUE(Run(30));
        const auto passes = DeadPasses(TraceLines(mark));
        ASSERT_GE(passes.size(), 3u);
        EXPECT_EQ(passes[0], mapOpen ? closing : waiting);
        for (size_t i = 1; i < passes.size(); ++i) EXPECT_EQ(passes[i], waiting) << "dead pass " << i;
        EXPECT_FALSE(world().bigMap);
    }
}

// Enabling the panel reloads KOV.ini before the panel is drawn in the same frame; disabling reads
// nothing. Each load logs one line: the start-up load and three enables make four.
TEST_F(HotkeysTest, EditedSettingsTakeEffectOnTheNextEnable) {
    WriteIni("[GENERAL]\nLocTextPosX=320\n");
    ASSERT_TRUE(StartInWorld(StandardWorld()));
    ASSERT_TRUE(Step(""));
    EXPECT_FLOAT_EQ(DrawnPanelX(), PanelXOf(320));

    for (const int posX : {600, 150, 900}) {
        SCOPED_TRACE("LocTextPosX=" + std::to_string(posX));
        ASSERT_TRUE(Step("ACL"));
        ASSERT_TRUE(Step("AC"));
        WriteIni("[GENERAL]\nLocTextPosX=" + std::to_string(posX) + "\n");
        ASSERT_TRUE(Step("ACL"));
        EXPECT_EQ(NoticesIn(host().lastFrame()), std::vector<std::string>{kEnabledNotice});
        EXPECT_FLOAT_EQ(DrawnPanelX(), PanelXOf(static_cast<float>(posX)));
        ASSERT_TRUE(Step("AC"));
    }
    const std::vector<std::string> log = LogLines();
    EXPECT_EQ(std::count(log.begin(), log.end(), kSettingsLoaded), 4);
}

}  // namespace
}  // namespace simtest
