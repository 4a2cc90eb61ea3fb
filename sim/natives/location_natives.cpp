// Location: where an entity is and which way it faces, the streets and zone at a position, the
// road network around it, the radar's visibility and the host's own area-name display.
#include <cmath>
#include <cstring>
#include <string>
#include <unordered_map>
#include <vector>

#include "sim/game/host.h"
#include "sim/game/host_hash.h"
#include "sim/natives/native_table.h"
#include "sim/world/map_index.h"

namespace sim {

namespace {

// A vehicle has no position of its own in this world: it is where the (first) ped in it is.
Vec3 PositionOf(const World& world, int32_t entity) {
    if (const Ped* ped = FindPed(world, entity)) return ped->pos;
    if (world.vehicles.count(entity) != 0) {
        for (const auto& [handle, ped] : world.peds) {
            if (ped.vehicle == entity) return ped.pos;
        }
    }
    return {};
}

float HeadingOf(const World& world, int32_t entity) {
    if (const Ped* ped = FindPed(world, entity)) return ped->heading;
    const auto vehicle = world.vehicles.find(entity);
    return vehicle == world.vehicles.end() ? 0.0f : vehicle->second.heading;
}

void RadarHidden(Host& host, NativeCall& call) { call.ReturnBool(host.world.radarHidden); }

void DisplayAreaName(Host& host, NativeCall& call) {
    host.world.areaNameShown = call.Bool(0);
    if (!host.world.areaNameShown) host.currentFrame().areaNameSuppressed = true;
}

void EntityCoords(Host& host, NativeCall& call) {
    const Vec3 pos = PositionOf(host.world, call.Int(0));
    call.ReturnVector(pos.x, pos.y, pos.z);
}

void EntityHeading(Host& host, NativeCall& call) { call.ReturnFloat(HeadingOf(host.world, call.Int(0))); }

// ---- the game's San Andreas ----
// With the world's sanAndreas switch on, the map answers at the asked point whatever the scenario
// does not name (sim/world/map_index.h).

bool MapAnswers(const World& world, bool named) { return world.sanAndreas && !named; }

// The host hash of each street of the map, and the street of each hash; the map's street names
// share a hash neither with each other nor with no crossing (0).
struct MapStreetHashes {
    std::vector<uint32_t> hashOf;
    std::unordered_map<uint32_t, int32_t> streetOf;
};

const MapStreetHashes& TheMapStreetHashes() {
    static const MapStreetHashes hashes = [] {
        MapStreetHashes built;
        const std::vector<std::string>& streets = TheMapIndex().world().streets;
        for (size_t s = 0; s < streets.size(); ++s) {
            const uint32_t hash = HostHash(streets[s]);
            const bool added = built.streetOf.emplace(hash, static_cast<int32_t>(s)).second;
            if (!added || hash == 0) {
                StopOnDefect("the street \"" + streets[s] + "\" of the built-in San Andreas shares its host hash");
            }
            built.hashOf.push_back(hash);
        }
        return built;
    }();
    return hashes;
}

uint32_t MapStreetHash(int32_t street) {
    return street == kNoStreet ? 0 : TheMapStreetHashes().hashOf[static_cast<size_t>(street)];
}

// The street and crossing at the point: the world's own, or the map's unless the world names them.
void StreetHashesAt(Host& host, NativeCall& call) {
    const World& world = host.world;
    uint32_t street = world.streetHash, crossing = world.crossingHash;
    if (MapAnswers(world, world.named.streets)) {
        const MapStreets map = TheMapIndex().StreetsAt(call.Float(0), call.Float(1), call.Float(2));
        street = MapStreetHash(map.street);
        crossing = MapStreetHash(map.crossing);
    }
    *call.Pointer<uint32_t>(3) = street;
    *call.Pointer<uint32_t>(4) = crossing;
}

// The names the world registers first, then, with the map on, the map's streets; a hash neither
// knows reads as an empty name; a name set to null is a null pointer.
void StreetNameFromHash(Host& host, NativeCall& call) {
    const uint32_t hash = call.Uint(0);
    const auto found = host.world.streetNames.find(hash);
    HostText name = std::string();
    if (found != host.world.streetNames.end()) {
        name = found->second;
    } else if (host.world.sanAndreas) {
        const auto street = TheMapStreetHashes().streetOf.find(hash);
        if (street != TheMapStreetHashes().streetOf.end()) {
            name = TheMapIndex().world().streets[static_cast<size_t>(street->second)];
        }
    }
    call.ReturnText(host.KeepText(name));
}

// The map's zone code, "" where no zone holds the point.
void ZoneCodeAt(Host& host, NativeCall& call) {
    const World& world = host.world;
    HostText code = world.zoneCode;
    if (MapAnswers(world, world.named.zone)) {
        const Zone* zone = TheMapIndex().ZoneAt(call.Float(0), call.Float(1), call.Float(2), world.islandLoaded);
        code = zone ? zone->code : std::string();
    }
    call.ReturnText(host.KeepText(code));
}

void PointOnRoad(Host& host, NativeCall& call) {
    const World& world = host.world;
    call.ReturnBool(MapAnswers(world, world.named.onRoad)
                        ? TheMapIndex().OnRoad(call.Float(0), call.Float(1), call.Float(2))
                        : world.onRoad);
}

// The node position goes into the host's vector layout: each float in the low half of an 8-byte
// slot, the high halves zero. Without a node the map writes the origin and answers 0.
void ClosestMajorVehicleNode(Host& host, NativeCall& call) {
    const World& world = host.world;
    Vec3 pos = world.nodePos;
    uint8_t result = world.nodeResult;
    if (MapAnswers(world, world.named.node)) {
        const RoadNode* node = TheMapIndex().ClosestMajorNode(call.Float(0), call.Float(1), call.Float(2));
        pos = node ? Vec3{node->x, node->y, node->z} : Vec3{};
        result = node ? 1 : 0;
    }
    const uint64_t slots[3] = {NativeCall::FloatSlot(pos.x), NativeCall::FloatSlot(pos.y),
                               NativeCall::FloatSlot(pos.z)};
    std::memcpy(call.Pointer<void>(3), slots, sizeof slots);
    call.ReturnByte(result);
}

// With the last argument true the distance is in three dimensions, otherwise on the ground plane.
void DistanceBetweenCoords(Host&, NativeCall& call) {
    const double dx = double(call.Float(3)) - call.Float(0);
    const double dy = double(call.Float(4)) - call.Float(1);
    const double dz = call.Bool(6) ? double(call.Float(5)) - call.Float(2) : 0.0;
    call.ReturnFloat(static_cast<float>(std::sqrt(dx * dx + dy * dy + dz * dz)));
}

}  // namespace

std::vector<NativeHandler> LocationHandlers() {
    return {
        // clang-format off
        {"radar hidden",                      RadarHidden},
        {"display area name",                 DisplayAreaName},
        {"entity coordinates",                EntityCoords},
        {"entity heading",                    EntityHeading},
        {"street name hashes at coordinates", StreetHashesAt},
        {"street name from hash key",         StreetNameFromHash},
        {"zone code at coordinates",          ZoneCodeAt},
        {"point on road",                     PointOnRoad},
        {"closest major vehicle node",        ClosestMajorVehicleNode},
        {"distance between coordinates",      DistanceBetweenCoords},
        // clang-format on
    };
}

}  // namespace sim
