// A host text split at its inline codes into lines of same-looking runs, ready to draw.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace preview {

struct Rgb {
    uint8_t r = 255, g = 255, b = 255;
};

struct TextRun {
    std::string text;
    Rgb colour;
    bool bold = false;
};

using TextLine = std::vector<TextRun>;

// "~y~Alta St~w~  x" -> one line: {"Alta St", yellow}, {"  x", white}. base is the colour the
// text was given; "~s~" returns to it. Always at least one line; empty runs are dropped. Bytes that
// do not form UTF-8 become "?", so any host text can be drawn.
std::vector<TextLine> SplitInlineCodes(const std::string& text, Rgb base);

}  // namespace preview
