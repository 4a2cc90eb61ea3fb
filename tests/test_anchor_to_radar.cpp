// AnchorToRadar: off, the plug-in calls exactly what it always did; on, the panel is drawn under
// the safe zone's bottom-left alignment and keeps its gap to the radar and the big map on every
// screen and safe zone, measured from the draw list placed by the screen model.
#include <cmath>
#include <filesystem>
#include <string>
#include <vector>

#include "location_support.h"
#include "preview_support.h"
#include "tools/preview/gap_report.h"

namespace simtest {
namespace {

class AnchorToRadar : public LocationTest {
protected:
    // Starts the plug-in with this KOV.ini (nullptr: none), opens the big map when asked, and runs
    // one more frame; the trace lines of the whole run.
    std::vector<std::string> RunWith(const char* ini, bool bigMap) {
        NewHost(StandardWorld());
        std::filesystem::remove(workDir() / "KOV.ini");
        if (ini != nullptr) WriteIni(ini);
        PutOnStreet(std::string("Alta St"));
        world().zoneCode = std::string("Alta");
        if (!StartFrameLoop()) return {};
        if (bigMap) {
            world().radarControlJustReleased = true;
            Run(1);
            world().radarControlJustReleased = false;
        }
        Run(1);
        return TraceLines();
    }
};

// Absent, false, or any text but the three switch words: every native call as without the key.
TEST_F(AnchorToRadar, OffCallsExactlyWhatThePluginAlwaysCalled) {
    for (const bool bigMap : {false, true}) {
        const std::vector<std::string> without = RunWith(nullptr, bigMap);
        ASSERT_FALSE(without.empty());
        for (const char* ini : {"[GENERAL]\nAnchorToRadar=false\n", "[GENERAL]\nAnchorToRadar=1\n",
                                "[GENERAL]\nAnchorToRadar=\n", "[MULTIPLAYER]\nAnchorToRadar=true\n"}) {
            SCOPED_TRACE(std::string(ini) + (bigMap ? " big map" : ""));
            EXPECT_EQ(RunWith(ini, bigMap), without);
        }
    }
}

// The alignment wraps exactly the five elements; x is unchanged and y one screen height less.
TEST_F(AnchorToRadar, OnWrapsTheFiveElementsInTheBottomLeftAlignment) {
    for (const bool bigMap : {false, true}) {
        for (const char* word : {"true", "YES", "On"}) {
            SCOPED_TRACE(std::string(word) + (bigMap ? " big map" : ""));
            RunWith(nullptr, bigMap);
            const std::vector<sim::DrawnText> plain = host().lastFrame().texts;
            const std::vector<std::string> plainTrace = TraceLines();

            const std::vector<std::string> trace =
                RunWith(("[GENERAL]\nAnchorToRadar=" + std::string(word) + "\n").c_str(), bigMap);
            const std::vector<sim::DrawnText>& anchored = host().lastFrame().texts;
            ASSERT_EQ(anchored.size(), static_cast<size_t>(kPanelTexts));
            ASSERT_EQ(plain.size(), anchored.size());
            for (int i = 0; i < kPanelTexts; ++i) {
                EXPECT_EQ(anchored[i].text, plain[i].text);
                EXPECT_EQ(anchored[i].x, plain[i].x);
                EXPECT_EQ(anchored[i].y, plain[i].y - 1.0f);
                EXPECT_TRUE(anchored[i].align.set);
                EXPECT_EQ(anchored[i].align.horizontal, 'L');
                EXPECT_EQ(anchored[i].align.vertical, 'B');
            }
            // Of the last frame: the road test, then the alignment, the first outline ... the fifth
            // draw, the reset, and the host's area name as before.
            size_t end = trace.size();
            while (end > 0 && trace[end - 1].rfind("wait ", 0) == 0) --end;
            size_t begin = end;
            while (begin > 0 && trace[begin - 1].rfind("wait ", 0) != 0) --begin;
            const std::vector<std::string> panel(trace.begin() + begin, trace.begin() + end);
            size_t first = 0;
            while (first < panel.size() && panel[first].rfind("set text outline", 0) != 0 &&
                   panel[first].rfind("set script gfx align(", 0) != 0) {
                ++first;
            }
            ASSERT_LT(first + 2, panel.size());
            EXPECT_EQ(panel[first], "set script gfx align(76, 66)");
            EXPECT_EQ(panel[first + 1], "set script gfx align params(0, 0, 0, 0)");
            EXPECT_EQ(panel[first + 2], "set text outline()");
            size_t lastDraw = 0;
            for (size_t i = 0; i < panel.size(); ++i) {
                if (panel[i].rfind("end text command: draw text", 0) == 0) lastDraw = i;
            }
            ASSERT_LT(lastDraw + 2, panel.size());
            EXPECT_EQ(panel[lastDraw + 1], "reset script gfx align()");
            EXPECT_EQ(panel[lastDraw + 2], "display area name(false)");
            // Without the alignment calls, and but for the draws' y, the run is the plain one.
            std::vector<std::string> unaligned;
            for (const std::string& line : trace) {
                if (line.find("script gfx align") == std::string::npos) unaligned.push_back(line);
            }
            ASSERT_EQ(unaligned.size(), plainTrace.size());
            for (size_t i = 0; i < unaligned.size(); ++i) {
                const std::string& line = plainTrace[i];
                const bool draw = line.rfind("end text command: draw text", 0) == 0;
                EXPECT_EQ(draw ? unaligned[i].substr(0, line.find(',')) : unaligned[i],
                          draw ? line.substr(0, line.find(',')) : line);
            }
        }
    }
}

// At 16:9 with a full safe zone the anchored panel lands on the very pixels of the plain one.
TEST_F(AnchorToRadar, SixteenByNineWithAFullSafeZoneKeepsThePixels) {
    RunWith(nullptr, false);
    const std::vector<sim::DrawnText> plain = host().lastFrame().texts;
    RunWith("[GENERAL]\nAnchorToRadar=true\n", false);
    const std::vector<sim::DrawnText>& anchored = host().lastFrame().texts;
    ASSERT_EQ(plain.size(), anchored.size());
    for (const sim::RealScreen screen :
         {sim::RealScreen{1920, 1080, 1.0f}, sim::RealScreen{1280, 720, 1.0f}, sim::RealScreen{3840, 2160, 1.0f}}) {
        for (size_t i = 0; i < plain.size(); ++i) {
            const sim::PixelPoint a = sim::PlaceDrawPosition(screen, anchored[i].align, anchored[i].x, anchored[i].y);
            const sim::PixelPoint p = sim::PlaceDrawPosition(screen, plain[i].align, plain[i].x, plain[i].y);
            EXPECT_EQ(a.x, p.x) << screen.width;
            EXPECT_EQ(a.y, p.y) << screen.width;
        }
    }
}

// Worked by hand from the HUD rule: the visible radar on a 16:9, a 21:9 (safe zone 0.9) and a three-monitor
// screen; aligned draws under ('L', 'B') and ('R', 'T') with a size param; an unaligned draw.
TEST(ScreenModel, PlacesTheHudAndAlignedDrawsByTheHudRule) {
    const sim::PixelBox radar = sim::VisibleMapBox({1920, 1080, 1.0f}, sim::HudMap::Radar);
    const sim::PixelBox wide = sim::VisibleMapBox({2560, 1080, 0.9f}, sim::HudMap::Radar);
    const sim::PixelBox triple = sim::VisibleMapBox({5760, 1080, 1.0f}, sim::HudMap::Radar);
    const sim::PixelBox bigMap = sim::VisibleMapBox({1920, 1080, 1.0f}, sim::HudMap::BigMap);
    struct Case {
        const char* name;
        double got, want;
    };
    sim::GfxAlign leftBottom;
    leftBottom.set = true;
    leftBottom.horizontal = 'L';
    leftBottom.vertical = 'B';
    sim::GfxAlign rightTop = leftBottom;
    rightTop.horizontal = 'R';
    rightTop.vertical = 'T';
    rightTop.w = 0.1f;
    const sim::PixelBox rect = sim::PlaceDrawRect({2560, 1080, 1.0f}, leftBottom, 0.1f, -0.1f, 0.2f, 0.1f);
    const sim::PixelPoint corner = sim::PlaceDrawPosition({2560, 1080, 0.9f}, rightTop, 0.0f, 0.1f);
    const sim::PixelPoint plain = sim::PlaceDrawPosition({2560, 1080, 0.9f}, sim::GfxAlign{}, 0.5f, 0.5f);
    const Case cases[] = {
        // clang-format off
        {"16:9 radar left", radar.left, -8.64},         {"16:9 radar top", radar.top, 878.16},
        {"16:9 radar width", radar.width, 270},         {"16:9 radar height", radar.height, 190.34},
        {"16:9 big map right", bigMap.right(), 420.94}, {"16:9 big map top", bigMap.top, 606.51},
        {"21:9 0.9 radar left", wide.left, 119.36},     {"21:9 0.9 radar top", wide.top, 824.16},
        {"21:9 0.9 radar width", wide.width, 270},      {"three monitors radar left", triple.left, 1911.36},
        {"three monitors radar width", triple.width, 270},
        {"L B rect left", rect.left, 0},                {"L B rect top", rect.top, 918},
        {"L B rect width", rect.width, 384},            {"R T x", corner.x, 2240},
        {"R T y", corner.y, 162},                       {"unaligned x", plain.x, 1280},
        {"unaligned y", plain.y, 540},
        // clang-format on
    };
    for (const Case& c : cases) EXPECT_NEAR(c.got, c.want, 0.01) << c.name;
}

// The default anchors (320 and 470) put the panel beside the maps the player sees on a 16:9 screen
// at a full safe zone, with AnchorToRadar off and on: not over the big map, whose HUD frame is far
// wider than the map in it.
TEST(AnchorToRadarGaps, DefaultAnchorsStandRightOfTheVisibleMapsAtSixteenByNine) {
    preview::PreviewOptions options;
    options.sizes = {preview::PixelSize{1920, 1080}};
    options.safeZones = {1.0f};
    const sim::Result<std::vector<preview::GapRow>> measured =
        preview::MeasureGaps(options, std::nullopt, PluginPath());
    ASSERT_TRUE(measured.ok()) << measured.error();
    ASSERT_EQ(measured->size(), 1u);
    const preview::GapRow& row = measured->front();
    for (const int mode : {preview::kPlain, preview::kAnchored}) {
        SCOPED_TRACE(mode == preview::kPlain ? "plain" : "anchored");
        EXPECT_NEAR(row.radar[mode], 58.6, 0.5);
        EXPECT_NEAR(row.bigMap[mode], 49.1, 0.5);
    }
}

// The gap between the visible map's right edge and the panel's first separator on every listed
// screen, at safe zones 1.0 and 0.9. Anchored, it is the 1920x1080 gap scaled by the screen's
// height; plain, it drifts with the aspect ratio and the safe zone.
TEST(AnchorToRadarGaps, AnchoredKeepsTheGapOnEveryScreenPlainDrifts) {
    preview::PreviewOptions options;
    options.sizes = preview::MeasuredScreens();
    options.safeZones = {1.0f, 0.9f};
    const sim::Result<std::vector<preview::GapRow>> measured =
        preview::MeasureGaps(options, std::nullopt, PluginPath());
    ASSERT_TRUE(measured.ok()) << measured.error();
    const std::vector<preview::GapRow>& rows = *measured;
    ASSERT_EQ(rows.size(), 16u);
    const preview::GapRow& reference = rows[1];
    ASSERT_EQ(reference.size.width, 1920);
    ASSERT_EQ(reference.size.height, 1080);

    auto at1080 = [](const preview::GapRow& row, const double(&gaps)[preview::kGapModes], int mode) {
        return preview::GapAt1080(gaps[mode], row.size);
    };
    for (const preview::GapRow& row : rows) {
        SCOPED_TRACE(std::to_string(row.size.width) + "x" + std::to_string(row.size.height) + " safe zone " +
                     std::to_string(row.safeZone));
        EXPECT_NEAR(at1080(row, row.radar, preview::kAnchored), reference.radar[preview::kAnchored], 2.0);
        EXPECT_NEAR(at1080(row, row.bigMap, preview::kAnchored), reference.bigMap[preview::kAnchored], 2.0);
    }
    struct Drift {
        size_t row;                  // index into rows: sizes in MeasuredScreens order, safe zone 1.0 then 0.9
        double radarLow, radarHigh;  // plain gaps at 1080 lines
        double bigMapLow, bigMapHigh;
    };
    const Drift drifts[] = {
        // clang-format off
        {5, 160, 180, 200, 220},  // 3440x1440: far right of both maps
        {6, 370, 390, 510, 530},  // 5120x1440
        {7, -30, -10, -75, -55},  // 1024x768: into both maps
        {9, -42, -32, -52, -42},  // 1920x1080 at 0.9: the maps moved in, the panel did not
        // clang-format on
    };
    for (const Drift& d : drifts) {
        const preview::GapRow& row = rows[d.row];
        SCOPED_TRACE(std::to_string(row.size.width) + "x" + std::to_string(row.size.height));
        const double radar = at1080(row, row.radar, preview::kPlain);
        const double bigMap = at1080(row, row.bigMap, preview::kPlain);
        EXPECT_GT(radar, d.radarLow);
        EXPECT_LT(radar, d.radarHigh);
        EXPECT_GT(bigMap, d.bigMapLow);
        EXPECT_LT(bigMap, d.bigMapHigh);
    }
}

}  // namespace
}  // namespace simtest
