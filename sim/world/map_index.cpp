// The grid over the game's San Andreas and the look-ups on it; the rules are in map_index.h.
#include "sim/world/map_index.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <string_view>
#include <utility>

namespace sim {

namespace {

constexpr double kCellSize = 100;
constexpr float kStreetReach = 1500;
constexpr float kCrossingReach = 30;
constexpr float kNodeReach = 1000;
constexpr double kLaneWidth = 5;
constexpr double kRoadClearance = 4;
constexpr std::string_view kIslandZone = "IsHeistZone";
constexpr std::string_view kYanktonZone = "Prol";
constexpr double kFar = std::numeric_limits<double>::infinity();

// Items added list by list in any order, kept in the order added within each list.
class ListsBuilder {
public:
    void Add(size_t list, size_t item) {
        pairs_.emplace_back(static_cast<uint32_t>(list), static_cast<uint32_t>(item));
    }

    MapIndex::Lists Build(size_t listCount) const {
        MapIndex::Lists lists;
        lists.start.assign(listCount + 1, 0);
        for (const auto& [list, item] : pairs_) ++lists.start[list + 1];
        for (size_t i = 0; i < listCount; ++i) lists.start[i + 1] += lists.start[i];
        lists.items.resize(pairs_.size());
        std::vector<uint32_t> next(lists.start.begin(), lists.start.end() - 1);
        for (const auto& [list, item] : pairs_) lists.items[next[list]++] = item;
        return lists;
    }

private:
    std::vector<std::pair<uint32_t, uint32_t>> pairs_;
};

double Distance3(const RoadNode& node, float x, float y, float z) {
    const double dx = double(node.x) - x, dy = double(node.y) - y, dz = double(node.z) - z;
    return std::sqrt(dx * dx + dy * dy + dz * dz);
}

bool Holds(const ZoneBox& box, float x, float y, float z) {
    return x >= box.minX && x <= box.maxX && y >= box.minY && y <= box.maxY && z >= box.minZ && z <= box.maxZ;
}

// Whether the point is on the link's road: within half its width on the ground of the centre line,
// and within the clearance of the line's height there.
bool OnLink(const RoadNode& a, const RoadNode& b, double halfWidth, float x, float y, float z) {
    const double dx = double(b.x) - a.x, dy = double(b.y) - a.y;
    const double length2 = dx * dx + dy * dy;
    const double t =
        length2 > 0 ? std::clamp(((x - double(a.x)) * dx + (y - double(a.y)) * dy) / length2, 0.0, 1.0) : 0.0;
    const double gx = a.x + t * dx - x, gy = a.y + t * dy - y;
    const double height = a.z + t * (double(b.z) - a.z);
    return gx * gx + gy * gy <= halfWidth * halfWidth && std::fabs(height - z) <= kRoadClearance;
}

}  // namespace

MapIndex::MapIndex(const SanAndreas& world) : world_(world) {
    if (world.zones.empty() || world.nodes.empty()) StopOnDefect("a San Andreas without zones or roads to index");
    // The grid covers every box and node.
    float minX = std::numeric_limits<float>::max(), minY = minX, maxX = -minX, maxY = -minX;
    auto cover = [&](float x0, float y0, float x1, float y1) {
        minX = std::min(minX, x0), minY = std::min(minY, y0), maxX = std::max(maxX, x1), maxY = std::max(maxY, y1);
    };
    for (const Zone& zone : world.zones) {
        for (const ZoneBox& box : zone.boxes) cover(box.minX, box.minY, box.maxX, box.maxY);
    }
    for (const RoadNode& node : world.nodes) cover(node.x, node.y, node.x, node.y);
    minX_ = minX, minY_ = minY;
    columns_ = static_cast<int32_t>((double(maxX) - minX) / kCellSize) + 1;
    rows_ = static_cast<int32_t>((double(maxY) - minY) / kCellSize) + 1;
    const size_t cells = size_t(columns_) * size_t(rows_);
    auto column = [&](double x) { return std::clamp(static_cast<int32_t>((x - minX_) / kCellSize), 0, columns_ - 1); };
    auto row = [&](double y) { return std::clamp(static_cast<int32_t>((y - minY_) / kCellSize), 0, rows_ - 1); };
    auto addArea = [&](ListsBuilder& builder, double x0, double y0, double x1, double y1, size_t item) {
        for (int32_t cy = row(y0); cy <= row(y1); ++cy) {
            for (int32_t cx = column(x0); cx <= column(x1); ++cx) builder.Add(CellIndex(cx, cy), item);
        }
    };

    // Zone boxes, smallest first (a stable sort keeps the dump's order among equals).
    for (size_t z = 0; z < world.zones.size(); ++z) {
        if (world.zones[z].code == kIslandZone) islandZone_ = static_cast<int32_t>(z);
        if (world.zones[z].code == kYanktonZone) yanktonZone_ = static_cast<int32_t>(z);
        for (ZoneBox box : world.zones[z].boxes) {
            if (box.minZ > box.maxZ) std::swap(box.minZ, box.maxZ);
            const double volume =
                (double(box.maxX) - box.minX) * (double(box.maxY) - box.minY) * (double(box.maxZ) - box.minZ);
            boxes_.push_back(Box{box, volume, static_cast<uint32_t>(z)});
        }
    }
    std::stable_sort(boxes_.begin(), boxes_.end(), [](const Box& a, const Box& b) { return a.volume < b.volume; });
    ListsBuilder zoneBoxes;
    for (size_t b = 0; b < boxes_.size(); ++b) {
        addArea(zoneBoxes, boxes_[b].box.minX, boxes_[b].box.minY, boxes_[b].box.maxX, boxes_[b].box.maxY, b);
    }
    zoneBoxes_ = zoneBoxes.Build(cells);

    // Nodes by kind.
    ListsBuilder named, major, any;
    for (size_t n = 0; n < world.nodes.size(); ++n) {
        const RoadNode& node = world.nodes[n];
        const size_t cell = CellIndex(column(node.x), row(node.y));
        any.Add(cell, n);
        if (node.street != kNoStreet) named.Add(cell, n);
        if (!(node.flags & kRoadBackRoad)) major.Add(cell, n);
    }
    namedNodes_ = named.Build(cells), majorNodes_ = major.Build(cells), anyNodes_ = any.Build(cells);

    // Each junction's streets: its own, then those of its links' other ends in the dump's order.
    std::vector<std::vector<int32_t>> streetsAt(world.nodes.size());
    auto meet = [&](uint32_t junction, uint32_t other) {
        if (!(world.nodes[junction].flags & kRoadJunction)) return;
        std::vector<int32_t>& streets = streetsAt[junction];
        if (streets.empty()) streets.push_back(world.nodes[junction].street);
        const int32_t street = world.nodes[other].street;
        if (std::find(streets.begin(), streets.end(), street) == streets.end()) streets.push_back(street);
    };
    for (const RoadLink& link : world.links) meet(link.a, link.b), meet(link.b, link.a);
    ListsBuilder junctions, junctionStreets;
    for (uint32_t n = 0; n < world.nodes.size(); ++n) {
        std::vector<int32_t>& streets = streetsAt[n];
        streets.erase(std::remove(streets.begin(), streets.end(), kNoStreet), streets.end());
        if (streets.size() < 2) continue;
        for (const int32_t street : streets) junctionStreets.Add(junctionNodes_.size(), static_cast<size_t>(street));
        junctions.Add(CellIndex(column(world.nodes[n].x), row(world.nodes[n].y)), junctionNodes_.size());
        junctionNodes_.push_back(n);
    }
    junctions_ = junctions.Build(cells), junctionStreets_ = junctionStreets.Build(junctionNodes_.size());

    // Road links, in every cell their road reaches.
    ListsBuilder links;
    halfWidths_.assign(world.links.size(), 0.0f);
    for (size_t l = 0; l < world.links.size(); ++l) {
        const RoadLink& link = world.links[l];
        const RoadNode &a = world.nodes[link.a], &b = world.nodes[link.b];
        if ((a.flags | b.flags) & kRoadWater) continue;
        const double half = std::max(link.lanesAToB + link.lanesBToA, 1) * kLaneWidth / 2;
        halfWidths_[l] = static_cast<float>(half);
        addArea(links, std::min(a.x, b.x) - half, std::min(a.y, b.y) - half, std::max(a.x, b.x) + half,
                std::max(a.y, b.y) + half, l);
    }
    roadLinks_ = links.Build(cells);
}

bool MapIndex::CellOf(float x, float y, Cell& cell) const {
    const double cx = std::floor((double(x) - minX_) / kCellSize), cy = std::floor((double(y) - minY_) / kCellSize);
    if (!(cx >= 0 && cx < columns_ && cy >= 0 && cy < rows_)) return false;
    cell = Cell{static_cast<int32_t>(cx), static_cast<int32_t>(cy)};
    return true;
}

// Ring by ring of cells around the point's, until no nearer item can lie further out. A point off
// the grid searches the part of the rings on it.
template <typename Distance>
int64_t MapIndex::Nearest(const Lists& lists, float x, float y, float reach, Distance distance) const {
    if (!std::isfinite(x) || !std::isfinite(y)) return -1;
    const int32_t rings = static_cast<int32_t>(std::ceil(reach / kCellSize)) + 1;
    const double span = double(columns_ + rows_ + rings);  // keeps far points' cells in range
    const auto px = static_cast<int32_t>(std::clamp(std::floor((double(x) - minX_) / kCellSize), -span, span));
    const auto py = static_cast<int32_t>(std::clamp(std::floor((double(y) - minY_) / kCellSize), -span, span));
    double best = reach;
    int64_t found = -1;
    auto visit = [&](int32_t cx, int32_t cy) {
        if (cx < 0 || cx >= columns_ || cy < 0 || cy >= rows_) return;
        const size_t cell = CellIndex(cx, cy);
        for (uint32_t i = lists.start[cell]; i < lists.start[cell + 1]; ++i) {
            const uint32_t item = lists.items[i];
            const double d = distance(item);
            if (d < best || (d == best && (found < 0 || item < found))) best = d, found = item;
        }
    };
    for (int32_t r = 0; r <= rings && (r - 1) * kCellSize <= best; ++r) {
        for (int32_t cy = std::max(py - r, 0); cy <= std::min(py + r, rows_ - 1); ++cy) {
            if (cy == py - r || cy == py + r) {
                for (int32_t cx = std::max(px - r, 0); cx <= std::min(px + r, columns_ - 1); ++cx) visit(cx, cy);
            } else {
                visit(px - r, cy), visit(px + r, cy);
            }
        }
    }
    return found;
}

const Zone* MapIndex::ZoneAt(float x, float y, float z, bool islandLoaded) const {
    Cell cell;
    if (!CellOf(x, y, cell) || !std::isfinite(z)) return nullptr;
    const size_t c = CellIndex(cell.x, cell.y);
    for (uint32_t i = zoneBoxes_.start[c]; i < zoneBoxes_.start[c + 1]; ++i) {
        const Box& box = boxes_[zoneBoxes_.items[i]];
        const int32_t zone = static_cast<int32_t>(box.zone);
        if (zone == (islandLoaded ? yanktonZone_ : islandZone_)) continue;
        if (Holds(box.box, x, y, z)) return &world_.zones[box.zone];
    }
    return nullptr;
}

MapStreets MapIndex::StreetsAt(float x, float y, float z) const {
    MapStreets answer;
    if (!std::isfinite(z)) return answer;
    const int64_t node =
        Nearest(namedNodes_, x, y, kStreetReach, [&](uint32_t n) { return Distance3(world_.nodes[n], x, y, z); });
    if (node < 0) return answer;
    answer.street = world_.nodes[static_cast<size_t>(node)].street;
    auto streetsOf = [&](uint32_t j) {
        return std::pair(junctionStreets_.items.begin() + junctionStreets_.start[j],
                         junctionStreets_.items.begin() + junctionStreets_.start[j + 1]);
    };
    const int64_t junction = Nearest(junctions_, x, y, kCrossingReach, [&](uint32_t j) {
        const auto [first, last] = streetsOf(j);
        const bool meetsStreet = std::find(first, last, static_cast<uint32_t>(answer.street)) != last;
        return meetsStreet ? Distance3(world_.nodes[junctionNodes_[j]], x, y, z) : kFar;
    });
    if (junction < 0) return answer;
    const auto [first, last] = streetsOf(static_cast<uint32_t>(junction));
    answer.crossing = static_cast<int32_t>(
        *std::find_if(first, last, [&](uint32_t street) { return static_cast<int32_t>(street) != answer.street; }));
    return answer;
}

bool MapIndex::OnRoad(float x, float y, float z) const {
    Cell cell;
    if (!CellOf(x, y, cell) || !std::isfinite(z)) return false;
    const size_t c = CellIndex(cell.x, cell.y);
    for (uint32_t i = roadLinks_.start[c]; i < roadLinks_.start[c + 1]; ++i) {
        const uint32_t l = roadLinks_.items[i];
        const RoadLink& link = world_.links[l];
        if (OnLink(world_.nodes[link.a], world_.nodes[link.b], halfWidths_[l], x, y, z)) return true;
    }
    return false;
}

const RoadNode* MapIndex::ClosestMajorNode(float x, float y, float z) const {
    if (!std::isfinite(z)) return nullptr;
    const int64_t node =
        Nearest(majorNodes_, x, y, kNodeReach, [&](uint32_t n) { return Distance3(world_.nodes[n], x, y, z); });
    return node < 0 ? nullptr : &world_.nodes[static_cast<size_t>(node)];
}

float MapIndex::GroundHeight(float x, float y) const {
    const int64_t node = Nearest(anyNodes_, x, y, kStreetReach, [&](uint32_t n) {
        const double dx = double(world_.nodes[n].x) - x, dy = double(world_.nodes[n].y) - y;
        return std::sqrt(dx * dx + dy * dy);
    });
    return node < 0 ? 0.0f : world_.nodes[static_cast<size_t>(node)].z;
}

std::vector<uint32_t> MapIndex::RoadLinksNear(float x, float y, float halfSide) const {
    std::vector<uint32_t> found;
    if (!std::isfinite(x) || !std::isfinite(y) || !(halfSide >= 0)) return found;
    auto cellRange = [&](double from, double to, double origin, int32_t count) {
        const double first = std::floor((from - origin) / kCellSize), last = std::floor((to - origin) / kCellSize);
        return std::pair<int32_t, int32_t>(static_cast<int32_t>(std::clamp(first, 0.0, double(count))),
                                           static_cast<int32_t>(std::clamp(last, -1.0, double(count) - 1)));
    };
    const auto [firstColumn, lastColumn] = cellRange(double(x) - halfSide, double(x) + halfSide, minX_, columns_);
    const auto [firstRow, lastRow] = cellRange(double(y) - halfSide, double(y) + halfSide, minY_, rows_);
    for (int32_t cy = firstRow; cy <= lastRow; ++cy) {
        for (int32_t cx = firstColumn; cx <= lastColumn; ++cx) {
            const size_t c = CellIndex(cx, cy);
            found.insert(found.end(), roadLinks_.items.begin() + roadLinks_.start[c],
                         roadLinks_.items.begin() + roadLinks_.start[c + 1]);
        }
    }
    std::sort(found.begin(), found.end());
    found.erase(std::unique(found.begin(), found.end()), found.end());
    return found;
}

const MapIndex& TheMapIndex() {
    static const MapIndex index(TheSanAndreas());
    return index;
}

}  // namespace sim
