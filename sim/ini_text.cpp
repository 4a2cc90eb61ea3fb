// INI file bytes to the code page text the Windows profile lookup works on, and back.
#include "sim/ini_text.h"

#include "sim/code_page_1252.h"

namespace sim {

namespace {

constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";
constexpr std::string_view kUtf16LeMark = "\xFF\xFE";
constexpr std::string_view kUtf16BeMark = "\xFE\xFF";
constexpr uint32_t kReplacement = 0xFFFD;
constexpr uint32_t kLastBmp = 0xFFFF;

// One character of UTF-8 at bytes[at], decoded as the system's converter does: a malformed
// sequence gives one U+FFFD and leaves `at` after the bytes that still fitted the sequence, so a
// byte that cannot continue it starts the next character; a sequence cut by the end of the text
// takes the rest of it.
uint32_t NextCodePoint(std::string_view bytes, size_t& at) {
    const auto lead = static_cast<uint8_t>(bytes[at++]);
    if (lead < 0x80) return lead;
    const size_t follow = lead >= 0xF5 ? 0 : lead >= 0xF0 ? 3 : lead >= 0xE0 ? 2 : lead >= 0xC2 ? 1 : 0;
    if (follow == 0) return kReplacement;
    if (at + follow > bytes.size()) {
        at = bytes.size();
        return kReplacement;
    }
    uint32_t value = lead & (0x3Fu >> follow);
    for (size_t left = follow; left > 0; --left) {
        const uint32_t bits = static_cast<uint8_t>(bytes[at]) ^ 0x80u;
        if (bits >= 0x40) return kReplacement;  // not a continuation byte
        value = value << 6 | bits;
        if (left == 2 && value >= (0x110000u >> 6)) return kReplacement;  // past U+10FFFF, byte not taken
        ++at;
        // Overlong forms and UTF-16 surrogates end the sequence with the bytes read so far.
        if (left == 3 && value < 0x10) return kReplacement;
        if (left == 2 && (value < 0x20 || (value >= (0xD800u >> 6) && value <= (0xDFFFu >> 6)))) return kReplacement;
    }
    return value;
}

void AppendCodePage(uint32_t codePoint, std::string& out) {
    if (codePoint > kLastBmp) {
        out += "??";  // a surrogate pair: no byte for either half
        return;
    }
    out += CodePage1252Byte(static_cast<uint16_t>(codePoint));
}

std::string FromUtf8(std::string_view bytes) {
    std::string text;
    for (size_t at = 0; at < bytes.size();) AppendCodePage(NextCodePoint(bytes, at), text);
    return text;
}

// An odd last byte is no code unit and is dropped.
std::string FromUtf16(std::string_view bytes, bool bigEndian) {
    std::string text;
    for (size_t at = 0; at + 1 < bytes.size(); at += 2) {
        const auto first = static_cast<uint8_t>(bytes[at]), second = static_cast<uint8_t>(bytes[at + 1]);
        text += CodePage1252Byte(static_cast<uint16_t>(bigEndian ? first << 8 | second : second << 8 | first));
    }
    return text;
}

void AppendUtf16(uint32_t unit, bool bigEndian, std::string& out) {
    const char high = static_cast<char>(unit >> 8), low = static_cast<char>(unit & 0xFF);
    out += bigEndian ? high : low;
    out += bigEndian ? low : high;
}

std::string ToUtf16(std::string_view utf8, bool bigEndian) {
    std::string bytes;
    for (size_t at = 0; at < utf8.size();) {
        const uint32_t codePoint = NextCodePoint(utf8, at);
        if (codePoint <= kLastBmp) {
            AppendUtf16(codePoint, bigEndian, bytes);
        } else {
            AppendUtf16(0xD800 + ((codePoint - 0x10000) >> 10), bigEndian, bytes);
            AppendUtf16(0xDC00 + ((codePoint - 0x10000) & 0x3FF), bigEndian, bytes);
        }
    }
    return bytes;
}

std::optional<std::string> ToCodePageBytes(std::string_view utf8) {
    std::string bytes;
    for (size_t at = 0; at < utf8.size();) {
        const uint32_t codePoint = NextCodePoint(utf8, at);
        if (codePoint > 0xFF) return std::nullopt;
        bytes += static_cast<char>(codePoint);
    }
    return bytes;
}

bool StartsWith(std::string_view text, std::string_view prefix) { return text.substr(0, prefix.size()) == prefix; }

}  // namespace

IniText DecodeIniText(std::string_view bytes) {
    if (StartsWith(bytes, kUtf8Mark)) return {FromUtf8(bytes.substr(kUtf8Mark.size())), IniEncoding::Utf8};
    if (StartsWith(bytes, kUtf16LeMark)) return {FromUtf16(bytes.substr(2), false), IniEncoding::Utf16Le};
    if (StartsWith(bytes, kUtf16BeMark)) return {FromUtf16(bytes.substr(2), true), IniEncoding::Utf16Be};
    return {std::string(bytes), IniEncoding::CodePage};
}

const char* IniEncodingName(IniEncoding encoding) {
    switch (encoding) {
        case IniEncoding::CodePage: return "8-bit code page";
        case IniEncoding::Utf8: return "UTF-8 with a byte order mark";
        case IniEncoding::Utf16Le: return "UTF-16 LE with a byte order mark";
        case IniEncoding::Utf16Be: return "UTF-16 BE with a byte order mark";
    }
    return "";
}

std::optional<std::string> EncodeIniText(std::string_view utf8, IniEncoding encoding) {
    switch (encoding) {
        case IniEncoding::CodePage: return ToCodePageBytes(utf8);
        case IniEncoding::Utf8: return std::string(utf8);
        case IniEncoding::Utf16Le: return ToUtf16(utf8, false);
        case IniEncoding::Utf16Be: return ToUtf16(utf8, true);
    }
    return std::nullopt;
}

bool IsUtf8(std::string_view text) {
    for (size_t at = 0; at < text.size();) {
        const size_t start = at;
        // U+FFFD written out is three bytes; a malformed sequence yielding it is shorter.
        if (NextCodePoint(text, at) == kReplacement && !(at - start == 3 && text.substr(start, 3) == "\xEF\xBF\xBD")) {
            return false;
        }
    }
    return true;
}

}  // namespace sim
