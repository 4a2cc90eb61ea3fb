// The area line: zone codes through the zone table, the fallback row, and host codes that are null
// or longer than the code buffer.
#include <string>
#include <vector>

#include "location_support.h"

namespace simtest {
namespace {

class AreaLineTest : public LocationTest {};

const std::string kFallback = "Area N/A,  San Andreas";

struct ZoneCase {
    const char* name;
    sim::HostText code;
    std::string line;
};

TEST_F(AreaLineTest, ZoneCodesToAreaLines) {
    const std::vector<ZoneCase> cases = {
        // clang-format off
        {"first row", std::string("AirP"), "Los Santos Int'l,  Metro Los Santos"},
        {"capitals", std::string("AIRP"), "Los Santos Int'l,  Metro Los Santos"},
        {"lower case", std::string("airp"), "Los Santos Int'l,  Metro Los Santos"},
        {"the sea", std::string("Oceana"), "Pacific Ocean,  San Andreas"},
        {"another region", std::string("Prol"), "Ludendorff,  North Yankton"},
        {"the repeated row", std::string("TongVaH"), "Tongava Hills,  Los Santos County"},
        {"the row after the repeated one", std::string("tongvav"), "Tongava Valley,  Los Santos County"},
        {"the last row", std::string("zQ_UAR"), "Davis Quartz Quarry,  Los Santos County"},
        {"the last row in other letters", std::string("ZQ_uar"), "Davis Quartz Quarry,  Los Santos County"},
        {"the longest line", std::string("RTRAK"), "Redwood Lights Track,  Los Santos County"},
        {"texts kept exactly as listed", std::string("PalCov"), "Plaeto Cove,  Blaine County"},
        // Codes of one length that share their first and last letters are told apart by the rest.
        {"the second of two alike codes", std::string("DelPe"), "Del Perro,  Metro Los Santos"},
        {"the first of two alike codes", std::string("Desrt"), "Gr Senora Desert,  Blaine County"},
        {"a code alike to table codes but in none", std::string("DxxxT"), kFallback},
        {"unknown code", std::string("Nowhere"), kFallback},
        {"the fallback row's own code is never matched", std::string("NULL"), kFallback},
        {"nor in other letters", std::string("null"), kFallback},
        {"empty code", std::string(), kFallback},
        {"a code matches only as a whole", std::string("Air"), kFallback},
        {"a longer code does not match its prefix", std::string("AirPort"), kFallback},
        {"null code", std::nullopt, kFallback},
        {"20-character code", std::string("AirPAirPAirPAirPAirP"), kFallback},
        // clang-format on
    };
    ASSERT_TRUE(StartFrameLoop());
    for (const ZoneCase& c : cases) {
        SCOPED_TRACE(c.name);
        world().zoneCode = c.code;
        EXPECT_EQ(PanelTextOfNextFrame(kAreaLine), c.line);
    }
}

// The zone is asked for at the ped's position.
TEST_F(AreaLineTest, AsksForTheZoneAtThePedsPosition) {
    ASSERT_TRUE(StartFrameLoop());
    player().pos = {812.5f, -2950.75f, 6.0f};
    const size_t mark = TraceMark();
    ASSERT_TRUE(Run(1));
    const auto zones = Calls("zone code at coordinates", mark);
    ASSERT_EQ(zones.size(), 1u);
    EXPECT_EQ(zones[0]->call.Float(0), 812.5f);
    EXPECT_EQ(zones[0]->call.Float(1), -2950.75f);
    EXPECT_EQ(zones[0]->call.Float(2), 6.0f);
}

}  // namespace
}  // namespace simtest
