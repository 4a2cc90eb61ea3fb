// Decoding and encoding KOV.ini: byte order marks, UTF-8 validity, UTF-16 and Windows-1252.
#include "sim/ini/ini_file.h"

#include <cstdint>
#include <iterator>

#include "sim/ini/utf.h"

namespace preview {

namespace {

constexpr char32_t kReplacementChar = sim::kReplacementCharacter;

// Windows-1252 bytes 0x80..0x9F; the five unassigned bytes map to the control character of the
// same number, as Windows does. Every other byte is its Latin-1 code point.
constexpr char16_t kWindows1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

struct EncodingRow {
    IniEncoding encoding;
    const char* name;
    const char* title;
};
constexpr EncodingRow kEncodings[] = {
    {IniEncoding::Utf8, "utf-8", "UTF-8"},
    {IniEncoding::Utf8Bom, "utf-8-bom", "UTF-8 with byte order mark"},
    {IniEncoding::Utf16Le, "utf-16le", "UTF-16 (Windows \"Unicode\")"},
    {IniEncoding::Utf16Be, "utf-16be", "UTF-16 big-endian"},
    {IniEncoding::Windows1252, "windows-1252", "8-bit Windows (ANSI)"},
};

const EncodingRow& RowOf(IniEncoding encoding) {
    for (const EncodingRow& row : kEncodings) {
        if (row.encoding == encoding) return row;
    }
    return kEncodings[0];
}

void AppendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

std::string DecodeUtf16(std::string_view bytes, bool bigEndian) {
    std::string out;
    const auto unit = [&](size_t i) -> char32_t {
        const auto b0 = static_cast<uint8_t>(bytes[i]), b1 = static_cast<uint8_t>(bytes[i + 1]);
        return bigEndian ? (b0 << 8 | b1) : (b1 << 8 | b0);
    };
    for (size_t i = 0; i + 1 < bytes.size(); i += 2) {
        char32_t c = unit(i);
        if (c >= 0xD800 && c <= 0xDBFF && i + 3 < bytes.size() && unit(i + 2) >= 0xDC00 && unit(i + 2) <= 0xDFFF) {
            c = 0x10000 + ((c - 0xD800) << 10) + (unit(i + 2) - 0xDC00);
            i += 2;
        } else if (c >= 0xD800 && c <= 0xDFFF) {
            c = kReplacementChar;
        }
        AppendUtf8(out, c);
    }
    if (bytes.size() % 2 != 0) AppendUtf8(out, kReplacementChar);  // a last odd byte
    return out;
}

std::string DecodeWindows1252(std::string_view bytes) {
    std::string out;
    for (const char byte : bytes) {
        const auto b = static_cast<uint8_t>(byte);
        AppendUtf8(out, b >= 0x80 && b < 0xA0 ? kWindows1252High[b - 0x80] : b);
    }
    return out;
}

char ToWindows1252(char32_t c) {
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) return static_cast<char>(c);
    for (size_t i = 0; i < std::size(kWindows1252High); ++i) {
        if (kWindows1252High[i] == c) return static_cast<char>(0x80 + i);
    }
    return '?';
}

// Calls put for each code point of a UTF-8 text, with every line end made CR LF; bytes that are
// not UTF-8 count as U+FFFD.
template <typename Put>
void ForEachCodePointCrlf(std::string_view text, Put put) {
    for (size_t at = 0; at < text.size();) {
        if (text[at] == '\r' || text[at] == '\n') {
            at += (text[at] == '\r' && at + 1 < text.size() && text[at + 1] == '\n') ? 2 : 1;
            put(U'\r');
            put(U'\n');
            continue;
        }
        put(static_cast<char32_t>(sim::NextCodePoint(text, at)));
    }
}

}  // namespace

IniText DecodeIniFile(std::string_view bytes) {
    if (bytes.substr(0, 3) == sim::kUtf8Mark) return {IniEncoding::Utf8Bom, std::string(bytes.substr(3))};
    if (bytes.substr(0, 2) == sim::kUtf16LeMark) return {IniEncoding::Utf16Le, DecodeUtf16(bytes.substr(2), false)};
    if (bytes.substr(0, 2) == sim::kUtf16BeMark) return {IniEncoding::Utf16Be, DecodeUtf16(bytes.substr(2), true)};
    if (sim::IsUtf8(bytes)) return {IniEncoding::Utf8, std::string(bytes)};
    return {IniEncoding::Windows1252, DecodeWindows1252(bytes)};
}

std::string EncodeIniFile(std::string_view text, IniEncoding encoding) {
    std::string out;
    switch (encoding) {
        case IniEncoding::Utf8Bom:
            out = sim::kUtf8Mark;
            [[fallthrough]];
        case IniEncoding::Utf8:
            ForEachCodePointCrlf(text, [&](char32_t c) { AppendUtf8(out, c); });
            break;
        case IniEncoding::Utf16Le:
        case IniEncoding::Utf16Be: {
            const bool bigEndian = encoding == IniEncoding::Utf16Be;
            out = bigEndian ? sim::kUtf16BeMark : sim::kUtf16LeMark;
            ForEachCodePointCrlf(text, [&](char32_t c) { sim::AppendUtf16(c, bigEndian, out); });
            break;
        }
        case IniEncoding::Windows1252:
            ForEachCodePointCrlf(text, [&](char32_t c) { out += ToWindows1252(c); });
            break;
    }
    return out;
}

const char* EncodingTitle(IniEncoding encoding) { return RowOf(encoding).title; }
const char* EncodingName(IniEncoding encoding) { return RowOf(encoding).name; }

IniEncoding EncodingNamed(std::string_view name) {
    for (const EncodingRow& row : kEncodings) {
        if (name == row.name) return row.encoding;
    }
    return IniEncoding::Utf8;
}

}  // namespace preview
