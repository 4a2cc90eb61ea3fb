// Drawing a scene with cairo. Where things land comes from the screen model (sim/screen_model.h):
// draw positions, under the alignment they were drawn with, and the radar and big map; the host's
// look (text size, fonts, colour codes, feed geometry) comes from host_look.h.
#include "tools/preview/render.h"

#include <fontconfig/fontconfig.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <string>

#include "tools/preview/host_look.h"
#include "tools/preview/text_runs.h"

namespace preview {

namespace {

struct Screen {
    sim::RealScreen real;
    double width, height;
    double refPx;  // pixels per ref px
};

struct Box {
    double x, y, w, h;  // top left corner and size in pixels
};

Box HudBox(const Screen& screen, sim::HudComponent component) {
    const sim::PixelBox box = sim::HudComponentBox(screen.real, component);
    return {box.left, box.top, box.width, box.height};
}

void SetColour(cairo_t* cr, Rgb colour, int alpha) {
    cairo_set_source_rgba(cr, colour.r / 255.0, colour.g / 255.0, colour.b / 255.0, std::clamp(alpha, 0, 255) / 255.0);
}

// ---- text ----------------------------------------------------------------------------------

// How a block of text lines is drawn.
struct TextLook {
    int32_t font = 0;
    double em = 0;  // font size in pixels
    int alpha = 255;
    bool outline = false;
    double shadowOffset = 0;  // pixels; 0 for none
    Rgb shadowColour;
    int shadowAlpha = 0;
};

void SelectFont(cairo_t* cr, const TextLook& look, bool bold) {
    const char* face = look.font == kCondensedFontNumber ? kCondensedFace : kStandardFace;
    cairo_select_font_face(cr, face, CAIRO_FONT_SLANT_NORMAL, bold ? CAIRO_FONT_WEIGHT_BOLD : CAIRO_FONT_WEIGHT_NORMAL);
    cairo_set_font_size(cr, look.em);
}

double RunWidth(cairo_t* cr, const TextLook& look, const TextRun& run) {
    SelectFont(cr, look, run.bold);
    cairo_text_extents_t extents;
    cairo_text_extents(cr, run.text.c_str(), &extents);
    return extents.x_advance;
}

double LineWidth(cairo_t* cr, const TextLook& look, const TextLine& line) {
    double width = 0;
    for (const TextRun& run : line) width += RunWidth(cr, look, run);
    return width;
}

// Adds the outlines of the line's glyphs, run by run, to the path; each run is filled by fill.
template <typename Fill>
void ForEachRunPath(cairo_t* cr, const TextLook& look, const TextLine& line, double x, double baseline, Fill fill) {
    for (const TextRun& run : line) {
        SelectFont(cr, look, run.bold);
        cairo_move_to(cr, x, baseline);
        cairo_text_path(cr, run.text.c_str());
        fill(run);
        x += RunWidth(cr, look, run);
    }
}

// Draws lines from the top y down; x is the left edge, or the centre when centred.
void DrawTextLines(cairo_t* cr, const std::vector<TextLine>& lines, const TextLook& look, double x, double top,
                   bool centred) {
    if (look.em <= 0 || look.alpha <= 0) return;
    SelectFont(cr, look, false);
    cairo_font_extents_t font;
    cairo_font_extents(cr, &font);
    double baseline = top + font.ascent;
    for (const TextLine& line : lines) {
        const double left = centred ? x - LineWidth(cr, look, line) / 2 : x;
        if (look.shadowOffset > 0 && look.shadowAlpha > 0) {
            ForEachRunPath(cr, look, line, left + look.shadowOffset, baseline + look.shadowOffset, [&](const TextRun&) {
                SetColour(cr, look.shadowColour, look.shadowAlpha);
                cairo_fill(cr);
            });
        }
        if (look.outline) {
            ForEachRunPath(cr, look, line, left, baseline, [](const TextRun&) {});
            cairo_set_line_width(cr, look.em * kOutlineWidthEm);
            cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
            SetColour(cr, Rgb{0, 0, 0}, look.alpha);
            cairo_stroke(cr);
        }
        ForEachRunPath(cr, look, line, left, baseline, [&](const TextRun& run) {
            SetColour(cr, run.colour, look.alpha);
            cairo_fill(cr);
        });
        baseline += font.height;
    }
}

double TextEm(const Screen& screen, float scale) { return scale * kTextEmPerScale * screen.height; }

void DrawDrawnText(cairo_t* cr, const Screen& screen, const sim::DrawnText& text) {
    const sim::TextState& state = text.state;
    TextLook look;
    look.font = state.font;
    look.em = TextEm(screen, state.scale);
    look.alpha = state.a;
    look.outline = state.outline;
    look.shadowOffset = state.dropShadow[0] * kDropShadowRefPxPerUnit * screen.refPx;
    look.shadowColour = Rgb{static_cast<uint8_t>(state.dropShadow[1]), static_cast<uint8_t>(state.dropShadow[2]),
                            static_cast<uint8_t>(state.dropShadow[3])};
    look.shadowAlpha = state.dropShadow[4];
    const Rgb base{static_cast<uint8_t>(std::clamp(state.r, 0, 255)), static_cast<uint8_t>(std::clamp(state.g, 0, 255)),
                   static_cast<uint8_t>(std::clamp(state.b, 0, 255))};
    const sim::PixelPoint at = sim::PlaceDrawPosition(screen.real, text.align, text.x, text.y);
    DrawTextLines(cr, SplitInlineCodes(text.text, base), look, at.x, at.y, state.centred);
}

void DrawRect(cairo_t* cr, const Screen& screen, const sim::DrawnRect& rect) {
    const sim::PixelBox box = sim::PlaceDrawRect(screen.real, rect.align, rect.x, rect.y, rect.w, rect.h);
    cairo_rectangle(cr, box.left, box.top, box.width, box.height);
    SetColour(cr, Rgb{static_cast<uint8_t>(std::clamp(rect.r, 0, 255)), static_cast<uint8_t>(std::clamp(rect.g, 0, 255)),
                      static_cast<uint8_t>(std::clamp(rect.b, 0, 255))},
              rect.a);
    cairo_fill(cr);
}

// ---- the host's own screen -----------------------------------------------------------------

void DrawBackground(cairo_t* cr, const Screen& screen) {
    cairo_pattern_t* sky = cairo_pattern_create_linear(0, 0, 0, screen.height);
    cairo_pattern_add_color_stop_rgb(sky, 0.0, 0.47, 0.56, 0.64);
    cairo_pattern_add_color_stop_rgb(sky, 0.52, 0.64, 0.66, 0.64);
    cairo_pattern_add_color_stop_rgb(sky, 0.58, 0.38, 0.40, 0.36);
    cairo_pattern_add_color_stop_rgb(sky, 1.0, 0.25, 0.27, 0.24);
    cairo_rectangle(cr, 0, 0, screen.width, screen.height);
    cairo_set_source(cr, sky);
    cairo_fill(cr);
    cairo_pattern_destroy(sky);
}

// A road on the map stand-in, in the map's own 0..1 coordinates.
struct MapRoad {
    double x0, y0, x1, y1;
    bool major;
};
const MapRoad kMapRoads[] = {
    {0.00, 0.62, 1.00, 0.44, true},  {0.58, 0.00, 0.40, 1.00, true},  {0.12, 0.00, 0.30, 1.00, false},
    {0.00, 0.25, 1.00, 0.18, false}, {0.00, 0.85, 0.70, 0.80, false}, {0.78, 0.00, 0.86, 1.00, false},
    {0.30, 0.35, 0.95, 0.95, false},
};

void DrawMapArea(cairo_t* cr, const Screen& screen, const Box& map) {
    cairo_save(cr);
    cairo_rectangle(cr, map.x, map.y, map.w, map.h);
    cairo_clip(cr);
    cairo_set_source_rgba(cr, 0.20, 0.24, 0.22, 0.92);  // land
    cairo_paint(cr);
    cairo_set_source_rgba(cr, 0.17, 0.29, 0.38, 0.95);  // a stretch of sea in the lower left
    cairo_move_to(cr, map.x, map.y + map.h * 0.55);
    cairo_curve_to(cr, map.x + map.w * 0.18, map.y + map.h * 0.62, map.x + map.w * 0.22, map.y + map.h * 0.9,
                   map.x + map.w * 0.34, map.y + map.h);
    cairo_line_to(cr, map.x, map.y + map.h);
    cairo_close_path(cr);
    cairo_fill(cr);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_BUTT);
    for (const MapRoad& road : kMapRoads) {
        cairo_move_to(cr, map.x + road.x0 * map.w, map.y + road.y0 * map.h);
        cairo_line_to(cr, map.x + road.x1 * map.w, map.y + road.y1 * map.h);
        cairo_set_line_width(cr, (road.major ? 5.0 : 2.5) * screen.refPx);
        cairo_set_source_rgba(cr, 0.55, 0.56, 0.55, road.major ? 0.95 : 0.7);
        cairo_stroke(cr);
    }
    cairo_restore(cr);
    cairo_rectangle(cr, map.x, map.y, map.w, map.h);
    cairo_set_line_width(cr, 2.0 * screen.refPx);
    cairo_set_source_rgba(cr, 0, 0, 0, 0.8);
    cairo_stroke(cr);
}

// The host's heading grows counter-clockwise from north; on a north-up map with y growing
// downward the arrow turns by minus the heading.
void DrawPlayerArrow(cairo_t* cr, const Screen& screen, const Box& map, float headingDeg) {
    const double length = kPlayerArrowRefPx * screen.refPx;
    cairo_save(cr);
    cairo_translate(cr, map.x + map.w / 2, map.y + map.h / 2);
    cairo_rotate(cr, -headingDeg * M_PI / 180.0);
    cairo_move_to(cr, 0, -length / 2);
    cairo_line_to(cr, length * 0.4, length / 2);
    cairo_line_to(cr, 0, length * 0.3);
    cairo_line_to(cr, -length * 0.4, length / 2);
    cairo_close_path(cr);
    cairo_set_source_rgb(cr, 0.95, 0.95, 0.95);
    cairo_fill_preserve(cr);
    cairo_set_line_width(cr, 1.0 * screen.refPx);
    cairo_set_source_rgb(cr, 0, 0, 0);
    cairo_stroke(cr);
    cairo_restore(cr);
}

void DrawMarks(cairo_t* cr, const Screen& screen, const Box& map, const std::vector<MapMark>& marks) {
    const double r = kBlipRadiusRefPx * screen.refPx;
    const double pxPerUnit = screen.refPx / kMapWorldUnitsPerRefPx;
    for (const MapMark& mark : marks) {
        if (mark.alpha <= 0) continue;
        const double x = std::clamp(map.x + map.w / 2 + mark.dx * pxPerUnit, map.x + r, map.x + map.w - r);
        const double y = std::clamp(map.y + map.h / 2 - mark.dy * pxPerUnit, map.y + r, map.y + map.h - r);
        cairo_set_line_width(cr, 1.5 * screen.refPx);
        if (mark.dead) {
            cairo_move_to(cr, x - r, y - r);
            cairo_line_to(cr, x + r, y + r);
            cairo_move_to(cr, x + r, y - r);
            cairo_line_to(cr, x - r, y + r);
            SetColour(cr, Rgb{170, 170, 170}, mark.alpha);
            cairo_stroke(cr);
            continue;
        }
        cairo_arc(cr, x, y, r, 0, 2 * M_PI);
        SetColour(cr, Rgb{240, 240, 240}, mark.alpha);
        cairo_fill_preserve(cr);
        SetColour(cr, Rgb{0, 0, 0}, mark.alpha);
        cairo_stroke(cr);
    }
}

// Health and armour along the bottom of the map, inside it (the map's box reaches the screen's
// bottom edge on a full safe zone).
void DrawStatusBars(cairo_t* cr, const Screen& screen, const Box& map) {
    const double h = kBarHeightRefPx * screen.refPx;
    const double y = map.y + map.h - kBarInsetRefPx * screen.refPx - h;
    cairo_rectangle(cr, map.x, y, map.w, h);
    cairo_set_source_rgba(cr, 0, 0, 0, 0.6);
    cairo_fill(cr);
    cairo_rectangle(cr, map.x, y, map.w * kHealthBarShare, h);
    cairo_set_source_rgba(cr, 0.36, 0.63, 0.36, 0.9);
    cairo_fill(cr);
    cairo_rectangle(cr, map.x + map.w * kHealthBarShare, y, map.w * kArmourBarShare, h);
    cairo_set_source_rgba(cr, 0.29, 0.56, 0.71, 0.9);
    cairo_fill(cr);
}

Box MapBox(const Screen& screen, const Scene& scene) {
    return HudBox(screen, scene.bigMap ? sim::HudComponent::BigMap : sim::HudComponent::Radar);
}

void DrawMap(cairo_t* cr, const Screen& screen, const Scene& scene) {
    const Box map = MapBox(screen, scene);
    DrawMapArea(cr, screen, map);
    DrawMarks(cr, screen, map, scene.marks);
    DrawPlayerArrow(cr, screen, map, scene.headingDeg);
    DrawStatusBars(cr, screen, map);
}

// ---- feed ----------------------------------------------------------------------------------

// Greedy word wrap of one line of runs to a width; a word longer than the width gets a line of
// its own.
std::vector<TextLine> WrapLine(cairo_t* cr, const TextLook& look, const TextLine& line, double maxWidth) {
    std::vector<TextLine> lines(1);
    double width = 0;
    for (const TextRun& run : line) {
        size_t start = 0;
        while (start < run.text.size()) {
            const size_t space = run.text.find(' ', start);
            const size_t end = space == std::string::npos ? run.text.size() : space + 1;
            TextRun word{run.text.substr(start, end - start), run.colour, run.bold};
            const double wordWidth = RunWidth(cr, look, word);
            if (width + wordWidth > maxWidth && !lines.back().empty() && word.text != " ") {
                lines.emplace_back();
                width = 0;
            }
            lines.back().push_back(word);
            width += wordWidth;
            start = end;
        }
    }
    return lines;
}

void DrawFeed(cairo_t* cr, const Screen& screen, const Scene& scene) {
    // Over the map when it shows, else down to where the radar would end.
    const Box map = MapBox(screen, scene);
    const Box radar = HudBox(screen, sim::HudComponent::Radar);
    const double gap = kFeedGapRefPx * screen.refPx, padding = kFeedPaddingRefPx * screen.refPx;
    const double boxWidth = radar.w;
    // The map's box starts a little outside the safe zone; the feed keeps inside it.
    const double left = std::max(map.x, sim::HudFrameOf(screen.real).left * screen.width);
    TextLook look;
    look.em = TextEm(screen, kFeedTextScale);
    double bottom = (scene.radarShown ? map.y : std::min(radar.y + radar.h, screen.height)) - gap;
    const size_t first = scene.feed.size() > kFeedMaxPosts ? scene.feed.size() - kFeedMaxPosts : 0;
    for (size_t i = scene.feed.size(); i-- > first;) {  // newest first, nearest the map
        const sim::FeedPost& post = scene.feed[i];
        look.font = post.font;
        SelectFont(cr, look, false);
        cairo_font_extents_t font;
        cairo_font_extents(cr, &font);
        std::vector<TextLine> lines;
        for (const TextLine& line : SplitInlineCodes(post.text, Rgb{240, 240, 240})) {
            for (TextLine& wrapped : WrapLine(cr, look, line, boxWidth - 2 * padding)) lines.push_back(std::move(wrapped));
        }
        const double h = lines.size() * font.height + 2 * padding;
        cairo_rectangle(cr, left, bottom - h, boxWidth, h);
        cairo_set_source_rgba(cr, 0.05, 0.05, 0.06, kFeedBoxAlpha / 255.0);
        cairo_fill(cr);
        DrawTextLines(cr, lines, look, left + padding, bottom - h + padding, false);
        bottom -= h + gap;
    }
}

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

void DrawScene(cairo_t* cr, const Scene& scene, int width, int height) {
    FreeFontCachesAtExit();
    const sim::RealScreen real{width, height, scene.screen.safeZone};
    const Screen screen{real, static_cast<double>(width), static_cast<double>(height), height / kReferenceHeightPx};
    cairo_save(cr);
    cairo_rectangle(cr, 0, 0, width, height);
    cairo_clip(cr);
    DrawBackground(cr, screen);
    if (scene.radarShown) DrawMap(cr, screen, scene);
    DrawFeed(cr, screen, scene);
    for (const sim::DrawnRect& rect : scene.frame.rects) DrawRect(cr, screen, rect);
    for (const sim::DrawnText& text : scene.frame.texts) DrawDrawnText(cr, screen, text);
    cairo_restore(cr);
}

}  // namespace preview
