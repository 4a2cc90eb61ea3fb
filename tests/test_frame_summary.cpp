// The readable frame summary of kov-sim: colour codes as tags, texts grouped into screen lines.
#include <string>
#include <utility>
#include <vector>

#include "location_support.h"
#include "sim/game/frame_summary.h"

namespace simtest {
namespace {

TEST(FrameSummary, ColourCodesReadAsTags) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"~y~Alta St  [SR-19]~w~", "<yellow>Alta St  [SR-19]</yellow>"},
        {"Interstate 2   /   ~y~US Route 68~w~", "Interstate 2   /   <yellow>US Route 68</yellow>"},
        {"~y~KOV | ~w~Location display enabled.", "<yellow>KOV | </yellow>Location display enabled."},
        {"~c~left open", "<grey>left open</grey>"},
        {"~y~one~c~two~w~", "<yellow>one</yellow><grey>two</grey>"},
        {"~z~ unknown code, a lone ~ and ~~", "~z~ unknown code, a lone ~ and ~~"},
        {"Road name unavailable", "Road name unavailable"},
    };
    for (const auto& [text, readable] : cases) EXPECT_EQ(sim::ReadableText(text), readable) << text;
}

class FrameSummaryTest : public LocationTest {};

// The panel reads as two lines: separators, heading and street line, then the area line.
TEST_F(FrameSummaryTest, PanelReadsAsTwoLines) {
    PutOnStreet(std::string("Del Perro Fwy"), std::string("Route 68"));
    world().zoneCode = std::string("DelPe");
    player().heading = 180.0f;
    ASSERT_TRUE(StartFrameLoop());
    const sim::Frame& frame = DrawFrame();
    const std::string heading =
        "frame " + std::to_string(frame.index) + " at " + std::to_string(frame.timeMs) + " ms\n";
    const std::string screen =
        "  | S | Interstate 2   /   <yellow>US Route 68</yellow>\n"
        "      (0.166667, 0.946389) |\n"
        "      (0.17949, 0.950676) S\n"
        "      (0.185417, 0.946389) |\n"
        "      (0.194792, 0.951648) Interstate 2   /   <yellow>US Route 68</yellow>\n"
        "  Del Perro,  Metro Los Santos\n"
        "      (0.194844, 0.972269) Del Perro,  Metro Los Santos\n"
        "  host area name off\n";
    EXPECT_EQ(sim::SummariseFrame(frame), heading + screen);
}

}  // namespace
}  // namespace simtest
