// The natives the simulated host knows: each row of the native table (sim/natives/
// native_signatures.h) joined with its handler. Each subsystem file registers its handlers by role.
#pragma once

#include <vector>

#include "sim/natives/native_call.h"
#include "sim/natives/native_signatures.h"

namespace sim {

class Host;

static_assert(kWidestNative <= kMaxNativeArgs, "a call's argument buffer holds every slot a native reads");

using NativeHandlerFunction = void (*)(Host& host, NativeCall& call);

// A handler as a subsystem file registers it: under the role of its row in the table.
struct NativeHandler {
    const char* role;
    NativeHandlerFunction run;
};

// A row of the table with its handler.
struct NativeDef : NativeSignature {
    NativeHandlerFunction handler;
};

// The row of a hash, with its one handler; null for a hash the table does not hold. The table is
// joined with the handlers on first use: a row without a handler, with two, or a handler without a
// row is a defect of the simulator, which stops the process with a message naming it.
const NativeDef* FindNative(uint64_t hash);

// Every subsystem's handlers, in one list.
std::vector<NativeHandler> AllHandlers();

// Per-subsystem handlers, defined in natives/*_natives.cpp.
std::vector<NativeHandler> CoreHandlers();
std::vector<NativeHandler> TextHandlers();
std::vector<NativeHandler> LocationHandlers();
std::vector<NativeHandler> ControlHandlers();
std::vector<NativeHandler> PlayerHandlers();
std::vector<NativeHandler> ScreenHandlers();

}  // namespace sim
