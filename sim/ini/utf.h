// UTF-8 and UTF-16 code points and byte order marks, read and written the way the system's
// converter does, for both views of a KOV.ini file (sim/ini/ini_text.h) and the host's names.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace sim {

constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";
constexpr std::string_view kUtf16LeMark = "\xFF\xFE";
constexpr std::string_view kUtf16BeMark = "\xFE\xFF";
constexpr uint32_t kReplacementCharacter = 0xFFFD;
constexpr uint32_t kLastBmpCharacter = 0xFFFF;

// One character of UTF-8 at bytes[at], advancing at. A malformed sequence gives one U+FFFD and
// leaves `at` after the bytes that still fitted the sequence, so a byte that cannot continue it
// starts the next character; a sequence cut by the end of the text takes the rest of it.
uint32_t NextCodePoint(std::string_view bytes, size_t& at);

// One character of UTF-16 in the byte order given at bytes[at] (at + 1 < bytes.size()), advancing
// at: a surrogate pair joined, a lone half as U+FFFD.
uint32_t NextUtf16CodePoint(std::string_view bytes, size_t& at, bool bigEndian);

// Whether text is well-formed UTF-8 (what the host's names and JSON strings must be).
bool IsUtf8(std::string_view text);

// One code point as UTF-8 (U+0000 to U+10FFFF).
void AppendUtf8(uint32_t codePoint, std::string& out);

// One code point as UTF-16 code units in the byte order asked for: a surrogate pair beyond U+FFFF.
void AppendUtf16(uint32_t codePoint, bool bigEndian, std::string& out);

}  // namespace sim
