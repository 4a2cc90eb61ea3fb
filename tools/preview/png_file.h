// PNG files of the picture tools: made from a cairo image surface with a text of our own (a tEXt
// chunk right after the header: kov-demo's names the tour and the stop), then written whole.
#pragma once

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

// The PNG's bytes, the text right after the header when given.
sim::Result<std::string> EncodePng(cairo_surface_t* surface, const PngText* text);
// The PNG as a whole file (sim::WriteWholeFileBytes).
sim::Status WritePng(cairo_surface_t* surface, const std::string& path, const PngText* text);

}  // namespace preview
