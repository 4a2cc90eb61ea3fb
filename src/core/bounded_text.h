// Copying and formatting into fixed buffers: the result is always terminated and never overruns
// the buffer; a longer text is cut. A null source reads as an empty text.
#pragma once

#include <cstdarg>
#include <cstddef>

void CopyText(char* buffer, size_t capacity, const char* text);
// printf-style; returns what the formatter returned (the untruncated length, or negative).
int FormatText(char* buffer, size_t capacity, const char* format, ...);
int FormatTextV(char* buffer, size_t capacity, const char* format, va_list args);
// ASCII case-insensitive whole-text equality.
bool TextEqualsIgnoringCase(const char* a, const char* b);

template <size_t N>
void CopyText(char (&buffer)[N], const char* text) { CopyText(buffer, N, text); }
