// Scenarios: JSON files that set the KOV.ini text, the clock and the world, then step frames.
//
//   {"description": "...", "ini": "[GENERAL]\nLocTextPosX=320\n" (absent or null: no KOV.ini),
//    "iniEncoding": "utf-8" (default) | "utf-8-bom" | "utf-16le" | "utf-16be" | "windows-1252" (how
//    KOV.ini is written: the encoding's byte order mark, then the text; sim/ini/ini_text.h),
//    "clockStartMs": 0, "frameStepMs": 16 (0..429: the clock is 32 bits of milliseconds, and the
//    longest step, 10 000 000 frames, stays within one turn of it), "world": {patch},
//    "steps": [{"label": "freeway", "world": {patch}, "frames": 10}, ...]}
// No object gives a key twice. Keys that are numbers (handles, slots, controls, hashes) are decimal
// without leading zeros ("7", "-12", "0"; never "007" or "-0"); a street hash may also be 0x and
// 1 to 8 hexadecimal digits, and is then not also given in decimal.
//
// A world patch sets only the fields it names:
//   "screen": [w, h] (what the resolution query reports; 1280x720 as in the game),
//   "display": {"resolution": [w, h], "safeZone": 0.9..1.0} (the real screen; 1920x1080, 1.0),
//   (sizes within sim/input_limits.h; headings in degrees, positions any float),
//   "localPlayerIndex", "localPed", "session" (0..255), "pauseMenu",
//   "radarHidden", "street": name|null, "crossing": name|""|null, "streetNames": {"<hash>": name|null},
//   "zone": code|null, "onRoad", "node": {"result": 0..255, "pos": [x, y, z]},
//   "sanAndreas" (false; true: the game's own San Andreas answers the streets, zone, road test and
//   node at the asked point, each unless the scenario names it: "street" or "crossing" names both
//   streets), "islandLoaded" (false; the island's zone IsHeistZone is enabled),
//   "keys": {"alt", "ctrl", or a letter a-z or digit 0-9: true|false}, "radarControl": {"pressed", "justReleased"},
//   "peds": {"<handle>": {"pos", "heading", "dead", "dying", "vehicle", "player"} | null},
//   "vehicles": {"<handle>": {"kind": car|boat|submarine|helicopter|plane|bike, "model", "heading"} | null},
//   "players": {"<slot>": {"active" (0..255 or bool), "ped", "team", "networkName", "name", "killer"}},
//   "removeBlips": [handle, ...] (the host forgets those blips, leaving the plug-in stale handles),
//   "hudHidden", "cutscenePlaying", "playerSwitch" (the game's own HUD hiding),
//   "controls": {"<control 0..360>": {"pressed", "justPressed"} | null} (the same on every pad; the
//   disabled-control reads answer from it), "windowInFront" (true; behind, no control reads as
//   anything), "readOnlyFolder" (the game's folder and KOV.ini cannot be written), "iniLocked"
//   (another program holds KOV.ini open without sharing: it can be neither read nor written).
// "street" and "crossing" register the name under its host hash and put the player on it; a null
// name is a street whose name the host returns as a null pointer; a crossing of "" means none.
// Without "peds" in the initial world, the local ped exists at the origin.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include <nlohmann/json.hpp>

#include "sim/game/world.h"
#include "sim/ini/ini_text.h"
#include "sim/result.h"

namespace sim {

// The street hash of a street named null: the host knows the hash but returns no name for it.
constexpr uint32_t kNullNameStreetHash = 0xFFFFFFFFu;

struct ScenarioStep {
    std::string label;
    nlohmann::json world;  // validated patch; null when the step changes nothing
    int frames = 1;
};

struct Scenario {
    std::string file;  // the name used in messages
    std::string description;
    std::optional<std::string> ini;               // the KOV.ini file's bytes (encoded); nullopt: no KOV.ini at all
    IniEncoding iniEncoding = IniEncoding::Utf8;  // how the "ini" text was written into those bytes
    uint32_t clockStartMs = 0;
    uint32_t frameStepMs = 16;
    nlohmann::json world;  // validated initial patch
    size_t stepCount = 0;
    // The validated document. Its steps are read from it one at a time (ForEachStep), so however
    // many there are, memory holds the text and one step.
    std::shared_ptr<const std::string> document;
};

// Parses and validates the whole scenario within the limits of sim/input_limits.h, in time
// proportional to its size whatever its shape (bench/scenario_read_bench.cpp). A failure is
// one line per problem: "file: json.path: what was wrong" (or "file:line: ..." when the JSON itself
// is bad or nested too deep).
Result<Scenario> ParseScenario(std::string text, const std::string& fileName);
// The file must be a regular file of at most kMaxInputFileBytes.
Result<Scenario> LoadScenarioFile(const std::string& path);
// Hands each step to visit in order, until visit returns false.
void ForEachStep(const Scenario& scenario, const std::function<bool(size_t index, const ScenarioStep& step)>& visit);

// The world a run starts from: the defaults, the local ped unless the patch names peds, the patch.
World InitialWorld(const Scenario& scenario);
// Applies a patch that ParseScenario validated.
void ApplyWorldPatch(const nlohmann::json& patch, World& world);

}  // namespace sim
