// The painter primitives in cairo. Texts are drawn as glyph paths, so a PNG and an SVG agree.
#include "tools/preview/cairo_painter.h"

#include <cairo-ft.h>
#include <fontconfig/fontconfig.h>

#include <cmath>
#include <cstdlib>
#include <map>
#include <string>
#include <utility>

namespace preview {

namespace {

// ---- a font for every character ----
// cairo's text calls draw a text with one font, the one fontconfig matches to the face's family,
// and show a missing-glyph box for every character that font lacks (the stand-in faces have Latin,
// Greek and Cyrillic; a game's player names can hold any script). So a text is drawn in runs: the
// characters the face's own font has with the face as before (a text it has whole is drawn exactly
// as it always was), every other one with the installed font fontconfig matches to the face and
// that character (a match ranks covering the character above the family).

// A pattern of the face as cairo's toy font API resolves it, with the character when there is one.
FcPattern* ResolvedPattern(const FontFace& font, const char32_t* character) {
    FcPattern* pattern = FcPatternCreate();
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(font.family));
    FcPatternAddInteger(pattern, FC_SLANT, FC_SLANT_ROMAN);
    FcPatternAddInteger(pattern, FC_WEIGHT, font.bold ? FC_WEIGHT_BOLD : FC_WEIGHT_MEDIUM);
    if (character != nullptr) {
        FcCharSet* characters = FcCharSetCreate();
        FcCharSetAddChar(characters, *character);
        FcPatternAddCharSet(pattern, FC_CHARSET, characters);
        FcCharSetDestroy(characters);
    }
    FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result = FcResultNoMatch;
    FcPattern* match = FcFontMatch(nullptr, pattern, &result);
    FcPatternDestroy(pattern);
    return match;
}

bool HasCharacter(const FcPattern* font, char32_t character) {
    FcCharSet* characters = nullptr;
    return font != nullptr && FcPatternGetCharSet(font, FC_CHARSET, 0, &characters) == FcResultMatch &&
           FcCharSetHasChar(characters, character);
}

// The fonts of one face: its own, and the fallback of each character it lacks (nullptr: its own
// font, for the characters it has and those no installed font has).
struct FaceFonts {
    FcPattern* own = nullptr;
    std::map<char32_t, cairo_font_face_t*> fallbacks;
};

struct FallbackFonts {
    std::map<std::pair<std::string, bool>, FaceFonts> faces;
    std::map<std::pair<std::string, int>, cairo_font_face_t*> byFile;  // one cairo face per font file and index

    cairo_font_face_t* FaceOf(FcPattern* match) {
        FcChar8* file = nullptr;
        int index = 0;
        FcPatternGetString(match, FC_FILE, 0, &file);
        FcPatternGetInteger(match, FC_INDEX, 0, &index);
        const std::pair<std::string, int> key{file != nullptr ? reinterpret_cast<const char*>(file) : "", index};
        auto [at, added] = byFile.emplace(key, nullptr);
        if (added) at->second = cairo_ft_font_face_create_for_pattern(match);
        return at->second;
    }

    FaceFonts& Of(const FontFace& font) {
        FaceFonts& face = faces[{font.family, font.bold}];
        if (face.own == nullptr) face.own = ResolvedPattern(font, nullptr);
        return face;
    }

    cairo_font_face_t* For(const FontFace& font, FaceFonts& face, char32_t character) {
        if (character < 0x80 || HasCharacter(face.own, character)) return nullptr;
        auto [at, added] = face.fallbacks.emplace(character, nullptr);
        if (added) {
            FcPattern* match = ResolvedPattern(font, &character);
            if (HasCharacter(match, character)) at->second = FaceOf(match);
            if (match != nullptr) FcPatternDestroy(match);
        }
        return at->second;
    }

    void Clear() {
        for (auto& [key, face] : faces) {
            if (face.own != nullptr) FcPatternDestroy(face.own);
        }
        for (auto& [key, face] : byFile) cairo_font_face_destroy(face);
        faces.clear();
        byFile.clear();
    }
};

// Never destroyed: the exit handler below empties it, and may run after static destructors.
FallbackFonts& Fallbacks() {
    static FallbackFonts& fonts = *new FallbackFonts;
    return fonts;
}

// The code point at text[at] and the length of its UTF-8 sequence; a byte that starts no sequence
// is taken alone (cairo refuses such a text as it always did).
std::pair<char32_t, size_t> CodePointAt(const std::string& text, size_t at) {
    const auto byte = [&](size_t i) { return static_cast<unsigned char>(i < text.size() ? text[i] : 0); };
    const unsigned char lead = byte(at);
    const size_t length = lead < 0x80 ? 1 : lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 0;
    if (length <= 1) return {lead, 1};
    char32_t code = lead & (0x7F >> length);
    for (size_t i = 1; i < length; ++i) {
        if ((byte(at + i) & 0xC0) != 0x80) return {lead, 1};
        code = (code << 6) | (byte(at + i) & 0x3F);
    }
    return {code, length};
}

// cairo and fontconfig keep their font caches for the life of the process; they are freed at exit
// so that leak checkers see a clean process.
void FreeFontCachesAtExit() {
    static const bool registered = [] {
        return std::atexit([] {
                   Fallbacks().Clear();
                   cairo_debug_reset_static_data();
                   FcFini();
               }) == 0;
    }();
    (void)registered;
}

}  // namespace

CairoPainter::CairoPainter(cairo_t* cr) : cr_(cr) { FreeFontCachesAtExit(); }

void CairoPainter::Save() { cairo_save(cr_); }
void CairoPainter::Restore() { cairo_restore(cr_); }
void CairoPainter::Translate(double x, double y) { cairo_translate(cr_, x, y); }
void CairoPainter::Rotate(double radians) { cairo_rotate(cr_, radians); }

void CairoPainter::ClipRect(double x, double y, double w, double h) {
    cairo_rectangle(cr_, x, y, w, h);
    cairo_clip(cr_);
}

void CairoPainter::MoveTo(double x, double y) { cairo_move_to(cr_, x, y); }
void CairoPainter::LineTo(double x, double y) { cairo_line_to(cr_, x, y); }
void CairoPainter::CurveTo(double x1, double y1, double x2, double y2, double x3, double y3) {
    cairo_curve_to(cr_, x1, y1, x2, y2, x3, y3);
}
void CairoPainter::Circle(double cx, double cy, double r) {
    cairo_new_sub_path(cr_);
    cairo_arc(cr_, cx, cy, r, 0, 2 * M_PI);
}
void CairoPainter::Rectangle(double x, double y, double w, double h) { cairo_rectangle(cr_, x, y, w, h); }
void CairoPainter::ClosePath() { cairo_close_path(cr_); }

void CairoPainter::Source(const Rgba& colour) { cairo_set_source_rgba(cr_, colour.r, colour.g, colour.b, colour.a); }

void CairoPainter::Fill(const Rgba& colour) {
    Source(colour);
    cairo_fill(cr_);
}

void CairoPainter::Stroke(const Rgba& colour, double width) {
    Source(colour);
    cairo_set_line_width(cr_, width);
    cairo_set_line_cap(cr_, CAIRO_LINE_CAP_BUTT);
    cairo_set_line_join(cr_, CAIRO_LINE_JOIN_MITER);
    cairo_stroke(cr_);
}

void CairoPainter::FillAndStroke(const Rgba& fill, const Rgba& edge, double width) {
    Source(fill);
    cairo_fill_preserve(cr_);
    Stroke(edge, width);
}

void CairoPainter::FillGradient(double x, double y, double w, double h, const GradientStop* stops, size_t count) {
    cairo_pattern_t* gradient = cairo_pattern_create_linear(0, y, 0, y + h);
    for (size_t i = 0; i < count; ++i) {
        const Rgba& c = stops[i].colour;
        cairo_pattern_add_color_stop_rgba(gradient, stops[i].offset, c.r, c.g, c.b, c.a);
    }
    cairo_rectangle(cr_, x, y, w, h);
    cairo_set_source(cr_, gradient);
    cairo_fill(cr_);
    cairo_pattern_destroy(gradient);
}

void CairoPainter::Select(const FontFace& font) {
    cairo_select_font_face(cr_, font.family, CAIRO_FONT_SLANT_NORMAL,
                           font.bold ? CAIRO_FONT_WEIGHT_BOLD : CAIRO_FONT_WEIGHT_NORMAL);
    cairo_set_font_size(cr_, font.size);
}

FontMetrics CairoPainter::Metrics(const FontFace& font) {
    Select(font);
    cairo_font_extents_t extents;
    cairo_font_extents(cr_, &extents);
    return FontMetrics{extents.ascent, extents.height};
}

template <typename Run>
void CairoPainter::ForEachRun(const FontFace& font, const std::string& text, Run run) {
    FallbackFonts& fallbacks = Fallbacks();
    FaceFonts* fonts = nullptr;  // looked up at the first character that is not ASCII
    size_t start = 0;
    cairo_font_face_t* runFace = nullptr;
    for (size_t at = 0; at < text.size();) {
        const auto [code, length] = CodePointAt(text, at);
        if (fonts == nullptr && code >= 0x80) fonts = &fallbacks.Of(font);
        cairo_font_face_t* face = fonts != nullptr ? fallbacks.For(font, *fonts, code) : nullptr;
        if (face != runFace && at > start) {
            SelectRun(font, runFace);
            run(text.substr(start, at - start));
            start = at;
        }
        runFace = face;
        at += length;
    }
    SelectRun(font, runFace);
    run(text.substr(start));
}

void CairoPainter::SelectRun(const FontFace& font, cairo_font_face_t* fallback) {
    if (fallback == nullptr) return Select(font);
    cairo_set_font_face(cr_, fallback);
    cairo_set_font_size(cr_, font.size);
}

double CairoPainter::TextWidth(const FontFace& font, const std::string& text) {
    double width = 0;
    ForEachRun(font, text, [&](const std::string& run) {
        cairo_text_extents_t extents;
        cairo_text_extents(cr_, run.c_str(), &extents);
        width += extents.x_advance;
    });
    return width;
}

// Each run's glyph path starts where the one before ended: cairo moves the current point on.
void CairoPainter::TextPath(const FontFace& font, double x, double baseline, const std::string& text) {
    cairo_move_to(cr_, x, baseline);
    ForEachRun(font, text, [&](const std::string& run) { cairo_text_path(cr_, run.c_str()); });
}

void CairoPainter::FillText(const FontFace& font, double x, double baseline, const std::string& text,
                            const Rgba& colour) {
    TextPath(font, x, baseline, text);
    Fill(colour);
}

void CairoPainter::StrokeText(const FontFace& font, double x, double baseline, const std::string& text,
                              const Rgba& colour, double width) {
    TextPath(font, x, baseline, text);
    Source(colour);
    cairo_set_line_width(cr_, width);
    cairo_set_line_join(cr_, CAIRO_LINE_JOIN_ROUND);
    cairo_stroke(cr_);
}

CairoMeasure::CairoMeasure()
    : surface_(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 1, 1)), cr_(cairo_create(surface_)), painter_(cr_) {}

CairoMeasure::~CairoMeasure() {
    cairo_destroy(cr_);
    cairo_surface_destroy(surface_);
}

}  // namespace preview
