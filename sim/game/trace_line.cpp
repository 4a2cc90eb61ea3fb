// Formatting of trace lines from a native's argument and result kinds.
#include "sim/game/trace_line.h"

#include "sim/game/text_escape.h"

#include <cmath>
#include <cstdio>
#include <cstring>

namespace sim {

namespace {

std::string Decimal(long long value) { return std::to_string(value); }

float FloatIn(uint64_t slot) {
    const uint32_t bits = static_cast<uint32_t>(slot);
    float value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

std::string Bool(bool value) { return value ? "true" : "false"; }

std::string Vector(float x, float y, float z) {
    return "(" + FormatFloat(x) + ", " + FormatFloat(y) + ", " + FormatFloat(z) + ")";
}

std::string Argument(char kind, int index, const NativeCall& call, const CallCapture& capture, size_t& nextText) {
    switch (SlotKind(kind)) {
        case 'i': return Decimal(call.Int(index));
        case 'u': return Decimal(call.Uint(index));
        case 'f': return FormatFloat(call.Float(index));
        case 'b': return Bool(call.Bool(index));
        case 's': {
            const HostText& text = capture.texts[nextText++];
            return text ? QuoteText(*text) : "null";
        }
        case 'o': return "&->" + Decimal(*call.Pointer<uint32_t>(index));
        case 'F': return "&->" + FormatFloat(*call.Pointer<float>(index));
        case 'V': {
            uint64_t v[3];  // x, y, z in the low halves of three slots
            std::memcpy(v, call.Pointer<const unsigned char>(index), sizeof v);
            return "&->" + Vector(FloatIn(v[0]), FloatIn(v[1]), FloatIn(v[2]));
        }
        case 'h': return "&[" + Decimal(capture.handles[index]) + "]";
        default: return "?";
    }
}

std::string ResultText(char kind, const NativeCall& call) {
    switch (kind) {
        case 'i': return Decimal(static_cast<int32_t>(static_cast<uint32_t>(call.result[0])));
        case 'u': return Decimal(static_cast<uint32_t>(call.result[0]));
        case 'b': return Bool((call.result[0] & 0xFF) != 0);
        case 'B': return Decimal(call.result[0] & 0xFF);
        case 'f': return FormatFloat(FloatIn(call.result[0]));
        case 's': {
            const char* text = reinterpret_cast<const char*>(static_cast<uintptr_t>(call.result[0]));
            return text ? QuoteText(text) : "null";
        }
        case 'v': return Vector(FloatIn(call.result[0]), FloatIn(call.result[1]), FloatIn(call.result[2]));
        default: return "?";
    }
}

}  // namespace

CallCapture CaptureArguments(const NativeDef& def, const NativeCall& call) {
    CallCapture capture;
    for (int i = 0; def.args[i] != '\0'; ++i) {
        if (def.args[i] == 's') {
            const char* text = call.Text(i);
            capture.texts.push_back(text ? HostText(text) : HostText());
        } else if (def.args[i] == 'h') {
            capture.handles[i] = *call.Pointer<int32_t>(i);
        }
    }
    return capture;
}

std::string FormatTraceLine(const NativeDef& def, const NativeCall& call, const CallCapture& capture) {
    std::string line = def.role;
    line += '(';
    size_t nextText = 0;
    for (int i = 0; def.args[i] != '\0'; ++i) {
        if (i > 0) line += ", ";
        line += Argument(def.args[i], i, call, capture, nextText);
    }
    line += ')';
    if (def.result != '-') line += " -> " + ResultText(def.result, call);
    return line;
}

std::string FormatFloat(float value, int digits) {
    if (std::isnan(value)) return "nan";
    if (std::isinf(value)) return value > 0 ? "inf" : "-inf";
    char text[40];
    std::snprintf(text, sizeof text, "%.*g", digits, static_cast<double>(value));
    // Some C runtimes print three exponent digits; keep two, as the others do.
    char* exponent = std::strchr(text, 'e');
    if (exponent != nullptr && std::strlen(exponent) == 5 && exponent[2] == '0') {
        std::memmove(exponent + 2, exponent + 3, 3);
    }
    return text;
}

std::string QuoteText(const std::string& text) { return "\"" + EscapeText(text, TextEscape::Quoted) + "\""; }

}  // namespace sim
