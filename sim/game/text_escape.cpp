// Escaping of texts for the trace and for a terminal: one loop, two sets of bytes kept as they are.
#include "sim/game/text_escape.h"

#include <cstdio>

namespace sim {

namespace {

// The length of the UTF-8 character at i that is no control character (not C1: U+0080 to U+009F),
// or 0 when no such character starts there.
size_t PrintableUtf8At(const std::string& text, size_t i) {
    const auto byte = [&](size_t at) { return at < text.size() ? static_cast<unsigned char>(text[at]) : 0u; };
    const unsigned lead = byte(i);
    const size_t length = lead >= 0xF0 && lead <= 0xF4  ? 4
                          : lead >= 0xE0 && lead < 0xF0 ? 3
                          : lead >= 0xC2 && lead < 0xE0 ? 2
                                                        : 0;
    if (length == 0 || (lead == 0xC2 && byte(i + 1) < 0xA0)) return 0;
    for (size_t k = 1; k < length; ++k) {
        if ((byte(i + k) & 0xC0) != 0x80) return 0;
    }
    const unsigned second = byte(i + 1);
    const bool overlong = (lead == 0xE0 && second < 0xA0) || (lead == 0xF0 && second < 0x90);
    const bool beyond = (lead == 0xED && second >= 0xA0) || (lead == 0xF4 && second >= 0x90);
    return overlong || beyond ? 0 : length;
}

}  // namespace

std::string EscapeText(const std::string& text, TextEscape escape) {
    std::string shown;
    for (size_t i = 0; i < text.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if (escape == TextEscape::Quoted && (c == '"' || c == '\\')) {
            shown += '\\';
            shown += text[i];
            continue;
        }
        if (c >= 0x20 && c < 0x7F) {
            shown += text[i];
            continue;
        }
        const size_t keep = escape == TextEscape::Terminal ? PrintableUtf8At(text, i) : 0;
        if (keep > 0) {
            shown.append(text, i, keep);
            i += keep - 1;
            continue;
        }
        char code[8];
        std::snprintf(code, sizeof code, "\\x%02X", c);
        shown += code;
    }
    return shown;
}

std::string TerminalText(const std::string& text) { return EscapeText(text, TextEscape::Terminal); }

}  // namespace sim
