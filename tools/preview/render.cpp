// Drawing a scene through a painter. Where things land comes from the screen model
// (sim/game/screen_model.h): draw positions, under the alignment they were drawn with, and the
// radar and big map the player sees; the host's look (text size, fonts, feed geometry) comes from
// host_look.h, the colour codes from sim/game/inline_codes.h (through text_runs.h).
// This is the only layout code of the pictures: cairo and the page's canvas paint what it lays out.
#include "tools/preview/render.h"

#include <algorithm>
#include <cmath>
#include <iterator>
#include <string>

#include "sim/world/map_index.h"
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

Box VisibleMap(const Screen& screen, sim::HudMap map) {
    const sim::PixelBox box = sim::VisibleMapBox(screen.real, map);
    return {box.left, box.top, box.width, box.height};
}

Rgba Colour(Rgb colour, int alpha) {
    return Rgba{colour.r / 255.0, colour.g / 255.0, colour.b / 255.0, std::clamp(alpha, 0, 255) / 255.0};
}

Rgb ClampedRgb(int32_t r, int32_t g, int32_t b) {
    return Rgb{static_cast<uint8_t>(std::clamp(r, 0, 255)), static_cast<uint8_t>(std::clamp(g, 0, 255)),
               static_cast<uint8_t>(std::clamp(b, 0, 255))};
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

FontFace Face(const TextLook& look, bool bold) {
    return FontFace{look.font == kCondensedFontNumber ? kCondensedFace : kStandardFace, bold, look.em};
}

double LineWidth(Painter& painter, const TextLook& look, const TextLine& line) {
    double width = 0;
    for (const TextRun& run : line) width += painter.TextWidth(Face(look, run.bold), run.text);
    return width;
}

// Calls paint(run, x) for each run of the line, x advancing by each run's width.
template <typename Paint>
void ForEachRun(Painter& painter, const TextLook& look, const TextLine& line, double x, Paint paint) {
    for (const TextRun& run : line) {
        paint(run, x);
        x += painter.TextWidth(Face(look, run.bold), run.text);
    }
}

// Draws lines from the top y down; x is the left edge, or the centre when centred.
void DrawTextLines(Painter& painter, const std::vector<TextLine>& lines, const TextLook& look, double x, double top,
                   bool centred) {
    if (look.em <= 0 || look.alpha <= 0) return;
    const FontMetrics font = painter.Metrics(Face(look, false));
    double baseline = top + font.ascent;
    for (const TextLine& line : lines) {
        const double left = centred ? x - LineWidth(painter, look, line) / 2 : x;
        if (look.shadowOffset > 0 && look.shadowAlpha > 0) {
            ForEachRun(painter, look, line, left + look.shadowOffset, [&](const TextRun& run, double at) {
                painter.FillText(Face(look, run.bold), at, baseline + look.shadowOffset, run.text,
                                 Colour(look.shadowColour, look.shadowAlpha));
            });
        }
        if (look.outline) {
            ForEachRun(painter, look, line, left, [&](const TextRun& run, double at) {
                painter.StrokeText(Face(look, run.bold), at, baseline, run.text, Colour(Rgb{0, 0, 0}, look.alpha),
                                   look.em * kOutlineWidthEm);
            });
        }
        ForEachRun(painter, look, line, left, [&](const TextRun& run, double at) {
            painter.FillText(Face(look, run.bold), at, baseline, run.text, Colour(run.colour, look.alpha));
        });
        baseline += font.height;
    }
}

double TextEm(const Screen& screen, float scale) { return scale * kTextEmPerScale * screen.height; }

TextLook LookOf(const Screen& screen, const sim::TextState& state) {
    TextLook look;
    look.font = state.font;
    look.em = TextEm(screen, state.scale);
    look.alpha = state.a;
    look.outline = state.outline;
    look.shadowOffset = state.dropShadow[0] * kDropShadowRefPxPerUnit * screen.refPx;
    look.shadowColour = Rgb{static_cast<uint8_t>(state.dropShadow[1]), static_cast<uint8_t>(state.dropShadow[2]),
                            static_cast<uint8_t>(state.dropShadow[3])};
    look.shadowAlpha = state.dropShadow[4];
    return look;
}

std::vector<TextLine> LinesOf(const sim::DrawnText& text) {
    return SplitInlineCodes(text.text, ClampedRgb(text.state.r, text.state.g, text.state.b));
}

void DrawDrawnText(Painter& painter, const Screen& screen, const sim::DrawnText& text) {
    const sim::PixelPoint at = sim::PlaceDrawPosition(screen.real, text.align, text.x, text.y);
    DrawTextLines(painter, LinesOf(text), LookOf(screen, text.state), at.x, at.y, text.state.centred);
}

// The box the text's lines take: its widest line across, its lines down.
sim::PixelBox DrawnTextBox(Painter& painter, const Screen& screen, const sim::DrawnText& text) {
    const TextLook look = LookOf(screen, text.state);
    const std::vector<TextLine> lines = LinesOf(text);
    // Nothing is drawn at no size. A line is at least an em high, so a text whose em passes the
    // screen's height cannot fit: it is not measured (fonts take no size past some thousands of
    // pixels), its box is an em a line.
    if (!(look.em > 0) || look.em > screen.height) {
        const sim::PixelPoint at = sim::PlaceDrawPosition(screen.real, text.align, text.x, text.y);
        const double em = look.em > 0 ? look.em : 0;
        return sim::PixelBox{at.x, at.y, em, lines.size() * em};
    }
    double width = 0;
    for (const TextLine& line : lines) width = std::max(width, LineWidth(painter, look, line));
    const double height = lines.size() * painter.Metrics(Face(look, false)).height;
    const sim::PixelPoint at = sim::PlaceDrawPosition(screen.real, text.align, text.x, text.y);
    return sim::PixelBox{text.state.centred ? at.x - width / 2 : at.x, at.y, width, height};
}

void DrawRect(Painter& painter, const Screen& screen, const sim::DrawnRect& rect) {
    const sim::PixelBox box = sim::PlaceDrawRect(screen.real, rect.align, rect.x, rect.y, rect.w, rect.h);
    painter.Rectangle(box.left, box.top, box.width, box.height);
    painter.Fill(Colour(ClampedRgb(rect.r, rect.g, rect.b), rect.a));
}

// ---- the host's own screen -----------------------------------------------------------------

// Sky, horizon and ground.
const GradientStop kBackground[] = {
    {0.0, {0.47, 0.56, 0.64, 1}},
    {0.52, {0.64, 0.66, 0.64, 1}},
    {0.58, {0.38, 0.40, 0.36, 1}},
    {1.0, {0.25, 0.27, 0.24, 1}},
};
constexpr Rgba kLand{0.20, 0.24, 0.22, 0.92};
constexpr Rgba kMapEdge{0, 0, 0, 0.8};
constexpr Rgba kArrowFill{0.95, 0.95, 0.95, 1};
constexpr Rgba kArrowEdge{0, 0, 0, 1};
constexpr Rgb kBlipFill{240, 240, 240};
constexpr Rgb kBlipEdge{0, 0, 0};
constexpr Rgb kDeadBlip{170, 170, 170};
constexpr Rgba kBarBack{0, 0, 0, 0.6};
constexpr Rgba kHealth{0.36, 0.63, 0.36, 0.9};
constexpr Rgba kArmour{0.29, 0.56, 0.71, 0.9};
constexpr Rgb kFeedText{240, 240, 240};
constexpr Rgba kFeedBox{0.05, 0.05, 0.06, kFeedBoxAlpha / 255.0};

void DrawBackground(Painter& painter, const Screen& screen) {
    painter.FillGradient(0, 0, screen.width, screen.height, kBackground, std::size(kBackground));
}

// The map turns about its centre, where the player stands: the radar with the player's heading
// (the way the player faces points up), the big map not at all (north up). The host's heading grows
// counter-clockwise from north; on a screen with y growing downward, turning by the heading brings
// the facing direction up.
struct MapView {
    double cx, cy;     // the map's centre in pixels
    double pxPerUnit;  // pixels per world metre
    double turn;       // radians, clockwise on the screen
};

MapView ViewOf(const Screen& screen, const Box& map, const ScreenView& scene) {
    const double unitsPerRefPx = scene.bigMap ? kBigMapWorldUnitsPerRefPx : kMapWorldUnitsPerRefPx;
    return MapView{map.x + map.w / 2, map.y + map.h / 2, screen.refPx / unitsPerRefPx,
                   scene.bigMap ? 0.0 : scene.headingDeg * M_PI / 180.0};
}

struct Point {
    double x, y;
};

// Where a world offset from the player (x east, y north) lands on the screen.
Point OnMap(const MapView& view, double dx, double dy) {
    const double sx = dx * view.pxPerUnit, sy = -dy * view.pxPerUnit;
    const double c = std::cos(view.turn), s = std::sin(view.turn);
    return Point{view.cx + sx * c - sy * s, view.cy + sx * s + sy * c};
}

// The game's roads around the player: freeways widest, back roads faint; one path a kind.
enum RoadKind { kFreeway, kStreet, kBackRoad, kRoadKinds };
struct RoadLook {
    Rgba colour;
    double widthRefPx;
};
constexpr RoadLook kRoadLooks[kRoadKinds] = {
    {{0.62, 0.63, 0.60, 0.95}, 5.0},
    {{0.55, 0.56, 0.55, 0.85}, 2.5},
    {{0.47, 0.46, 0.40, 0.7}, 1.5},
};

RoadKind KindOf(const sim::RoadNode& a, const sim::RoadNode& b) {
    if ((a.flags & b.flags) & sim::kRoadFreeway) return kFreeway;
    if ((a.flags | b.flags) & sim::kRoadBackRoad) return kBackRoad;
    return kStreet;
}

void DrawRoads(Painter& painter, const Screen& screen, const Box& map, const ScreenView& scene) {
    const MapView view = ViewOf(screen, map, scene);
    const double reach = std::hypot(map.w, map.h) / 2 / view.pxPerUnit;  // the map's corners, any turn
    const sim::MapIndex& index = sim::TheMapIndex();
    const std::vector<uint32_t> links = index.RoadLinksNear(scene.playerX, scene.playerY, static_cast<float>(reach));
    const double widthScale = scene.bigMap ? kBigMapRoadWidthShare : 1.0;
    for (int kind = 0; kind < kRoadKinds; ++kind) {
        bool any = false;
        for (const uint32_t l : links) {
            const sim::RoadLink& link = index.world().links[l];
            const sim::RoadNode &a = index.world().nodes[link.a], &b = index.world().nodes[link.b];
            if (KindOf(a, b) != kind) continue;
            const Point from = OnMap(view, a.x - scene.playerX, a.y - scene.playerY);
            const Point to = OnMap(view, b.x - scene.playerX, b.y - scene.playerY);
            painter.MoveTo(from.x, from.y);
            painter.LineTo(to.x, to.y);
            any = true;
        }
        if (any) {
            painter.Stroke(kRoadLooks[kind].colour, kRoadLooks[kind].widthRefPx * widthScale * screen.refPx);
        }
    }
}

void DrawMapArea(Painter& painter, const Screen& screen, const Box& map, const ScreenView& scene) {
    painter.Save();
    painter.ClipRect(map.x, map.y, map.w, map.h);
    painter.Rectangle(map.x, map.y, map.w, map.h);
    painter.Fill(kLand);
    DrawRoads(painter, screen, map, scene);
    painter.Restore();
    painter.Rectangle(map.x, map.y, map.w, map.h);
    painter.Stroke(kMapEdge, 2.0 * screen.refPx);
}

// The arrow points the way the player faces: up on the radar, which turns with the player.
void DrawPlayerArrow(Painter& painter, const Screen& screen, const Box& map, const ScreenView& scene) {
    const double length = kPlayerArrowRefPx * screen.refPx;
    const MapView view = ViewOf(screen, map, scene);
    painter.Save();
    painter.Translate(view.cx, view.cy);
    painter.Rotate(view.turn - scene.headingDeg * M_PI / 180.0);
    painter.MoveTo(0, -length / 2);
    painter.LineTo(length * 0.4, length / 2);
    painter.LineTo(0, length * 0.3);
    painter.LineTo(-length * 0.4, length / 2);
    painter.ClosePath();
    painter.FillAndStroke(kArrowFill, kArrowEdge, 1.0 * screen.refPx);
    painter.Restore();
}

void DrawMarks(Painter& painter, const Screen& screen, const Box& map, const ScreenView& scene) {
    const double r = kBlipRadiusRefPx * screen.refPx;
    const MapView view = ViewOf(screen, map, scene);
    for (const MapMark& mark : scene.marks) {
        if (mark.alpha <= 0) continue;
        const Point at = OnMap(view, mark.dx, mark.dy);
        const double x = std::clamp(at.x, map.x + r, map.x + map.w - r);
        const double y = std::clamp(at.y, map.y + r, map.y + map.h - r);
        const double width = 1.5 * screen.refPx;
        if (mark.dead) {
            painter.MoveTo(x - r, y - r);
            painter.LineTo(x + r, y + r);
            painter.MoveTo(x + r, y - r);
            painter.LineTo(x - r, y + r);
            painter.Stroke(Colour(kDeadBlip, mark.alpha), width);
            continue;
        }
        painter.Circle(x, y, r);
        painter.FillAndStroke(Colour(kBlipFill, mark.alpha), Colour(kBlipEdge, mark.alpha), width);
    }
}

// Health and armour in the strip between the map's bottom and the safe zone's.
void DrawStatusBars(Painter& painter, const Screen& screen, const Box& map) {
    const double h = kBarHeightRefPx * screen.refPx;
    const double y = map.y + map.h + kBarGapRefPx * screen.refPx;
    painter.Rectangle(map.x, y, map.w, h);
    painter.Fill(kBarBack);
    painter.Rectangle(map.x, y, map.w * kHealthBarShare, h);
    painter.Fill(kHealth);
    painter.Rectangle(map.x + map.w * kHealthBarShare, y, map.w * kArmourBarShare, h);
    painter.Fill(kArmour);
}

Box MapBox(const Screen& screen, const ScreenView& scene) {
    return VisibleMap(screen, scene.bigMap ? sim::HudMap::BigMap : sim::HudMap::Radar);
}

void DrawMap(Painter& painter, const Screen& screen, const ScreenView& scene) {
    const Box map = MapBox(screen, scene);
    DrawMapArea(painter, screen, map, scene);
    DrawMarks(painter, screen, map, scene);
    DrawPlayerArrow(painter, screen, map, scene);
    DrawStatusBars(painter, screen, map);
}

// ---- feed ----------------------------------------------------------------------------------

// Greedy word wrap of one line of runs to a width; a word longer than the width gets a line of
// its own.
std::vector<TextLine> WrapLine(Painter& painter, const TextLook& look, const TextLine& line, double maxWidth) {
    std::vector<TextLine> lines(1);
    double width = 0;
    for (const TextRun& run : line) {
        size_t start = 0;
        while (start < run.text.size()) {
            const size_t space = run.text.find(' ', start);
            const size_t end = space == std::string::npos ? run.text.size() : space + 1;
            TextRun word{run.text.substr(start, end - start), run.colour, run.bold};
            const double wordWidth = painter.TextWidth(Face(look, word.bold), word.text);
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

void DrawFeed(Painter& painter, const Screen& screen, const ScreenView& scene) {
    // Over the map when it shows, else down to where the radar would end.
    const Box map = MapBox(screen, scene);
    const Box radar = VisibleMap(screen, sim::HudMap::Radar);
    const double gap = kFeedGapRefPx * screen.refPx, padding = kFeedPaddingRefPx * screen.refPx;
    // The map starts a little outside the safe zone; the feed keeps inside it, out to the radar's
    // right edge.
    const double left = std::max(map.x, sim::SafeAreaOf(screen.real).left * screen.width);
    const double boxWidth = radar.x + radar.w - left;
    TextLook look;
    look.em = TextEm(screen, kFeedTextScale);
    double bottom = (scene.radarShown ? map.y : std::min(radar.y + radar.h, screen.height)) - gap;
    const size_t first = scene.feed.size() > kFeedMaxPosts ? scene.feed.size() - kFeedMaxPosts : 0;
    for (size_t i = scene.feed.size(); i-- > first;) {  // newest first, nearest the map
        const sim::FeedPost& post = scene.feed[i];
        look.font = post.font;
        const FontMetrics font = painter.Metrics(Face(look, false));
        std::vector<TextLine> lines;
        for (const TextLine& line : SplitInlineCodes(post.text, kFeedText)) {
            for (TextLine& wrapped : WrapLine(painter, look, line, boxWidth - 2 * padding))
                lines.push_back(std::move(wrapped));
        }
        const double h = lines.size() * font.height + 2 * padding;
        painter.Rectangle(left, bottom - h, boxWidth, h);
        painter.Fill(kFeedBox);
        DrawTextLines(painter, lines, look, left + padding, bottom - h + padding, false);
        bottom -= h + gap;
    }
}

Screen ScreenOf(const ScreenView& scene, int width, int height) {
    const sim::RealScreen real{width, height, scene.screen.safeZone};
    return Screen{real, static_cast<double>(width), static_cast<double>(height), height / kReferenceHeightPx};
}

}  // namespace

void DrawScene(Painter& painter, const ScreenView& scene, int width, int height) {
    const Screen screen = ScreenOf(scene, width, height);
    painter.Save();
    painter.ClipRect(0, 0, width, height);
    DrawBackground(painter, screen);
    if (scene.radarShown) DrawMap(painter, screen, scene);
    DrawFeed(painter, screen, scene);
    for (const sim::DrawnRect& rect : scene.frame.rects) DrawRect(painter, screen, rect);
    for (const sim::DrawnText& text : scene.frame.texts) DrawDrawnText(painter, screen, text);
    painter.Restore();
}

std::vector<sim::PixelBox> DrawnTextBoxes(Painter& painter, const ScreenView& scene, int width, int height) {
    const Screen screen = ScreenOf(scene, width, height);
    std::vector<sim::PixelBox> boxes;
    for (const sim::DrawnText& text : scene.frame.texts) boxes.push_back(DrawnTextBox(painter, screen, text));
    return boxes;
}

}  // namespace preview
