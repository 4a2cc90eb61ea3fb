// What the picture code draws with: a small set of primitives that cairo (the tools' picture
// files) and the browser's canvas (the preview page) both implement. All the layout arithmetic sits
// above this line, in the renderer both share; a painter only puts shapes and text on its surface.
#pragma once

#include <cstddef>
#include <string>

namespace preview {

struct Rgba {
    double r = 0, g = 0, b = 0, a = 1;  // 0 to 1
};

struct GradientStop {
    double offset;  // 0 to 1, top to bottom
    Rgba colour;
};

struct FontFace {
    const char* family;  // the stand-in face (host_look.h)
    bool bold = false;
    double size = 0;  // em size in pixels
};

struct FontMetrics {
    double ascent = 0;  // baseline below the top of a line
    double height = 0;  // from one line's baseline to the next
};

class Painter {
public:
    virtual ~Painter() = default;

    virtual void Save() = 0;
    virtual void Restore() = 0;
    virtual void Translate(double x, double y) = 0;
    virtual void Rotate(double radians) = 0;
    virtual void ClipRect(double x, double y, double w, double h) = 0;

    // A path is built, then filled or stroked; both end it.
    virtual void MoveTo(double x, double y) = 0;
    virtual void LineTo(double x, double y) = 0;
    virtual void CurveTo(double x1, double y1, double x2, double y2, double x3, double y3) = 0;
    virtual void Circle(double cx, double cy, double r) = 0;
    virtual void Rectangle(double x, double y, double w, double h) = 0;
    virtual void ClosePath() = 0;
    virtual void Fill(const Rgba& colour) = 0;
    virtual void Stroke(const Rgba& colour, double width) = 0;
    // Fills the path, then strokes its edge.
    virtual void FillAndStroke(const Rgba& fill, const Rgba& edge, double width) = 0;
    // Fills a rectangle with a top-to-bottom gradient.
    virtual void FillGradient(double x, double y, double w, double h, const GradientStop* stops, size_t count) = 0;

    virtual FontMetrics Metrics(const FontFace& font) = 0;
    // The advance of the text: where the next text would start.
    virtual double TextWidth(const FontFace& font, const std::string& text) = 0;
    virtual void FillText(const FontFace& font, double x, double baseline, const std::string& text,
                          const Rgba& colour) = 0;
    // The glyphs' outlines, stroked with round joins.
    virtual void StrokeText(const FontFace& font, double x, double baseline, const std::string& text,
                            const Rgba& colour, double width) = 0;
};

}  // namespace preview
