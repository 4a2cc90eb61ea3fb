// The area line: zone codes through the zone table, the fallback row, and host codes that are null
// or longer than the code buffer; the game's own zones (sim/world) through the table.
#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "location_support.h"
#include "sim/world/map_index.h"

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
        {"the repeated row", std::string("TongVaH"), "Tongva Hills,  Los Santos County"},
        {"the row after the repeated one", std::string("tongvav"), "Tongva Valley,  Los Santos County"},
        {"the last row, the island off San Andreas", std::string("IsHeistZone"), "Cayo Perico,  Colombia"},
        {"the last row in other letters", std::string("ISHEISTZONE"), "Cayo Perico,  Colombia"},
        {"the longest line", std::string("RTRAK"), "Redwood Lights Track,  Los Santos County"},
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

std::vector<std::string> Words(const std::string& text) {
    std::istringstream in(text);
    std::vector<std::string> words;
    for (std::string word; in >> word;) words.push_back(word);
    return words;
}

// The table's own shortenings of the words of the game's labels.
const std::map<std::string, std::string> kShortenings = {
    {"Int'l", "International"}, {"Mtn", "Mountain"}, {"Mtns", "Mountains"},   {"Rng", "Range"},
    {"Hts", "Heights"},         {"Gr", "Grand"},     {"Pen", "Penitentiary"}, {"Wild", "Wilderness"},
    {"Alt", "Alternates"},      {"Pow", "Power"},    {"Stn", "Station"},      {"Palmer-T", "Palmer-Taylor"},
    {"LS", "Los Santos"},
};

// Zones the table names its own way, not by the game's label, and why.
const std::map<std::string, std::string> kOwnNames = {
    {"ArmyB", "AFB Zancudo: the base by its kind, where the game says Fort"},
    {"DelSol", "Puerto Del Sol: the district's own name, where the game's label says La Puerta"},
    {"Golf", "Golf Club, for the club the game calls GWC and Golfing Society"},
    {"Movie", "Backlot City: the studio's lot, where the game's label names the studio"},
    {"Noose", "NOOSE HQ: the agency's headquarters, where the game's label names the agency"},
    {"Prol", "Ludendorff: the town, where the game's label names the state (the region)"},
    {"zQ_UAR", "Davis Quartz Quarry: the label with what the place is"},
    {"IsHeistZone", "Cayo Perico: the island's name, where the game's label says Island"},
};

// Each word, its shortening spelt out, stands in the label in the same order.
bool SpeltAsTheLabel(const std::string& area, const std::string& label) {
    std::vector<std::string> spelt;
    for (const std::string& word : Words(area)) {
        const auto full = kShortenings.find(word);
        for (const std::string& part : Words(full != kShortenings.end() ? full->second : word)) spelt.push_back(part);
    }
    const std::vector<std::string> labelWords = Words(label);
    size_t next = 0;
    for (const std::string& word : labelWords) {
        if (next < spelt.size() && word == spelt[next]) ++next;
    }
    return next == spelt.size();
}

// Every zone code of the game has a row (codes the game spells in two ways, "OCEANA" and "Oceana",
// find theirs with letter case ignored), so the panel never falls back in the game; every area name
// spells its place as the game's label does, and begins its words with a capital as the labels do.
TEST_F(AreaLineTest, EveryZoneOfTheGameHasARowSpeltAsTheGameSpellsIt) {
    const std::vector<sim::Zone>& zones = sim::TheSanAndreas().zones;
    ASSERT_EQ(zones.size(), 97u);
    ASSERT_TRUE(StartFrameLoop());
    for (const sim::Zone& zone : zones) {
        SCOPED_TRACE(zone.code + " (\"" + zone.label + "\")");
        world().zoneCode = zone.code;
        const std::string line = PanelTextOfNextFrame(kAreaLine);
        EXPECT_NE(line, kFallback);
        const std::string area = line.substr(0, line.find(",  "));
        for (const std::string& word : Words(area)) {
            EXPECT_TRUE((word[0] >= 'A' && word[0] <= 'Z') || word == "of") << word;
        }
        if (zone.label.empty() || kOwnNames.count(zone.code) != 0) continue;
        EXPECT_TRUE(SpeltAsTheLabel(area, zone.label)) << area;
    }
}

// For every box of the game's zones, the map answers its zone (or one of the same row: "LAGO" and
// "Lago" share boxes) at some point halfway up it, the island's while the island is loaded and
// North Yankton's while it is not; and the player there sees that zone's row, never the fallback.
TEST_F(AreaLineTest, InsideEveryZoneBoxTheAreaLineIsThatZonesRow) {
    const sim::MapIndex& map = sim::TheMapIndex();
    ASSERT_TRUE(StartFrameLoop());
    std::map<std::string, std::string> rowOf;  // by zone code, as the plug-in shows the code
    for (const sim::Zone& zone : map.world().zones) {
        world().zoneCode = zone.code;
        rowOf[zone.code] = PanelTextOfNextFrame(kAreaLine);
        ASSERT_NE(rowOf[zone.code], kFallback) << zone.code;
    }
    world().sanAndreas = true;
    for (const sim::Zone& zone : map.world().zones) {
        const bool island = zone.code == "IsHeistZone";  // and so Prol's only while it is not
        world().islandLoaded = island;
        for (const sim::ZoneBox& box : zone.boxes) {
            SCOPED_TRACE(zone.code + " box at " + std::to_string(box.minX) + "," + std::to_string(box.minY));
            std::optional<sim::Vec3> inside;
            constexpr int kSteps = 5;
            for (int i = 0; i < kSteps * kSteps && !inside; ++i) {
                const sim::Vec3 point = {box.minX + (box.maxX - box.minX) * (i % kSteps + 0.5f) / kSteps,
                                         box.minY + (box.maxY - box.minY) * (i / kSteps + 0.5f) / kSteps,
                                         (box.minZ + box.maxZ) / 2};
                const sim::Zone* found = map.ZoneAt(point.x, point.y, point.z, island);
                if (found != nullptr && rowOf[found->code] == rowOf[zone.code]) inside = point;
            }
            ASSERT_TRUE(inside) << "no point of the box answers its zone";
            player().pos = *inside;
            EXPECT_EQ(PanelTextOfNextFrame(kAreaLine), rowOf[zone.code]);
        }
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
