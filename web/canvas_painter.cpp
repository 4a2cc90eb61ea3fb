// The painter primitives on the page's canvas. A path is begun by the first MoveTo, Circle or
// Rectangle after the last fill or stroke, as with cairo.
#include "web/canvas_painter.h"

#include <emscripten/emscripten.h>

// Each JavaScript piece reads the module's canvasContext; colours arrive as 0..1 components.
// clang-format off
EM_JS(void, js_call, (int op, double a, double b, double c, double d, double e, double f), {
    const g = Module["canvasContext"];
    if (!Module.kovPathOpen && (op === 3 || op === 6 || op === 7)) { g.beginPath(); Module.kovPathOpen = true; }
    switch (op) {
        case 0: g.save(); break;
        case 1: g.restore(); break;
        case 2: g.translate(a, b); break;
        case 3: g.moveTo(a, b); break;
        case 4: g.lineTo(a, b); break;
        case 5: g.bezierCurveTo(a, b, c, d, e, f); break;
        case 6: g.moveTo(a + c, b); g.arc(a, b, c, 0, 2 * Math.PI); break;
        case 7: g.rect(a, b, c, d); break;
        case 8: g.closePath(); break;
        case 9: g.rotate(a); break;
        case 10: g.beginPath(); g.rect(a, b, c, d); g.clip(); Module.kovPathOpen = false; break;
    }
});

EM_JS(void, js_paint, (int fill, double r, double g, double b, double a, int stroke, double sr, double sg, double sb,
                       double sa, double width), {
    const ctx = Module["canvasContext"];
    const css = (r, g, b, a) =>
        "rgba(" + Math.round(r * 255) + "," + Math.round(g * 255) + "," + Math.round(b * 255) + "," + a + ")";
    if (fill) { ctx.fillStyle = css(r, g, b, a); ctx.fill(); }
    if (stroke) {
        ctx.strokeStyle = css(sr, sg, sb, sa);
        ctx.lineWidth = width;
        ctx.lineCap = "butt";
        ctx.lineJoin = "miter";
        ctx.stroke();
    }
    Module.kovPathOpen = false;
});

// A vertical gradient over a box. The page's canvases are as large as they show (never the chosen
// screen's own size), so the fill costs the same on every screen.
EM_JS(void, js_gradient, (double x, double y, double w, double h, const double* stops, int count), {
    const ctx = Module["canvasContext"];
    const v = HEAPF64.subarray(stops >> 3, (stops >> 3) + count * 5);
    const gradient = ctx.createLinearGradient(0, y, 0, y + h);
    for (let s = 0; s < v.length; s += 5) {
        gradient.addColorStop(v[s], "rgba(" + Math.round(v[s + 1] * 255) + "," + Math.round(v[s + 2] * 255) + "," +
                                        Math.round(v[s + 3] * 255) + "," + v[s + 4] + ")");
    }
    ctx.fillStyle = gradient;
    ctx.fillRect(x, y, w, h);
});

// mode 0: measure (returns the advance), 1: fill, 2: stroke, 3: ascent, 4: line height. The
// stand-in face comes first, then the page's fallback faces (page.css) for letters it lacks.
EM_JS(double, js_text, (int mode, const char* family, int bold, double size, const char* text, double x, double y,
                        double r, double g, double b, double a, double width), {
    const ctx = Module["canvasContext"];
    if (Module.kovFallbackFonts === undefined) {
        const listed = getComputedStyle(document.documentElement).getPropertyValue("--fallback-fonts").trim();
        Module.kovFallbackFonts = listed !== "" ? listed : "sans-serif";
    }
    ctx.font = (bold ? "bold " : "") + size + "px \"" + UTF8ToString(family) + "\", " + Module.kovFallbackFonts;
    const s = UTF8ToString(text);
    const colour =
        "rgba(" + Math.round(r * 255) + "," + Math.round(g * 255) + "," + Math.round(b * 255) + "," + a + ")";
    if (mode === 0) return ctx.measureText(s).width;
    if (mode === 3 || mode === 4) {
        const m = ctx.measureText("Hg");
        return mode === 3 ? m.fontBoundingBoxAscent : m.fontBoundingBoxAscent + m.fontBoundingBoxDescent;
    }
    ctx.textBaseline = "alphabetic";
    if (mode === 1) { ctx.fillStyle = colour; ctx.fillText(s, x, y); }
    if (mode === 2) {
        ctx.strokeStyle = colour; ctx.lineWidth = width; ctx.lineJoin = "round"; ctx.strokeText(s, x, y);
    }
    return 0;
});
// clang-format on

namespace {

enum Op { kSave, kRestore, kTranslate, kMoveTo, kLineTo, kCurveTo, kCircle, kRectangle, kClosePath, kRotate, kClip };

void Call(Op op, double a = 0, double b = 0, double c = 0, double d = 0, double e = 0, double f = 0) {
    js_call(op, a, b, c, d, e, f);
}

double Text(int mode, const preview::FontFace& font, const std::string& text = "", double x = 0, double y = 0,
            const preview::Rgba& colour = {}, double width = 0) {
    return js_text(mode, font.family, font.bold ? 1 : 0, font.size, text.c_str(), x, y, colour.r, colour.g, colour.b,
                   colour.a, width);
}

}  // namespace

namespace preview {

void CanvasPainter::Save() { Call(kSave); }
void CanvasPainter::Restore() { Call(kRestore); }
void CanvasPainter::Translate(double x, double y) { Call(kTranslate, x, y); }
void CanvasPainter::Rotate(double radians) { Call(kRotate, radians); }
void CanvasPainter::ClipRect(double x, double y, double w, double h) { Call(kClip, x, y, w, h); }
void CanvasPainter::MoveTo(double x, double y) { Call(kMoveTo, x, y); }
void CanvasPainter::LineTo(double x, double y) { Call(kLineTo, x, y); }
void CanvasPainter::CurveTo(double x1, double y1, double x2, double y2, double x3, double y3) {
    Call(kCurveTo, x1, y1, x2, y2, x3, y3);
}
void CanvasPainter::Circle(double cx, double cy, double r) { Call(kCircle, cx, cy, r); }
void CanvasPainter::Rectangle(double x, double y, double w, double h) { Call(kRectangle, x, y, w, h); }
void CanvasPainter::ClosePath() { Call(kClosePath); }

void CanvasPainter::Fill(const Rgba& c) { js_paint(1, c.r, c.g, c.b, c.a, 0, 0, 0, 0, 0, 0); }
void CanvasPainter::Stroke(const Rgba& c, double width) { js_paint(0, 0, 0, 0, 0, 1, c.r, c.g, c.b, c.a, width); }
void CanvasPainter::FillAndStroke(const Rgba& f, const Rgba& e, double width) {
    js_paint(1, f.r, f.g, f.b, f.a, 1, e.r, e.g, e.b, e.a, width);
}

void CanvasPainter::FillGradient(double x, double y, double w, double h, const GradientStop* stops, size_t count) {
    static_assert(sizeof(GradientStop) == 5 * sizeof(double), "offset and four colour components, packed");
    js_gradient(x, y, w, h, reinterpret_cast<const double*>(stops), static_cast<int>(count));
}

FontMetrics CanvasPainter::Metrics(const FontFace& font) { return FontMetrics{Text(3, font), Text(4, font)}; }
double CanvasPainter::TextWidth(const FontFace& font, const std::string& text) { return Text(0, font, text); }
void CanvasPainter::FillText(const FontFace& font, double x, double baseline, const std::string& text,
                             const Rgba& colour) {
    Text(1, font, text, x, baseline, colour);
}
void CanvasPainter::StrokeText(const FontFace& font, double x, double baseline, const std::string& text,
                               const Rgba& colour, double width) {
    Text(2, font, text, x, baseline, colour, width);
}

}  // namespace preview
