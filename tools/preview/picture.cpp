// Laying tiles out and writing them through cairo's PNG and SVG surfaces.
#include "tools/preview/picture.h"
#include "tools/preview/cairo_painter.h"
#include "tools/preview/render.h"

#include <cairo-svg.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>

#include "sim/input_limits.h"
#include "sim/platform/files.h"
#include "text/bounded_text.h"

namespace preview {

// Where the tiles go in a picture. Outside the file's unnamed namespace: TiledPng::Drawing holds one.
struct TileLayout {
    std::vector<double> columnX, rowY;  // top left corner of each column's and row's picture area
    double width = 0, height = 0;
    double margin = 0, caption = 0;
};

namespace {

constexpr double kMarginPx = 16;
constexpr double kCaptionHeightPx = 30;
constexpr double kCaptionFontPx = 17;
constexpr const char* kCaptionFace = "DejaVu Sans";
constexpr size_t kMaxCaptionBytes = 256;  // more than the widest tile shows

enum class Format { Png, Svg, Unknown };

bool EndsWithIgnoringCase(const std::string& text, const std::string& suffix) {
    if (text.size() < suffix.size()) return false;
    return std::equal(suffix.rbegin(), suffix.rend(), text.rbegin(), [](char a, char b) { return a == LowerAscii(b); });
}

Format FormatOf(const std::string& path) {
    if (EndsWithIgnoringCase(path, ".png")) return Format::Png;
    if (EndsWithIgnoringCase(path, ".svg")) return Format::Svg;
    return Format::Unknown;
}

// Any double, an infinite one too (a zoom past every limit).
std::string FormatPixels(double pixels) {
    char text[400];
    std::snprintf(text, sizeof text, "%.0f", pixels);
    return text;
}

double TileWidth(const Tile& tile) { return std::ceil(tile.width * tile.crop.w * tile.zoom); }
double TileHeight(const Tile& tile) { return std::ceil(tile.height * tile.crop.h * tile.zoom); }

TileLayout LayOut(const std::vector<Tile>& tiles, int columns) {
    TileLayout layout;
    const bool bare = tiles.size() == 1 && tiles[0].caption.empty();
    layout.margin = bare ? 0 : kMarginPx;
    const bool captions = std::any_of(tiles.begin(), tiles.end(), [](const Tile& t) { return !t.caption.empty(); });
    layout.caption = captions ? kCaptionHeightPx : 0;
    const int rows = static_cast<int>((tiles.size() + columns - 1) / columns);
    std::vector<double> columnWidth(columns, 0), rowHeight(rows, 0);
    for (size_t i = 0; i < tiles.size(); ++i) {
        columnWidth[i % columns] = std::max(columnWidth[i % columns], TileWidth(tiles[i]));
        rowHeight[i / columns] = std::max(rowHeight[i / columns], TileHeight(tiles[i]));
    }
    double x = layout.margin;
    for (double w : columnWidth) {
        layout.columnX.push_back(x);
        x += w + layout.margin;
    }
    double y = layout.margin;
    for (double h : rowHeight) {
        layout.rowY.push_back(y + layout.caption);
        y += layout.caption + h + layout.margin;
    }
    layout.width = x;
    layout.height = y;
    return layout;
}

// Cut at the tile's width, so a long caption never runs over its neighbour's; no more of it than
// could ever show is handed to the renderer (cut between characters, never inside one).
void DrawCaption(cairo_t* cr, const std::string& text, double x, double bottom, double width) {
    size_t cut = std::min(text.size(), kMaxCaptionBytes);
    while (cut < text.size() && cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80) --cut;
    const std::string caption = text.substr(0, cut);
    cairo_save(cr);
    cairo_rectangle(cr, x, bottom - kCaptionHeightPx, width, kCaptionHeightPx);
    cairo_clip(cr);
    cairo_select_font_face(cr, kCaptionFace, CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_BOLD);
    cairo_set_font_size(cr, kCaptionFontPx);
    cairo_set_source_rgb(cr, 0.88, 0.88, 0.88);
    cairo_move_to(cr, x, bottom - (kCaptionHeightPx - kCaptionFontPx) / 2);
    cairo_show_text(cr, caption.c_str());
    cairo_restore(cr);
}

void DrawTile(cairo_t* cr, const Tile& tile, double x, double y) {
    cairo_save(cr);
    cairo_rectangle(cr, x, y, TileWidth(tile), TileHeight(tile));
    cairo_clip(cr);
    cairo_translate(cr, x, y);
    cairo_scale(cr, tile.zoom, tile.zoom);
    cairo_translate(cr, -tile.crop.x * tile.width, -tile.crop.y * tile.height);
    CairoPainter painter(cr);
    DrawScene(painter, *tile.scene, tile.width, tile.height);
    cairo_restore(cr);
}

void DrawBackground(cairo_t* cr) {
    cairo_set_source_rgb(cr, 0.13, 0.13, 0.14);
    cairo_paint(cr);
}

void DrawCell(cairo_t* cr, const TileLayout& layout, int columns, size_t cell, const Tile& tile) {
    const double x = layout.columnX[cell % columns], y = layout.rowY[cell / columns];
    if (!tile.caption.empty()) DrawCaption(cr, tile.caption, x, y, TileWidth(tile));
    DrawTile(cr, tile, x, y);
}

sim::Status Check(cairo_status_t status, const std::string& path) {
    if (status == CAIRO_STATUS_SUCCESS) return {};
    return sim::Failure("cannot write " + path + ": " + cairo_status_to_string(status));
}

}  // namespace

bool IsPictureFileName(const std::string& path) { return FormatOf(path) != Format::Unknown; }

PictureExtent MeasurePicture(const std::vector<Tile>& tiles, int columns) {
    if (tiles.empty() || columns < 1) return {};
    const TileLayout layout = LayOut(tiles, columns);
    return {layout.width, layout.height};
}

sim::Status CheckPictureSize(const std::vector<Tile>& tiles, int columns, const std::string& path) {
    if (FormatOf(path) == Format::Unknown || tiles.empty() || columns < 1) return {};
    const PictureExtent layout = MeasurePicture(tiles, columns);
    const std::string size = FormatPixels(layout.width) + "x" + FormatPixels(layout.height) + " pixels";
    // Written so that a size that is not a number fails too.
    if (!(layout.width <= sim::kMaxPictureSidePx && layout.height <= sim::kMaxPictureSidePx)) {
        return sim::Failure("the picture would be " + size + ", more than " + FormatPixels(sim::kMaxPictureSidePx) +
                            " a side");
    }
    if (FormatOf(path) == Format::Png && !(layout.width * layout.height <= sim::kMaxPicturePixels)) {
        return sim::Failure("the picture would be " + size + ", more than " + FormatPixels(sim::kMaxPicturePixels) +
                            " pixels in all");
    }
    return {};
}

struct TiledPng::Drawing {
    TileLayout layout;
    int columns;
    std::vector<Tile> cells;
    cairo_surface_t* surface;
    cairo_t* cr;
};

TiledPng::TiledPng(const std::vector<Tile>& cells, int columns)
    : drawing_(new Drawing{LayOut(cells, columns), columns, cells, nullptr, nullptr}) {
    drawing_->surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, static_cast<int>(drawing_->layout.width),
                                                   static_cast<int>(drawing_->layout.height));
    drawing_->cr = cairo_create(drawing_->surface);
    DrawBackground(drawing_->cr);
}

TiledPng::~TiledPng() {
    cairo_destroy(drawing_->cr);
    cairo_surface_destroy(drawing_->surface);
    delete drawing_;
}

// The scene keeps its own zoom, or less where that would outgrow the cell.
void TiledPng::Draw(size_t cell, const Tile& tile) {
    const Tile& place = drawing_->cells[cell];
    Tile fitted = tile;
    fitted.zoom = std::min(
        {tile.zoom, TileWidth(place) / (tile.width * tile.crop.w), TileHeight(place) / (tile.height * tile.crop.h)});
    DrawCell(drawing_->cr, drawing_->layout, drawing_->columns, cell, fitted);
}

sim::Status TiledPng::Write(const std::string& path, const PngText* text) {
    cairo_surface_flush(drawing_->surface);
    if (cairo_status(drawing_->cr) != CAIRO_STATUS_SUCCESS) return Check(cairo_status(drawing_->cr), path);
    return WritePng(drawing_->surface, path, text);
}

sim::Result<std::string> TiledPng::Encode(const PngText* text) {
    cairo_surface_flush(drawing_->surface);
    if (cairo_status(drawing_->cr) != CAIRO_STATUS_SUCCESS)
        return sim::Failure(cairo_status_to_string(cairo_status(drawing_->cr)));
    return EncodePng(drawing_->surface, text);
}

sim::Status WritePicture(const std::string& path, const std::vector<Tile>& tiles, int columns, const PngText* text) {
    const Format format = FormatOf(path);
    if (format == Format::Unknown)
        return sim::Failure("the output file must end in .png or .svg: " + sim::QuoteInput(path));
    if (tiles.empty() || columns < 1) return sim::Failure("nothing to draw");
    if (sim::Status fits = CheckPictureSize(tiles, columns, path); !fits) return fits;
    if (format == Format::Png) {
        TiledPng picture(tiles, columns);
        for (size_t i = 0; i < tiles.size(); ++i) picture.Draw(i, tiles[i]);
        return picture.Write(path, text);
    }
    const TileLayout layout = LayOut(tiles, columns);
    return sim::WriteWholeFile(path, [&](const std::filesystem::path& where) {
        cairo_surface_t* surface = cairo_svg_surface_create(where.string().c_str(), layout.width, layout.height);
        cairo_t* cr = cairo_create(surface);
        DrawBackground(cr);
        for (size_t i = 0; i < tiles.size(); ++i) DrawCell(cr, layout, columns, i, tiles[i]);
        cairo_status_t status = cairo_status(cr);
        cairo_destroy(cr);
        cairo_surface_finish(surface);
        if (status == CAIRO_STATUS_SUCCESS) status = cairo_surface_status(surface);
        cairo_surface_destroy(surface);
        return Check(status, path);
    });
}

Image RenderImage(const ScreenView& scene, int width, int height) {
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height);
    cairo_t* cr = cairo_create(surface);
    CairoPainter painter(cr);
    DrawScene(painter, scene, width, height);
    cairo_destroy(cr);
    cairo_surface_flush(surface);
    Image image;
    image.width = width;
    image.height = height;
    image.pixels.resize(static_cast<size_t>(width) * height);
    const unsigned char* data = cairo_image_surface_get_data(surface);
    const int stride = cairo_image_surface_get_stride(surface);
    for (int y = 0; y < height; ++y) {
        std::copy_n(reinterpret_cast<const uint32_t*>(data + static_cast<size_t>(y) * stride), width,
                    image.pixels.begin() + static_cast<size_t>(y) * width);
    }
    cairo_surface_destroy(surface);
    return image;
}

}  // namespace preview
