// The natives the simulated host knows: hash, role, argument and result kinds (for the trace and
// for checking the plug-in's calls) and the handler. Each subsystem file contributes one table.
#pragma once

#include <cstdint>
#include <vector>

#include "sim/natives/native_call.h"

namespace sim {

class Host;

// Argument kinds, one letter per slot:
//   i int32   u uint32 (hash)   f float   b bool   s text pointer (copied into the trace)
//   o out-pointer to a 32-bit integer the host writes through
//   F out-pointer to a float the host writes through
//   V out-pointer to a NativeVector3 (three 8-byte slots) the host writes through
//   h pointer to an int32 handle (its value at call time is traced)
// Result kinds: '-' none, 'i' int32, 'u' uint32, 'b' bool, 'B' byte, 'f' float, 's' text, 'v' vector.
//
// `args` are the parameters as the current game reads them and as the plug-in pushes them. The
// game reads every one of these slots whatever was pushed, so the host fails a call that pushed
// fewer. Where the game declares a slot of another kind than the plug-in pushes into it (the same
// 32 bits either way), `gameArgs` gives the game's form; sim/natives/host-natives.tsv is the reference
// both are checked against.
struct NativeDef {
    uint64_t hash;
    const char* role;
    const char* args;
    char result;
    void (*handler)(Host& host, NativeCall& call);
    const char* gameArgs = nullptr;  // null: the same as args
};

// Every table, joined; one row per hash.
const std::vector<NativeDef>& AllNatives();
const NativeDef* FindNative(uint64_t hash);

// Per-subsystem tables, defined in natives/*_natives.cpp.
std::vector<NativeDef> CoreNatives();
std::vector<NativeDef> TextNatives();
std::vector<NativeDef> LocationNatives();
std::vector<NativeDef> ControlNatives();
std::vector<NativeDef> PlayerNatives();
std::vector<NativeDef> ScreenNatives();

}  // namespace sim
