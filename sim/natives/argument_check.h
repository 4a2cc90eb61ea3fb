// The check of a native call's argument slots, one for both hosts (the simulated host and the
// minimal host of the benchmarks): as many slots pushed as the native reads, 32-bit values
// zero-extended, bools 0 or 1, out-pointers not null, and the trailing arguments the game's own
// scripts pass as 0 / false holding exactly that. A fault is worded once, here, so both hosts fail
// a run with the same message.
#pragma once

#include <cstdint>
#include <string>

#include "sim/natives/native_signatures.h"
#include "sim/result.h"

namespace sim {

// The values a slot of one kind may hold: those v with v - low <= span (unsigned), so a slot costs
// one compare.
struct SlotRange {
    uint64_t low;
    uint64_t span;
};

constexpr SlotRange RangeOfKind(char kind) {
    switch (kind) {
        case 'i':
        case 'u':
        case 'f': return {0, 0xFFFFFFFFull};  // zero-extended 32 bits
        case 'b': return {0, 1};
        case 'z':
        case 'n': return {0, 0};  // the game's own 0 / false
        case 'o':
        case 'F':
        case 'V':
        case 'h': return {1, ~0ull - 1};  // anything but null
        default: return {0, ~0ull};       // 's': a text, or null
    }
}

constexpr bool InRange(const SlotRange& range, uint64_t slot) { return slot - range.low <= range.span; }

// A native's slot ranges, worked out once by a host that checks many calls.
struct ArgumentRules {
    int count;
    SlotRange slots[kWidestNative];
};

constexpr ArgumentRules RulesOf(const NativeSignature& native) {
    ArgumentRules rules{static_cast<int>(TextLength(native.args)), {}};
    for (int i = 0; i < rules.count; ++i) rules.slots[i] = RangeOfKind(native.args[i]);
    return rules;
}

// The quick verdict: exactly the native's slots were pushed, each holding a value of its kind.
inline bool ArgumentsAreGood(const ArgumentRules& rules, const uint64_t* slots, int pushed) {
    if (pushed != rules.count) return false;
    bool good = true;
    for (int i = 0; i < pushed; ++i) good &= InRange(rules.slots[i], slots[i]);
    return good;
}

// Where a call sits in a run: its position in the frame (from 1) and the frame's number.
struct CallPosition {
    int call;
    int frame;
};

// The fault of a call with these slots (at least as many as the native reads, pushed or left
// from earlier calls) of which `pushed` were pushed: the native by hash and role, the slot and
// the call's position. Done when the call is good.
Status ArgumentFault(const NativeSignature& native, const uint64_t* slots, int pushed, CallPosition at);

// "0x" and 16 upper-case hex digits.
std::string Hex64(uint64_t value);
// "native 0x3A618A217E5154F0 (draw rectangle)".
std::string NativeLabel(const NativeSignature& native);

}  // namespace sim
