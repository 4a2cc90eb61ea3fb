// The three measured frames, shared by the benchmarks, the callgrind driver and the allocation
// test: the world each one sees and the passes that bring a freshly loaded plug-in to it.
#pragma once

#include <cstddef>

#include "bench/minimal_host.h"

namespace bench {

struct KeysHeld {
    bool ctrl, alt, l, radarControl;
};

struct FrameCase {
    const char* name;
    const char* description;
    void (*configure)(FixedWorld& world);  // the case's world, keys aside
    const KeysHeld* setupKeys;             // one pass per entry after start-up (notices and latches)
    size_t setupPasses;
    KeysHeld frameKeys;      // held during the measured frames
    double ownTimeTargetNs;  // the plug-in's own time per frame must stay below this
};

extern const FrameCase kFrameCases[3];

// Sets the case's world and loads a fresh copy of the plug-in; false if it cannot load.
bool LoadCase(const FrameCase& frameCase, const char* pluginPath);
// Runs the loaded plug-in through start-up, settings and the set-up passes to the case's first
// frame, included.
void RunToFirstFrame(const FrameCase& frameCase);
// Both of the above.
bool PrepareCase(const FrameCase& frameCase, const char* pluginPath);

}  // namespace bench
