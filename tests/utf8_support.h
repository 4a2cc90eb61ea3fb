// Test support for texts cut on whole UTF-8 characters: what a buffer keeps of a valid UTF-8 text.
#pragma once

#include <cstddef>
#include <string>

namespace simtest {

// The longest start of a valid UTF-8 text that has at most bytes bytes and ends on a whole
// character (before a byte that is no continuation byte, 10xxxxxx, or at the text's end).
inline std::string WholeCharacterPrefix(const std::string& text, size_t bytes) {
    if (text.size() <= bytes) return text;
    size_t length = bytes;
    while (length > 0 && (static_cast<unsigned char>(text[length]) & 0xC0) == 0x80) --length;
    return text.substr(0, length);
}

}  // namespace simtest
