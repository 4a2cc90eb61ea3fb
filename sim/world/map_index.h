// What the game's San Andreas (san_andreas.h) has at a point: the zone, the street and crossing,
// whether the point is on a road, the closest major vehicle node. Built once over a uniform grid
// of 100 m cells, so a lookup visits a bounded number of cells wherever it is asked.
//
// The game's own rules are not public; these are the plainest that fit its data, and this is the
// one place they are written down (distances are in metres, in three dimensions unless said):
// - Zone: among the boxes of enabled zones holding the point (a box's z range runs from the lower
//   of its two z values to the higher: 25 boxes of the dump give them the other way round), the
//   smallest by volume wins, ties to the first in the dump's order. So the more particular box wins
//   where two overlap: a district inside a wider zone (Legion Square inside Pillbox Hill, Galileo
//   Park inside Vinewood Hills), a box kept low (the lake's LAGO boxes below 90 m where Fort
//   Zancudo's box on the same ground rises to 1,250 m). IsHeistZone and Prol share their ground box
//   (the island lies where North Yankton does): IsHeistZone is enabled only while the island is
//   loaded, Prol only while it is not. No box holding the point (far out at sea): no zone.
// - Street: the street of the nearest node that has one, within 1,500 m; ties to the lower node
//   number. None within that reach: no street and no crossing.
// - Crossing: at the nearest junction node within 30 m whose own street and its linked nodes'
//   streets include the point's street and another one, the first other of those (its own, then
//   its links in the dump's order). This stands for the game's naming the street that meets the
//   player's at a junction.
// - On road: the point lies within half a road's width of a link's centre line on the ground, and
//   within 4 m above or below the line there. A road is as wide as its lanes both ways together (at
//   least one) at 5 m a lane. Links with an end on water are no road.
// - Closest major vehicle node: the nearest node that is not a back road (water nodes are all back
//   roads), within 1,000 m, else none. The street's reach exceeds this by more than the 346 m from
//   any such node to its nearest named one, so wherever a node is found a street is too.
#pragma once

#include <cstdint>
#include <vector>

#include "sim/world/san_andreas.h"

namespace sim {

struct MapStreets {
    int32_t street = kNoStreet;    // index into SanAndreas::streets
    int32_t crossing = kNoStreet;  // kNoStreet: no crossing
};

class MapIndex {
public:
    explicit MapIndex(const SanAndreas& world);

    // The zone at the point, or null where no box holds it.
    const Zone* ZoneAt(float x, float y, float z, bool islandLoaded) const;
    MapStreets StreetsAt(float x, float y, float z) const;
    bool OnRoad(float x, float y, float z) const;
    // The closest major vehicle node, or null when none is within reach.
    const RoadNode* ClosestMajorNode(float x, float y, float z) const;
    // The height of the node nearest on the ground plane, any kind, within the street's reach; 0
    // where none is: where a player stands when only x and y are given.
    float GroundHeight(float x, float y) const;
    // The road links (indices into SanAndreas::links) whose road reaches into the square of that
    // half side around the point, each once and in order: what a map centred there shows.
    std::vector<uint32_t> RoadLinksNear(float x, float y, float halfSide) const;

    const SanAndreas& world() const { return world_; }

    // Lists of items in one array: the items of list c are items[start[c]] .. items[start[c + 1]].
    struct Lists {
        std::vector<uint32_t> start, items;
    };
    // A zone box with its z range in order, its volume and its zone.
    struct Box {
        ZoneBox box;
        double volume = 0;
        uint32_t zone = 0;
    };

private:
    struct Cell {
        int32_t x = 0, y = 0;
    };
    // The cell holding the point, clamped to the grid; false for a point off the grid or not finite.
    bool CellOf(float x, float y, Cell& cell) const;
    size_t CellIndex(int32_t cx, int32_t cy) const { return size_t(cy) * size_t(columns_) + size_t(cx); }
    // The nearest item of the lists within reach by the item's distance, ties to the lower item;
    // -1 when none is.
    template <typename Distance>
    int64_t Nearest(const Lists& lists, float x, float y, float reach, Distance distance) const;

    const SanAndreas& world_;
    float minX_ = 0, minY_ = 0;
    int32_t columns_ = 0, rows_ = 0;
    std::vector<Box> boxes_;         // by volume, then the dump's order
    Lists zoneBoxes_;                // indices into boxes_, in boxes_' order
    Lists namedNodes_, majorNodes_;  // node numbers
    Lists anyNodes_;
    Lists junctions_;                             // indices into junctionNodes_
    std::vector<uint32_t> junctionNodes_;         // junctions joining two named streets or more
    Lists junctionStreets_;                       // per junction, its streets
    Lists roadLinks_;                             // indices into SanAndreas::links
    std::vector<float> halfWidths_;               // per link; 0 for no road
    int32_t islandZone_ = -1, yanktonZone_ = -1;  // IsHeistZone's and Prol's indices in the zones
};

// The built-in San Andreas, indexed on first use and kept for the life of the process.
const MapIndex& TheMapIndex();

}  // namespace sim
