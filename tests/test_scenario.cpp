// Scenarios: validation messages, world patches, runs, the shipped scenario files and kov-sim.
#include <sys/stat.h>
#include <sys/wait.h>
#include <cstdio>
#include <filesystem>
#include <string>

#include "sim/game/host_hash.h"
#include "sim/game/virtual_keys.h"
#include "sim/scenario/scenario.h"
#include "sim/scenario/scenario_run.h"
#include "sim_harness.h"

namespace {

namespace fs = std::filesystem;
using nlohmann::json;

TEST(HostHash, IsTheCaseInsensitiveOneAtATimeHash) {
    // Reference values from an independent implementation of the same hash.
    const struct {
        const char* text;
        uint32_t hash;
    } cases[] = {
        {"", 0},
        {"RHINO", 0x2EA68690},
        {"rhino", 0x2EA68690},
        {"INSURGENT", 0x9114EADA},
        {"TECHNICAL", 0x83051506},
        {"Del Perro Fwy", 0x09A6FA21},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(sim::HostHash(c.text), c.hash);
    }
}

// ---- validation ----

struct ErrorCase {
    const char* name;
    std::string scenario;
    std::vector<std::string> messages;  // the whole error, one line each
};

const ErrorCase kErrorCases[] = {
    {"wrong type deep in a step",
     R"({"steps": [{"frames": 1}, {"frames": 1}, {"frames": 1, "world": {"players": {"3": {"team": "red"}}}}]})",
     {"s.json: steps[2].world.players.3.team: expected an integer, got string"}},
    {"unknown top-level field",
     R"({"stepz": [], "steps": [{"frames": 1}]})",
     {"s.json: stepz: unknown field (known: description, ini, iniEncoding, clockStartMs, frameStepMs, world, steps)"}},
    {"unknown world field",
     R"({"world": {"pause": true}, "steps": [{"frames": 1}]})",
     {"s.json: world.pause: unknown field (known: screen, display, localPlayerIndex, localPed, session, pauseMenu, "
      "radarHidden, street, crossing, streetNames, zone, onRoad, node, sanAndreas, islandLoaded, keys, "
      "radarControl, peds, vehicles, players, removeBlips, hudHidden, cutscenePlaying, playerSwitch, controls, "
      "windowInFront, readOnlyFolder, iniLocked)"}},
    {"session out of range",
     R"({"world": {"session": 300}, "steps": [{"frames": 1}]})",
     {"s.json: world.session: 300 is out of range 0..255"}},
    {"negative session",
     R"({"world": {"session": -1}, "steps": [{"frames": 1}]})",
     {"s.json: world.session: -1 is out of range 0..255"}},
    {"fractional integer",
     R"({"world": {"localPed": 1.5}, "steps": [{"frames": 1}]})",
     {"s.json: world.localPed: expected an integer, got number"}},
    {"no frames",
     R"({"steps": [{"label": "x", "frames": 0}]})",
     {"s.json: steps[0].frames: 0 is out of range 1..10000000"}},
    {"frames missing", R"({"steps": [{"label": "x"}]})", {"s.json: steps[0].frames: missing"}},
    {"no steps", R"({"steps": []})", {"s.json: steps: at least one step is needed"}},
    {"steps absent", R"({"description": "x"})", {"s.json: steps: at least one step is needed"}},
    {"steps not a list",
     R"({"steps": {"frames": 1}})",
     {"s.json: steps: expected an array of steps, got object", "s.json: steps: at least one step is needed"}},
    {"ped handle not a number",
     R"({"world": {"peds": {"abc": {}}}, "steps": [{"frames": 1}]})",
     {"s.json: world.peds.abc: the key must be a number in -2147483648..2147483647"}},
    {"player slot 32",
     R"({"world": {"players": {"32": {"team": 1}}}, "steps": [{"frames": 1}]})",
     {"s.json: world.players.32: the key must be a player slot 0..31"}},
    {"unknown vehicle kind",
     R"({"world": {"vehicles": {"5": {"kind": "tank"}}}, "steps": [{"frames": 1}]})",
     {"s.json: world.vehicles.5.kind: expected one of car, boat, submarine, helicopter, plane, bike, got \"tank\""}},
    {"screen of one number",
     R"({"world": {"screen": [1280]}, "steps": [{"frames": 1}]})",
     {"s.json: world.screen: expected [width, height], got array"}},
    {"safe zone below 0.9",
     R"({"world": {"display": {"safeZone": 0.85}}, "steps": [{"frames": 1}]})",
     {"s.json: world.display.safeZone: 0.85 is out of range 0.9..1"}},
    {"display of no pixels",
     R"({"world": {"display": {"resolution": [0, 1080]}}, "steps": [{"frames": 1}]})",
     {"s.json: world.display.resolution[0]: 0 is out of range 320..16384"}},
    {"position element",
     R"({"world": {"peds": {"1": {"pos": [1, 2, "x"]}}}, "steps": [{"frames": 1}]})",
     {"s.json: world.peds.1.pos[2]: expected a number, got string"}},
    {"street hash key",
     R"({"world": {"streetNames": {"zz": "A"}}, "steps": [{"frames": 1}]})",
     {"s.json: world.streetNames.zz: the key must be a 32-bit hash: decimal without leading zeros, or 0x and 1 to 8 "
      "hexadecimal digits"}},
    {"active byte 256",
     R"({"world": {"players": {"1": {"active": 256}}}, "steps": [{"frames": 1}]})",
     {"s.json: world.players.1.active: 256 is out of range 0..255"}},
    {"name of a wrong type",
     R"({"world": {"players": {"1": {"name": 5}}}, "steps": [{"frames": 1}]})",
     {"s.json: world.players.1.name: expected a string or null, got number"}},
    {"key state not a bool",
     R"({"steps": [{"frames": 1, "world": {"keys": {"alt": 1}}}]})",
     {"s.json: steps[0].world.keys.alt: expected true or false, got number"}},
    {"ini of a wrong type",
     R"({"ini": 5, "steps": [{"frames": 1}]})",
     {"s.json: ini: expected a string or null, got number"}},
    {"unknown ini encoding",
     R"({"ini": "", "iniEncoding": "latin1", "steps": [{"frames": 1}]})",
     {"s.json: iniEncoding: expected one of utf-8, utf-8-bom, utf-16le, utf-16be, windows-1252, got \"latin1\""}},
    {"no code page byte",
     R"({"ini": "\u0101", "iniEncoding": "windows-1252", "steps": [{"frames": 1}]})",
     {"s.json: ini: the text has characters without a byte of their own in windows-1252"}},
    {"document not an object", "[1]", {"s.json: expected an object, got array"}},
    // The limits where a scenario enters (sim/input_limits.h).
    {"a heading past the float range",
     R"({"world": {"peds": {"1": {"heading": 1e39}}}, "steps": [{"frames": 1}]})",
     {"s.json: world.peds.1.heading: 1e+39 is out of range -1000000..1000000"}},
    {"a heading the ceiling native overflows",
     R"({"world": {"vehicles": {"5": {"heading": 3e9}}}, "steps": [{"frames": 1}]})",
     {"s.json: world.vehicles.5.heading: 3000000000.0 is out of range -1000000..1000000"}},
    {"a position past the float range",
     R"({"world": {"node": {"pos": [0, -4e38, 0]}}, "steps": [{"frames": 1}]})",
     {"s.json: world.node.pos[1]: -4e+38 is out of range -3.40282347e+38..3.40282347e+38"}},
    {"a number past a double",
     R"({"world": {"localPed": 1e400}, "steps": [{"frames": 1}]})",
     {"s.json: invalid JSON: number overflow parsing \"1e400\""}},
    {"a screen of no pixels",
     R"({"world": {"screen": [0, 720]}, "steps": [{"frames": 1}]})",
     {"s.json: world.screen[0]: 0 is out of range 1..16384"}},
    {"nested past the limit",
     "{\"world\": " + std::string(100000, '[') + std::string(100000, ']') + "}",
     {"s.json:1: nested deeper than 64 levels of brackets"}},
    {"a long value",
     R"({"world": {"vehicles": {"5": {"kind": ")" + std::string(1000000, 'x') + R"("}}}, "steps": [{"frames": 1}]})",
     {"s.json: world.vehicles.5.kind: expected one of car, boat, submarine, helicopter, plane, bike, got \"" +
      std::string(79, 'x') + "... (1000002 characters)"}},
    {"a long name on two lines",
     R"({"world": {")" + std::string(100, 'k') + R"(\n": 1}, "steps": [{"frames": 1}]})",
     {"s.json: world.\"" + std::string(80, 'k') +
      "\"... (101 characters): unknown field (known: screen, display, "
      "localPlayerIndex, localPed, session, pauseMenu, radarHidden, street, crossing, streetNames, zone, onRoad, node, "
      "sanAndreas, islandLoaded, keys, radarControl, peds, vehicles, players, removeBlips, hudHidden, cutscenePlaying, "
      "playerSwitch, controls, "
      "windowInFront, readOnlyFolder, iniLocked)"}},
    {"a long string never closed",
     "{\"description\": \"" + std::string(1000000, 'x'),
     {"s.json:1: invalid JSON: syntax error while parsing value - invalid string: missing closing quote; last read: "
      "\"\\\"" +
      std::string(79, 'x') + "\"... (1000001 characters)"}},
    {"steps twice", R"({"steps": [{"frames": 1}], "steps": [{"frames": 1}]})", {"s.json: steps: given more than once"}},
    // One way to write each member: a key given twice, at any depth, or one number written as two keys.
    {"a key twice deep in a step",
     R"({"steps": [{"frames": 1}, {"frames": 2, "world": {"peds": {"7": {"pos": [0, 0, 0], "pos": [1, 1, 1]}},
                                                      "players": {"1": {}, "1": {"team": 2}}}}],
        "world": {"display": {"safeZone": 1, "safeZone": 0.9}}, "description": "a", "description": "b"})",
     {"s.json: steps[1].world.peds.7.pos: given more than once",
      "s.json: steps[1].world.players.1: given more than once", "s.json: world.display.safeZone: given more than once",
      "s.json: description: given more than once"}},
    {"a hash in both bases",
     R"({"world": {"streetNames": {"0x10": "A", "16": "B", "0x0000010": "C"}}, "steps": [{"frames": 1}]})",
     {"s.json: world.streetNames.0x10: the same hash as world.streetNames.0x0000010",
      "s.json: world.streetNames.16: the same hash as world.streetNames.0x0000010"}},
    {"handles with leading zeros",
     R"({"world": {"peds": {"007": {}, "-0": {}, "0000000000007": {}}, "players": {"01": {}}}, "steps": [{"frames": 1}]})",
     {"s.json: world.peds.007: the key must be written without leading zeros or -0",
      "s.json: world.peds.-0: the key must be written without leading zeros or -0",
      "s.json: world.peds.0000000000007: the key must be written without leading zeros or -0",
      "s.json: world.players.01: the key must be written without leading zeros or -0"}},
    {"a handle past 64 bits",
     R"({"world": {"vehicles": {"123456789012345678901234": {}}}, "steps": [{"frames": 1}]})",
     {"s.json: world.vehicles.123456789012345678901234: the key must be a number in -2147483648..2147483647"}},
    // The clock is 32 bits of milliseconds: past 429 ms a frame, a step's 10,000,000 frames would lap it.
    {"a frame step that laps the clock",
     R"({"frameStepMs": 430, "steps": [{"frames": 1}]})",
     {"s.json: frameStepMs: 430 is out of range 0..429 (the longest step, 10000000 frames, must fit in one turn of the "
      "32-bit millisecond clock)"}},
    {"a frame step that runs the clock backwards",
     R"({"frameStepMs": 4294967295, "steps": [{"frames": 1}]})",
     {"s.json: frameStepMs: 4294967295 is out of range 0..429 (the longest step, 10000000 frames, must fit in one turn "
      "of the 32-bit millisecond clock)"}},
    {"every problem is reported",
     R"({"world": {"session": "x", "radarHidden": 1}, "steps": [{"frames": -2, "world": {"zone": 3}}]})",
     {"s.json: world.radarHidden: expected true or false, got number",
      "s.json: world.session: expected an integer, got string",
      "s.json: steps[0].frames: -2 is out of range 1..10000000",
      "s.json: steps[0].world.zone: expected a string or null, got number"}},
};

std::vector<std::string> ErrorLines(const std::string& error) { return sim::SplitLines(error); }

TEST(ScenarioValidation, NamesTheFileThePathAndTheProblem) {
    for (const ErrorCase& c : kErrorCases) {
        SCOPED_TRACE(c.name);
        const sim::Result<sim::Scenario> parsed = sim::ParseScenario(c.scenario, "s.json");
        EXPECT_FALSE(parsed);
        std::vector<std::string> lines = ErrorLines(parsed.error());
        std::vector<std::string> expected = c.messages;
        std::sort(lines.begin(), lines.end());
        std::sort(expected.begin(), expected.end());
        EXPECT_EQ(lines, expected);
    }
}

// A message stays short whatever the document: the first problems listed, the rest counted.
TEST(ScenarioValidation, ListsAHundredProblemsAndCountsTheRest) {
    std::string steps;
    for (int i = 0; i < 250; ++i) steps += std::string(i == 0 ? "" : ", ") + R"({"frames": 0})";
    const std::vector<std::string> lines =
        ErrorLines(sim::ParseScenario(R"({"steps": [)" + steps + "]}", "s.json").error());
    ASSERT_EQ(lines.size(), 101u);
    EXPECT_EQ(lines[99], "s.json: steps[99].frames: 0 is out of range 1..10000000");
    EXPECT_EQ(lines[100], "s.json: ... and 150 more problems");
}

TEST(ScenarioValidation, KeepsAFrameStepAtTheLimit) {
    const auto scenario = sim::ParseScenario(R"({"frameStepMs": 429, "steps": [{"frames": 1}]})", "s.json");
    ASSERT_TRUE(scenario) << scenario.error();
    EXPECT_EQ(scenario->frameStepMs, 429u);
}

TEST(ScenarioValidation, BadJsonNamesTheLine) {
    const sim::Result<sim::Scenario> bad =
        sim::ParseScenario("{\n  \"steps\": [\n    {\"frames\": 1,}\n  ]\n}", "s.json");
    EXPECT_EQ(bad.error().rfind("s.json:3: invalid JSON: ", 0), 0u) << bad.error();
    EXPECT_EQ(sim::LoadScenarioFile("/nonexistent/s.json").error(), "/nonexistent/s.json: no such file");
    EXPECT_EQ(sim::LoadScenarioFile("/").error(), "/: a folder, not a file");
}

// ---- world patches ----

struct PatchCase {
    const char* name;
    const char* patch;
    void (*check)(const sim::World& world);
};

const PatchCase kPatchCases[] = {
    {"screen and frame loop", R"({"screen": [1920, 1080], "display": {"resolution": [3440, 1440], "safeZone": 0.9},
                                   "localPlayerIndex": 4, "localPed": 9, "session": 2, "pauseMenu": true})",
     [](const sim::World& w) {
         EXPECT_EQ(w.screenWidth, 1920);
         EXPECT_EQ(w.screenHeight, 1080);
         EXPECT_EQ(w.realScreen.width, 3440);
         EXPECT_EQ(w.realScreen.height, 1440);
         EXPECT_EQ(w.realScreen.safeZone, 0.9f);
         EXPECT_EQ(w.localPlayerIndex, 4);
         EXPECT_EQ(w.localPed, 9);
         EXPECT_EQ(w.sessionByte, 2);
         EXPECT_TRUE(w.pauseMenu);
     }},
    {"street and crossing by name", R"({"street": "Del Perro Fwy", "crossing": "Route 68"})",
     [](const sim::World& w) {
         EXPECT_EQ(w.streetHash, 0x09A6FA21u);
         EXPECT_EQ(w.streetNames.at(w.streetHash), std::string("Del Perro Fwy"));
         EXPECT_EQ(w.streetNames.at(w.crossingHash), std::string("Route 68"));
     }},
    {"empty crossing is none", R"({"crossing": ""})", [](const sim::World& w) { EXPECT_EQ(w.crossingHash, 0u); }},
    {"null names", R"({"street": null, "crossing": null, "zone": null})",
     [](const sim::World& w) {
         EXPECT_EQ(w.streetHash, sim::kNullNameStreetHash);
         EXPECT_EQ(w.crossingHash, sim::kNullNameStreetHash);
         EXPECT_FALSE(w.streetNames.at(sim::kNullNameStreetHash).has_value());
         EXPECT_FALSE(w.zoneCode.has_value());
     }},
    {"street names by hash", R"({"streetNames": {"0x10": null, "17": "Q", "0x0000001A": "Z"}})",
     [](const sim::World& w) {
         EXPECT_FALSE(w.streetNames.at(16).has_value());
         EXPECT_EQ(w.streetNames.at(17), std::string("Q"));
         EXPECT_EQ(w.streetNames.at(26), std::string("Z"));
     }},
    {"road and node", R"({"onRoad": false, "node": {"result": 3, "pos": [1, 2.5, -3]}})",
     [](const sim::World& w) {
         EXPECT_FALSE(w.onRoad);
         EXPECT_EQ(w.nodeResult, 3);
         EXPECT_EQ(w.nodePos.y, 2.5f);
         EXPECT_EQ(w.nodePos.z, -3.0f);
     }},
    {"keys and radar control", R"({"keys": {"alt": true, "l": true}, "radarControl": {"justReleased": true}})",
     [](const sim::World& w) {
         EXPECT_TRUE(w.keysDown.at(sim::kAltKey));
         EXPECT_TRUE(w.keysDown.at(sim::kLKey));
         EXPECT_EQ(w.keysDown.count(sim::kCtrlKey), 0u);
         EXPECT_TRUE(w.radarControlJustReleased);
         EXPECT_FALSE(w.radarControlPressed);
     }},
    {"peds: patch, create, delete",
     R"({"peds": {"1": {"dead": true}, "-7": {"pos": [1, 2, 3], "vehicle": 5}, "2": null}})",
     [](const sim::World& w) {
         EXPECT_TRUE(w.peds.at(1).dead);
         EXPECT_EQ(w.peds.at(1).heading, 33.0f) << "fields not named keep their value";
         EXPECT_EQ(w.peds.at(-7).vehicle, 5);
         EXPECT_EQ(w.peds.count(2), 0u);
     }},
    {"vehicles", R"({"vehicles": {"5": {"kind": "helicopter", "model": "RHINO", "heading": 12.5}}})",
     [](const sim::World& w) {
         EXPECT_EQ(w.vehicles.at(5).kind, sim::VehicleKind::Helicopter);
         EXPECT_EQ(w.vehicles.at(5).model, "RHINO");
         EXPECT_EQ(w.vehicles.at(5).heading, 12.5f);
     }},
    {"players", R"({"players": {"3": {"active": true, "team": 2, "networkName": null}, "31": {"active": 7}}})",
     [](const sim::World& w) {
         EXPECT_EQ(w.players[3].activeByte, 1);
         EXPECT_EQ(w.players[3].team, 2);
         EXPECT_FALSE(w.players[3].networkName.has_value());
         EXPECT_EQ(w.players[3].name, std::string("kept"));
         EXPECT_EQ(w.players[31].activeByte, 7);
     }},
    {"blips forgotten", R"({"removeBlips": [1000, 5]})",
     [](const sim::World& w) {
         EXPECT_EQ(w.blips.count(1000), 0u);
         EXPECT_EQ(w.blips.count(1001), 1u);
     }},
};

TEST(ScenarioPatch, SetsOnlyTheFieldsItNames) {
    for (const PatchCase& c : kPatchCases) {
        SCOPED_TRACE(c.name);
        const std::string text = std::string(R"({"steps": [{"frames": 1, "world": )") + c.patch + "}]}";
        const auto scenario = sim::ParseScenario(text, "s.json");
        ASSERT_TRUE(scenario) << scenario.error();
        sim::World world;
        world.peds[1].heading = 33;
        world.peds[2] = sim::Ped{};
        world.players[3].name = std::string("kept");
        world.blips[1000] = sim::Blip{};
        world.blips[1001] = sim::Blip{};
        sim::ForEachStep(*scenario, [&](size_t, const sim::ScenarioStep& step) {
            sim::ApplyWorldPatch(step.world, world);
            return true;
        });
        c.check(world);
    }
}

TEST(ScenarioPatch, LocalPedExistsUnlessTheScenarioNamesPeds) {
    auto scenario =
        sim::ParseScenario(R"({"world": {"localPed": 7, "localPlayerIndex": 2}, "steps": [{"frames": 1}]})", "s.json");
    ASSERT_TRUE(scenario) << scenario.error();
    sim::World world = sim::InitialWorld(*scenario);
    ASSERT_EQ(world.peds.size(), 1u);
    EXPECT_EQ(world.peds.at(7).player, 2);
    EXPECT_EQ(world.peds.at(7).pos.x, 0.0f);

    scenario = sim::ParseScenario(R"({"world": {"peds": {"3": {}}}, "steps": [{"frames": 1}]})", "s.json");
    ASSERT_TRUE(scenario) << scenario.error();
    world = sim::InitialWorld(*scenario);
    ASSERT_EQ(world.peds.size(), 1u);
    EXPECT_EQ(world.peds.count(3), 1u);
}

// ---- runs ----

class ScenarioRun : public simtest::PluginTest {
protected:
    sim::ScenarioResult RunText(const std::string& text) {
        const auto scenario = sim::ParseScenario(text, "s.json");
        if (!scenario) {
            ADD_FAILURE() << scenario.error();
            return {};
        }
        sim::ScenarioRunOptions options;
        options.pluginPath = simtest::PluginPath();
        options.workDir = (workDir() / "run").string();
        return sim::RunScenario(*scenario, options);
    }
};

TEST_F(ScenarioRun, RunsTheStepsInItsWorkDirectory) {
    const sim::ScenarioResult result = RunText(R"({
        "ini": "[GENERAL]\nLocTextPosX=100\n", "clockStartMs": 5000, "frameStepMs": 20,
        "steps": [{"label": "start", "frames": 10}, {"label": "paused", "world": {"pauseMenu": true}, "frames": 2}]})");
    ASSERT_TRUE(result.status.ok()) << result.status.error();
    ASSERT_EQ(result.steps.size(), 2u);
    EXPECT_EQ(result.steps[0].label, "start");
    EXPECT_EQ(result.frames.size(), 12u);
    EXPECT_EQ(result.frames[result.steps[0].lastFrame].timeMs, 5200u);
    EXPECT_EQ(result.steps[1].firstFrame, 10u);
    const sim::Frame& drawn = result.frames[result.steps[0].lastFrame];
    ASSERT_FALSE(drawn.texts.empty());
    EXPECT_FLOAT_EQ(drawn.texts[0].x, 100 * 0.6666667f / 1280) << "KOV.ini of the scenario was read";
    EXPECT_TRUE(result.frames[result.steps[1].lastFrame].texts.empty());
    EXPECT_EQ(result.logLines.size(), 9u);
    EXPECT_TRUE(result.world.pauseMenu);
}

// A work directory holding the player's own files is refused, and they stay as they were.
TEST_F(ScenarioRun, GivenWorkDirWithSettingsOrLogIsLeftUntouched) {
    for (const char* name : {"KOV.ini", "KOV.log"}) {
        SCOPED_TRACE(name);
        fs::remove_all(workDir() / "run");
        fs::create_directories(workDir() / "run");
        ASSERT_TRUE(sim::WriteFileBytes(workDir() / "run" / name, "mine\n"));
        const sim::ScenarioResult result = RunText(R"({"ini": "[GENERAL]\n", "steps": [{"frames": 10}]})");
        EXPECT_FALSE(result.status.ok());
        EXPECT_NE(result.status.error().find(std::string("already holds ") + name), std::string::npos)
            << result.status.error();
        EXPECT_EQ(sim::ReadFileBytes(workDir() / "run" / name), "mine\n");
        EXPECT_EQ(std::distance(fs::directory_iterator(workDir() / "run"), fs::directory_iterator()), 1);
    }
}

TEST_F(ScenarioRun, FailureNamesTheStep) {
    const auto scenario = sim::ParseScenario(R"({"steps": [{"label": "only", "frames": 1}]})", "s.json");
    ASSERT_TRUE(scenario) << scenario.error();
    sim::ScenarioRunOptions options;
    options.pluginPath = (workDir() / "missing.so").string();
    const sim::ScenarioResult result = sim::RunScenario(*scenario, options);
    EXPECT_FALSE(result.status.ok());
    EXPECT_NE(result.status.error().find("cannot load the plug-in"), std::string::npos) << result.status.error();
}

TEST(ShippedScenarios, AllValidate) {
    size_t count = 0;
    for (const auto& entry : fs::directory_iterator(fs::path(KOV_SOURCE_DIR) / "scenarios")) {
        if (entry.path().extension() != ".json") continue;
        SCOPED_TRACE(entry.path().string());
        const sim::Result<sim::Scenario> scenario = sim::LoadScenarioFile(entry.path().string());
        EXPECT_TRUE(scenario) << scenario.error();
        ++count;
    }
    EXPECT_GE(count, 2u);
}

// ---- kov-sim ----

struct CommandResult {
    int exitCode = -1;
    std::string output;  // stdout and stderr
};

CommandResult RunCommand(const std::string& arguments) {
    CommandResult result;
    FILE* pipe = popen((std::string("\"") + KOV_SIM_PATH + "\" " + arguments + " 2>&1").c_str(), "r");
    if (pipe == nullptr) return result;
    char buffer[4096];
    size_t got;
    while ((got = fread(buffer, 1, sizeof buffer, pipe)) > 0) result.output.append(buffer, got);
    const int status = pclose(pipe);
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

class KovSim : public simtest::PluginTest {};

TEST_F(KovSim, AnswersEveryCommandLine) {
    ASSERT_TRUE(sim::WriteFileBytes(workDir() / "bad.json", R"({"steps": [{"frames": 0}]})"));
    ASSERT_TRUE(sim::WriteFileBytes(workDir() / "huge.json", R"({"steps": [{"frames": 99999999999999999999}]})"));
    ASSERT_EQ(mkfifo((workDir() / "fifo").c_str(), 0600), 0);
    const std::string startup = std::string(KOV_SOURCE_DIR) + "/scenarios/startup.json";
    const struct {
        std::string arguments;
        int exitCode;
        const char* output;
    } cases[] = {
        {"--help", 0, "usage: kov-sim SCENARIO.json"},
        {"", 2, "kov-sim: no scenario given"},
        {"--bogus x.json", 2, "kov-sim: unknown option \"--bogus\""},
        {"a.json b.json", 2, "more than one scenario given"},
        {"x.json --trace", 2, "kov-sim: --trace needs a value"},
        {"bad.json", 3, "bad.json: steps[0].frames: 0 is out of range 1..10000000"},
        {"missing.json", 3, "missing.json: no such file"},
        {".", 3, ".: a folder, not a file"},
        {"huge.json", 3, "huge.json: steps[0].frames: too large for the range 1..10000000"},
        {"\"" + startup + "\" --plugin missing.so --quiet", 1, "cannot load the plug-in"},
        // Special files are refused before they are opened: a FIFO once hung, a device filled the disk.
        {"fifo", 3, "fifo: a FIFO (named pipe), not a regular file"},
        {"\"" + startup + "\" --plugin fifo", 1, "/fifo: a FIFO (named pipe), not a regular file"},
        {"\"" + startup + "\" --plugin /dev/zero", 1,
         "cannot load the plug-in /dev/zero: a device, not a regular file"},
        {"\"" + startup + "\" --quiet", 0, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.arguments);
        const CommandResult result = RunCommand(c.arguments);
        EXPECT_EQ(result.exitCode, c.exitCode) << result.output;
        EXPECT_NE(result.output.find(c.output), std::string::npos) << result.output;
    }
}

// An escape sequence in a street name or a description once cleared the player's terminal, and a
// line break in a label started a line of its own; the trace keeps its own escaping.
TEST_F(KovSim, PrintsTextsOfTheScenarioEscaped) {
    ASSERT_TRUE(sim::WriteFileBytes(workDir() / "escapes.json",
                                    R"({"description": "clears\u001b[2J\nthe screen",
                                        "world": {"street": "Alta\u001b[2J St", "zone": "DOWNT"},
                                        "steps": [{"label": "one\ntwo", "frames": 30}]})"));
    for (const char* frames : {"", " --frames"}) {
        SCOPED_TRACE(frames);
        const CommandResult result = RunCommand("escapes.json --trace trace.txt" + std::string(frames));
        ASSERT_EQ(result.exitCode, 0) << result.output;
        EXPECT_EQ(result.output.find('\x1B'), std::string::npos) << result.output;
        // The description, one line of its own (after the sanitizers' own warnings, where they run).
        const std::string described = "clears\\x1B[2J\\x0Athe screen\n";
        EXPECT_TRUE(result.output.rfind(described, 0) == 0 || result.output.find("\n" + described) != std::string::npos)
            << result.output;
        EXPECT_NE(result.output.find("step 1 \"one\\x0Atwo\""), std::string::npos) << result.output;
        EXPECT_NE(result.output.find("Alta\\x1B[2J St"), std::string::npos) << result.output;
    }
    EXPECT_NE(sim::ReadFileBytes(workDir() / "trace.txt").value_or("").find("\"~y~Alta\\x1B[2J St~w~\""),
              std::string::npos);
}

TEST_F(KovSim, PrintsEachStepAndWritesTraceAndLog) {
    const std::string startup = std::string(KOV_SOURCE_DIR) + "/scenarios/startup.json";
    const CommandResult result = RunCommand("\"" + startup + "\" --trace trace.txt --log log.txt --workdir game");
    ASSERT_EQ(result.exitCode, 0) << result.output;
    EXPECT_NE(result.output.find("step 1 \"start-up: log header, settings, first passes\": frames 1-12"),
              std::string::npos)
        << result.output;
    EXPECT_NE(result.output.find("(nothing drawn)"), std::string::npos) << "the pause-menu step draws nothing";
    EXPECT_NE(result.output.find("text (0.166667, 0.946389)"), std::string::npos) << result.output;

    const std::vector<std::string> trace = sim::SplitLines(sim::ReadFileBytes(workDir() / "trace.txt").value_or(""));
    ASSERT_FALSE(trace.empty());
    EXPECT_EQ(trace[0], "[1 1016ms] wait 100");
    const std::vector<std::string> log = sim::SplitLines(sim::ReadFileBytes(workDir() / "log.txt").value_or(""));
    EXPECT_EQ(log.size(), 10u) << "the header, the start's settings line and one reload";
    EXPECT_TRUE(fs::exists(workDir() / "game" / "KOV.log"));

    const CommandResult again = RunCommand("\"" + startup + "\" --trace trace2.txt --quiet");
    ASSERT_EQ(again.exitCode, 0) << again.output;
    EXPECT_EQ(sim::ReadFileBytes(workDir() / "trace2.txt"), sim::ReadFileBytes(workDir() / "trace.txt"))
        << "the same scenario gives the same trace bytes";
}

}  // namespace
