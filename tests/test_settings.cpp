// LoadSettings through a real KOV.ini: defaults, conversions, clamps, switch words, and when the
// file is read again. What the plug-in made of a file is seen in what it does with it: the
// every-setting scene run with the file must trace exactly what it traces with a plain file that
// holds the expected values.
#include <cstdio>
#include <limits>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "config/setting_keys.h"
#include "sim/scenario/scenario_run.h"
#include "sim_harness.h"
#include "tools/ini/every_setting_scene.h"
#include "tools/ini/settings_claims.h"
#include "tools/preview/cairo_painter.h"

namespace {

constexpr float kInf = std::numeric_limits<float>::infinity();

// The settings a file should give; the defaults of a missing file. AllowRadarSizeToggle changes
// nothing the plug-in does, so what became of it cannot be seen: only the text its lookup handed
// out is checked.
struct Expected {
    float posX = 320, posY = 1035, posXLarge = 470, posYLarge = 1035, sizeMult = 1;
    bool obituaries = true, blips = true, teamOnly = false, anchorToRadar = false;
    const char* toggleText = "true";
    bool hideWithHud = false;
    const char* placementKey = "";
};

Expected With(void (*change)(Expected&)) {
    Expected e;
    change(e);
    return e;
}

// A number as a KOV.ini value that reads back to the same float.
std::string Number(float value) {
    if (value == kInf) return "inf";
    char text[32];
    std::snprintf(text, sizeof text, "%.9g", static_cast<double>(value));
    return text;
}

const char* Switch(bool on) { return on ? "true" : "false"; }

// The plain KOV.ini of the expected settings, every key but AllowRadarSizeToggle written out.
std::string CanonicalIni(const Expected& e) {
    return "[GENERAL]\nLocTextPosX=" + Number(e.posX) + "\nLocTextPosY=" + Number(e.posY) +
           "\nLocTextPosX_RadarLrg=" + Number(e.posXLarge) + "\nLocTextPosY_RadarLrg=" + Number(e.posYLarge) +
           "\nLocTextSizeMult=" + Number(e.sizeMult) + "\nAnchorToRadar=" + Switch(e.anchorToRadar) +
           "\nPlacementKey=" + e.placementKey + "\nHideWithGameHud=" + Switch(e.hideWithHud) +
           "\n[MULTIPLAYER]\nShowPlayerObituaries=" + Switch(e.obituaries) + "\nDisplayPlayerBlips=" + Switch(e.blips) +
           "\nDisplayTeamBlipsOnly=" + Switch(e.teamOnly) + "\n";
}

struct SceneRun {
    std::vector<std::string> trace;  // "frame line"
    std::vector<sim::SettingsLookup> lookups;
};

// The every-setting scene with this KOV.ini (nullopt: no file); a failed run fails the test.
SceneRun RunScene(const std::optional<std::string>& ini) {
    sim::ScenarioRunOptions options;
    options.pluginPath = simtest::PluginPath();
    const sim::ScenarioResult result = sim::RunScenario(ini::EverySettingScene(ini), options);
    EXPECT_TRUE(result.status.ok()) << result.status.error();
    SceneRun run;
    for (const sim::TraceEntry& entry : result.trace)
        run.trace.push_back(std::to_string(entry.frame) + " " + entry.line);
    run.lookups = result.lookups;
    return run;
}

// The scene's trace with a canonical file; each file is run once.
const std::vector<std::string>& CanonicalTrace(const Expected& e) {
    static std::map<std::string, std::vector<std::string>> traces;
    const std::string ini = CanonicalIni(e);
    const auto found = traces.find(ini);
    return found != traces.end() ? found->second : traces[ini] = RunScene(ini).trace;
}

// "" when the traces are the same, else their first difference.
std::string FirstDifference(const std::vector<std::string>& got, const std::vector<std::string>& want) {
    for (size_t i = 0; i < got.size() || i < want.size(); ++i) {
        const std::string a = i < got.size() ? got[i] : "(end)", b = i < want.size() ? want[i] : "(end)";
        if (a != b) return "trace line " + std::to_string(i + 1) + ": got " + a + ", canonical file " + b;
    }
    return "";
}

struct SettingsCase {
    const char* name;
    std::optional<std::string> ini;  // nullopt: no KOV.ini at all
    Expected expected;
};

const std::string kLong127Zeros(127, '0');

const SettingsCase kCases[] = {
    {"no file: every default", std::nullopt, Expected{}},
    {"empty file", "", Expected{}},
    {"sections without keys", "[GENERAL]\n[MULTIPLAYER]\n", Expected{}},
    {"all ten keys",
     "[GENERAL]\nLocTextPosX=10\nLocTextPosY=20\nLocTextPosX_RadarLrg=30\nLocTextPosY_RadarLrg=40\n"
     "LocTextSizeMult=1.5\nAllowRadarSizeToggle=no\nAnchorToRadar=yes\n[MULTIPLAYER]\n"
     "ShowPlayerObituaries=off\nDisplayPlayerBlips=on\nDisplayTeamBlipsOnly=yes\n",
     Expected{10, 20, 30, 40, 1.5f, false, true, true, true, "no"}},
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
    {"empty number is 0, not the default", "[GENERAL]\nLocTextPosX=\nLocTextSizeMult=\n", With([](Expected& e) {
         e.posX = 0;
         e.sizeMult = 0.5f;
     })},
    // 127 zeros fill the buffer; the digit after them is cut off.
    {"a value is seen as at most 127 characters",
     "[GENERAL]\nLocTextPosX=" + kLong127Zeros + "5\nLocTextPosY=" + kLong127Zeros.substr(1) + "5\n",
     With([](Expected& e) {
         e.posX = 0;
         e.posY = 5;
     })},
    {"empty switch is off", "[MULTIPLAYER]\nShowPlayerObituaries=\n", With([](Expected& e) { e.obituaries = false; })},
    {"YES is on", "[MULTIPLAYER]\nDisplayPlayerBlips=YES\nDisplayTeamBlipsOnly=YES\n",
     With([](Expected& e) { e.teamOnly = true; })},
    {"On is on", "[GENERAL]\nAnchorToRadar=On\n[MULTIPLAYER]\nDisplayTeamBlipsOnly=On\n", With([](Expected& e) {
         e.anchorToRadar = true;
         e.teamOnly = true;
     })},
    {"TRUE is on", "[MULTIPLAYER]\nDisplayTeamBlipsOnly=TRUE\n", With([](Expected& e) { e.teamOnly = true; })},
    {"0 is off", "[MULTIPLAYER]\nDisplayPlayerBlips=0\n", With([](Expected& e) { e.blips = false; })},
    {"1 is off", "[MULTIPLAYER]\nDisplayPlayerBlips=1\n", With([](Expected& e) { e.blips = false; })},
    {"false is off", "[MULTIPLAYER]\nDisplayPlayerBlips=false\n", With([](Expected& e) { e.blips = false; })},
    {"enabled and y are off", "[GENERAL]\nAllowRadarSizeToggle=enabled\n[MULTIPLAYER]\nShowPlayerObituaries=y\n",
     With([](Expected& e) {
         e.toggleText = "enabled";
         e.obituaries = false;
     })},
    {"inline comment makes a switch off", "[MULTIPLAYER]\nDisplayPlayerBlips=true ; shows blips\n",
     With([](Expected& e) { e.blips = false; })},
    {"blanks and quotes go to the lookup", "[MULTIPLAYER]\n  DisplayTeamBlipsOnly =  \"on\"  \n",
     With([](Expected& e) { e.teamOnly = true; })},
    {"names ignore case", "[general]\nloctextposx=5\n[multiplayer]\ndisplayteamblipsonly=on\n", With([](Expected& e) {
         e.posX = 5;
         e.teamOnly = true;
     })},
    {"key in the wrong section is absent", "[MULTIPLAYER]\nLocTextPosX=5\n[GENERAL]\nDisplayTeamBlipsOnly=on\n",
     Expected{}},
    {"first of two keys wins", "[GENERAL]\nLocTextPosX=5\nLocTextPosX=6\n", With([](Expected& e) { e.posX = 5; })},
    {"a placement key in lower case, HUD hiding by yes", "[GENERAL]\nPlacementKey= k \nHideWithGameHud=yes\n",
     With([](Expected& e) {
         e.placementKey = "K";
         e.hideWithHud = true;
     })},
    {"L, a word or a blank name no placement key", "[GENERAL]\nPlacementKey=L\n", Expected{}},
    {"a word names no placement key", "[GENERAL]\nPlacementKey=Home\n", Expected{}},
    {"CRLF file", "[GENERAL]\r\nLocTextPosX=5\r\n[MULTIPLAYER]\r\nDisplayTeamBlipsOnly=on\r\n", With([](Expected& e) {
         e.posX = 5;
         e.teamOnly = true;
     })},
};

TEST(SettingsFile, EveryValueIsReadConvertedAndClamped) {
    for (const SettingsCase& c : kCases) {
        SCOPED_TRACE(c.name);
        const SceneRun run = RunScene(c.ini);
        EXPECT_EQ(FirstDifference(run.trace, CanonicalTrace(c.expected)), "");
        std::vector<std::string> toggleTexts;
        for (const sim::SettingsLookup& lookup : run.lookups) {
            if (lookup.key == "AllowRadarSizeToggle" && lookup.section == "GENERAL") toggleTexts.push_back(lookup.text);
        }
        EXPECT_EQ(toggleTexts, std::vector<std::string>{c.expected.toggleText});
    }
}

// Without this the equalities above would prove nothing: a change of any one setting (but the
// toggle, which changes nothing by design) changes what the scene traces.
TEST(SettingsFile, SceneShowsEverySettingButTheToggle) {
    const struct {
        const char* key;
        void (*change)(Expected&);
    } changes[] = {
        {"LocTextPosX", [](Expected& e) { e.posX = 400; }},
        {"LocTextPosY", [](Expected& e) { e.posY = 900; }},
        {"LocTextPosX_RadarLrg", [](Expected& e) { e.posXLarge = 600; }},
        {"LocTextPosY_RadarLrg", [](Expected& e) { e.posYLarge = 900; }},
        {"LocTextSizeMult", [](Expected& e) { e.sizeMult = 2; }},
        {"AnchorToRadar", [](Expected& e) { e.anchorToRadar = true; }},
        {"ShowPlayerObituaries", [](Expected& e) { e.obituaries = false; }},
        {"DisplayPlayerBlips", [](Expected& e) { e.blips = false; }},
        {"DisplayTeamBlipsOnly", [](Expected& e) { e.teamOnly = true; }},
        {"PlacementKey", [](Expected& e) { e.placementKey = "K"; }},
        {"HideWithGameHud", [](Expected& e) { e.hideWithHud = true; }},
    };
    for (const auto& change : changes) {
        SCOPED_TRACE(change.key);
        EXPECT_NE(FirstDifference(CanonicalTrace(With(change.change)), CanonicalTrace(Expected{})), "");
    }
}

class SettingsFileLoads : public simtest::PluginTest {
protected:
    // Loads the plug-in and runs to the first frame-loop pass.
    bool Load(const char* ini) {
        if (ini != nullptr) WriteIni(ini);
        return StartFrameLoop();
    }

    // Texts of the last frame, for comparing what two settings draw.
    std::vector<sim::DrawnText> PanelTexts() { return host().lastFrame().texts; }
};

TEST_F(SettingsFileLoads, AnchorMovesThePanelAndSizeScalesIt) {
    ASSERT_TRUE(Load(nullptr));
    const std::vector<sim::DrawnText> defaults = PanelTexts();
    ASSERT_EQ(defaults.size(), 5u);

    NewHost(simtest::StandardWorld());
    ASSERT_TRUE(Load("[GENERAL]\nLocTextPosX=410\nLocTextPosY=935\n"));
    const std::vector<sim::DrawnText> moved = PanelTexts();
    ASSERT_EQ(moved.size(), defaults.size());
    for (size_t i = 0; i < moved.size(); ++i) {
        SCOPED_TRACE(moved[i].text);
        // 90 design units right and 100 up, at 2/3 host unit each on a 1280 by 720 screen.
        EXPECT_NEAR(moved[i].x - defaults[i].x, PanelXOf(90), 1e-5);
        EXPECT_NEAR(moved[i].y - defaults[i].y, -100 * 0.6666667f / 720, 1e-5);
        EXPECT_EQ(moved[i].state.scale, defaults[i].state.scale);
    }

    NewHost(simtest::StandardWorld());
    ASSERT_TRUE(Load("[GENERAL]\nLocTextSizeMult=2\n"));
    const std::vector<sim::DrawnText> larger = PanelTexts();
    ASSERT_EQ(larger.size(), defaults.size());
    EXPECT_EQ(larger[0].x, defaults[0].x) << "the first element sits on the anchor";
    for (size_t i = 0; i < larger.size(); ++i) {
        SCOPED_TRACE(larger[i].text);
        EXPECT_FLOAT_EQ(larger[i].state.scale, 2 * defaults[i].state.scale);
    }
}

TEST_F(SettingsFileLoads, RadarSizeToggleSettingChangesNothing) {
    host().world.radarControlJustReleased = true;  // the big map is toggled in the first pass
    ASSERT_TRUE(Load("[GENERAL]\nAllowRadarSizeToggle=true\n"));
    ASSERT_TRUE(Run(5));
    const std::vector<std::string> on = TraceLines();

    NewHost(simtest::StandardWorld());
    host().world.radarControlJustReleased = true;
    ASSERT_TRUE(Load("[GENERAL]\nAllowRadarSizeToggle=off\n"));
    ASSERT_TRUE(Run(5));
    EXPECT_EQ(TraceLines(), on);
    EXPECT_TRUE(host().world.bigMap) << "the big map was toggled all the same";
}

TEST_F(SettingsFileLoads, BlipSwitchOffStopsTheBlipPass) {
    host().world.sessionByte = 1;
    ASSERT_TRUE(Load("[MULTIPLAYER]\nDisplayPlayerBlips=off\n"));
    const size_t mark = TraceMark();
    ASSERT_TRUE(Run(2));
    EXPECT_TRUE(Calls("network player active", mark).empty());
}

TEST_F(SettingsFileLoads, EditedFileTakesEffectWhenTheDisplayIsSwitchedOn) {
    ASSERT_TRUE(Load("[GENERAL]\nLocTextPosX=100\n"));
    EXPECT_FLOAT_EQ(DrawnPanelX(), PanelXOf(100));
    const size_t lookupsPerLoad = host().lookups().size();
    ASSERT_EQ(lookupsPerLoad, std::size(kSettingKeys));
    WriteIni("[GENERAL]\nLocTextPosX=200\n");

    ASSERT_TRUE(PressDisplayHotkey());  // off: nothing is read
    EXPECT_EQ(host().lookups().size(), lookupsPerLoad);
    EXPECT_EQ(LogLines().size(), 9u);

    ASSERT_TRUE(PressDisplayHotkey());  // on: the file is read again
    EXPECT_EQ(host().lookups().size(), 2 * lookupsPerLoad);
    EXPECT_FLOAT_EQ(DrawnPanelX(), PanelXOf(200));
    EXPECT_EQ(LogLines().size(), 10u);
    EXPECT_EQ(LogLines().back(), "<FILES> General information retrieved.");

    std::filesystem::remove(workDir() / "KOV.ini");  // a removed key falls back to its default
    ASSERT_TRUE(PressDisplayHotkey());
    ASSERT_TRUE(PressDisplayHotkey());
    EXPECT_FLOAT_EQ(DrawnPanelX(), PanelXOf(320));
}

}  // namespace

namespace {

// Off the screen is decided from what the plug-in drew on the chosen screen, each text's whole
// extent (a line cut at the screen's edge is off it): the same file can be fine on one screen and
// off another.
TEST(SettingsClaims, PanelOffTheChosenScreenIsAMistake) {
    const sim::RealScreen wide{1920, 1080, 1.0f}, square{1024, 768, 1.0f};
    const struct {
        const char* ini;
        sim::RealScreen screen;
        bool off;
    } cases[] = {
        {"[GENERAL]\nLocTextPosX=1500\n", wide, false},
        {"[GENERAL]\nLocTextPosX=1800\n", wide, true},     // starts on the screen, ends past its right edge
        {"[GENERAL]\nLocTextSizeMult=1.6\n", wide, true},  // the last line cut at the bottom
        {"[GENERAL]\nLocTextPosX=5000\n", wide, true},
        {"[GENERAL]\nLocTextSizeMult=99\n", wide, true},
        {"[GENERAL]\nLocTextPosY_RadarLrg=1100\n", wide, true},  // only the big map's panel
        {"[GENERAL]\nAnchorToRadar=true\nLocTextPosX=1500\n", wide, false},
        {"[GENERAL]\nAnchorToRadar=true\nLocTextPosX=1500\n", square, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.ini) + " on " + std::to_string(c.screen.width) + "x" +
                     std::to_string(c.screen.height));
        preview::CairoMeasure measure;
        const ini::SettingsClaims claims = ini::ClaimsOfFile(c.ini, c.screen, simtest::PluginPath(), measure.painter());
        ASSERT_TRUE(claims.status.ok()) << claims.status.error();
        bool off = false;
        for (const ini::IniFinding& finding : claims.findings)
            off = off || finding.message.find("off the screen") != std::string::npos;
        EXPECT_EQ(off, c.off);
    }
}

}  // namespace
