// The location drive scenario: each stop shows what its label says, and kov-sim prints its frames
// as they read.
#include <cstdio>
#include <string>
#include <vector>

#include "location_support.h"
#include "sim/scenario/scenario.h"
#include "sim/scenario/scenario_run.h"

namespace simtest {
namespace {

const std::string kDrive = std::string(KOV_SOURCE_DIR) + "/scenarios/location_drive.json";

struct Stop {
    const char* heading;  // nullptr: nothing drawn
    std::string street;
    std::string area;
    double leftX;  // normalised x of the left separator: which anchor
};

TEST(LocationDrive, EachStopShowsItsPlace) {
    const auto scenario = sim::LoadScenarioFile(kDrive);
    ASSERT_TRUE(scenario) << scenario.error();
    sim::ScenarioRunOptions options;
    options.pluginPath = PluginPath();
    const sim::ScenarioResult result = sim::RunScenario(*scenario, options);
    ASSERT_TRUE(result.status.ok()) << result.status.error();

    const double normal = 0.166667, bigMap = 0.244792;
    const std::vector<Stop> stops = {
        // clang-format off
        {"S", "Interstate 2   /   ~y~US Route 68~w~", "Del Perro,  Metro Los Santos", normal},
        {"N", "~y~Davis Ave~w~", "Davis,  Metro Los Santos", normal},
        {"W", "~y~Davis Ave  [SR-19]~w~", "Davis,  Metro Los Santos", normal},
        {"E", "~y~Alta St  [SR-19]~w~", "Pillbox Hill,  Metro Los Santos", normal},
        {"E", "~y~Alta St  [SR-19]~w~", "Pillbox Hill,  Metro Los Santos", normal},
        {"E", "Near  ~y~Alta St  [SR-19]~w~", "Pillbox Hill,  Metro Los Santos", normal},
        {"S", "Road name unavailable", "Pacific Ocean,  San Andreas", normal},
        {"N", "~y~US Route 1~w~", "Area N/A,  San Andreas", bigMap},
        {"N", "~y~US Route 1~w~", "Area N/A,  San Andreas", bigMap},
        {"N", "~y~US Route 1~w~", "Area N/A,  San Andreas", normal},
        {"N", "~y~US Route 1~w~", "Area N/A,  San Andreas", normal},
        {nullptr, "", "", 0},
        {"N", "~y~US Route 1~w~", "Area N/A,  San Andreas", normal},
        // clang-format on
    };
    ASSERT_EQ(result.steps.size(), stops.size());
    for (size_t i = 0; i < stops.size(); ++i) {
        SCOPED_TRACE(result.steps[i].label);
        const sim::Frame& frame = result.frames[result.steps[i].lastFrame];
        const Stop& stop = stops[i];
        if (stop.heading == nullptr) {
            EXPECT_TRUE(frame.texts.empty());
            EXPECT_FALSE(frame.areaNameSuppressed);
            continue;
        }
        ASSERT_EQ(frame.texts.size(), static_cast<size_t>(kPanelTexts));
        EXPECT_EQ(frame.texts[kHeading].text, stop.heading);
        EXPECT_EQ(frame.texts[kStreetLine].text, stop.street);
        EXPECT_EQ(frame.texts[kAreaLine].text, stop.area);
        EXPECT_NEAR(frame.texts[kLeftSeparator].x, stop.leftX, 5e-7);
        EXPECT_TRUE(frame.areaNameSuppressed);
    }
}

TEST(LocationDrive, KovSimPrintsEveryFrameAsItReads) {
    FILE* pipe = popen(
        (std::string("\"") + KOV_SIM_PATH + "\" \"" + kDrive + "\" --frames --plugin \"" + PluginPath() + "\" 2>&1")
            .c_str(),
        "r");
    ASSERT_NE(pipe, nullptr);
    std::string output;
    char buffer[4096];
    size_t got;
    while ((got = fread(buffer, 1, sizeof buffer, pipe)) > 0) output.append(buffer, got);
    ASSERT_EQ(pclose(pipe), 0) << output;
    for (const char* shown :
         {"frame 44 at 5704 ms\n",
          "  | W | <yellow>Davis Ave  [SR-19]</yellow>\n"
          "      (0.166667, 0.946389) |\n"
          "      (0.17949, 0.950676) W\n",
          "  | E | Near  <yellow>Alta St  [SR-19]</yellow>\n", "      (0.272969, 0.972269) Area N/A,  San Andreas\n"}) {
        EXPECT_NE(output.find(shown), std::string::npos) << shown;
    }
}

}  // namespace
}  // namespace simtest
