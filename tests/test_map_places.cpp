// The panel where the game's San Andreas answers (sim/world/map_index.h): places a player knows, and
// what a scenario names keeping its answer there.
#include <string>
#include <vector>

#include "location_support.h"
#include "sim/scenario/scenario.h"

namespace simtest {
namespace {

class MapPlacesTest : public LocationTest {
protected:
    // The street and area lines of the next frame.
    std::vector<std::string> PanelLines() {
        const sim::Frame& frame = DrawFrame();
        if (frame.texts.size() != kPanelTexts) return {"the frame drew no panel"};
        return {frame.texts[kStreetLine].text, frame.texts[kAreaLine].text};
    }
};

struct Place {
    const char* name;
    sim::Vec3 pos;
    bool islandLoaded;
    std::vector<std::string> lines;
};

TEST_F(MapPlacesTest, PlacesAPlayerKnows) {
    const std::vector<Place> places = {
        {"Legion Square, on Strawberry Ave",
         {229.5f, -994.5f, 29},
         false,
         {"~y~Strawberry Ave~w~", "Legion Square,  Metro Los Santos"}},
        {"the middle of Legion Square, off the road",
         {195, -935, 30},
         false,
         {"Near  ~y~Elgin Ave~w~", "Legion Square,  Metro Los Santos"}},
        {"the Vinewood sign", {711, 1198, 345}, false, {"Near  ~y~Mt Haan Dr~w~", "Galileo Park,  Los Santos County"}},
        {"Sandy Shores, off its crossing",
         {1850, 3700, 34},
         false,
         {"Near  Zancudo Ave   /   ~y~Armadillo Ave~w~", "Sandy Shores,  Blaine County"}},
        {"the airport's road",
         {-1030, -2730, 14},
         false,
         {"~y~New Empire Way~w~", "Los Santos Int'l,  Metro Los Santos"}},
        // The island's and North Yankton's roads are all back roads: no major node is near.
        {"Cayo Perico, the island loaded",
         {4900, -5200, 10},
         true,
         {"Road name unavailable", "Cayo Perico,  Colombia"}},
        {"the same ground, the island not loaded",
         {4900, -5200, 10},
         false,
         {"Road name unavailable", "Ludendorff,  North Yankton"}},
        {"far out at sea", {-6000, 0, 0}, false, {"Road name unavailable", "Area N/A,  San Andreas"}},
    };
    ASSERT_TRUE(StartFrameLoop());
    sim::ApplyWorldPatch({{"sanAndreas", true}}, world());
    for (const Place& place : places) {
        SCOPED_TRACE(place.name);
        world().islandLoaded = place.islandLoaded;
        player().pos = place.pos;
        EXPECT_EQ(PanelLines(), place.lines);
    }
}

// A scenario's street (with its crossing), zone, road test and node keep their answers on the map,
// each apart from the others.
TEST_F(MapPlacesTest, WhatTheScenarioNamesKeepsItsAnswer) {
    ASSERT_TRUE(StartFrameLoop());
    sim::ApplyWorldPatch({{"sanAndreas", true}}, world());
    player().pos = {1850, 3700, 34};
    sim::ApplyWorldPatch({{"street", "Alta St"}}, world());
    EXPECT_EQ(PanelLines(), (std::vector<std::string>{"Near  ~y~Alta St  [SR-19]~w~", "Sandy Shores,  Blaine County"}));
    sim::ApplyWorldPatch({{"zone", "Downt"}, {"onRoad", true}}, world());
    EXPECT_EQ(PanelLines(), (std::vector<std::string>{"~y~Alta St  [SR-19]~w~", "Downtown,  Metro Los Santos"}));
    sim::ApplyWorldPatch({{"onRoad", false}, {"node", {{"result", 0}}}}, world());
    EXPECT_EQ(PanelLines(), (std::vector<std::string>{"Road name unavailable", "Downtown,  Metro Los Santos"}));
}

}  // namespace
}  // namespace simtest
