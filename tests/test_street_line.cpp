// The street line: alias table, the Davis Ave split, the one- and two-name forms, and host names
// that are null or longer than the name buffers; the alias table against the game's streets.
#include <algorithm>
#include <cmath>
#include <iterator>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "location/street_aliases.h"
#include "location_support.h"
#include "sim/world/map_index.h"
#include "text/bounded_text.h"
#include "utf8_support.h"

namespace simtest {
namespace {

class StreetLineTest : public LocationTest {};

// Just below the split, as far as single precision goes.
const float kWestOfDavisSplit = std::nextafter(-373.38f, -1000.0f);

struct StreetCase {
    const char* name;
    sim::HostText street;
    std::optional<sim::HostText> crossing;  // none: crossing hash 0
    float x;
    std::string line;
};

TEST_F(StreetLineTest, AliasesSplitAndForms) {
    const std::vector<StreetCase> cases = {
        {"north crossing south Rockford: one alias, single form", std::string("North Rockford Dr"),
         std::string("South Rockford Dr"), 0, "~y~Rockford Dr  [SR-14]~w~"},
        {"Galileo Park crossing West Galileo Ave: one alias, single form", std::string("Galileo Park"),
         std::string("West Galileo Ave"), 0, "~y~W Galileo Ave~w~"},
        {"Del Perro Fwy crossing Route 68: two-name form", std::string("Del Perro Fwy"), std::string("Route 68"), 0,
         "Interstate 2   /   ~y~US Route 68~w~"},
        {"letter case of the host name is ignored, the alias keeps its own", std::string("DEL PERRO FWY"), std::nullopt,
         0, "~y~Interstate 2~w~"},
        {"lower-case street and crossing", std::string("alta st"), std::string("route 68"), 0,
         "Alta St  [SR-19]   /   ~y~US Route 68~w~"},
        {"Davis Ave west of the split is tagged", std::string("Davis Ave"), std::nullopt, -400,
         "~y~Davis Ave  [SR-19]~w~"},
        {"Davis Ave just west of the split", std::string("Davis Ave"), std::nullopt, kWestOfDavisSplit,
         "~y~Davis Ave  [SR-19]~w~"},
        {"Davis Ave on the split", std::string("Davis Ave"), std::nullopt, -373.38f, "~y~Davis Ave~w~"},
        {"Davis Ave east of the split", std::string("Davis Ave"), std::nullopt, 0, "~y~Davis Ave~w~"},
        {"Davis Ave in capitals west of the split", std::string("DAVIS AVE"), std::nullopt, -400,
         "~y~Davis Ave  [SR-19]~w~"},
        {"the split applies to the crossing street too", std::string("Alta St"), std::string("Davis Ave"), -400,
         "Alta St  [SR-19]   /   ~y~Davis Ave  [SR-19]~w~"},
        {"no other name depends on the position", std::string("Hawick Ave"), std::nullopt, -400,
         "~y~Hawick Ave  [SR-17]~w~"},
        {"the last row", std::string("Zancudo Grande Valley"), std::nullopt, 0, "~y~Zancudo Gde Vly Rd~w~"},
        {"names alike in length, first and last letters are told apart", std::string("North Conker Ave"),
         std::string("North Archer Ave"), 0, "N Conker Ave   /   ~y~N Archer Ave~w~"},
        {"a name alike to table names but in none is shown as given", std::string("North Barker Ave"), std::nullopt, 0,
         "~y~North Barker Ave~w~"},
        {"an unknown name is shown as given", std::string("Mystery Lane"), std::string("Other Lane"), 0,
         "Mystery Lane   /   ~y~Other Lane~w~"},
        {"a name matches only as a whole", std::string("Alta St "), std::nullopt, 0, "~y~Alta St ~w~"},
        {"a name that is a prefix of a table name does not match", std::string("Alta"), std::nullopt, 0, "~y~Alta~w~"},
        {"names equal but for letter case give the single form with the street", std::string("Mystery Lane"),
         std::string("MYSTERY LANE"), 0, "~y~Mystery Lane~w~"},
    };
    ASSERT_TRUE(StartFrameLoop());
    for (const StreetCase& c : cases) {
        SCOPED_TRACE(c.name);
        PutOnStreet(c.street, c.crossing);
        player().pos = {c.x, 55.0f, 10.0f};
        EXPECT_EQ(PanelTextOfNextFrame(kStreetLine), c.line);
    }
}

// Every host name of the alias table is a street the game has (sim/world, its English names), and
// the game's street of that name shows the row's alias: a row no street of the game reaches would
// never show. A host name's second row is the Davis Ave twin, reached west of the split.
TEST_F(StreetLineTest, EveryHostNameIsAStreetOfTheGame) {
    const std::vector<std::string>& streets = sim::TheSanAndreas().streets;
    ASSERT_TRUE(StartFrameLoop());
    std::set<std::string> seen;
    for (const StreetAlias& row : kStreetAliases) {
        SCOPED_TRACE(row.hostName);
        const auto street = std::find(streets.begin(), streets.end(), row.hostName);
        ASSERT_NE(street, streets.end()) << "no street of the game has this name";
        PutOnStreet(*street);
        player().pos = {seen.insert(row.hostName).second ? 0.0f : -400.0f, 0.0f, 0.0f};
        EXPECT_EQ(PanelTextOfNextFrame(kStreetLine), "~y~" + std::string(row.alias) + "~w~");
    }
}

// The line the alias table makes of the host's names: a table row's alias (the route-tagged Davis
// Ave west of its split), else the name; a scan of the table, not the plug-in's index.
std::string AliasByScan(const std::string& name, float x) {
    for (size_t row = 0; row < std::size(kStreetAliases); ++row) {
        if (!TextEqualsIgnoringCase(kStreetAliases[row].hostName, name.c_str())) continue;
        const bool tagged = TextEqualsIgnoringCase(name.c_str(), "Davis Ave") && x < -373.38f;
        return kStreetAliases[tagged ? row + 1 : row].alias;
    }
    return name;
}

// At every named node of the game, with the game's San Andreas answering, the street is that
// node's, and the line the plug-in builds is the alias table's whole answer for the street and the
// crossing the map gives there: no name is cut, the line fits its buffer. The line depends on the
// names and the side of the Davis Ave split only, so the panel is drawn once for each of those.
TEST_F(StreetLineTest, EveryNamedNodeOfTheGameShowsTheAliasTablesLine) {
    const sim::MapIndex& map = sim::TheMapIndex();
    const sim::SanAndreas& game = map.world();
    ASSERT_TRUE(StartFrameLoop());
    world().sanAndreas = true;
    world().named.onRoad = true;  // the street line as it is on the road
    std::set<std::tuple<int32_t, int32_t, bool>> drawn;
    size_t named = 0;
    for (const sim::RoadNode& node : game.nodes) {
        if (node.street == sim::kNoStreet) continue;
        ++named;
        const sim::MapStreets streets = map.StreetsAt(node.x, node.y, node.z);
        ASSERT_EQ(streets.street, node.street) << "at " << node.x << "," << node.y << "," << node.z;
        ASSERT_NE(streets.crossing, node.street);
        if (!drawn.emplace(streets.street, streets.crossing, node.x < -373.38f).second) continue;
        // Two streets of one alias (North and South Rockford Dr) show as one.
        const std::string street = AliasByScan(game.streets[size_t(streets.street)], node.x);
        const std::string crossing =
            streets.crossing == sim::kNoStreet ? street : AliasByScan(game.streets[size_t(streets.crossing)], node.x);
        const std::string line = crossing == street ? "~y~" + street + "~w~" : street + "   /   ~y~" + crossing + "~w~";
        player().pos = {node.x, node.y, node.z};
        SCOPED_TRACE(line);
        ASSERT_LT(line.size(), 128u);
        ASSERT_EQ(PanelTextOfNextFrame(kStreetLine), line);
    }
    EXPECT_EQ(named, 27493u);
}

// Whatever the host calls hash 0, a crossing hash of 0 means no crossing street.
TEST_F(StreetLineTest, CrossingHashZeroAlwaysGivesTheSingleForm) {
    ASSERT_TRUE(StartFrameLoop());
    world().streetNames[0] = std::string("Route 68");
    PutOnStreet(std::string("Del Perro Fwy"));
    EXPECT_EQ(PanelTextOfNextFrame(kStreetLine), "~y~Interstate 2~w~");
}

// The street hashes are asked for at the ped's position, and both names are asked for, street
// first, even when there is no crossing street.
TEST_F(StreetLineTest, AsksForBothNamesAtThePedsPosition) {
    ASSERT_TRUE(StartFrameLoop());
    player().pos = {-1200.5f, 300.25f, 14.0f};
    for (const bool withCrossing : {false, true}) {
        SCOPED_TRACE(withCrossing ? "with a crossing" : "without a crossing");
        PutOnStreet(std::string("Alta St"),
                    withCrossing ? std::optional<sim::HostText>(std::string("Route 68")) : std::nullopt);
        const size_t mark = TraceMark();
        ASSERT_TRUE(Run(1));
        const auto hashes = Calls("street name hashes at coordinates", mark);
        ASSERT_EQ(hashes.size(), 1u);
        EXPECT_EQ(hashes[0]->call.Float(0), -1200.5f);
        EXPECT_EQ(hashes[0]->call.Float(1), 300.25f);
        EXPECT_EQ(hashes[0]->call.Float(2), 14.0f);
        const auto names = Calls("street name from hash key", mark);
        ASSERT_EQ(names.size(), 2u);
        EXPECT_EQ(names[0]->call.Uint(0), kStreetHash);
        EXPECT_EQ(names[1]->call.Uint(0), withCrossing ? kCrossingHash : 0u);
    }
}

// Host names the buffers cannot hold: a null pointer reads as an empty name, a name over 31 bytes
// is cut to 31, on a whole character: a Russian game's names take two bytes a letter. The Cyrillic
// names are ours, written for the test, not the game's translation.
TEST_F(StreetLineTest, NullAndOverlongHostNames) {
    const std::string forty = "Boulevard of the Forty Character Names X";
    const std::string fortyOther = "Boulevard of the Forty Character Names Y";
    ASSERT_EQ(forty.size(), 40u);
    const std::string cut = forty.substr(0, 31);
    const std::string sixteenLetters = "Северошелдонская";  // 32 bytes
    ASSERT_EQ(sixteenLetters.size(), 32u);
    const std::string fifteenLetters = simtest::WholeCharacterPrefix(sixteenLetters, 31);
    ASSERT_EQ(fifteenLetters, "Северошелдонска");
    const std::string cyrillicAvenue = "Улица Большая Северошелдонская";  // the cut falls inside a letter
    const std::vector<StreetCase> cases = {
        {"null street", std::nullopt, std::nullopt, 0, "~y~~w~"},
        {"null street with a crossing", std::nullopt, std::string("Route 68"), 0, "   /   ~y~US Route 68~w~"},
        {"null crossing", std::string("Alta St"), sim::HostText(), 0, "Alta St  [SR-19]   /   ~y~~w~"},
        {"40-character street", forty, std::nullopt, 0, "~y~" + cut + "~w~"},
        {"40-character crossing", std::string("Alta St"), forty, 0, "Alta St  [SR-19]   /   ~y~" + cut + "~w~"},
        {"names differing after the cut are equal", forty, fortyOther, 0, "~y~" + cut + "~w~"},
        {"16 Cyrillic letters keep 15", sixteenLetters, std::nullopt, 0, "~y~" + fifteenLetters + "~w~"},
        {"a Cyrillic crossing keeps whole letters", std::string("Alta St"), cyrillicAvenue, 0,
         "Alta St  [SR-19]   /   ~y~" + simtest::WholeCharacterPrefix(cyrillicAvenue, 31) + "~w~"},
        {"a Cyrillic street that fits is kept whole", std::string("Шоссе Сеноры"), std::nullopt, 0,
         "~y~Шоссе Сеноры~w~"},
    };
    ASSERT_TRUE(StartFrameLoop());
    for (const StreetCase& c : cases) {
        SCOPED_TRACE(c.name);
        PutOnStreet(c.street, c.crossing);
        player().pos = {c.x, 0.0f, 0.0f};
        EXPECT_EQ(PanelTextOfNextFrame(kStreetLine), c.line);
    }
}

}  // namespace
}  // namespace simtest
