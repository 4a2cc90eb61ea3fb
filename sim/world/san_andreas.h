// The game's own San Andreas (sim/world/data, the game's data copied unchanged): its zones with
// their boxes, its street names, and its road network of nodes and links, parsed once. Every user
// of the game's world asks this room; nobody reads the files again.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "sim/result.h"

namespace sim {

// An axis-aligned box in world units (metres), as the dump gives it: 25 of the game's boxes have a
// minimum z above their maximum.
struct ZoneBox {
    float minX = 0, minY = 0, minZ = 0, maxX = 0, maxY = 0, maxZ = 0;
};

// One zone code with its boxes in the dump's order. Codes that differ only in letter case
// ("OCEANA", "Oceana") are zones of their own in the game's data.
struct Zone {
    std::string code;   // what the zone-name native returns
    std::string label;  // the game's English display name; empty where it has none
    std::vector<ZoneBox> boxes;
};

// The node flags of the dump, one bit each.
enum RoadFlag : uint8_t {
    kRoadJunction = 1 << 0,  // J
    kRoadFreeway = 1 << 1,   // F
    kRoadSatnav = 1 << 2,    // G: valid for the satnav
    kRoadBackRoad = 1 << 3,  // B
    kRoadGravel = 1 << 4,    // R
    kRoadWater = 1 << 5,     // W
};

constexpr int32_t kNoStreet = -1;

struct RoadNode {
    float x = 0, y = 0, z = 0;
    int32_t street = kNoStreet;  // index into SanAndreas::streets, or kNoStreet
    uint8_t flags = 0;           // RoadFlag bits
};

// Two joined nodes, a < b, with the lanes each way (0 one way on a one-way road).
struct RoadLink {
    uint32_t a = 0, b = 0;
    uint8_t lanesAToB = 0, lanesBToA = 0;
};

struct SanAndreas {
    std::vector<Zone> zones;           // in the dump's order
    std::vector<std::string> streets;  // each English street name once, in order of first use
    std::vector<RoadNode> nodes;       // node n is row n of roads.tsv
    std::vector<RoadLink> links;
};

// The three files' texts, as copied into the project.
struct SanAndreasTexts {
    std::string_view zones, roads, links;
};

// Parses the three texts; a failure names the file and line and what was wrong there.
Result<SanAndreas> ParseSanAndreas(const SanAndreasTexts& texts);

// The data built into this program (sim/world/data, embedded at build time).
SanAndreasTexts BuiltInSanAndreasTexts();

// The built-in San Andreas, parsed on first use and kept for the life of the process. The data is
// part of the program, so a failure to parse it is a defect of the build.
const SanAndreas& TheSanAndreas();

}  // namespace sim
