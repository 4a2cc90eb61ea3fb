// The game's San Andreas as the simulated host loads it: the whole data, and what a damaged file
// is told.
#include <gtest/gtest.h>

#include "sim/world/san_andreas.h"

namespace {

TEST(SanAndreas, LoadsTheWholeDataOfTheGame) {
    const sim::SanAndreas& world = sim::TheSanAndreas();
    size_t boxes = 0;
    for (const sim::Zone& zone : world.zones) boxes += zone.boxes.size();
    EXPECT_EQ(world.zones.size(), 97u);
    EXPECT_EQ(boxes, 1321u);
    EXPECT_EQ(world.nodes.size(), 67454u);
    EXPECT_EQ(world.links.size(), 72339u);
    EXPECT_EQ(world.streets.size(), 226u);
}

TEST(SanAndreas, ADamagedLineIsNamedByFileAndLine) {
    const std::string zones = "# code\tlabel\tmin_x\tmin_y\tmin_z\tmax_x\tmax_y\tmax_z\n";
    const std::string goodZones = zones + "AirP\tAirport\t0\t0\t0\t1\t1\t1\n";
    const std::string roads = "# x\ty\tz\tstreet\tflags\n";
    const struct {
        std::string zones, roads, links;
        const char* error;
    } cases[] = {
        {zones + "AirP\tAirport\t0\t0\n", "", "", "zones.tsv:2: expected 8 fields, found 4"},
        {goodZones, roads + "1\t2\tz\tMain St\tJ\n", "", "roads.tsv:2: a position that is not a number"},
        {goodZones, roads + "1\t2\t3\tMain St\tQ\n", "", "roads.tsv:2: an unknown flag 'Q'"},
        {goodZones, roads + "1\t2\t3\t\t\n", "# a\tb\n0\t1\t1\t1\n",
         "links.tsv:2: a link that does not join two nodes a < b"},
    };
    for (const auto& c : cases) {
        const sim::Result<sim::SanAndreas> parsed = sim::ParseSanAndreas({c.zones, c.roads, c.links});
        ASSERT_FALSE(parsed.ok()) << c.error;
        EXPECT_EQ(parsed.error().rfind(c.error, 0), 0u) << parsed.error();
    }
}

}  // namespace
