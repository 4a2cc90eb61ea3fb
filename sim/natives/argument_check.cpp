// The wording of argument faults, shared by both hosts.
#include "sim/natives/argument_check.h"

#include <cinttypes>
#include <cstdio>

namespace sim {

namespace {

std::string Number(int value) { return std::to_string(value); }

// Why a slot of this kind may not hold what it holds.
const char* SlotProblem(char kind) {
    switch (kind) {
        case 'i':
        case 'u':
        case 'f': return "a 32-bit value must be zero-extended";
        case 'b': return "a bool must be 0 or 1 in the lowest byte";
        case 'z': return "the game's own scripts pass 0 here";
        case 'n': return "the game's own scripts pass false here";
        default: return "the host cannot write through a null pointer";
    }
}

// The game's handler reads every parameter of the native, pushed or not: a call that pushed fewer
// hands it the stale slots of earlier calls.
std::string ShortPush(const NativeSignature& native, const uint64_t* slots, int pushed, int expected, CallPosition at) {
    return NativeLabel(native) + " reads argument slot " + Number(pushed + 1) + ", which call " + Number(at.call) +
           " of frame " + Number(at.frame) + " did not push (" + Number(pushed) + " of " + Number(expected) +
           " pushed; the slot still holds " + Hex64(slots[pushed]) + " from before)";
}

// More than the native reads is a call of another form.
std::string ExtraPush(const NativeSignature& native, int pushed, int expected, CallPosition at) {
    return NativeLabel(native) + " reads no argument slot " + Number(expected + 1) + ", which call " + Number(at.call) +
           " of frame " + Number(at.frame) + " pushed (" + Number(pushed) + " pushed, " + Number(expected) + " read)";
}

}  // namespace

Status ArgumentFault(const NativeSignature& native, const uint64_t* slots, int pushed, CallPosition at) {
    const ArgumentRules rules = RulesOf(native);
    if (ArgumentsAreGood(rules, slots, pushed)) return {};
    if (pushed < rules.count) return Failure(ShortPush(native, slots, pushed, rules.count, at));
    if (pushed > rules.count) return Failure(ExtraPush(native, pushed, rules.count, at));
    int slot = 0;
    while (InRange(rules.slots[slot], slots[slot])) ++slot;
    return Failure(NativeLabel(native) + " argument slot " + Number(slot + 1) + " of call " + Number(at.call) +
                   " of frame " + Number(at.frame) + " holds " + Hex64(slots[slot]) + ": " +
                   SlotProblem(native.args[slot]));
}

std::string Hex64(uint64_t value) {
    char text[24];
    std::snprintf(text, sizeof text, "0x%016" PRIX64, value);
    return text;
}

std::string NativeLabel(const NativeSignature& native) {
    return "native " + Hex64(native.hash) + " (" + native.role + ")";
}

}  // namespace sim
