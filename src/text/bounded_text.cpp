// Bounded copies, joins and formats for every fixed text buffer of the plug-in.
#include "text/bounded_text.h"

#include <cstdio>
#include <cstring>

// Appends text at buffer[length], keeping room for the terminator; returns the new length.
static size_t AppendText(char* buffer, size_t capacity, size_t length, const char* text) {
    if (text == nullptr || length + 1 >= capacity) return length;
    const size_t room = capacity - 1 - length;
    const void* end = std::memchr(text, '\0', room);
    const size_t count = end != nullptr ? static_cast<size_t>(static_cast<const char*>(end) - text) : room;
    std::memcpy(buffer + length, text, count);
    return length + count;
}

size_t CopyText(char* buffer, size_t capacity, const char* text) {
    if (capacity == 0) return 0;
    const size_t length = AppendText(buffer, capacity, 0, text);
    buffer[length] = '\0';
    return length;
}

void JoinText(char* buffer, size_t capacity, std::initializer_list<const char*> parts) {
    if (capacity == 0) return;
    size_t length = 0;
    for (const char* part : parts) length = AppendText(buffer, capacity, length, part);
    buffer[length] = '\0';
}

void DecimalText(char* buffer, size_t capacity, int32_t value, int width) {
    if (capacity == 0) return;
    char digits[10];  // the digits of |value|, last first
    int count = 0;
    int64_t magnitude = value < 0 ? -static_cast<int64_t>(value) : value;
    do {
        digits[count++] = static_cast<char>('0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude != 0);

    // Written straight into the buffer, so any width is cut at its end like any other text.
    const size_t last = capacity - 1;
    size_t length = 0;
    if (value < 0 && length < last) buffer[length++] = '-';
    for (int64_t pad = static_cast<int64_t>(width) - count - (value < 0 ? 1 : 0); pad > 0 && length < last; --pad) {
        buffer[length++] = '0';
    }
    while (count > 0 && length < last) buffer[length++] = digits[--count];
    buffer[length] = '\0';
}

int FormatTextV(char* buffer, size_t capacity, const char* format, va_list args) {
    if (capacity == 0) return -1;
    const int written = std::vsnprintf(buffer, capacity, format, args);
    // Truncation or a formatter error: make sure the last byte terminates the text.
    if (written < 0 || static_cast<size_t>(written) >= capacity) buffer[capacity - 1] = '\0';
    return written;
}
