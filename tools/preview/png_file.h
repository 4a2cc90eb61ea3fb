// PNG files of the picture tools: written from a cairo image surface with a text of our own
// (a tEXt chunk right after the header), by which kov-demo knows its own pictures again, and that
// text read back. Every write is checked: a full disk fails the write with the reason.
#pragma once

#include <optional>
#include <string>

#include "sim/result.h"

// cairo's own declaration, so that the portable code including picture.h needs no cairo.
typedef struct _cairo_surface cairo_surface_t;

namespace preview {

// A keyword (1 to 79 printable Latin-1 characters) and its text.
struct PngText {
    std::string keyword;
    std::string text;
};

sim::Status WritePng(cairo_surface_t* surface, const std::string& path, const PngText* text);

// The text the PNG at path carries under keyword right after its header; none when the path is not
// a regular file, not a PNG, or carries no such text there.
std::optional<std::string> PngTextOf(const std::string& path, const std::string& keyword);

}  // namespace preview
