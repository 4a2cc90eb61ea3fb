// The simulated host's world: everything the plug-in can ask the host about, as plain structs.
// Scenarios set these fields; native handlers read them and record what the plug-in changes.
#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "frame/player_slots.h"
#include "sim/game/screen_model.h"

namespace sim {

using ::kPlayerSlots;  // the plug-in's count of online player slots

struct Vec3 {
    float x = 0, y = 0, z = 0;
};

// A host text result: a value, or a null pointer when absent.
using HostText = std::optional<std::string>;

enum class VehicleKind { Car, Boat, Submarine, Helicopter, Plane, Bike };

struct Vehicle {
    VehicleKind kind = VehicleKind::Car;
    std::string model;  // model name; "vehicle is model" compares its host hash
    float heading = 0;
};

struct Ped {
    Vec3 pos;
    float heading = 0;
    bool dead = false;    // entity dead, player dead
    bool dying = false;   // dead or dying is dead || dying
    int32_t vehicle = 0;  // vehicle handle, 0 on foot
    int32_t player = -1;  // player index when a player's ped, else -1
};

struct NetworkPlayer {
    uint8_t activeByte = 0;  // network player active result byte
    int32_t ped = 0;
    int32_t team = -1;
    HostText networkName = std::string();
    HostText name = std::string();
    int32_t killer = 0;  // entity handle returned by the killer-of-player native
};

struct Blip {
    Vec3 pos;
    int32_t sprite = 0, rotation = 0, alpha = 255, colour = 0;
    int32_t priority = 0, display = 0, category = 0;
    int32_t namePlayer = -1;   // player whose name the blip carries
    int addressedInFrame = 0;  // the frame of the last blip native but "blip exists" given it (long-run checks)
};

// The text state the host keeps for the next text; reset after each draw.
struct TextState {
    float scale = 0;
    float scaleFirst = 0;  // first argument of set text scale
    bool centred = false;
    bool proportional = false;
    bool outline = false;
    int32_t font = 0;
    int32_t r = 255, g = 255, b = 255, a = 255;
    std::array<int32_t, 5> dropShadow{};
    bool dropShadowSet = false;
};

struct DrawnText {
    std::string text;  // the text components joined
    TextState state;
    float x = 0, y = 0;  // normalised screen position, as passed to the draw
    GfxAlign align;      // the script gfx alignment it was drawn under
};

struct DrawnRect {
    float x = 0, y = 0, w = 0, h = 0;  // normalised centre and size, as passed to the draw
    int32_t r = 0, g = 0, b = 0, a = 0;
    GfxAlign align;  // the script gfx alignment it was drawn under
};

// The game's input groups (pads) 0 (the player's) to 2 (the frontend) and controls 0 to 360.
constexpr int32_t kLastPad = 2;
constexpr int32_t kLastControl = 360;

// A control as the game's input reports it this frame (keyboard and pad alike).
struct ControlState {
    bool pressed = false;
    bool justPressed = false;
};

// A control the plug-in disabled for a frame: input group (pad) and control number.
struct DisabledControl {
    int32_t pad = 0;
    int32_t control = 0;
    bool operator==(const DisabledControl& other) const { return pad == other.pad && control == other.control; }
};

struct FeedPost {
    std::string text;
    int32_t font = 0;
    bool blink = false;
    bool showInBrief = false;
};

struct World {
    // Screen and frame loop. The resolution query reports screenWidth by screenHeight, 1280 by 720
    // as in the game; the aspect-ratio, safe-zone and actual-resolution natives answer from the
    // real screen, which the painters draw.
    int32_t screenWidth = 1280, screenHeight = 720;
    RealScreen realScreen;
    int32_t localPlayerIndex = 0;
    int32_t localPed = 1;
    uint8_t sessionByte = 0;
    bool pauseMenu = false;
    // The game's own HUD hiding: the HUD switched off, a cutscene, a character switch.
    bool hudHidden = false, cutscenePlaying = false, playerSwitch = false;

    // Location.
    bool radarHidden = false;
    std::map<uint32_t, HostText> streetNames;   // street name from hash key
    uint32_t streetHash = 0, crossingHash = 0;  // at the player's position
    HostText zoneCode = std::string();
    bool onRoad = true;
    uint8_t nodeResult = 1;  // closest major vehicle node result byte
    Vec3 nodePos;
    bool areaNameShown = true;  // last value given to display area name
    // With sanAndreas on, the game's own San Andreas (sim/world/map_index.h) answers the streets,
    // zone, road test and major node at the asked point, but for each one a scenario names: that
    // keeps the scenario's answer (a street or a crossing named, both streets are the scenario's).
    // The island (the IsHeistZone zone) is loaded or not.
    bool sanAndreas = false;
    bool islandLoaded = false;
    struct Named {
        bool streets = false, zone = false, onRoad = false, node = false;
    } named;

    // Controls.
    std::map<int, bool> keysDown;  // virtual-key code -> down
    bool radarControlPressed = false;
    bool radarControlJustReleased = false;
    std::map<int32_t, ControlState> controls;  // by control number, the same on every pad
    bool windowInFront = true;                 // the game reads no control while its window is behind
    bool bigMap = false, fullMap = false;
    bool radarShown = true;
    bool nameTagsOnBlips = false;

    // Entities and players.
    std::map<int32_t, Ped> peds;
    std::map<int32_t, Vehicle> vehicles;
    std::array<NetworkPlayer, kPlayerSlots> players{};

    // Host objects the plug-in creates.
    std::map<int32_t, Blip> blips;
    int32_t nextBlipHandle = 1000;
    std::vector<std::string> blipErrors;  // blip natives but "blip exists" given a handle the host does not know
    std::map<int32_t, int> blipRemovals;  // remove blip calls per handle, known or not (long-run checks)
    std::vector<FeedPost> feed;
    bool helpTextHidden = false;  // hide help text this frame, this frame

    // The game's folder and its KOV.ini. Read-only: the profile writer fails with access denied (5).
    // Locked: another program holds KOV.ini open without sharing, so the lookup finds no file and
    // the writer fails with a sharing violation (32).
    bool readOnlyFolder = false;
    bool iniLocked = false;
};

// The ped with this handle, or null when the world has none.
inline const Ped* FindPed(const World& world, int32_t handle) {
    const auto found = world.peds.find(handle);
    return found == world.peds.end() ? nullptr : &found->second;
}

}  // namespace sim
