// Placement mode: the keys move and size the panel within the screen, Enter writes the changed keys
// alone into KOV.ini through the profile writer, every other way out puts back what was there, and
// the game's controls of those keys are disabled every frame meanwhile; HideWithGameHud; the
// profile writer's emulation keeping every other byte of the file.
#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "config/setting_keys.h"
#include "config/setting_value.h"
#include "sim/ini/profile_writer.h"
#include "sim_harness.h"

namespace simtest {
namespace {

const std::string kSource = KOV_SOURCE_DIR;

// Frontend controls of the keys, and 1000 added for a press with Shift held.
constexpr int kEnter = 201, kBackspace = 202, kLeft = 189, kRight = 190, kUp = 188, kDown = 187;
constexpr int kPageUp = 208, kPageDown = 207, kShift = 209, kWithShift = 1000;

// What placement disables every frame, in the order the plug-in disables them: pad 0, then the
// frontend group 2.
const std::vector<sim::DisabledControl> kDisabled = {
    {0, 27},  {0, 172}, {0, 173}, {0, 174}, {0, 175}, {0, 176}, {0, 177}, {0, 14},
    {0, 15},  {0, 16},  {0, 17},  {0, 85},  {0, 21},  {2, 199}, {2, 200}, {2, 201},
    {2, 202}, {2, 187}, {2, 188}, {2, 189}, {2, 190}, {2, 207}, {2, 208}, {2, 209},
};

class PlacementTest : public PluginTest {
protected:
    // Ctrl+Alt+K down for a frame, then all let go.
    bool PressPlacementKey(int key = sim::kKKey) {
        HoldKeys(true, true, false);
        host().world.keysDown[key] = true;
        if (!Run(1)) return false;
        HoldKeys(false, false, false);
        host().world.keysDown[key] = false;
        return Run(1);
    }
    // A key reported just pressed for a frame, then let go.
    bool Press(int control) {
        const bool shift = control > kWithShift;
        control %= kWithShift;
        host().world.controls[control] = {true, true};
        if (shift) host().world.controls[kShift] = {true, false};
        if (!Run(1)) return false;
        host().world.controls.clear();
        return Run(1);
    }
    bool PressAll(const std::vector<int>& controls) {
        for (int control : controls) {
            if (!Press(control)) return false;
        }
        return true;
    }
    std::string Ini() const { return sim::ReadFileBytes(workDir() / "KOV.ini").value_or("<none>"); }
    bool FrameShows(const std::string& text) {
        const auto& texts = host().lastFrame().texts;
        return std::any_of(texts.begin(), texts.end(), [&](const sim::DrawnText& t) { return t.text == text; });
    }
};

std::string Replaced(std::string text, const std::string& from, const std::string& to) {
    const size_t at = text.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    return at == std::string::npos ? text : text.replace(at, from.size(), to);
}

struct SaveCase {
    const char* name;
    std::string ini;
    bool bigMap;
    std::vector<int> presses;  // before Enter
    std::string saved;         // KOV.ini after Enter
};

std::vector<SaveCase> SaveCases() {
    const std::string shipped = sim::ReadFileBytes(kSource + "/dist/KOV.ini").value_or("");
    const std::string small = "[GENERAL]\nPlacementKey=K\nLocTextPosY=900\nLocTextSizeMult=0.5\n";
    return {
        {"the shipped KOV.ini, Shift+Right: LocTextPosX's line alone changes",
         shipped,
         false,
         {kRight + kWithShift},
         Replaced(shipped, "\nLocTextPosX=320\n", "\nLocTextPosX=330\n")},
        {"one unit a press, each axis its key",
         small,
         false,
         {kRight, kRight, kUp},
         "[GENERAL]\nPlacementKey=K\nLocTextPosY=899\nLocTextSizeMult=0.5\nLocTextPosX=322\r\n"},
        {"the size steps by 0.05 and writes its shortest text",
         small,
         false,
         {kPageUp, kPageUp, kPageUp},
         "[GENERAL]\nPlacementKey=K\nLocTextPosY=900\nLocTextSizeMult=0.65\n"},
        {"never below the size's minimum: nothing to write", small, false, {kPageDown}, small},
        {"the frame stops at the screen's edge",
         "[GENERAL]\nPlacementKey=K\nLocTextPosX=15\n",
         false,
         {kLeft + kWithShift, kLeft},
         "[GENERAL]\nPlacementKey=K\nLocTextPosX=8\n"},
        {"with the big map open, its anchor moves",
         "[GENERAL]\nPlacementKey=K\n",
         true,
         {kDown, kLeft},
         "[GENERAL]\nPlacementKey=K\nLocTextPosX_RadarLrg=469\r\nLocTextPosY_RadarLrg=1036\r\n"},
    };
}

// The must-hold of a save: exactly the changed keys written, every other byte kept.
TEST_F(PlacementTest, EnterWritesTheChangedKeysAlone) {
    for (const SaveCase& c : SaveCases()) {
        SCOPED_TRACE(c.name);
        NewHost(StandardWorld());
        WriteIni(c.ini);
        ASSERT_TRUE(StartFrameLoop());
        if (c.bigMap) {
            host().world.radarControlJustReleased = true;
            ASSERT_TRUE(Run(1));
            host().world.radarControlJustReleased = false;
        }
        ASSERT_TRUE(PressPlacementKey());
        ASSERT_TRUE(PressAll(c.presses));
        ASSERT_TRUE(Press(kEnter));
        EXPECT_EQ(Ini(), c.saved);
    }
}

// Each way out but Enter: KOV.ini untouched and the panel back where it was.
struct EndingCase {
    const char* name;
    void (*end)(sim::World& world);
};

const EndingCase kEndings[] = {
    {"Backspace",
     [](sim::World& w) {
         w.controls[kBackspace] = {true, true};
     }},
    {"Ctrl+Alt+K again",
     [](sim::World& w) { w.keysDown[sim::kAltKey] = w.keysDown[sim::kCtrlKey] = w.keysDown[sim::kKKey] = true; }},
    {"the pause menu", [](sim::World& w) { w.pauseMenu = true; }},
    {"death", [](sim::World& w) { w.peds[w.localPed].dead = true; }},
    {"a new session byte", [](sim::World& w) { w.sessionByte = 2; }},
};

TEST_F(PlacementTest, EveryOtherWayOutPutsBackWhatWasThere) {
    const std::string ini = "[GENERAL]\nPlacementKey=K\nLocTextPosX=300\n";
    for (const EndingCase& c : kEndings) {
        SCOPED_TRACE(c.name);
        NewHost(StandardWorld());
        WriteIni(ini);
        ASSERT_TRUE(StartFrameLoop());
        ASSERT_TRUE(PressPlacementKey());
        ASSERT_TRUE(PressAll({kRight + kWithShift, kUp}));
        EXPECT_FLOAT_EQ(DrawnPanelX(), PanelXOf(310));
        const sim::World before = host().world;
        c.end(host().world);
        ASSERT_TRUE(Run(2));
        host().world = before;
        ASSERT_TRUE(Run(10));  // past the dead pass's wait
        EXPECT_FLOAT_EQ(DrawnPanelX(), PanelXOf(300));
        EXPECT_TRUE(host().lastFrame().disabledControls.empty()) << "placement has ended";
        EXPECT_EQ(Ini(), ini);
    }
}

// While placing, each frame disables the controls of every key; before and after, none; and the
// keys are not read while the game's window is behind.
TEST_F(PlacementTest, TheGameDoesNotAlsoActOnTheKeys) {
    WriteIni("[GENERAL]\nPlacementKey=k\n");
    ASSERT_TRUE(StartFrameLoop());
    ASSERT_TRUE(Run(2));
    EXPECT_TRUE(host().lastFrame().disabledControls.empty());
    ASSERT_TRUE(PressPlacementKey());
    const size_t first = host().frames().size() - 2;  // the frame that started it
    host().world.windowInFront = false;
    ASSERT_TRUE(PressAll({kRight, kEnter}));
    host().world.windowInFront = true;
    ASSERT_TRUE(PressAll({kLeft, kEnter}));
    const size_t last = host().frames().size() - 2;  // the frame of the last Enter
    for (size_t i = first; i <= last; ++i) {
        EXPECT_EQ(host().frames()[i].disabledControls, kDisabled) << "frame " << host().frames()[i].index;
    }
    EXPECT_TRUE(host().lastFrame().disabledControls.empty());
    EXPECT_EQ(Ini(), "[GENERAL]\nPlacementKey=k\nLocTextPosX=319\r\n") << "only the keys in front moved it";
}

// A save that fails says why, leaves the file as it was and keeps the new place.
struct FailedSaveCase {
    const char* name;
    bool readOnlyFolder, locked;
    std::string notice;
    std::string logLine;
};

TEST_F(PlacementTest, AFailedSaveSaysWhyAndLosesNothing) {
    const FailedSaveCase cases[] = {
        {"a read-only folder", true, false, "~y~KOV | ~w~Not saved: the folder or KOV.ini is read-only.",
         "<FILES> Panel placement not saved (error 5): LocTextPosX=321"},
        {"KOV.ini held open", false, true, "~y~KOV | ~w~Not saved: another program has KOV.ini open.",
         "<FILES> Panel placement not saved (error 32): LocTextPosX=321"},
    };
    const std::string ini = "[GENERAL]\r\nPlacementKey=K\r\n";
    for (const FailedSaveCase& c : cases) {
        SCOPED_TRACE(c.name);
        NewHost(StandardWorld());
        WriteIni(ini);
        ASSERT_TRUE(StartFrameLoop());
        ASSERT_TRUE(PressPlacementKey());
        ASSERT_TRUE(Press(kRight));
        host().world.readOnlyFolder = c.readOnlyFolder;
        host().world.iniLocked = c.locked;
        ASSERT_TRUE(Press(kEnter));
        EXPECT_TRUE(FrameShows(c.notice));
        EXPECT_EQ(LogLines().back(), c.logLine);
        EXPECT_EQ(Ini(), ini);
        EXPECT_FLOAT_EQ(DrawnPanelX(), PanelXOf(321));
    }
}

// HideWithGameHud on: no text or box of the panel, the placement frame or the player list in a
// frame where the game hides its HUD; off, the three queries are never made.
TEST_F(PlacementTest, ThePanelStepsAsideWithTheGamesHud) {
    void (*const hides[])(sim::World&) = {
        [](sim::World& w) { w.hudHidden = true; },
        [](sim::World& w) { w.cutscenePlaying = true; },
        [](sim::World& w) { w.playerSwitch = true; },
    };
    for (const bool on : {true, false}) {
        for (auto hide : hides) {
            NewHost(StandardWorld());
            WriteIni(std::string("[GENERAL]\nPlacementKey=K\nHideWithGameHud=") + (on ? "true" : "false") + "\n");
            ASSERT_TRUE(StartFrameLoop());
            ASSERT_TRUE(PressPlacementKey());
            hide(host().world);
            ASSERT_TRUE(Run(2));
            EXPECT_EQ(std::isnan(DrawnPanelX()), on);
            EXPECT_EQ(host().lastFrame().rects.empty(), on) << "the placement frame";
            for (const char* role : {"hud hidden", "cutscene playing", "player switch in progress"}) {
                if (!on) EXPECT_TRUE(Calls(role).empty()) << role;
            }
        }
    }
}

// The key-name kind: one letter or digit, any letter case; L (the display toggle) and anything else
// name no key, so placement stays off.
TEST(PlacementKeySetting, NamesOneLetterOrDigit) {
    const SettingKey* key = nullptr;
    for (const SettingKey& row : kSettingKeys) key = row.keyCode == &Settings::PlacementKey ? &row : key;
    ASSERT_NE(key, nullptr);
    const std::pair<const char*, int32_t> cases[] = {{"K", 'K'}, {"k", 'K'}, {"7", '7'}, {"z", 'Z'}, {"L", 0},
                                                     {"l", 0},   {"", 0},    {"KK", 0},  {"F1", 0},  {"\xC4", 0}};
    for (const auto& [text, code] : cases) EXPECT_EQ(ReadSettingValue(*key, text).keyCode, code) << text;
}

// The writer as HOST.md gives the Windows one: the key's line rewritten where the lookup reads it,
// a missing key after its section's last line, a missing section at the end, every other byte kept.
TEST(ProfileWriter, KeepsEveryOtherByte) {
    struct Case {
        const char* name;
        std::optional<std::string> before;
        std::string after;
    };
    const Case cases[] = {
        {"the first of repeated keys and sections",
         std::string("; c\n\n[general]\n  a = 1 ; old\n\na=2\n[GENERAL]\nA=3"),
         "; c\n\n[general]\na=9\n\na=2\n[GENERAL]\nA=3"},
        {"a key outside any section is not it", std::string("A=1\n[X]\nB=2\n\n"),
         "A=1\n[X]\nB=2\n\n[GENERAL]\r\nA=9\r\n"},
        {"a missing key after the section's last line", std::string("[GENERAL]\nB=1\n; note\n\n[X]\n"),
         "[GENERAL]\nB=1\n; note\nA=9\r\n\n[X]\n"},
        {"a last line without its end gets one", std::string("[GENERAL]\nB=1"), "[GENERAL]\nB=1\r\nA=9\r\n"},
        {"no file", std::nullopt, "[GENERAL]\r\nA=9\r\n"},
        {"UTF-16 stays UTF-16", std::string("\xFF\xFE[\0X\0]\0\n\0", 10),
         std::string("\xFF\xFE[\0X\0]\0\n\0[\0G\0E\0N\0E\0R\0A\0L\0]\0\r\0\n\0A\0=\0"
                     "9\0\r\0\n\0",
                     42)},
    };
    for (const Case& c : cases) EXPECT_EQ(sim::WriteProfileValue(c.before, "GENERAL", "A", "9"), c.after) << c.name;
}

}  // namespace
}  // namespace simtest
