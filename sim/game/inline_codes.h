// The host's inline text codes, as the game draws them: "~y~" and the other colours, "~s~" back to
// the text's own colour, "~h~" bold, "~n~" a new line. One table for everything that reads or
// paints a host text: the readable texts of kov-sim and kov-demo, both painters and the page.
#pragma once

#include <cstdint>

namespace sim {

struct InlineColour {
    char code;
    const char* tag;  // the readable form's tag (<yellow>...</yellow>); "" for white, the texts' own colour
    uint8_t r, g, b;
};

constexpr InlineColour kInlineColours[] = {
    // clang-format off
    {'w', "",         240, 240, 240},  // white
    {'c', "grey",     155, 155, 155},
    {'m', "darkgrey", 100, 100, 100},
    {'u', "black",    0,   0,   0},
    {'r', "red",      224, 50,  50},
    {'g', "green",    114, 204, 114},
    {'b', "blue",     93,  182, 229},
    {'y', "yellow",   240, 200, 80},
    {'o', "orange",   234, 142, 80},
    {'p', "purple",   132, 102, 226},
    {'q', "pink",     203, 54,  148},
    // clang-format on
};

constexpr char kInlineResetCode = 's';    // back to the colour the text was given
constexpr char kInlineBoldCode = 'h';     // bold for the rest of the text
constexpr char kInlineNewLineCode = 'n';  // a new line

// The colour of a code letter, or null when the letter is no colour.
constexpr const InlineColour* FindInlineColour(char code) {
    for (const InlineColour& colour : kInlineColours) {
        if (colour.code == code) return &colour;
    }
    return nullptr;
}

// "~x~" at text[at] with a known letter x: a code the host acts on rather than draws.
template <typename Text>
constexpr bool IsInlineCodeAt(const Text& text, decltype(text.size()) at) {
    if (at + 2 >= text.size() || text[at] != '~' || text[at + 2] != '~') return false;
    const char code = text[at + 1];
    return FindInlineColour(code) != nullptr || code == kInlineResetCode || code == kInlineBoldCode ||
           code == kInlineNewLineCode;
}

}  // namespace sim
