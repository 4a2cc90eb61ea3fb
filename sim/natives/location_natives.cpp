// Location: where an entity is and which way it faces, the streets and zone at a position, the
// road network around it, the radar's visibility and the host's own area-name display.
#include <cmath>
#include <cstring>

#include "sim/game/host.h"
#include "sim/natives/native_table.h"

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

// The street and crossing at the player's position; the world has one of each, wherever asked.
void StreetHashesAt(Host& host, NativeCall& call) {
    *call.Pointer<uint32_t>(3) = host.world.streetHash;
    *call.Pointer<uint32_t>(4) = host.world.crossingHash;
}

// A hash the world does not name reads as an empty name; a name set to null is a null pointer.
void StreetNameFromHash(Host& host, NativeCall& call) {
    const auto found = host.world.streetNames.find(call.Uint(0));
    call.ReturnText(host.KeepText(found == host.world.streetNames.end() ? HostText(std::string()) : found->second));
}

void ZoneCodeAt(Host& host, NativeCall& call) { call.ReturnText(host.KeepText(host.world.zoneCode)); }

void PointOnRoad(Host& host, NativeCall& call) { call.ReturnBool(host.world.onRoad); }

// The node position goes into the host's vector layout: each float in the low half of an 8-byte
// slot, the high halves zero.
void ClosestMajorVehicleNode(Host& host, NativeCall& call) {
    const uint64_t slots[3] = {NativeCall::FloatSlot(host.world.nodePos.x), NativeCall::FloatSlot(host.world.nodePos.y),
                               NativeCall::FloatSlot(host.world.nodePos.z)};
    std::memcpy(call.Pointer<void>(3), slots, sizeof slots);
    call.ReturnByte(host.world.nodeResult);
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
