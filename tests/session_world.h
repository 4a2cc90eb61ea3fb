// Test support for the multiplayer overlay: an online session world with players in chosen slots,
// and a fixture that reads blips and blip calls back from the host.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "sim_harness.h"

namespace simtest {

using sim::kAltKey;
using sim::kCtrlKey;
using sim::kLKey;
constexpr int32_t kLocalPed = 1;

// An online session: the local player in slot 0 on ped 1 (active, no team), nobody else active.
inline sim::World SessionWorld() {
    sim::World world = StandardWorld();
    world.sessionByte = 1;
    world.players[0].activeByte = 1;
    world.players[0].ped = kLocalPed;
    world.players[0].networkName = "Local";
    world.players[0].name = "Local";
    return world;
}

// Puts an active player with a ped of its own (handle ped) in a slot.
inline void AddPlayer(sim::World& world, int slot, int32_t ped, const std::string& name, int32_t team = -1,
                      sim::Vec3 pos = {}) {
    sim::NetworkPlayer& player = world.players[static_cast<size_t>(slot)];
    player.activeByte = 1;
    player.ped = ped;
    player.team = team;
    player.networkName = name;
    player.name = name;
    sim::Ped& body = world.peds[ped];
    body.pos = pos;
    body.player = slot;
}

// Seats the ped in a new vehicle of the given kind and model.
inline void Seat(sim::World& world, int32_t ped, int32_t vehicle, sim::VehicleKind kind, const std::string& model,
                 float heading = 0) {
    world.vehicles[vehicle] = sim::Vehicle{kind, model, heading};
    world.peds[ped].vehicle = vehicle;
}

// The texts of every feed post the host received, in order.
inline std::vector<std::string> FeedTexts(const sim::World& world) {
    std::vector<std::string> texts;
    for (const sim::FeedPost& post : world.feed) texts.push_back(post.text);
    return texts;
}

// The first argument of a traced call as written in its line ("set blip alpha(1000, 0)" -> 1000;
// a handle passed by address, "remove blip(&[1000])", gives the handle too).
inline int32_t FirstArgument(const std::string& line) {
    const size_t open = line.find('(');
    if (open == std::string::npos) return 0;
    size_t at = open + 1;
    if (line.compare(at, 2, "&[") == 0) at += 2;
    return static_cast<int32_t>(std::strtol(line.c_str() + at, nullptr, 10));
}

class SessionTest : public PluginTest {
protected:
    // Loads a fresh plug-in in the given world with the given KOV.ini (empty: every default) and
    // runs its first frame-loop pass.
    bool StartIn(const sim::World& world, const std::string& ini = "") {
        NewHost(world);
        WriteIni(ini);
        return StartFrameLoop();
    }

    sim::World& world() { return host().world; }

    // The blip that carries the slot's player name; null when there is none. Fails the test when
    // more than one does.
    const sim::Blip* BlipOf(int slot, int32_t* handle = nullptr) {
        const sim::Blip* found = nullptr;
        for (const auto& [h, blip] : world().blips) {
            if (blip.namePlayer != slot) continue;
            EXPECT_EQ(found, nullptr) << "two blips carry the name of slot " << slot;
            found = &blip;
            if (handle != nullptr) *handle = h;
        }
        return found;
    }

    // Handles returned by add blip for coordinates since a trace position, in call order.
    std::vector<int32_t> CreatedBlips(size_t from) const {
        std::vector<int32_t> handles;
        for (const sim::TraceEntry* entry : Calls("add blip for coordinates", from)) {
            handles.push_back(static_cast<int32_t>(static_cast<uint32_t>(entry->call.result[0])));
        }
        return handles;
    }

    // The traced lines of blip natives whose blip argument is the handle, since a trace position;
    // the creation line included.
    std::vector<std::string> BlipLines(int32_t handle, size_t from) {
        std::vector<std::string> lines;
        const auto& trace = host().trace();
        for (size_t i = from; i < trace.size(); ++i) {
            const std::string role = RoleOf(trace[i]);
            const bool created = role == "add blip for coordinates" &&
                                 static_cast<int32_t>(static_cast<uint32_t>(trace[i].call.result[0])) == handle;
            const bool addressed = IsBlipRole(role) && FirstArgument(trace[i].line) == handle;
            if (created || addressed) lines.push_back(trace[i].line);
        }
        return lines;
    }

    // Every traced call of a native that reads or changes blips, since a trace position.
    size_t BlipCallCount(size_t from) {
        size_t count = 0;
        const auto& trace = host().trace();
        for (size_t i = from; i < trace.size(); ++i) {
            const std::string role = RoleOf(trace[i]);
            if (IsBlipRole(role) || role == "add blip for coordinates") ++count;
        }
        return count;
    }

    // Presses Ctrl+Alt+L once: a frame with all three down, a frame with L up while Ctrl and Alt
    // are held (which re-arms the toggle), a frame with everything up.
    bool PressDisplayToggle() {
        world().keysDown[kAltKey] = true;
        world().keysDown[kCtrlKey] = true;
        world().keysDown[kLKey] = true;
        if (!Run(1)) return false;
        world().keysDown[kLKey] = false;
        if (!Run(1)) return false;
        world().keysDown[kAltKey] = false;
        world().keysDown[kCtrlKey] = false;
        return Run(1);
    }

    // Writes a new KOV.ini and makes the plug-in read it: the display toggle switches the panel
    // off, then on again, which reloads the settings.
    bool ReloadSettings(const std::string& ini) {
        WriteIni(ini);
        return PressDisplayToggle() && PressDisplayToggle();
    }

private:
    static bool IsBlipRole(const std::string& role) {
        return role.rfind("set blip", 0) == 0 || role == "blip exists" || role == "remove blip";
    }
};

}  // namespace simtest
