// Soak: a seeded random online session through the real plug-in, a million frames by default, with
// players joining and leaving, team and vehicle changes, deaths and kills, the pause menu, loading
// screens, session changes, settings reloads, and blips the host drops on its own. After every
// frame it checks the blips and the obituary notices against the rules a player relies on, and it
// samples the memory in use. It sees the plug-in only as the host does: the blips and feed posts
// of the world, and the settings lookups (which tell when KOV.ini was read and what it held).
//
//   kov_soak [--frames N] [--seed S] [--plugin PATH]
#include <unistd.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <filesystem>
#include <fstream>
#include <map>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "sim/game/host.h"
#include "sim/game/virtual_keys.h"
#include "sim/platform/files.h"

namespace {

constexpr int kSlots = sim::kPlayerSlots;
constexpr int32_t kLocalPed = 1;
constexpr int32_t kFirstNpcPed = 50;  // peds of no player, among the killers
constexpr int kNpcPeds = 5;
constexpr int kKeyAlt = sim::kAltKey, kKeyCtrl = sim::kCtrlKey, kKeyL = sim::kLKey;
// A frame counts as settled once the player could act in a session for this many frames in a row:
// no pass begun earlier (a dead pass waits 100 ms) is still running then.
constexpr int kSettledFrames = 10;
constexpr long kRssSamples = 20;  // the first, taken after a twentieth of the run, is the baseline
constexpr long kRssGrowthLimitBytes = 16L << 20;
constexpr int kMaxReportedFailures = 10;

const char* const kModels[] = {"ADDER", "TECHNICAL", "INSURGENT", "RHINO", "BUS"};
const sim::VehicleKind kKinds[] = {
    sim::VehicleKind::Car,        sim::VehicleKind::Car,   sim::VehicleKind::Boat, sim::VehicleKind::Submarine,
    sim::VehicleKind::Helicopter, sim::VehicleKind::Plane, sim::VehicleKind::Bike,
};

struct Options {
    long frames = 1000000;
    uint32_t seed = 1;
    std::string plugin;
};

// What the soak keeps about a slot beyond the world: the player's name and the notice state.
struct SlotLife {
    std::string name;
    int deathFramesLeft = 0;  // > 0 while the player is dead
    int noticesThisDeath = 0;
    bool armed = true;  // no notice since the player was last seen alive on the map
};

struct Counts {
    long joins = 0, leaves = 0, teamChanges = 0, vehicleChanges = 0, deaths = 0, kills = 0, notices = 0;
    long pauses = 0, loadingScreens = 0, sessionChanges = 0, localDeaths = 0, reloads = 0, loadsSeen = 0;
    long hostDrops = 0, settledFrames = 0, blipsLeftWhileOff = 0;
};

// The switches of KOV.ini the plug-in last read, as its lookups handed them out. All off before its
// first read, as its load-time record is.
struct Switches {
    bool obituaries = false, blips = false, teamOnly = false;
};

using KeyState = std::array<bool, 3>;  // Alt, Ctrl, L

class Soak {
public:
    Soak(const Options& options) : options_(options), random_(options.seed) {}

    int Run();

private:
    bool Chance(double probability) { return std::uniform_real_distribution<double>(0, 1)(random_) < probability; }
    int Between(int low, int high) { return std::uniform_int_distribution<int>(low, high)(random_); }
    sim::World& world() { return host_.world; }
    sim::NetworkPlayer& player(int slot) { return world().players[static_cast<size_t>(slot)]; }
    bool Active(int slot) const { return host_.world.players[static_cast<size_t>(slot)].activeByte != 0; }
    bool Remote(int slot) const { return slot != host_.world.localPlayerIndex && Active(slot); }

    void SetUpWorld();
    void WriteSettings(bool obituaries, bool blips, bool teamOnly);
    void ReadLookups();
    int RandomSlot(bool (Soak::*wanted)(int) const);  // -1 when no slot is as wanted
    int Count(bool (Soak::*wanted)(int) const) const;
    bool Inactive(int slot) const { return slot != host_.world.localPlayerIndex && !Active(slot); }
    bool AliveRemote(int slot) const;

    // ---- events ----
    void Events();
    void Join(int slot);
    void Leave(int slot);
    void ChangeVehicle(int slot);
    void Die(int slot);
    void Respawn(int slot);
    void ChangeSession();
    void ReloadSettings();
    void HostDropsABlip();
    void Timers();
    void ApplyLocalState();

    // ---- checks ----
    bool PlayerCanActInSession() const;
    bool Eligible(int slot) const;
    bool Dead(int slot) const;
    int BlipsNaming(int slot) const;
    std::string ExpectedNotice(int slot) const;
    void Check();
    void CheckBlipHandles();
    void CheckBlips(bool settled);
    void CheckNotices(bool settled);
    void Fail(const std::string& message);
    void SampleMemory();
    void Report(double seconds) const;
    bool RunSession();

    Options options_;
    std::mt19937 random_;
    sim::Host host_;
    Switches inForce_;
    std::array<SlotLife, kSlots> slots_{};
    int32_t firstBlipHandle_ = 0;
    std::set<int32_t> removedBlips_;  // every handle the plug-in removed
    // Blips the host dropped on its own that the plug-in may still hold, with the slot whose name
    // each carried: the plug-in goes on addressing such a handle until it notices.
    std::map<int32_t, int> droppedBlips_;
    std::set<int32_t> droppedAddressed_;  // those a blip native was given this frame
    std::deque<KeyState> keys_;
    int32_t nextPed_ = 100;
    int32_t nextVehicle_ = 100000;
    long nextName_ = 0;
    int pauseFrames_ = 0, loadingFrames_ = 0, localDeadFrames_ = 0, offlineFrames_ = 0;
    int settledRun_ = 0;
    long frame_ = 0;
    Counts counts_;
    std::vector<std::string> failures_;
    long failureCount_ = 0;
    long rssWarm_ = 0, rssMax_ = 0, rssEnd_ = 0;
    size_t maxLiveBlips_ = 0;
};

// ---- set-up ----------------------------------------------------------------------------------

void Soak::WriteSettings(bool obituaries, bool blips, bool teamOnly) {
    auto word = [](bool on) { return on ? "true" : "false"; };
    const std::string text = std::string("[MULTIPLAYER]\nShowPlayerObituaries=") + word(obituaries) +
                             "\nDisplayPlayerBlips=" + word(blips) + "\nDisplayTeamBlipsOnly=" + word(teamOnly) + "\n";
    if (!sim::WriteFileBytes("KOV.ini", text)) Fail("cannot write KOV.ini");
}

void Soak::SetUpWorld() {
    world().localPed = kLocalPed;
    world().localPlayerIndex = 0;
    ApplyLocalState();
    player(0).activeByte = 1;
    player(0).ped = kLocalPed;
    player(0).name = player(0).networkName = std::string("Local");
    for (int i = 0; i < kNpcPeds; ++i) world().peds[kFirstNpcPed + i] = sim::Ped{};
    for (int slot = 1; slot < 12; ++slot) Join(slot);
}

int Soak::Count(bool (Soak::*wanted)(int) const) const {
    int count = 0;
    for (int slot = 0; slot < kSlots; ++slot) count += (this->*wanted)(slot);
    return count;
}

int Soak::RandomSlot(bool (Soak::*wanted)(int) const) {
    const int start = Between(0, kSlots - 1);
    for (int i = 0; i < kSlots; ++i) {
        const int slot = (start + i) % kSlots;
        if ((this->*wanted)(slot)) return slot;
    }
    return -1;
}

bool Soak::AliveRemote(int slot) const {
    return Remote(slot) && slots_[static_cast<size_t>(slot)].deathFramesLeft == 0;
}

// ---- events ----------------------------------------------------------------------------------

void Soak::Join(int slot) {
    const int32_t ped = nextPed_++;
    sim::Ped& body = world().peds[ped];
    body.player = slot;
    body.pos = {static_cast<float>(Between(-3000, 3000)), static_cast<float>(Between(-3000, 6000)), 30.0f};
    sim::NetworkPlayer& joined = player(slot);
    joined.activeByte = 1;
    joined.ped = ped;
    joined.team = Between(-1, 2);
    joined.killer = 0;
    SlotLife& life = slots_[static_cast<size_t>(slot)];
    life.name = "P" + std::to_string(slot) + "-" + std::to_string(nextName_++);
    life.deathFramesLeft = 0;
    life.noticesThisDeath = 0;
    joined.name = joined.networkName = life.name;
    ++counts_.joins;
}

void Soak::Leave(int slot) {
    sim::NetworkPlayer& left = player(slot);
    const auto ped = world().peds.find(left.ped);
    if (ped != world().peds.end()) {
        world().vehicles.erase(ped->second.vehicle);
        world().peds.erase(ped);
    }
    left.activeByte = 0;
    left.ped = 0;
    slots_[static_cast<size_t>(slot)].deathFramesLeft = 0;
    if (!inForce_.blips && BlipsNaming(slot) > 0) ++counts_.blipsLeftWhileOff;
    ++counts_.leaves;
}

void Soak::ChangeVehicle(int slot) {
    sim::Ped& ped = world().peds[player(slot).ped];
    if (ped.vehicle != 0) {
        world().vehicles.erase(ped.vehicle);
        ped.vehicle = 0;
    } else {
        ped.vehicle = nextVehicle_++;
        world().vehicles[ped.vehicle] = sim::Vehicle{kKinds[Between(0, static_cast<int>(std::size(kKinds)) - 1)],
                                                     kModels[Between(0, static_cast<int>(std::size(kModels)) - 1)],
                                                     static_cast<float>(Between(0, 3599)) / 10.0f};
    }
    ++counts_.vehicleChanges;
}

// The killer: nobody, an NPC, a vehicle, the victim itself, or another player (alive or not).
void Soak::Die(int slot) {
    sim::NetworkPlayer& victim = player(slot);
    sim::Ped& ped = world().peds[victim.ped];
    (Chance(0.8) ? ped.dead : ped.dying) = true;
    const int killerSlot = RandomSlot(&Soak::Active);
    switch (Between(0, 4)) {
        case 0: victim.killer = 0; break;
        case 1: victim.killer = kFirstNpcPed + Between(0, kNpcPeds - 1); break;
        case 2: victim.killer = ped.vehicle != 0 ? ped.vehicle : victim.ped; break;
        case 3: victim.killer = victim.ped; break;
        default: victim.killer = killerSlot >= 0 ? player(killerSlot).ped : 0; break;
    }
    SlotLife& life = slots_[static_cast<size_t>(slot)];
    life.deathFramesLeft = Between(5, 400);
    life.noticesThisDeath = 0;
    ++counts_.deaths;
}

// Back to life on the same ped or on a new one.
void Soak::Respawn(int slot) {
    sim::NetworkPlayer& revived = player(slot);
    if (Chance(0.5)) {
        sim::Ped& ped = world().peds[revived.ped];
        ped.dead = ped.dying = false;
    } else {
        const sim::Ped old = world().peds[revived.ped];
        world().vehicles.erase(old.vehicle);
        world().peds.erase(revived.ped);
        revived.ped = nextPed_++;
        sim::Ped& fresh = world().peds[revived.ped];
        fresh.player = slot;
        fresh.pos = old.pos;
    }
    revived.killer = 0;
}

// A session change: every other player goes, the loading screen shows, the local player takes
// another slot, and players come back once the new session runs.
void Soak::ChangeSession() {
    for (int slot = 0; slot < kSlots; ++slot) {
        if (Remote(slot)) Leave(slot);
    }
    const int old = world().localPlayerIndex;
    player(old).activeByte = 0;
    player(old).ped = 0;
    const int next = Between(0, kSlots - 1);
    world().localPlayerIndex = next;
    player(next).activeByte = 1;
    player(next).ped = kLocalPed;
    player(next).team = Between(-1, 2);
    player(next).name = player(next).networkName = std::string("Local");
    slots_[static_cast<size_t>(next)].deathFramesLeft = 0;
    loadingFrames_ = Between(30, 600);
    offlineFrames_ = loadingFrames_ + Between(0, 300);
    ++counts_.sessionChanges;
}

// New switches in KOV.ini, then Ctrl+Alt+L twice; a press is lost while the player cannot act.
void Soak::ReloadSettings() {
    WriteSettings(Chance(0.8), Chance(0.8), Chance(0.3));
    for (int press = 0; press < 2; ++press) {
        keys_.push_back({true, true, true});
        keys_.push_back({true, true, false});
        keys_.push_back({false, false, false});
    }
    ++counts_.reloads;
}

void Soak::HostDropsABlip() {
    if (world().blips.empty()) return;
    auto it = world().blips.begin();
    std::advance(it, Between(0, static_cast<int>(world().blips.size()) - 1));
    droppedBlips_[it->first] = it->second.namePlayer;
    world().blips.erase(it);
    ++counts_.hostDrops;
}

void Soak::Timers() {
    for (int slot = 0; slot < kSlots; ++slot) {
        SlotLife& life = slots_[static_cast<size_t>(slot)];
        if (life.deathFramesLeft > 0 && --life.deathFramesLeft == 0 && Remote(slot)) Respawn(slot);
    }
    for (int* timer : {&pauseFrames_, &loadingFrames_, &localDeadFrames_, &offlineFrames_}) {
        if (*timer > 0) --*timer;
    }
}

// The local player's side of the world follows the timers: pause menu, loading screen (no ped),
// death, and the session byte.
void Soak::ApplyLocalState() {
    world().pauseMenu = pauseFrames_ > 0;
    world().sessionByte = offlineFrames_ > 0 ? 0 : 1;
    if (loadingFrames_ > 0) {
        world().peds.erase(kLocalPed);
        return;
    }
    sim::Ped& local = world().peds[kLocalPed];
    local.player = world().localPlayerIndex;
    local.dead = localDeadFrames_ > 0;
}

void Soak::Events() {
    Timers();
    const bool online = offlineFrames_ == 0;
    // Joins and leaves balance at about half the slots taken.
    if (online && Chance(0.008 * Count(&Soak::Inactive) / kSlots)) Join(RandomSlot(&Soak::Inactive));
    if (Chance(0.008 * Count(&Soak::Remote) / kSlots)) Leave(RandomSlot(&Soak::Remote));
    if (Chance(0.003)) {
        const int slot = RandomSlot(&Soak::Active);
        if (slot >= 0) player(slot).team = Between(-1, 2);
        counts_.teamChanges += slot >= 0;
    }
    if (Chance(0.01)) {
        const int slot = RandomSlot(&Soak::AliveRemote);
        if (slot >= 0) ChangeVehicle(slot);
    }
    if (Chance(0.006)) {
        const int slot = RandomSlot(&Soak::AliveRemote);
        if (slot >= 0) Die(slot);
    }
    for (int moved = 0; moved < 3; ++moved) {
        const int slot = RandomSlot(&Soak::Remote);
        if (slot >= 0) world().peds[player(slot).ped].pos.x += static_cast<float>(Between(-5, 5));
    }
    if (pauseFrames_ == 0 && Chance(0.0006)) {
        pauseFrames_ = Between(2, 600);
        ++counts_.pauses;
    }
    if (loadingFrames_ == 0 && Chance(0.0003)) {
        loadingFrames_ = Between(2, 300);
        ++counts_.loadingScreens;
    }
    if (localDeadFrames_ == 0 && Chance(0.0005)) {
        localDeadFrames_ = Between(2, 300);
        ++counts_.localDeaths;
    }
    if (offlineFrames_ == 0 && Chance(0.00005)) ChangeSession();
    ApplyLocalState();
    if (keys_.empty() && Chance(0.00008)) ReloadSettings();
    if (Chance(0.00003)) HostDropsABlip();

    // The player list (Alt with the radar control) now and then, the big map toggle rarely.
    KeyState keys{false, false, false};
    if (!keys_.empty()) {
        keys = keys_.front();
        keys_.pop_front();
    } else if (Chance(0.002)) {
        for (int i = Between(1, 60); i > 0; --i) keys_.push_back({true, false, false});
    }
    world().keysDown[kKeyAlt] = keys[0];
    world().keysDown[kKeyCtrl] = keys[1];
    world().keysDown[kKeyL] = keys[2];
    world().radarControlPressed = keys[0] && !keys[1];
    world().radarControlJustReleased = !keys[0] && !keys[1] && Chance(0.001);
}

// ---- checks ----------------------------------------------------------------------------------

bool Soak::PlayerCanActInSession() const {
    const auto& peds = host_.world.peds;
    const auto local = peds.find(kLocalPed);
    return host_.world.sessionByte == 1 && local != peds.end() && !local->second.dead && !host_.world.pauseMenu;
}

bool Soak::Dead(int slot) const {
    const auto ped = host_.world.peds.find(host_.world.players[static_cast<size_t>(slot)].ped);
    return ped != host_.world.peds.end() && (ped->second.dead || ped->second.dying);
}

// The slot's player gets a blip from a settled frame's passes: another, active player with a ped,
// not filtered out by the team-only setting.
bool Soak::Eligible(int slot) const {
    const sim::World& w = host_.world;
    const sim::NetworkPlayer& p = w.players[static_cast<size_t>(slot)];
    if (!Remote(slot) || w.peds.count(p.ped) == 0) return false;
    const int32_t localTeam = w.players[static_cast<size_t>(w.localPlayerIndex)].team;
    return !inForce_.teamOnly || p.team == localTeam;
}

// The died form, or the killed-by form when the killer is another player's ped.
std::string Soak::ExpectedNotice(int slot) const {
    const sim::World& w = host_.world;
    const std::string& victim = slots_[static_cast<size_t>(slot)].name;
    const auto killer = w.peds.find(w.players[static_cast<size_t>(slot)].killer);
    if (killer != w.peds.end() && killer->second.player >= 0 && killer->second.player != slot) {
        const int by = killer->second.player;
        const std::string& name =
            by == w.localPlayerIndex ? std::string("Local") : slots_[static_cast<size_t>(by)].name;
        return "~w~" + victim + " ~c~killed by ~w~" + name + ".";
    }
    return "~w~" + victim + " ~c~died.";
}

// The live blips that carry the slot's name.
int Soak::BlipsNaming(int slot) const {
    int count = 0;
    for (const auto& [handle, blip] : host_.world.blips) count += blip.namePlayer == slot;
    return count;
}

// The handle a blip error names at its end ("set blip alpha on unknown blip 1004").
int32_t HandleOf(const std::string& blipError) {
    return static_cast<int32_t>(std::atol(blipError.c_str() + blipError.rfind(' ') + 1));
}

// Every handle given to a blip native is one the plug-in still holds: live, or dropped by the host
// without the plug-in having noticed yet. A removal is of a handle the host issued, once.
void Soak::CheckBlipHandles() {
    const sim::World& w = host_.world;
    droppedAddressed_.clear();
    for (const std::string& error : w.blipErrors) {
        if (droppedBlips_.count(HandleOf(error)) != 0) droppedAddressed_.insert(HandleOf(error));
        else Fail(error + ", which the host never issued or the plug-in removed");
    }
    for (const auto& [handle, calls] : w.blipRemovals) {
        const std::string blip = "blip " + std::to_string(handle);
        if (calls != 1) Fail(blip + " removed " + std::to_string(calls) + " times in a frame");
        if (handle < firstBlipHandle_ || handle >= w.nextBlipHandle)
            Fail(blip + " removed, which the host never issued");
        else if (!removedBlips_.insert(handle).second) Fail(blip + " removed again");
        droppedBlips_.erase(handle);
    }
}

// In a settled frame with blips on, the world's blips are exactly the plug-in's: each was given a
// blip native this frame (one left behind is a leaked handle) and carries the name of a player who
// should have a blip, and each such player has exactly one; or none while the plug-in still
// addresses the one the host dropped. Everyone else, the local player first, has none.
void Soak::CheckBlips(bool settled) {
    const sim::World& w = host_.world;
    maxLiveBlips_ = std::max(maxLiveBlips_, w.blips.size());
    CheckBlipHandles();
    if (!settled || !inForce_.blips) return;
    const int frame = host_.lastFrame().index;
    std::array<int, kSlots> named{};
    for (const auto& [handle, blip] : w.blips) {
        if (blip.addressedInFrame != frame) Fail("blip " + std::to_string(handle) + " was left behind");
        if (blip.namePlayer >= 0 && blip.namePlayer < kSlots) ++named[static_cast<size_t>(blip.namePlayer)];
        else Fail("blip " + std::to_string(handle) + " carries no player's name");
    }
    for (int slot = 0; slot < kSlots; ++slot) {
        const int count = named[static_cast<size_t>(slot)];
        const bool eligible = Eligible(slot);
        // A dropped handle of the slot that the plug-in addressed this frame is still held; this
        // frame's passes let go of any other.
        bool holdsDropped = false;
        for (auto it = droppedBlips_.begin(); it != droppedBlips_.end();) {
            if (it->second != slot) {
                ++it;
            } else if (eligible && count == 0 && droppedAddressed_.count(it->first) != 0) {
                holdsDropped = true;
                ++it;
            } else {
                it = droppedBlips_.erase(it);
            }
        }
        if (eligible ? count == 1 || (count == 0 && holdsDropped) : count == 0) continue;
        const std::string who = slot == w.localPlayerIndex ? "the local player" : "slot " + std::to_string(slot);
        Fail(who + " has " + std::to_string(count) + " blips carrying its name");
    }
}

void Soak::CheckNotices(bool settled) {
    const sim::World& w = host_.world;
    std::array<bool, kSlots> armedBefore{};
    for (int slot = 0; slot < kSlots; ++slot)
        armedBefore[static_cast<size_t>(slot)] = slots_[static_cast<size_t>(slot)].armed;
    std::array<int, kSlots> posted{};
    for (const sim::FeedPost& post : w.feed) {
        int victim = -1;
        for (int slot = 0; slot < kSlots && victim < 0; ++slot) {
            if (Remote(slot) && post.text.rfind("~w~" + slots_[static_cast<size_t>(slot)].name + " ~c~", 0) == 0)
                victim = slot;
        }
        if (victim < 0) {
            Fail("a notice for no other player: " + post.text);
            continue;
        }
        SlotLife& life = slots_[static_cast<size_t>(victim)];
        if (!Dead(victim)) Fail("a notice for a living player: " + post.text);
        if (!inForce_.obituaries) Fail("a notice with obituaries off: " + post.text);
        if (life.noticesThisDeath > 0) Fail("a second notice for one death: " + post.text);
        if (post.text != ExpectedNotice(victim))
            Fail("notice \"" + post.text + "\", expected \"" + ExpectedNotice(victim) + "\"");
        ++life.noticesThisDeath;
        ++posted[static_cast<size_t>(victim)];
        life.armed = false;
        ++counts_.notices;
        counts_.kills += post.text.find("killed by") != std::string::npos;
    }
    if (!settled || !inForce_.blips) return;
    for (int slot = 0; slot < kSlots; ++slot) {
        if (!Eligible(slot)) continue;
        if (!Dead(slot)) {
            slots_[static_cast<size_t>(slot)].armed = true;
        } else if (inForce_.obituaries && armedBefore[static_cast<size_t>(slot)] &&
                   posted[static_cast<size_t>(slot)] == 0) {
            Fail("no notice for the death of slot " + std::to_string(slot) + " though its blip is shown");
        }
    }
}

// The switch keys the soak writes, and where it keeps what the plug-in read for each.
const struct {
    const char* key;
    bool Switches::*field;
} kSwitchKeys[] = {
    {"ShowPlayerObituaries", &Switches::obituaries},
    {"DisplayPlayerBlips", &Switches::blips},
    {"DisplayTeamBlipsOnly", &Switches::teamOnly},
};

// The plug-in's reads of KOV.ini this frame, which count from this frame's passes on. The soak
// writes only "true" and "false", so a switch is on when its lookup handed out "true".
void Soak::ReadLookups() {
    for (const sim::SettingsLookup& lookup : host_.lookups()) {
        for (const auto& row : kSwitchKeys) {
            if (lookup.key == row.key) inForce_.*row.field = lookup.text == "true";
        }
        counts_.loadsSeen += lookup.key == kSwitchKeys[0].key;
    }
}

void Soak::Check() {
    ReadLookups();
    settledRun_ = PlayerCanActInSession() ? settledRun_ + 1 : 0;
    const bool settled = settledRun_ > kSettledFrames && host_.lastFrame().scriptRan;
    counts_.settledFrames += settled;
    CheckBlips(settled);
    CheckNotices(settled);
    world().feed.clear();
    world().blipErrors.clear();
    world().blipRemovals.clear();
    host_.ClearHistory();
}

void Soak::Fail(const std::string& message) {
    if (failureCount_++ < kMaxReportedFailures) failures_.push_back("frame " + std::to_string(frame_) + ": " + message);
}

long ResidentBytes() {
    std::ifstream statm("/proc/self/statm");
    long pages = 0, resident = 0;
    statm >> pages >> resident;
    return resident * sysconf(_SC_PAGESIZE);
}

void Soak::SampleMemory() {
    const long rss = ResidentBytes();
    if (rssWarm_ == 0) rssWarm_ = rss;
    rssMax_ = std::max(rssMax_, rss);
    rssEnd_ = rss;
}

void Soak::Report(double seconds) const {
    const Counts& c = counts_;
    std::printf("soak: %ld frames in %.1f s (%.0f frames/s), seed %u\n", frame_, seconds, frame_ / seconds,
                options_.seed);
    std::printf(
        "  events: %ld joins, %ld leaves, %ld team changes, %ld vehicle changes, %ld deaths (%ld notices, "
        "%ld kills), %ld local deaths\n",
        c.joins, c.leaves, c.teamChanges, c.vehicleChanges, c.deaths, c.notices, c.kills, c.localDeaths);
    std::printf(
        "  %ld pause menus, %ld loading screens, %ld session changes, %ld settings reloads (%ld reads of KOV.ini "
        "seen), %ld blips the host dropped, %ld blips left while blips were off\n",
        c.pauses, c.loadingScreens, c.sessionChanges, c.reloads, c.loadsSeen, c.hostDrops, c.blipsLeftWhileOff);
    std::printf("  %ld settled frames checked in full; %d blips created, at most %zu alive at once\n", c.settledFrames,
                host_.world.nextBlipHandle - 1000, maxLiveBlips_);
    std::printf("  resident memory: %.1f MB after %ld frames, %.1f MB at most, %.1f MB at the end\n",
                rssWarm_ / 1048576.0, std::max(1L, frame_ / kRssSamples), rssMax_ / 1048576.0, rssEnd_ / 1048576.0);
}

// Loads the plug-in in the current directory and runs the session; false when it cannot start.
bool Soak::RunSession() {
    WriteSettings(true, true, false);
    host_.recording = false;
    if (!host_.Load(options_.plugin)) {
        std::fprintf(stderr, "soak: %s\n", host_.error().c_str());
        return false;
    }
    firstBlipHandle_ = world().nextBlipHandle;
    SetUpWorld();
    const long rssSampleFrames = std::max(1L, options_.frames / kRssSamples);
    const auto start = std::chrono::steady_clock::now();
    for (frame_ = 1; frame_ <= options_.frames; ++frame_) {
        Events();
        if (!host_.RunFrame()) {
            Fail("the run failed: " + host_.error());
            break;
        }
        Check();
        if (frame_ % rssSampleFrames == 0) SampleMemory();
    }
    --frame_;
    Report(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    host_.Unload();
    return true;
}

int Soak::Run() {
    const std::filesystem::path dir = sim::MakeTempDirectory("kov-soak-");
    bool ran = false;
    {
        const sim::ScopedCurrentDirectory inDir(dir);
        ran = RunSession();
    }
    std::error_code ignored;
    std::filesystem::remove_all(dir, ignored);
    if (!ran) return 1;
#if !defined(__SANITIZE_ADDRESS__)  // the sanitizer's quarantine grows by design
    if (rssWarm_ > 0 && rssMax_ - rssWarm_ > kRssGrowthLimitBytes) Fail("resident memory grew by more than 16 MB");
#endif
    for (const std::string& failure : failures_) std::printf("FAILED %s\n", failure.c_str());
    if (failureCount_ == 0) return 0;
    std::printf("soak: %ld failed checks\n", failureCount_);
    return 1;
}

Options ParseOptions(int argc, char** argv) {
    Options options;
    options.plugin = KOV_PLUGIN_PATH;
    for (int i = 1; i + 1 < argc; i += 2) {
        if (std::strcmp(argv[i], "--frames") == 0) options.frames = std::atol(argv[i + 1]);
        else if (std::strcmp(argv[i], "--seed") == 0) options.seed = static_cast<uint32_t>(std::atol(argv[i + 1]));
        else if (std::strcmp(argv[i], "--plugin") == 0) options.plugin = argv[i + 1];
    }
    return options;
}

}  // namespace

int main(int argc, char** argv) { return Soak(ParseOptions(argc, argv)).Run(); }
