// The styled text element: its ten host calls in order with their arguments, preceded by the
// outline the panel sets, and the design-unit conversion.
#include <string>
#include <vector>

#include "draw/design_units.h"
#include "location_support.h"

namespace simtest {
namespace {

class StyledTextTest : public LocationTest {};

const std::vector<std::string> kElementRoles = {
    "set text outline",
    "screen resolution query",
    "set text scale",
    "set text centring",
    "set text drop shadow",
    "set text colour",
    "begin on-screen text command",
    "add text component",
    "set text proportional",
    "set text font",
    "end text command: draw text",
};

// The worked example at 1280 by 720: x 320, y 1035 + 1.5, size 0.4, alpha 70, neither centred
// nor proportional, outlined by the panel.
TEST_F(StyledTextTest, WorkedExampleHostCalls) {
    ASSERT_TRUE(StartFrameLoop());
    const size_t mark = TraceMark();
    ASSERT_TRUE(Run(1));
    const auto& trace = host().trace();
    size_t first = mark;
    while (first < trace.size() && RoleOf(trace[first]) != "set text outline") ++first;
    ASSERT_LE(first + kElementRoles.size(), trace.size());

    const std::vector<std::string> lines = {
        "set text outline()",
        "screen resolution query(&->1280, &->720)",
        "set text scale(0, 0.891600013)",
        "set text centring(false)",
        "set text drop shadow(0, 0, 0, 0, 0)",
        "set text colour(255, 255, 255, 70)",
        "begin on-screen text command(\"STRING\")",
        "add text component(\"|\")",
        "set text proportional(false)",
        "set text font(4)",
    };
    for (size_t i = 0; i < lines.size(); ++i) EXPECT_EQ(trace[first + i].line, lines[i]);
    EXPECT_EQ(trace[first + 2].call.Float(0), 0.0f);
    EXPECT_EQ(trace[first + 2].call.Float(1), 0.8916f);

    const sim::TraceEntry& draw = trace[first + 10];
    ASSERT_EQ(RoleOf(draw), "end text command: draw text");
    EXPECT_NEAR(draw.call.Float(0), 0.166667, 5e-7);
    EXPECT_NEAR(draw.call.Float(1), 0.946389, 5e-7);
}

// Each of the panel's five texts is an outline followed by the element's ten calls, nothing
// between them.
TEST_F(StyledTextTest, EveryPanelTextIsOutlineAndTenCalls) {
    ASSERT_TRUE(StartFrameLoop());
    const size_t mark = TraceMark();
    ASSERT_TRUE(Run(1));
    const auto& trace = host().trace();
    size_t elements = 0;
    for (size_t i = mark; i < trace.size(); ++i) {
        if (RoleOf(trace[i]) != "set text outline") continue;
        ASSERT_LE(i + kElementRoles.size(), trace.size());
        std::vector<std::string> roles;
        for (size_t k = 0; k < kElementRoles.size(); ++k) roles.push_back(RoleOf(trace[i + k]));
        EXPECT_EQ(roles, kElementRoles) << "element " << elements + 1;
        ++elements;
    }
    EXPECT_EQ(elements, static_cast<size_t>(kPanelTexts));
}

// Design units span the screen: on a host reporting 1280 by 720 the design corner (1920, 1080) is
// normalised (1, 1) and the origin stays (0, 0).
TEST(DesignUnits, CornersOfTheDesignSpace) {
    const ScreenSize screen = {1280.0f, 720.0f};
    EXPECT_EQ(DesignToNormalisedX(1920.0f, screen), 1.0f);
    EXPECT_EQ(DesignToNormalisedY(1080.0f, screen), 1.0f);
    EXPECT_EQ(DesignToNormalisedX(0.0f, screen), 0.0f);
    EXPECT_EQ(DesignToNormalisedY(0.0f, screen), 0.0f);
    EXPECT_NEAR(DesignToNormalisedX(320.0f, screen), 0.166667, 5e-7);
}

}  // namespace
}  // namespace simtest
