// The readable line of one traced native call: "role(arguments) -> result". Text arguments are
// quoted, out-pointers show what the host wrote (&->value), handle pointers the handle they held
// (&[value]); no address is ever printed, so the same run gives the same bytes on every platform.
#pragma once

#include <string>
#include <vector>

#include "sim/game/world.h"
#include "sim/natives/native_table.h"

namespace sim {

// What the host copies from a call's arguments before running it.
struct CallCapture {
    std::vector<HostText> texts;           // 's' arguments in push order; nullopt for a null pointer
    int32_t handles[kMaxNativeArgs] = {};  // 'h' arguments: the handle the pointer held at call time
};

CallCapture CaptureArguments(const NativeDef& def, const NativeCall& call);
// Out-pointers are read when this runs, so call it after the handler and before returning.
std::string FormatTraceLine(const NativeDef& def, const NativeCall& call, const CallCapture& capture);
// "%.9g" (or as many significant digits as given), spelled the same by every C runtime: inf, -inf,
// nan, exponents of at least two digits.
std::string FormatFloat(float value, int digits = 9);
// A text in double quotes, escaped for the trace.
std::string QuoteText(const std::string& text);

}  // namespace sim
