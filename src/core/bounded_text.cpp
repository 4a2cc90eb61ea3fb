// Bounded copies and formats for every fixed text buffer of the plug-in.
#include "core/bounded_text.h"

#include <cstdarg>
#include <cstdio>

void CopyText(char* buffer, size_t capacity, const char* text) {
    if (capacity == 0) return;
    size_t i = 0;
    if (text != nullptr) {
        for (; i + 1 < capacity && text[i] != '\0'; ++i) buffer[i] = text[i];
    }
    buffer[i] = '\0';
}

int FormatTextV(char* buffer, size_t capacity, const char* format, va_list args) {
    if (capacity == 0) return -1;
    const int written = std::vsnprintf(buffer, capacity, format, args);
    // Truncation or a formatter error: make sure the last byte terminates the text.
    if (written < 0 || static_cast<size_t>(written) >= capacity) buffer[capacity - 1] = '\0';
    return written;
}

int FormatText(char* buffer, size_t capacity, const char* format, ...) {
    va_list args;
    va_start(args, format);
    const int written = FormatTextV(buffer, capacity, format, args);
    va_end(args);
    return written;
}

static char LowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool TextEqualsIgnoringCase(const char* a, const char* b) {
    for (;; ++a, ++b) {
        if (LowerAscii(*a) != LowerAscii(*b)) return false;
        if (*a == '\0') return true;
    }
}
