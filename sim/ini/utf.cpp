// UTF-8 and UTF-16 reading and writing, as the system's converter does them.
#include "sim/ini/utf.h"

namespace sim {

uint32_t NextCodePoint(std::string_view bytes, size_t& at) {
    const auto lead = static_cast<uint8_t>(bytes[at++]);
    if (lead < 0x80) return lead;
    const size_t follow = lead >= 0xF5 ? 0 : lead >= 0xF0 ? 3 : lead >= 0xE0 ? 2 : lead >= 0xC2 ? 1 : 0;
    if (follow == 0) return kReplacementCharacter;
    if (at + follow > bytes.size()) {
        at = bytes.size();
        return kReplacementCharacter;
    }
    uint32_t value = lead & (0x3Fu >> follow);
    for (size_t left = follow; left > 0; --left) {
        const uint32_t bits = static_cast<uint8_t>(bytes[at]) ^ 0x80u;
        if (bits >= 0x40) return kReplacementCharacter;  // not a continuation byte
        value = value << 6 | bits;
        if (left == 2 && value >= (0x110000u >> 6)) return kReplacementCharacter;  // past U+10FFFF, byte not taken
        ++at;
        // Overlong forms and UTF-16 surrogates end the sequence with the bytes read so far.
        if (left == 3 && value < 0x10) return kReplacementCharacter;
        if (left == 2 && (value < 0x20 || (value >= (0xD800u >> 6) && value <= (0xDFFFu >> 6)))) {
            return kReplacementCharacter;
        }
    }
    return value;
}

namespace {

constexpr uint32_t kFirstHighSurrogate = 0xD800, kFirstLowSurrogate = 0xDC00, kLastSurrogate = 0xDFFF;

uint32_t UnitAt(std::string_view bytes, size_t at, bool bigEndian) {
    const auto first = static_cast<uint8_t>(bytes[at]), second = static_cast<uint8_t>(bytes[at + 1]);
    return bigEndian ? first << 8 | second : second << 8 | first;
}

}  // namespace

uint32_t NextUtf16CodePoint(std::string_view bytes, size_t& at, bool bigEndian) {
    const uint32_t unit = UnitAt(bytes, at, bigEndian);
    at += 2;
    if (unit < kFirstHighSurrogate || unit > kLastSurrogate) return unit;
    if (unit >= kFirstLowSurrogate || at + 1 >= bytes.size()) return kReplacementCharacter;
    const uint32_t low = UnitAt(bytes, at, bigEndian);
    if (low < kFirstLowSurrogate || low > kLastSurrogate) return kReplacementCharacter;
    at += 2;
    return 0x10000 + ((unit - kFirstHighSurrogate) << 10) + (low - kFirstLowSurrogate);
}

bool IsUtf8(std::string_view text) {
    for (size_t at = 0; at < text.size();) {
        if (static_cast<uint8_t>(text[at]) < 0x80) {  // the common case, a byte at a time
            ++at;
            continue;
        }
        const size_t start = at;
        // U+FFFD written out is three bytes; a malformed sequence yielding it is shorter.
        if (NextCodePoint(text, at) == kReplacementCharacter &&
            !(at - start == 3 && text.substr(start, 3) == "\xEF\xBF\xBD")) {
            return false;
        }
    }
    return true;
}

void AppendUtf8(uint32_t codePoint, std::string& out) {
    if (codePoint < 0x80) {
        out += static_cast<char>(codePoint);
        return;
    }
    // The lead byte marks how many continuation bytes follow; each of them carries six bits.
    constexpr uint32_t kLeadMarks[] = {0x00, 0xC0, 0xE0, 0xF0};
    const int follow = codePoint < 0x800 ? 1 : codePoint <= kLastBmpCharacter ? 2 : 3;
    out += static_cast<char>(kLeadMarks[follow] | (codePoint >> (6 * follow)));
    for (int shift = 6 * (follow - 1); shift >= 0; shift -= 6)
        out += static_cast<char>(0x80 | ((codePoint >> shift) & 0x3F));
}

namespace {

void AppendUnit(uint32_t unit, bool bigEndian, std::string& out) {
    const char high = static_cast<char>(unit >> 8), low = static_cast<char>(unit & 0xFF);
    out += bigEndian ? high : low;
    out += bigEndian ? low : high;
}

}  // namespace

void AppendUtf16(uint32_t codePoint, bool bigEndian, std::string& out) {
    if (codePoint <= kLastBmpCharacter) return AppendUnit(codePoint, bigEndian, out);
    AppendUnit(kFirstHighSurrogate + ((codePoint - 0x10000) >> 10), bigEndian, out);
    AppendUnit(kFirstLowSurrogate + ((codePoint - 0x10000) & 0x3FF), bigEndian, out);
}

}  // namespace sim
