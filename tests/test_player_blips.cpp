// Player blips as the host sees them: creation and the move of the next pass, sprites, rotation,
// team alpha and the team-only filter, removal rules, the one-shot sweep and the stale-handle mend.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <map>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "session_world.h"
#include "sim/scenario/scenario.h"
#include "sim/scenario/scenario_run.h"

namespace {

using sim::VehicleKind;
using simtest::AddPlayer;
using simtest::FeedTexts;
using simtest::Seat;
using simtest::SessionWorld;

constexpr const char* kTeamOnlyIni = "[MULTIPLAYER]\nDisplayTeamBlipsOnly=true\n";

class PlayerBlips : public simtest::SessionTest {
protected:
    // The handle of the blip that carries the slot's name; fails the test when there is none.
    int32_t HandleOf(int slot) {
        int32_t handle = -1;
        EXPECT_NE(BlipOf(slot, &handle), nullptr) << "slot " << slot << " has no blip";
        return handle;
    }
};

TEST_F(PlayerBlips, JoiningPlayerGetsBlipOffsetAlongYThenMovedOntoThePlayerInTheSameFrame) {
    ASSERT_TRUE(StartIn(SessionWorld()));
    AddPlayer(world(), 4, 40, "Rook", -1, {100, 200, 30});
    const size_t mark = TraceMark();
    ASSERT_TRUE(Run(1));

    const std::vector<int32_t> created = CreatedBlips(mark);
    ASSERT_EQ(created.size(), 1u);
    const std::string h = std::to_string(created[0]);
    // First pass: created 10 units per slot index along y, fixed properties and colour only.
    // Second pass of the same frame: moved onto the player, sprite, name and alpha.
    EXPECT_EQ(BlipLines(created[0], mark), (std::vector<std::string>{
                                               "add blip for coordinates(100, 240, 30) -> " + h,
                                               "set blip priority(" + h + ", 13)",
                                               "set blip display(" + h + ", 4)",
                                               "set blip category(" + h + ", 7)",
                                               "set blip colour(" + h + ", 0)",
                                               "set blip coordinates(" + h + ", 100, 200, 30)",
                                               "set blip sprite(" + h + ", 1)",
                                               "set blip name to player name(" + h + ", 4)",
                                               "set blip alpha(" + h + ", 255)",
                                               "set blip colour(" + h + ", 0)",
                                           }));

    world().peds[40].pos = {-50, 75, 2};
    ASSERT_TRUE(Run(1));
    const sim::Blip* blip = BlipOf(4);
    ASSERT_NE(blip, nullptr);
    EXPECT_EQ(world().blips.size(), 1u);
    EXPECT_FLOAT_EQ(blip->pos.x, -50);
    EXPECT_FLOAT_EQ(blip->pos.y, 75);
    EXPECT_FLOAT_EQ(blip->pos.z, 2);
    EXPECT_EQ(blip->priority, 13);
    EXPECT_EQ(blip->display, 4);
    EXPECT_EQ(blip->category, 7);
    EXPECT_EQ(blip->colour, 0);
    EXPECT_EQ(blip->alpha, 255);
}

TEST_F(PlayerBlips, SpriteShowsWhatThePlayerRidesFirstMatchWinning) {
    struct Case {
        const char* what;
        bool dead, dying, seated;
        VehicleKind kind;
        const char* model;
        int32_t sprite;
    };
    const Case cases[] = {
        // clang-format off
        {"on foot",                       false, false, false, VehicleKind::Car,        "",            1},
        {"dead",                          true,  false, false, VehicleKind::Car,        "",            274},
        {"dying in a boat",               false, true,  true,  VehicleKind::Boat,       "SQUALO",      274},
        {"boat",                          false, false, true,  VehicleKind::Boat,       "SQUALO",      410},
        {"submarine",                     false, false, true,  VehicleKind::Submarine,  "SUBMERSIBLE", 308},
        {"helicopter",                    false, false, true,  VehicleKind::Helicopter, "BUZZARD",     64},
        {"plane",                         false, false, true,  VehicleKind::Plane,      "LAZER",       423},
        {"bike",                          false, false, true,  VehicleKind::Bike,       "BATI",        348},
        {"bike of a listed model",        false, false, true,  VehicleKind::Bike,       "RHINO",       348},
        {"boat of a listed model",        false, false, true,  VehicleKind::Boat,       "TECHNICAL",   410},
        {"TECHNICAL",                     false, false, true,  VehicleKind::Car,        "TECHNICAL",   426},
        {"INSURGENT",                     false, false, true,  VehicleKind::Car,        "INSURGENT",   426},
        {"RHINO",                         false, false, true,  VehicleKind::Car,        "RHINO",       421},
        {"ordinary car",                  false, false, true,  VehicleKind::Car,        "BLISTA",      225},
        // clang-format on
    };
    sim::World start = SessionWorld();
    int slot = 1;
    for (const Case& c : cases) {
        const int32_t ped = 100 + slot;
        AddPlayer(start, slot, ped, c.what);
        start.peds[ped].dead = c.dead;
        start.peds[ped].dying = c.dying;
        if (c.seated) Seat(start, ped, 200 + slot, c.kind, c.model);
        ++slot;
    }
    ASSERT_TRUE(StartIn(start));
    const size_t mark = TraceMark();
    ASSERT_TRUE(Run(1));

    slot = 1;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const sim::Blip* blip = BlipOf(slot);
        ASSERT_NE(blip, nullptr);
        EXPECT_EQ(blip->sprite, c.sprite);
        if (c.dead || c.dying) {
            // The vehicle tests are not made for a dead or dying player.
            for (const sim::TraceEntry* call : Calls("ped in any vehicle", mark)) {
                EXPECT_NE(call->call.Int(0), 100 + slot) << call->line;
            }
        }
        ++slot;
    }
}

TEST_F(PlayerBlips, RotationIsTheCeilingOfTheVehicleHeadingAndKeptOnFootAndWhenDead) {
    struct Step {
        const char* what;
        bool seated;
        float heading;
        bool dead;
        int32_t sprite, rotation;
    };
    const Step steps[] = {
        // clang-format off
        {"boat heading 90.2",            true,  90.2f,  false, 410, 91},
        {"on foot",                      false, 0.0f,   false, 1,   91},
        {"boat heading 270",             true,  270.0f, false, 410, 270},
        {"boat heading -0.5",            true,  -0.5f,  false, 410, 0},
        {"boat heading 12.01",           true,  12.01f, false, 410, 13},
        // Past the int range the game's truncating conversion gives its "integer indefinite".
        {"boat heading infinite",        true,  INFINITY, false, 410, INT32_MIN},
        {"boat heading not a number",    true,  NAN,      false, 410, INT32_MIN},
        {"boat heading 3e9",             true,  3e9f,     false, 410, INT32_MIN},
        {"boat heading 12.01 again",     true,  12.01f, false, 410, 13},
        {"dead in the boat, it turns",   true,  200.5f, true,  274, 13},
        // clang-format on
    };
    sim::World start = SessionWorld();
    AddPlayer(start, 2, 20, "Skipper");
    start.vehicles[300] = sim::Vehicle{VehicleKind::Boat, "SQUALO", 0};
    ASSERT_TRUE(StartIn(start));

    for (const Step& step : steps) {
        SCOPED_TRACE(step.what);
        world().vehicles[300].heading = step.heading;
        world().peds[20].vehicle = step.seated ? 300 : 0;
        world().peds[20].dead = step.dead;
        ASSERT_TRUE(Run(1));
        const sim::Blip* blip = BlipOf(2);
        ASSERT_NE(blip, nullptr);
        EXPECT_EQ(blip->sprite, step.sprite);
        EXPECT_EQ(blip->rotation, step.rotation);
    }
}

TEST_F(PlayerBlips, TeamsSetTheAlphaAndTheTeamOnlySettingDropsOtherTeams) {
    struct Case {
        int32_t localTeam, playerTeam;
        bool teamOnly;
        bool hasBlip;
        int32_t alpha;
    };
    const Case cases[] = {
        // clang-format off
        {-1, -1, false, true,  255},
        {-1, -1, true,  true,  255},  // no team on either side counts as the same team
        {1,  1,  false, true,  255},
        {1,  1,  true,  true,  255},
        {1,  2,  false, true,  0},
        {2,  -1, false, true,  0},
        {1,  2,  true,  false, 0},
        {-1, 2,  true,  false, 0},
        // clang-format on
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "local team " << c.localTeam << ", player team " << c.playerTeam
                                        << (c.teamOnly ? ", team blips only" : ""));
        sim::World start = SessionWorld();
        start.players[0].team = c.localTeam;
        AddPlayer(start, 5, 50, "Other", c.playerTeam);
        ASSERT_TRUE(StartIn(start, c.teamOnly ? kTeamOnlyIni : ""));
        ASSERT_TRUE(Run(2));
        const sim::Blip* blip = BlipOf(5);
        EXPECT_EQ(world().blips.size(), c.hasBlip ? 1u : 0u);
        if (c.hasBlip && blip != nullptr) EXPECT_EQ(blip->alpha, c.alpha);
    }
}

TEST_F(PlayerBlips, TeamOnlyFilterRemovesAnExistingBlipAndThePassGoesOn) {
    sim::World start = SessionWorld();
    start.players[0].team = 1;
    AddPlayer(start, 2, 20, "Turncoat", 1, {1, 2, 3});
    AddPlayer(start, 3, 30, "Loyal", 1, {4, 5, 6});
    ASSERT_TRUE(StartIn(start, kTeamOnlyIni));
    const int32_t turncoat = HandleOf(2);
    const int32_t loyal = HandleOf(3);

    world().players[2].team = 2;
    world().peds[30].pos = {40, 50, 60};
    const size_t mark = TraceMark();
    ASSERT_TRUE(Run(1));

    const std::string t = std::to_string(turncoat);
    EXPECT_EQ(BlipLines(turncoat, mark),
              (std::vector<std::string>{"blip exists(" + t + ") -> true", "remove blip(&[" + t + "])"}));
    EXPECT_EQ(world().blips.count(turncoat), 0u);
    // Slot 3 is still updated in the pass that removed slot 2's blip.
    const std::vector<std::string> lines = TraceLines(mark);
    const auto removal = std::find(lines.begin(), lines.end(), "remove blip(&[" + t + "])");
    const auto moved =
        std::find(lines.begin(), lines.end(), "set blip coordinates(" + std::to_string(loyal) + ", 40, 50, 60)");
    ASSERT_NE(moved, lines.end());
    EXPECT_LT(removal - lines.begin(), moved - lines.begin());
    const auto nextPass = std::find(removal, lines.end(), "network player active(31) -> 0");
    EXPECT_LT(moved - lines.begin(), nextPass - lines.begin());

    // Later passes find the slot empty: nothing more is removed.
    const size_t later = TraceMark();
    ASSERT_TRUE(Run(2));
    EXPECT_TRUE(Calls("remove blip", later).empty());
    EXPECT_TRUE(world().blipErrors.empty());
}

TEST_F(PlayerBlips, DepartedPlayerLosesTheBlipWithoutAnExistsTest) {
    enum class Departure { Leaves, PedGone };
    for (const Departure departure : {Departure::Leaves, Departure::PedGone}) {
        SCOPED_TRACE(departure == Departure::Leaves ? "player leaves" : "ped gone");
        sim::World start = SessionWorld();
        AddPlayer(start, 3, 30, "Leaver");
        AddPlayer(start, 5, 50, "Stayer");
        ASSERT_TRUE(StartIn(start));
        const int32_t leaver = HandleOf(3);

        if (departure == Departure::Leaves) world().players[3].activeByte = 0;
        else world().peds.erase(30);
        const size_t mark = TraceMark();
        ASSERT_TRUE(Run(3));

        EXPECT_EQ(BlipLines(leaver, mark), std::vector<std::string>{"remove blip(&[" + std::to_string(leaver) + "])"});
        EXPECT_EQ(world().blips.count(leaver), 0u);
        EXPECT_NE(BlipOf(5), nullptr);
        EXPECT_TRUE(CreatedBlips(mark).empty());
        EXPECT_TRUE(world().blipErrors.empty());
    }
}

TEST_F(PlayerBlips, LocalSlotNeverKeepsABlipEvenAfterTheLocalIndexChanges) {
    sim::World start = SessionWorld();
    AddPlayer(start, 6, 60, "Rook", -1, {7, 8, 9});
    ASSERT_TRUE(StartIn(start));
    ASSERT_TRUE(Run(1));
    EXPECT_EQ(world().blips.size(), 1u);
    EXPECT_EQ(BlipOf(0), nullptr);
    const int32_t rook = HandleOf(6);
    // The pass asks the host for the local index at the test itself, not the frame's snapshot.
    const std::vector<std::string> lines = TraceLines();
    const auto ped = std::find(lines.begin(), lines.end(), "player ped(6) -> 60");
    ASSERT_GE(lines.end() - ped, 3);
    EXPECT_EQ(ped[1], "entity exists(60) -> true");
    EXPECT_EQ(ped[2], "local player index() -> 0");

    // The host now reports slot 6 as the local player; slot 0 is somebody else.
    world().localPlayerIndex = 6;
    const size_t mark = TraceMark();
    ASSERT_TRUE(Run(2));
    EXPECT_EQ(BlipLines(rook, mark), std::vector<std::string>{"remove blip(&[" + std::to_string(rook) + "])"});
    EXPECT_EQ(BlipOf(6), nullptr);
    EXPECT_NE(BlipOf(0), nullptr);
    EXPECT_EQ(world().blips.size(), 1u);
    EXPECT_TRUE(world().blipErrors.empty());
}

TEST_F(PlayerBlips, OnlyTheFirstIdleSpellOfALoadSweeps) {
    sim::World start = SessionWorld();
    AddPlayer(start, 2, 20, "Ash");
    AddPlayer(start, 3, 30, "Birch");
    ASSERT_TRUE(StartIn(start));
    const int32_t ash = HandleOf(2);
    const int32_t birch = HandleOf(3);

    world().pauseMenu = true;
    size_t mark = TraceMark();
    ASSERT_TRUE(Run(3));
    for (const int32_t handle : {ash, birch}) {
        const std::string h = std::to_string(handle);
        EXPECT_EQ(BlipLines(handle, mark),
                  (std::vector<std::string>{"blip exists(" + h + ") -> true", "remove blip(&[" + h + "])"}));
    }
    EXPECT_TRUE(world().blips.empty());

    world().pauseMenu = false;
    mark = TraceMark();
    ASSERT_TRUE(Run(1));
    EXPECT_EQ(CreatedBlips(mark).size(), 2u);
    EXPECT_EQ(world().blips.size(), 2u);

    // A second spell (a loading screen: no local ped) sweeps nothing, in or out of a session.
    world().peds.erase(simtest::kLocalPed);
    mark = TraceMark();
    ASSERT_TRUE(Run(2));
    world().sessionByte = 0;
    ASSERT_TRUE(Run(2));
    EXPECT_EQ(BlipCallCount(mark), 0u);
    EXPECT_EQ(world().blips.size(), 2u);
    EXPECT_TRUE(world().blipErrors.empty());
}

TEST_F(PlayerBlips, BlipTheHostForgotIsReplacedOnceAFilterOrTheSweepFindsItGone) {
    enum class Finder { TeamFilter, Sweep };
    for (const Finder finder : {Finder::TeamFilter, Finder::Sweep}) {
        SCOPED_TRACE(finder == Finder::TeamFilter ? "team filter" : "sweep");
        sim::World start = SessionWorld();
        start.players[0].team = 1;
        AddPlayer(start, 2, 20, "Ghost", 1);
        ASSERT_TRUE(StartIn(start, finder == Finder::TeamFilter ? kTeamOnlyIni : ""));
        const int32_t stale = HandleOf(2);
        world().blips.erase(stale);

        // The update path does not notice: it keeps addressing the stale handle.
        size_t mark = TraceMark();
        ASSERT_TRUE(Run(1));
        EXPECT_TRUE(CreatedBlips(mark).empty());
        EXPECT_FALSE(world().blipErrors.empty());

        if (finder == Finder::TeamFilter) world().players[2].team = 2;
        else world().pauseMenu = true;
        mark = TraceMark();
        ASSERT_TRUE(Run(1));
        EXPECT_EQ(BlipLines(stale, mark),
                  std::vector<std::string>{"blip exists(" + std::to_string(stale) + ") -> false"});

        world().players[2].team = 1;
        world().pauseMenu = false;
        world().blipErrors.clear();
        mark = TraceMark();
        ASSERT_TRUE(Run(2));
        EXPECT_EQ(CreatedBlips(mark).size(), 1u);
        EXPECT_NE(BlipOf(2), nullptr);
        EXPECT_TRUE(world().blipErrors.empty());
    }
}

TEST_F(PlayerBlips, BlipsAreLeftAloneWhenSwitchedOffOrOutsideASession) {
    enum class Reason { SettingReloadedOff, SessionEnded, SessionByteTwo };
    const std::pair<Reason, const char*> reasons[] = {
        // clang-format off
        {Reason::SettingReloadedOff, "DisplayPlayerBlips reloaded as false"},
        {Reason::SessionEnded,       "session byte 0"},
        {Reason::SessionByteTwo,     "session byte 2"},
        // clang-format on
    };
    for (const auto& [reason, what] : reasons) {
        SCOPED_TRACE(what);
        sim::World start = SessionWorld();
        AddPlayer(start, 2, 20, "Ash", -1, {1, 1, 1});
        AddPlayer(start, 3, 30, "Birch", -1, {2, 2, 2});
        ASSERT_TRUE(StartIn(start));
        ASSERT_EQ(world().blips.size(), 2u);

        if (reason == Reason::SettingReloadedOff) {
            ASSERT_TRUE(ReloadSettings("[MULTIPLAYER]\nDisplayPlayerBlips=false\n"));
        } else {
            world().sessionByte = reason == Reason::SessionEnded ? 0 : 2;
        }
        const std::map<int32_t, sim::Blip> before = world().blips;
        const size_t mark = TraceMark();
        world().players[2].activeByte = 0;
        world().peds[30].pos = {50, 50, 50};
        ASSERT_TRUE(Run(3));
        if (reason != Reason::SessionEnded) {
            world().pauseMenu = true;  // the first idle spell: the sweep would act if it could
            ASSERT_TRUE(Run(2));
        }

        EXPECT_EQ(BlipCallCount(mark), 0u);
        ASSERT_EQ(world().blips.size(), before.size());
        for (const auto& [handle, blip] : before) {
            ASSERT_EQ(world().blips.count(handle), 1u);
            const sim::Blip& now = world().blips[handle];
            EXPECT_EQ(std::tie(now.pos.x, now.pos.y, now.pos.z, now.sprite, now.alpha),
                      std::tie(blip.pos.x, blip.pos.y, blip.pos.z, blip.sprite, blip.alpha));
        }
    }
}

// The session scenario of the differential run: joins, vehicles, deaths, leaves, the sweep and a
// dropped blip. Every death is reported once, no blip the plug-in removed is removed again, and
// the only unknown handle the plug-in addresses is the one the host dropped.
TEST(SessionScenario, ReportsEachDeathOnceAndNeverRemovesABlipTwice) {
    const sim::Result<sim::Scenario> scenario =
        sim::LoadScenarioFile(std::string(KOV_SOURCE_DIR) + "/scenarios/session.json");
    ASSERT_TRUE(scenario) << scenario.error();
    const sim::ScenarioResult result = sim::RunScenario(*scenario, {simtest::PluginPath(), ""});
    ASSERT_TRUE(result.status.ok()) << result.status.error();

    EXPECT_EQ(FeedTexts(result.world),
              (std::vector<std::string>{"~w~Rook ~c~killed by ~w~Vesper.", "~w~Vesper ~c~died.", "~w~Rook ~c~died."}));
    std::vector<int32_t> removed;
    for (const sim::TraceEntry& entry : result.trace) {
        if (simtest::RoleOf(entry) != "remove blip") continue;
        const int32_t handle = simtest::FirstArgument(entry.line);
        EXPECT_EQ(std::count(removed.begin(), removed.end(), handle), 0) << entry.line;
        removed.push_back(handle);
    }
    EXPECT_EQ(removed, (std::vector<int32_t>{1001, 1000, 1002, 1004}));
    for (const std::string& problem : result.world.blipErrors) {
        EXPECT_NE(problem.find("unknown blip 1004"), std::string::npos) << problem;
    }
    // Rook's blip from after the sweep and Wren's new one stay when the session ends.
    EXPECT_EQ(result.world.blips.size(), 2u);
    EXPECT_EQ(result.world.blips.count(1003), 1u);
    EXPECT_EQ(result.world.blips.count(1005), 1u);
}

}  // namespace
