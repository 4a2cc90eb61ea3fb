// Copying, joining and formatting into fixed buffers: the result is always terminated and never
// overruns the buffer; a longer text is cut. A copy or join is cut on a whole UTF-8 character (the
// host's names are UTF-8 in every language), so a cut never leaves half a letter; bytes that are not
// UTF-8 are cut where they fall. A null source reads as an empty text. The per-frame path joins and
// copies; only the log line goes through the printf-style formatter.
#pragma once

#include <cstdarg>
#include <cstddef>
#include <cstdint>
#include <initializer_list>

// Returns the length of the copy.
size_t CopyText(char* buffer, size_t capacity, const char* text);
// The parts one after another, as "%s%s..." would give them; the text ends where a part is cut.
void JoinText(char* buffer, size_t capacity, std::initializer_list<const char*> parts);
// Decimal text of value, zero-padded to width characters (the sign counts), as "%0*d" would.
void DecimalText(char* buffer, size_t capacity, int32_t value, int width);
// printf-style, cut at the buffer; returns what the formatter returned.
int FormatTextV(char* buffer, size_t capacity, const char* format, va_list args);

constexpr char LowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

// ASCII case-insensitive whole-text equality. Inline, and usable at compile time: the name tables'
// indexes are built with it.
constexpr bool TextEqualsIgnoringCase(const char* a, const char* b) {
    for (;; ++a, ++b) {
        if (LowerAscii(*a) != LowerAscii(*b)) return false;
        if (*a == '\0') return true;
    }
}

template <size_t N>
size_t CopyText(char (&buffer)[N], const char* text) {
    return CopyText(buffer, N, text);
}
template <size_t N>
void JoinText(char (&buffer)[N], std::initializer_list<const char*> parts) {
    JoinText(buffer, N, parts);
}
template <size_t N>
void DecimalText(char (&buffer)[N], int32_t value, int width) {
    DecimalText(buffer, N, value, width);
}
