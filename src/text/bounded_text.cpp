// Bounded copies, joins and formats for every fixed text buffer of the plug-in.
#include "text/bounded_text.h"

#include <cstdio>
#include <cstring>

// UTF-8 continuation bytes are 10xxxxxx.
static bool IsContinuation(uint8_t byte) { return (byte & 0xC0) == 0x80; }

// The length of the well-formed UTF-8 sequence that starts with lead and second, or 0 when they
// start none (an ASCII byte, a stray continuation byte, an overlong form, a surrogate, a code point
// past U+10FFFF).
static size_t SequenceLength(uint8_t lead, uint8_t second) {
    uint8_t low = 0x80, high = 0xBF;  // the range of the second byte
    size_t length = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        if (lead == 0xE0) low = 0xA0;
        if (lead == 0xED) high = 0x9F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        if (lead == 0xF0) low = 0x90;
        if (lead == 0xF4) high = 0x8F;
    }
    return second >= low && second <= high ? length : 0;
}

// Where a text that goes on past its first count bytes is cut so that it ends on a whole
// character: before the first byte of a well-formed sequence the cut would split, or at count.
// Bytes that are no part of such a sequence stay, so text that is not UTF-8 loses nothing more
// than the cut. Reads at most three bytes past count, none past a terminator.
static size_t WholeCharacterCut(const char* text, size_t count) {
    const auto byte = [text](size_t i) { return static_cast<uint8_t>(text[i]); };
    if (!IsContinuation(byte(count))) return count;
    size_t start = count;
    while (start > 0 && count - start < 3 && IsContinuation(byte(start - 1))) --start;
    if (start == 0) return count;
    --start;  // the byte before the continuation bytes
    const size_t length = SequenceLength(byte(start), byte(start + 1));
    if (start + length <= count) return count;  // no sequence, or one that ends before the cut
    for (size_t i = count + 1; i < start + length; ++i) {
        if (!IsContinuation(byte(i))) return count;  // a terminator ends the checks too
    }
    return start;
}

// How much of text fits in room bytes: all of it (whole is set), or as much as ends on a whole
// character.
static size_t FittingLength(const char* text, size_t room, bool* whole) {
    *whole = true;
    if (text == nullptr) return 0;
    const void* end = std::memchr(text, '\0', room);
    if (end != nullptr) return static_cast<size_t>(static_cast<const char*>(end) - text);
    if (text[room] == '\0') return room;  // none of the first room bytes ends it: text[room] is readable
    *whole = false;
    return WholeCharacterCut(text, room);
}

size_t CopyText(char* buffer, size_t capacity, const char* text) {
    if (capacity == 0) return 0;
    bool whole = true;
    const size_t length = FittingLength(text, capacity - 1, &whole);
    if (length != 0) std::memcpy(buffer, text, length);
    buffer[length] = '\0';
    return length;
}

// A part that is cut ends the text: what follows it is not appended in the room its cut left.
void JoinText(char* buffer, size_t capacity, std::initializer_list<const char*> parts) {
    if (capacity == 0) return;
    size_t length = 0;
    for (const char* part : parts) {
        bool whole = true;
        const size_t count = FittingLength(part, capacity - 1 - length, &whole);
        if (count != 0) std::memcpy(buffer + length, part, count);
        length += count;
        if (!whole) break;
    }
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
