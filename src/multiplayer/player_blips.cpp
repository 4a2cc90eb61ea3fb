// UpdatePlayerBlips, ClearPlayerBlips and the vehicle sprite table; the blip handle table and the
// sweep's one-shot flag.
#include "multiplayer/player_blips.h"

#include <iterator>

#include "config/settings.h"
#include "frame/frame_state.h"
#include "host/natives.h"
#include "multiplayer/obituary.h"

constexpr int32_t kNoBlip = -1;

// One blip handle per player slot, kNoBlip when the slot has none; lives as long as the library.
static int32_t BlipHandleTable[kPlayerSlots] = {
    kNoBlip, kNoBlip, kNoBlip, kNoBlip, kNoBlip, kNoBlip, kNoBlip, kNoBlip, kNoBlip, kNoBlip, kNoBlip,
    kNoBlip, kNoBlip, kNoBlip, kNoBlip, kNoBlip, kNoBlip, kNoBlip, kNoBlip, kNoBlip, kNoBlip, kNoBlip,
    kNoBlip, kNoBlip, kNoBlip, kNoBlip, kNoBlip, kNoBlip, kNoBlip, kNoBlip, kNoBlip, kNoBlip,
};

// 1 once the sweep has run; set only by ClearPlayerBlips, never cleared.
static uint8_t blipsCleared;

constexpr int32_t kBlipPriority = 13;
constexpr int32_t kBlipDisplay = 4;
constexpr int32_t kBlipCategory = 7;
constexpr int32_t kBlipColour = 0;
constexpr int32_t kOpaque = 255;
constexpr int32_t kInvisible = 0;
constexpr float kNewBlipOffsetPerSlot = 10.0f;  // a new blip starts this far along y per slot index

constexpr int32_t kDeadSprite = 274;
constexpr int32_t kOnFootSprite = 1;
constexpr int32_t kOtherVehicleSprite = 225;

// Sprite by what the player rides, first match wins: class tests on the ped, then model tests on
// the vehicle (the model hash is computed on every test).
struct VehicleSprite {
    bool (*pedIsIn)(int32_t ped);
    const char* model;
    int32_t sprite;
};

static const VehicleSprite kVehicleSprites[] = {
    // clang-format off
    {IsPedInAnyBoat,       nullptr,     410},
    {IsPedInAnySubmarine,  nullptr,     308},
    {IsPedInAnyHelicopter, nullptr,     64},
    {IsPedInAnyPlane,      nullptr,     423},
    {IsPedOnAnyBike,       nullptr,     348},
    {nullptr,              "TECHNICAL", 426},
    {nullptr,              "INSURGENT", 426},
    {nullptr,              "RHINO",     421},
    // clang-format on
};
static_assert(std::size(kVehicleSprites) == 8, "eight vehicle sprite tests before the default");

static int32_t ChooseVehicleSprite(int32_t ped, int32_t vehicle) {
    for (const VehicleSprite& row : kVehicleSprites) {
        const bool match = row.pedIsIn != nullptr ? row.pedIsIn(ped) : IsVehicleModel(vehicle, GetHashKey(row.model));
        if (match) return row.sprite;
    }
    return kOtherVehicleSprite;
}

// Removes the slot's blip without asking the host whether it still exists.
static void RemoveSlotBlip(int32_t& entry) {
    if (entry <= kNoBlip) return;
    RemoveBlip(&entry);
    entry = kNoBlip;
}

// Removes the blip if the host still knows it; either way the slot is empty afterwards (a handle
// the host dropped would otherwise keep the player without a blip for the rest of the session).
static void RemoveKnownBlip(int32_t& entry) {
    if (DoesBlipExist(entry)) RemoveBlip(&entry);
    entry = kNoBlip;
}

static bool OnOtherTeam(int32_t player) {
    const int32_t localTeam = GetPlayerTeam(CurrentFrame().localPlayerIndex);
    return localTeam != GetPlayerTeam(player);
}

static void CreateBlip(int32_t& entry, int32_t slot, const NativeVector3& position) {
    entry = AddBlipForCoords(position.x, position.y + kNewBlipOffsetPerSlot * static_cast<float>(slot), position.z);
    SetBlipPriority(entry, kBlipPriority);
    SetBlipDisplay(entry, kBlipDisplay);
    SetBlipCategory(entry, kBlipCategory);
}

static void UpdateBlipSprite(int32_t entry, int32_t slot, int32_t ped) {
    if (IsPedDeadOrDying(ped, true)) {
        SetBlipSprite(entry, kDeadSprite);  // the rotation keeps its last value
        PostObituaryNotice(slot);
        return;
    }
    RearmObituaryNotice(slot);  // alive again: the next death is reported
    if (!IsPedInAnyVehicle(ped, true)) {
        SetBlipSprite(entry, kOnFootSprite);
        return;
    }
    const int32_t vehicle = GetVehiclePedIsIn(ped, true);
    SetBlipSprite(entry, ChooseVehicleSprite(ped, vehicle));
    SetBlipRotation(entry, CeilFloat(GetEntityHeading(vehicle)));
}

static void UpdateBlip(int32_t entry, int32_t slot, int32_t ped, const NativeVector3& position) {
    SetBlipCoords(entry, position.x, position.y, position.z);
    UpdateBlipSprite(entry, slot, ped);
    SetBlipNameToPlayerName(entry, slot);
    SetBlipAlpha(entry, kOpaque);
    if (OnOtherTeam(slot)) SetBlipAlpha(entry, kInvisible);
}

static void UpdateSlot(int32_t slot) {
    int32_t& entry = BlipHandleTable[slot];
    if (NetworkPlayerActiveByte(slot) == 0) {
        RemoveSlotBlip(entry);
        return;
    }
    const int32_t ped = GetPlayerPed(slot);
    // The local player's index is asked afresh here, not taken from the frame's snapshot.
    if (!DoesEntityExist(ped) || slot == GetLocalPlayerIndex()) {
        RemoveSlotBlip(entry);
        return;
    }
    if (CurrentSettings().DisplayTeamBlipsOnly == 1 && OnOtherTeam(slot)) {
        RemoveKnownBlip(entry);
        return;
    }
    const NativeVector3 position = GetEntityCoords(ped);
    // A new blip gets its sprite, name and alpha from the next pass, which also moves it on.
    if (entry == kNoBlip) CreateBlip(entry, slot, position);
    else UpdateBlip(entry, slot, ped, position);
    SetBlipColour(entry, kBlipColour);
}

void UpdatePlayerBlips() {
    if (CurrentFrame().inSession != 1 || CurrentSettings().DisplayPlayerBlips != 1) return;
    for (int32_t slot = 0; slot < kPlayerSlots; ++slot) UpdateSlot(slot);
}

void ClearPlayerBlips() {
    if (CurrentSettings().DisplayPlayerBlips != 1 || blipsCleared != 0) return;
    for (int32_t& entry : BlipHandleTable) {
        if (entry > kNoBlip) RemoveKnownBlip(entry);
    }
    blipsCleared = 1;
}

bool BlipsCleared() { return blipsCleared != 0; }
