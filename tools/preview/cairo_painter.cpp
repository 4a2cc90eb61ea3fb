// The painter primitives in cairo. Texts are drawn as glyph paths, so a PNG and an SVG agree.
#include "tools/preview/cairo_painter.h"

#include <fontconfig/fontconfig.h>

#include <cmath>
#include <cstdlib>

namespace preview {

namespace {

// cairo and fontconfig keep their font caches for the life of the process; they are freed at exit
// so that leak checkers see a clean process.
void FreeFontCachesAtExit() {
    static const bool registered = [] {
        return std::atexit([] {
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

double CairoPainter::TextWidth(const FontFace& font, const std::string& text) {
    Select(font);
    cairo_text_extents_t extents;
    cairo_text_extents(cr_, text.c_str(), &extents);
    return extents.x_advance;
}

void CairoPainter::FillText(const FontFace& font, double x, double baseline, const std::string& text,
                            const Rgba& colour) {
    Select(font);
    cairo_move_to(cr_, x, baseline);
    cairo_text_path(cr_, text.c_str());
    Fill(colour);
}

void CairoPainter::StrokeText(const FontFace& font, double x, double baseline, const std::string& text,
                              const Rgba& colour, double width) {
    Select(font);
    cairo_move_to(cr_, x, baseline);
    cairo_text_path(cr_, text.c_str());
    Source(colour);
    cairo_set_line_width(cr_, width);
    cairo_set_line_join(cr_, CAIRO_LINE_JOIN_ROUND);
    cairo_stroke(cr_);
}

}  // namespace preview
