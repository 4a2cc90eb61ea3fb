// Location: where an entity is and which way it faces, the streets and zone at a position, the
// road network around it, the radar's visibility and the host's own area-name display.
#include <cmath>
#include <cstring>

#include "sim/host/host.h"
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

std::vector<NativeDef> LocationNatives() {
    return {
        {0x157F93B036700462, "radar hidden",                      "",        'b', RadarHidden},
        {0x276B6CE369C33678, "display area name",                 "b",       '-', DisplayAreaName},
        {0x3FEF770D40960D5A, "entity coordinates",                "ib",      'v', EntityCoords},
        {0xE83D4F9BA2A38914, "entity heading",                    "i",       'f', EntityHeading},
        {0x2EB41072B4C1E4C0, "street name hashes at coordinates", "fffoo",   '-', StreetHashesAt},
        {0xD0EF8A959B8A4CB9, "street name from hash key",         "u",       's', StreetNameFromHash},
        {0xCD90657D4C30E1CA, "zone code at coordinates",          "fff",     's', ZoneCodeAt},
        {0x125BF4ABFC536B09, "point on road",                     "fffi",    'b', PointOnRoad},
        // The game declares the last parameter a float; the plug-in pushes integer 0, the same slot.
        {0x2EABE3B06F58C1BE, "closest major vehicle node",        "fffVfi",  'B', ClosestMajorVehicleNode, "fffVff"},
        {0xF1B760881820C952, "distance between coordinates",      "ffffffb", 'f', DistanceBetweenCoords},
    };
}

}  // namespace sim
