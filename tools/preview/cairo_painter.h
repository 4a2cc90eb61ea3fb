// The painter for picture files: cairo (PNG and SVG surfaces, and images in memory for checks).
#pragma once

#include <cairo.h>

#include "tools/preview/painter.h"

namespace preview {

class CairoPainter final : public Painter {
public:
    explicit CairoPainter(cairo_t* cr);

    void Save() override;
    void Restore() override;
    void Translate(double x, double y) override;
    void Rotate(double radians) override;
    void ClipRect(double x, double y, double w, double h) override;
    void MoveTo(double x, double y) override;
    void LineTo(double x, double y) override;
    void CurveTo(double x1, double y1, double x2, double y2, double x3, double y3) override;
    void Circle(double cx, double cy, double r) override;
    void Rectangle(double x, double y, double w, double h) override;
    void ClosePath() override;
    void Fill(const Rgba& colour) override;
    void Stroke(const Rgba& colour, double width) override;
    void FillAndStroke(const Rgba& fill, const Rgba& edge, double width) override;
    void FillGradient(double x, double y, double w, double h, const GradientStop* stops, size_t count) override;
    FontMetrics Metrics(const FontFace& font) override;
    double TextWidth(const FontFace& font, const std::string& text) override;
    void FillText(const FontFace& font, double x, double baseline, const std::string& text,
                  const Rgba& colour) override;
    void StrokeText(const FontFace& font, double x, double baseline, const std::string& text, const Rgba& colour,
                    double width) override;

private:
    void Select(const FontFace& font);
    // The face itself, or a fallback font for characters the face lacks, at the face's size.
    void SelectRun(const FontFace& font, cairo_font_face_t* fallback);
    // Calls run(part) for each part of the text drawn with one font, with that font selected.
    template <typename Run>
    void ForEachRun(const FontFace& font, const std::string& text, Run run);
    void TextPath(const FontFace& font, double x, double baseline, const std::string& text);
    void Source(const Rgba& colour);
    cairo_t* cr_;
};

// A painter that only measures texts, on a surface of its own: a cairo context that went into error
// measures nothing right again, so a measure that may meet any size takes a fresh one.
class CairoMeasure {
public:
    CairoMeasure();
    ~CairoMeasure();
    CairoMeasure(const CairoMeasure&) = delete;
    CairoMeasure& operator=(const CairoMeasure&) = delete;
    Painter& painter() { return painter_; }

private:
    cairo_surface_t* surface_;
    cairo_t* cr_;
    CairoPainter painter_;
};

}  // namespace preview
