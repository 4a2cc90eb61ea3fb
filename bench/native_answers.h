// The minimal host's answer to each native the plug-in calls, registered under the native's role in
// the native table (sim/natives/native_signatures.h), which gives its argument kinds and count; and
// the check each call passes before its answer, the one the simulated host makes too.
#pragma once

#include <cstdint>

#include "sim/natives/argument_check.h"
#include "sim/natives/native_call.h"

namespace bench {

// A native of the table as the minimal host answers it.
struct NativeRow {
    uint64_t hash;
    const sim::NativeSignature* native;
    void (*answer)(sim::NativeCall& call);
    sim::ArgumentRules rules;  // the native's slot ranges, from the table
    uint64_t calls;            // since load
};

// Joins the answers with the table once. A native the plug-in calls without an answer, or an
// answer under a role the table lacks, stops the host with a message before anything runs.
void PrepareRows();
// The row of a hash; null for a native the host has no answer for.
NativeRow* FindRow(uint64_t hash);
// Back to the answers' state at load: no blip handed out, no call counted.
void ResetAnswers();

// The check before the answer, so a faulty call never reaches it (a null out-pointer is reported,
// not written through): one compare per slot. Its fault, as both hosts word it, is
// sim::ArgumentFault of the row's native.
inline bool CallIsGood(const NativeRow& row, const uint64_t* slots, int pushed) {
    return sim::ArgumentsAreGood(row.rules, slots, pushed);
}

}  // namespace bench
