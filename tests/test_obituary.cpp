// Obituary notices as the host's feed receives them: the two texts, the killer chain, one notice
// per death, re-arming, the setting, long and missing names.
#include <algorithm>
#include <string>
#include <vector>

#include "session_world.h"
#include "utf8_support.h"

namespace {

using simtest::AddPlayer;
using simtest::FeedTexts;
using simtest::SessionWorld;

// The notice buffer holds 63 bytes and its terminator, cut on a whole character.
std::string Cut(const std::string& text) { return simtest::WholeCharacterPrefix(text, 63); }

class Obituary : public simtest::SessionTest {
protected:
    // The traced lines from the first line that starts with the prefix on, count of them.
    std::vector<std::string> LinesFrom(const std::string& prefix, size_t count) {
        const std::vector<std::string> lines = TraceLines();
        const auto first = std::find_if(lines.begin(), lines.end(),
                                        [&](const std::string& line) { return line.rfind(prefix, 0) == 0; });
        if (first == lines.end()) return {};
        return std::vector<std::string>(first, first + std::min<ptrdiff_t>(count, lines.end() - first));
    }
};

TEST_F(Obituary, KillerChainGivesKilledByOnlyWhenAnotherPlayerIsBehindTheDeath) {
    struct Case {
        const char* victim;
        int32_t killer;  // entity the host names as the killer
        const char* notice;
    };
    constexpr int32_t kKillerPed = 100, kBystander = 77, kCar = 500, kNothing = 999;
    const Case cases[] = {
        // clang-format off
        {"Ann", 0,          "~w~Ann ~c~died."},                     // no killer
        {"Bob", kKillerPed, "~w~Bob ~c~killed by ~w~Killer."},      // another player
        {"Cy",  kNothing,   "~w~Cy ~c~died."},                      // no such entity
        {"Di",  kCar,       "~w~Di ~c~died."},                      // not a ped
        {"Ed",  kBystander, "~w~Ed ~c~died."},                      // a ped, not a player's
        {"Flo", 70,         "~w~Flo ~c~died."},                     // killed himself (his own ped)
        // clang-format on
    };
    sim::World start = SessionWorld();
    AddPlayer(start, 10, kKillerPed, "Killer");
    start.peds[kBystander] = sim::Ped{};
    start.vehicles[kCar] = sim::Vehicle{};
    int slot = 2;
    std::vector<std::string> expected;
    for (const Case& c : cases) {
        const int32_t ped = 10 * slot;  // Flo, in slot 7, gets ped 70
        AddPlayer(start, slot, ped, c.victim);
        start.peds[ped].dead = true;
        start.players[static_cast<size_t>(slot)].killer = c.killer;
        expected.push_back(c.notice);
        ++slot;
    }
    ASSERT_EQ(start.peds[70].player, 7);  // the suicide case really names the victim's own ped
    ASSERT_TRUE(StartIn(start));
    ASSERT_TRUE(Run(5));

    // Already dead when the blip was created: posted by the next pass, the second of that frame.
    EXPECT_EQ(FeedTexts(world()), expected);
    for (const sim::FeedPost& post : world().feed) {
        EXPECT_EQ(post.font, 4);
        EXPECT_FALSE(post.blink);
        EXPECT_TRUE(post.showInBrief);
    }
    EXPECT_EQ(LinesFrom("begin feed post", 4), (std::vector<std::string>{
                                                   "begin feed post(\"STRING\")",
                                                   "add text component(\"~w~Ann ~c~died.\")",
                                                   "set text font(4)",
                                                   "end feed post as ticker(false, true)",
                                               }));
    // The killed-by chain, link by link; the killer's name is asked first, the victim's second.
    const std::vector<std::string> chain = LinesFrom("network entity killer of player(3,", 8);
    ASSERT_EQ(chain.size(), 8u);
    EXPECT_EQ(std::vector<std::string>(chain.begin() + 1, chain.end()), (std::vector<std::string>{
                                                                            "entity exists(100) -> true",
                                                                            "entity is a ped(100) -> true",
                                                                            "ped from entity(100) -> 100",
                                                                            "ped is a player(100) -> true",
                                                                            "network player index from ped(100) -> 10",
                                                                            "player name(10) -> \"Killer\"",
                                                                            "player name(3) -> \"Bob\"",
                                                                        }));
}

TEST_F(Obituary, OneNoticePerDeathReArmedOnlyOnceThePlayerIsSeenAlive) {
    struct Step {
        const char* what;
        bool active, dead, dying;
        int frames;
        size_t notices;  // posted so far
    };
    const Step steps[] = {
        // clang-format off
        {"alive",                          true,  false, false, 2,  0},
        {"dying, many frames",             true,  false, true,  10, 1},
        {"dead, still the same death",     true,  true,  false, 5,  1},
        {"alive again",                    true,  false, false, 1,  1},
        {"dies again",                     true,  true,  false, 3,  2},
        {"leaves while reported",          false, true,  false, 2,  2},
        {"rejoins still dead",             true,  true,  false, 3,  2},
        {"alive, then",                    true,  false, false, 1,  2},
        {"dead once more",                 true,  true,  false, 1,  3},
        // clang-format on
    };
    sim::World start = SessionWorld();
    AddPlayer(start, 2, 20, "Ann");
    ASSERT_TRUE(StartIn(start));
    for (const Step& step : steps) {
        SCOPED_TRACE(step.what);
        world().players[2].activeByte = step.active ? 1 : 0;
        world().peds[20].dead = step.dead;
        world().peds[20].dying = step.dying;
        ASSERT_TRUE(Run(step.frames));
        EXPECT_EQ(FeedTexts(world()), std::vector<std::string>(step.notices, "~w~Ann ~c~died."));
    }
}

TEST_F(Obituary, SwitchedOnByAReloadWhileThePlayerIsStillDeadPostsOnTheNextPass) {
    sim::World start = SessionWorld();
    AddPlayer(start, 2, 20, "Ann");
    start.peds[20].dead = true;
    ASSERT_TRUE(StartIn(start, "[MULTIPLAYER]\nShowPlayerObituaries=false\n"));
    ASSERT_TRUE(Run(5));
    EXPECT_TRUE(world().feed.empty());

    ASSERT_TRUE(ReloadSettings("[MULTIPLAYER]\nShowPlayerObituaries=true\n"));
    ASSERT_TRUE(Run(5));
    EXPECT_EQ(FeedTexts(world()), std::vector<std::string>{"~w~Ann ~c~died."});
}

// Long names are cut on whole characters; the Cyrillic and CJK names are ours, written for the
// test (two and three bytes a letter, so the cuts fall inside letters).
TEST_F(Obituary, LongNamesAreCutAndMissingNamesReadEmpty) {
    const std::string longVictim(200, 'V');
    const std::string longKiller(200, 'K');
    std::string cyrillicVictim = "x";  // then 41 letters: 83 bytes, past the victim's copy of 64
    for (int i = 0; i < 41; ++i) cyrillicVictim += "Ж";
    std::string cjkKiller;  // 90 bytes, past the killer's copy of 64
    for (int i = 0; i < 30; ++i) cjkKiller += "夜";
    struct Case {
        sim::HostText victim;
        int killerSlot;  // -1: nobody
        std::string notice;
    };
    const Case cases[] = {
        // clang-format off
        {longVictim,  -1, Cut("~w~" + longVictim + " ~c~died.")},
        {longVictim,  10, Cut("~w~" + longVictim + " ~c~killed by ~w~Short.")},
        {"Ann",       11, Cut("~w~Ann ~c~killed by ~w~" + longKiller + ".")},
        {std::nullopt, -1, "~w~ ~c~died."},
        {"Bob",       12, "~w~Bob ~c~killed by ~w~."},
        {cyrillicVictim, -1, Cut("~w~" + cyrillicVictim + " ~c~died.")},
        {"Ann",       13, Cut("~w~Ann ~c~killed by ~w~" + cjkKiller + ".")},
        // clang-format on
    };
    sim::World start = SessionWorld();
    AddPlayer(start, 10, 100, "Short");
    AddPlayer(start, 11, 110, longKiller);
    AddPlayer(start, 12, 120, "");
    AddPlayer(start, 13, 130, cjkKiller);
    start.players[12].name.reset();
    int slot = 2;
    std::vector<std::string> expected;
    for (const Case& c : cases) {
        const int32_t ped = 20 + slot;
        AddPlayer(start, slot, ped, "");
        start.players[static_cast<size_t>(slot)].name = c.victim;
        start.peds[ped].dead = true;
        if (c.killerSlot >= 0) start.players[static_cast<size_t>(slot)].killer = 10 * c.killerSlot;
        expected.push_back(c.notice);
        ++slot;
    }
    ASSERT_TRUE(StartIn(start));
    ASSERT_TRUE(Run(1));
    EXPECT_EQ(FeedTexts(world()), expected);
}

TEST_F(Obituary, OnlyDeathsOfTrackedOtherPlayersAreReported) {
    struct Case {
        const char* what;
        const char* ini;
        bool localDead;
        int32_t victimTeam;  // the local player is on team 1
        size_t notices;
    };
    const Case cases[] = {
        // clang-format off
        {"team mate, defaults",                 "",                                          false, 1, 1},
        {"other team, blips for all teams",     "",                                          false, 2, 1},
        {"other team, team blips only",         "[MULTIPLAYER]\nDisplayTeamBlipsOnly=true\n", false, 2, 0},
        {"player blips off",                    "[MULTIPLAYER]\nDisplayPlayerBlips=false\n",  false, 1, 0},
        {"the local player's own death",        "",                                          true,  1, 0},
        // clang-format on
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        sim::World start = SessionWorld();
        start.players[0].team = 1;
        AddPlayer(start, 2, 20, "Ann", c.victimTeam);
        start.peds[20].dead = !c.localDead;
        start.peds[simtest::kLocalPed].dead = c.localDead;
        ASSERT_TRUE(StartIn(start, c.ini));
        ASSERT_TRUE(Run(30));
        EXPECT_EQ(world().feed.size(), c.notices);
    }
}

}  // namespace
