// LoadSettings through a real KOV.ini: defaults, conversions, clamps, switch words, and when the
// file is read again. The values are read from the loaded plug-in's Settings record, and the
// effects checked in what the plug-in then draws and calls.
#include <cmath>
#include <limits>
#include <string>

#include "config/settings.h"
#include "sim_harness.h"

namespace {

constexpr float kInf = std::numeric_limits<float>::infinity();

// Expected record; the defaults of a missing file.
struct Expected {
    float posX = 320, posY = 1035, posXLarge = 470, posYLarge = 1035, sizeMult = 1;
    int32_t allowToggle = 1, obituaries = 1, blips = 1, teamOnly = 0;
};

Expected With(void (*change)(Expected&)) {
    Expected e;
    change(e);
    return e;
}

struct SettingsCase {
    const char* name;
    const char* ini;  // null: no KOV.ini at all
    Expected expected;
};

const std::string kLong127Zeros(127, '0');

const SettingsCase kCases[] = {
    {"no file: every default", nullptr, Expected{}},
    {"empty file", "", Expected{}},
    {"sections without keys", "[GENERAL]\n[MULTIPLAYER]\n", Expected{}},
    {"all nine keys", "[GENERAL]\nLocTextPosX=10\nLocTextPosY=20\nLocTextPosX_RadarLrg=30\nLocTextPosY_RadarLrg=40\n"
                      "LocTextSizeMult=1.5\nAllowRadarSizeToggle=no\n[MULTIPLAYER]\nShowPlayerObituaries=off\n"
                      "DisplayPlayerBlips=0\nDisplayTeamBlipsOnly=yes\n",
     Expected{10, 20, 30, 40, 1.5f, 0, 0, 0, 1}},
    {"negative position gives 0", "[GENERAL]\nLocTextPosX=-40\n", With([](Expected& e) { e.posX = 0; })},
    {"nan position gives 0", "[GENERAL]\nLocTextPosY=nan\n", With([](Expected& e) { e.posY = 0; })},
    {"number prefix is read", "[GENERAL]\nLocTextPosX=320px\n", With([](Expected& e) { e.posX = 320; })},
    {"exponent form", "[GENERAL]\nLocTextPosX=1e3\n", With([](Expected& e) { e.posX = 1000; })},
    {"infinity kept", "[GENERAL]\nLocTextPosX=inf\n", With([](Expected& e) { e.posX = kInf; })},
    {"beyond float range is infinity", "[GENERAL]\nLocTextPosX=1e39\n", With([](Expected& e) { e.posX = kInf; })},
    {"negative infinity gives 0", "[GENERAL]\nLocTextPosX=-inf\n", With([](Expected& e) { e.posX = 0; })},
    {"text is no number", "[GENERAL]\nLocTextPosX=abc\n", With([](Expected& e) { e.posX = 0; })},
    {"size 0.25 clamps", "[GENERAL]\nLocTextSizeMult=0.25\n", With([](Expected& e) { e.sizeMult = 0.5f; })},
    {"size -3 clamps", "[GENERAL]\nLocTextSizeMult=-3\n", With([](Expected& e) { e.sizeMult = 0.5f; })},
    {"size abc clamps", "[GENERAL]\nLocTextSizeMult=abc\n", With([](Expected& e) { e.sizeMult = 0.5f; })},
    {"size nan clamps", "[GENERAL]\nLocTextSizeMult=nan\n", With([](Expected& e) { e.sizeMult = 0.5f; })},
    {"size 0.5 kept", "[GENERAL]\nLocTextSizeMult=0.5\n", With([](Expected& e) { e.sizeMult = 0.5f; })},
    {"size 2.5 kept", "[GENERAL]\nLocTextSizeMult=2.5\n", With([](Expected& e) { e.sizeMult = 2.5f; })},
    {"empty number is 0, not the default", "[GENERAL]\nLocTextPosX=\nLocTextSizeMult=\n",
     With([](Expected& e) { e.posX = 0; e.sizeMult = 0.5f; })},
    {"empty switch is off", "[MULTIPLAYER]\nShowPlayerObituaries=\n", With([](Expected& e) { e.obituaries = 0; })},
    {"YES is on", "[MULTIPLAYER]\nDisplayPlayerBlips=YES\nDisplayTeamBlipsOnly=YES\n", With([](Expected& e) { e.teamOnly = 1; })},
    {"On is on", "[MULTIPLAYER]\nDisplayTeamBlipsOnly=On\n", With([](Expected& e) { e.teamOnly = 1; })},
    {"TRUE is on", "[MULTIPLAYER]\nDisplayTeamBlipsOnly=TRUE\n", With([](Expected& e) { e.teamOnly = 1; })},
    {"1 is off", "[MULTIPLAYER]\nDisplayPlayerBlips=1\n", With([](Expected& e) { e.blips = 0; })},
    {"false is off", "[MULTIPLAYER]\nDisplayPlayerBlips=false\n", With([](Expected& e) { e.blips = 0; })},
    {"enabled and y are off", "[GENERAL]\nAllowRadarSizeToggle=enabled\n[MULTIPLAYER]\nShowPlayerObituaries=y\n",
     With([](Expected& e) { e.allowToggle = 0; e.obituaries = 0; })},
    {"inline comment makes a switch off", "[MULTIPLAYER]\nDisplayPlayerBlips=true ; shows blips\n",
     With([](Expected& e) { e.blips = 0; })},
    {"blanks and quotes go to the lookup", "[MULTIPLAYER]\n  DisplayTeamBlipsOnly =  \"on\"  \n",
     With([](Expected& e) { e.teamOnly = 1; })},
    {"names ignore case", "[general]\nloctextposx=5\n[multiplayer]\ndisplayteamblipsonly=on\n",
     With([](Expected& e) { e.posX = 5; e.teamOnly = 1; })},
    {"key in the wrong section is absent", "[MULTIPLAYER]\nLocTextPosX=5\n[GENERAL]\nDisplayTeamBlipsOnly=on\n", Expected{}},
    {"first of two keys wins", "[GENERAL]\nLocTextPosX=5\nLocTextPosX=6\n", With([](Expected& e) { e.posX = 5; })},
    {"CRLF file", "[GENERAL]\r\nLocTextPosX=5\r\n[MULTIPLAYER]\r\nDisplayTeamBlipsOnly=on\r\n",
     With([](Expected& e) { e.posX = 5; e.teamOnly = 1; })},
};

class SettingsFile : public simtest::PluginTest {
protected:
    // Loads the plug-in and runs to the first frame-loop pass; the record of this load.
    const Settings* Load(const char* ini) {
        if (ini != nullptr) WriteIni(ini);
        if (!StartFrameLoop()) return nullptr;
        const Settings* record = PluginRecord<Settings>("settings");
        if (record == nullptr) ADD_FAILURE() << "the plug-in exports no settings record";
        return record;
    }

    // Texts of the last frame, for comparing what two settings draw.
    std::vector<sim::DrawnText> PanelTexts() { return host().lastFrame().texts; }
};

void ExpectRecord(const Settings& s, const Expected& e) {
    EXPECT_EQ(s.LocTextPosX, e.posX);
    EXPECT_EQ(s.LocTextPosY, e.posY);
    EXPECT_EQ(s.LocTextPosX_RadarLrg, e.posXLarge);
    EXPECT_EQ(s.LocTextPosY_RadarLrg, e.posYLarge);
    EXPECT_EQ(s.LocTextSizeMult, e.sizeMult);
    EXPECT_EQ(s.AllowRadarSizeToggle, e.allowToggle);
    EXPECT_EQ(s.ShowPlayerObituaries, e.obituaries);
    EXPECT_EQ(s.DisplayPlayerBlips, e.blips);
    EXPECT_EQ(s.DisplayTeamBlipsOnly, e.teamOnly);
}

TEST_F(SettingsFile, EveryValueIsReadConvertedAndClamped) {
    for (const SettingsCase& c : kCases) {
        SCOPED_TRACE(c.name);
        NewHost(simtest::StandardWorld());
        std::filesystem::remove(workDir() / "KOV.ini");
        const Settings* record = Load(c.ini);
        ASSERT_NE(record, nullptr);
        ExpectRecord(*record, c.expected);
    }
}

TEST_F(SettingsFile, ValueIsSeenAsAtMost127Characters) {
    // 127 zeros fill the buffer; the digit after them is cut off.
    const Settings* record = Load(("[GENERAL]\nLocTextPosX=" + kLong127Zeros + "5\nLocTextPosY=" +
                                   kLong127Zeros.substr(1) + "5\n").c_str());
    ASSERT_NE(record, nullptr);
    EXPECT_EQ(record->LocTextPosX, 0.0f);
    EXPECT_EQ(record->LocTextPosY, 5.0f);
}

TEST_F(SettingsFile, AnchorMovesThePanelAndSizeScalesIt) {
    ASSERT_NE(Load(nullptr), nullptr);
    const std::vector<sim::DrawnText> defaults = PanelTexts();
    ASSERT_EQ(defaults.size(), 5u);

    NewHost(simtest::StandardWorld());
    ASSERT_NE(Load("[GENERAL]\nLocTextPosX=410\nLocTextPosY=935\n"), nullptr);
    const std::vector<sim::DrawnText> moved = PanelTexts();
    ASSERT_EQ(moved.size(), defaults.size());
    for (size_t i = 0; i < moved.size(); ++i) {
        SCOPED_TRACE(moved[i].text);
        // 90 design units right and 100 up, at 2/3 host unit each on a 1280 by 720 screen.
        EXPECT_NEAR(moved[i].x - defaults[i].x, 90 * 0.6666667f / 1280, 1e-5);
        EXPECT_NEAR(moved[i].y - defaults[i].y, -100 * 0.6666667f / 720, 1e-5);
        EXPECT_EQ(moved[i].state.scale, defaults[i].state.scale);
    }

    NewHost(simtest::StandardWorld());
    ASSERT_NE(Load("[GENERAL]\nLocTextSizeMult=2\n"), nullptr);
    const std::vector<sim::DrawnText> larger = PanelTexts();
    ASSERT_EQ(larger.size(), defaults.size());
    EXPECT_EQ(larger[0].x, defaults[0].x) << "the first element sits on the anchor";
    for (size_t i = 0; i < larger.size(); ++i) {
        SCOPED_TRACE(larger[i].text);
        EXPECT_FLOAT_EQ(larger[i].state.scale, 2 * defaults[i].state.scale);
    }
}

TEST_F(SettingsFile, RadarSizeToggleSettingChangesNothing) {
    host().world.radarControlJustReleased = true;  // the big map is toggled in the first pass
    ASSERT_NE(Load("[GENERAL]\nAllowRadarSizeToggle=true\n"), nullptr);
    ASSERT_TRUE(Run(5));
    const std::vector<std::string> on = TraceLines();

    NewHost(simtest::StandardWorld());
    host().world.radarControlJustReleased = true;
    ASSERT_NE(Load("[GENERAL]\nAllowRadarSizeToggle=off\n"), nullptr);
    ASSERT_TRUE(Run(5));
    EXPECT_EQ(TraceLines(), on);
    EXPECT_TRUE(host().world.bigMap) << "the big map was toggled all the same";
}

TEST_F(SettingsFile, BlipSwitchOffStopsTheBlipPass) {
    host().world.sessionByte = 1;
    ASSERT_NE(Load("[MULTIPLAYER]\nDisplayPlayerBlips=off\n"), nullptr);
    const size_t mark = TraceMark();
    ASSERT_TRUE(Run(2));
    EXPECT_TRUE(Calls("network player active", mark).empty());
}

TEST_F(SettingsFile, EditedFileTakesEffectWhenTheDisplayIsSwitchedOn) {
    const Settings* record = Load("[GENERAL]\nLocTextPosX=100\n");
    ASSERT_NE(record, nullptr);
    WriteIni("[GENERAL]\nLocTextPosX=200\n");

    ASSERT_TRUE(PressDisplayHotkey());  // off: nothing is read
    EXPECT_EQ(record->LocTextPosX, 100.0f);
    EXPECT_EQ(LogLines().size(), 9u);

    ASSERT_TRUE(PressDisplayHotkey());  // on: the file is read again
    EXPECT_EQ(record->LocTextPosX, 200.0f);
    EXPECT_EQ(LogLines().size(), 10u);
    EXPECT_EQ(LogLines().back(), "<FILES> General information retrieved.");

    std::filesystem::remove(workDir() / "KOV.ini");  // a removed key falls back to its default
    ASSERT_TRUE(PressDisplayHotkey());
    ASSERT_TRUE(PressDisplayHotkey());
    EXPECT_EQ(record->LocTextPosX, 320.0f);
}

}  // namespace
