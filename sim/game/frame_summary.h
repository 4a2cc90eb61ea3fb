// What a person would read on the screen in one frame: the drawn texts grouped into lines from top
// to bottom, each line left to right, with the host's colour codes shown as colour tags.
#pragma once

#include <string>

#include "sim/game/host.h"

namespace sim {

// "~y~Alta St~w~" -> "<yellow>Alta St</yellow>"; a code that names no colour (bold, new line) and
// any other text between tildes are kept as written; control characters come out escaped
// (TerminalText), so the text stays on its line.
std::string ReadableText(const std::string& text);

// " aligned LB" (and the params when not all zero) for a draw made under script gfx alignment;
// "" for one made without.
std::string AlignmentTag(const GfxAlign& align);

// One block per frame: a heading line; per line of text on the screen, what it reads and then each
// of its texts with its normalised position; rectangles, feed posts, and whether the host's own
// area name was switched off. Texts are read where they land on a 16:9 screen.
std::string SummariseFrame(const Frame& frame);

}  // namespace sim
