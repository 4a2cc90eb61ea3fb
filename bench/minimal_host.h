// The minimal host for frame-cost measurements: the script hook library's six operations and the
// three platform functions, answering every native from the fixed values of one FixedWorld. No
// world simulation, no trace, and no heap use once the plug-in is loaded, so what a frame costs
// here is the plug-in's own work plus the call mechanics. Each call's argument slots are checked as
// the simulated host checks them (sim/natives/argument_check.h); a fault stops the host with the
// simulated host's message, the passes since load counted as its frames. An unknown native and a
// push past the script hook's slots stop it too, naming the call the same way. A stop is an abort,
// whose signal clean-up (installed in each program's main) removes the host's temporary files.
//
// The plug-in is loaded as the simulated host loads it (a private copy of KOV.so, dlopen, DllMain)
// and its script runs on a fiber. Every resume is one pass of its frame loop, up to the next
// scriptWait; wait lengths are not modelled.
//
// The floor of a frame is the same pass with the plug-in's logic taken away: the native calls of
// one recorded pass, with the same arguments, replayed through the same host on a fiber of its own
// that ends each replay with scriptWait(0). Both a plug-in pass and a replay therefore include
// exactly one switch onto the fiber and one back; EmptyPass measures that switch alone.
#pragma once

#include <cstddef>
#include <cstdint>

#include "frame/player_slots.h"
#include "sim/natives/native_signatures.h"

namespace bench {

struct FixedVector {
    float x, y, z;
};

// Every answer the host gives. Handles: player p's ped is kPedBase + p, that ped's vehicle is
// kVehicleBase + p; every entity and blip exists.
struct FixedWorld {
    int32_t screenWidth = 1280;
    int32_t screenHeight = 720;
    uint32_t tickMs = 500000;  // constant: a posted notice stays on screen
    int32_t localPlayerIndex = 0;
    uint8_t sessionByte = 0;  // 1: online
    bool radarHidden = false;

    FixedVector position = {0.0f, 0.0f, 0.0f};  // every entity's coordinates
    float heading = 0.0f;                       // every entity's heading
    uint32_t streetHash = 0;
    uint32_t crossingHash = 0;
    const char* streetName = "";
    const char* crossingName = "";
    const char* zoneCode = "";
    bool onRoad = true;
    uint8_t nodeResult = 1;
    FixedVector node = {0.0f, 0.0f, 0.0f};

    bool altDown = false;
    bool ctrlDown = false;
    bool lDown = false;
    bool radarControlPressed = false;
    bool radarControlJustReleased = false;

    int32_t activePlayers = 0;  // slots 0 .. activePlayers-1 are active in the session
    int32_t localTeam = -1;
    int32_t otherTeam = -1;
    bool inVehicle = false;  // every player rides a vehicle that matches no special sprite
};

constexpr int32_t kPedBase = 1000;
constexpr int32_t kVehicleBase = 5000;

extern FixedWorld world;

// One native call of a recorded pass. Pointer arguments point into the recording's own storage
// (text copies and scratch out-slots), so a replay is valid long after the pass that made it.
struct RecordedCall {
    uint64_t hash;
    int32_t argCount;
    uint64_t args[sim::kWidestNative];  // a recorded call passed the check: no more than its native reads
};

constexpr int kMaxRecordedCalls = 8192;
constexpr size_t kRecordedTextBytes = 128 * 1024;
constexpr int kRecordedOutSlots = 4096;

struct Recording {
    RecordedCall calls[kMaxRecordedCalls];
    int callCount;
    int platformCallCount;  // the platform functions: clock, keys, profile lookup and writer
    char texts[kRecordedTextBytes];
    size_t textBytes;
    uint64_t outSlots[kRecordedOutSlots];
    int outSlotCount;
};

// Loads a fresh private copy of the plug-in and attaches it; false with a message on stderr.
bool LoadPlugin(const char* path);
void UnloadPlugin();
// Resumes the plug-in's script for one pass.
void RunPluginPass();
// One plug-in pass with every native call it makes copied into `out`.
void RecordPluginPass(Recording* out);
// True when two recordings hold the same calls with the same arguments (texts by content).
bool SameCalls(const Recording& a, const Recording& b);
// Replays `recording` once on the replay fiber (the floor of the pass it was made from).
void ReplayPass(const Recording& recording);

// Resumes a script that only waits: the cost of the fiber switch onto a script and back.
void EmptyPass();

// Natives answered since load.
uint64_t NativeCallCount();
// Calls of one native since load (what the passes drew, for instance); 0 for an unknown hash.
uint64_t CallCountOf(uint64_t hash);

// The plug-in reads .//KOV.ini and writes KOV.log in the current directory: work in a fresh
// temporary one (registered, so that the signal clean-up of an abort removes it too), removed
// again on leaving.
bool EnterScratchDirectory();
void LeaveScratchDirectory();

}  // namespace bench
