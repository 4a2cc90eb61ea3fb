// Pictures made of scenes: one or more screens laid out in rows, with optional captions, written
// to PNG or SVG; and a scene rendered to pixels in memory for checks.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "sim/result.h"
#include "tools/preview/png_file.h"
#include "tools/preview/screen_view.h"

namespace preview {

// The part of the screen a tile shows, as shares of the screen's width and height.
struct Crop {
    double x = 0, y = 0, w = 1, h = 1;
};

struct Tile {
    const ScreenView* scene = nullptr;
    int width = 1280, height = 720;  // the screen's size in pixels
    std::string caption;             // drawn above the tile; empty for none
    double zoom = 1;                 // picture pixels per screen pixel
    Crop crop;
};

// True for the names WritePicture can write: ending in .png or .svg, in any letter case.
bool IsPictureFileName(const std::string& path);

// Tiles fill rows of `columns`, left to right. One uncaptioned tile is written bare, without a
// margin. The format follows the extension: ".png" or ".svg"; a PNG carries the text when given.
sim::Status WritePicture(const std::string& path, const std::vector<Tile>& tiles, int columns,
                         const PngText* text = nullptr);

// A PNG drawn scene by scene as the scenes come, so none is kept: its layout is fixed by the cells
// given (sizes, zooms and crops; no scenes; a caption, any, where one will be drawn), which passed
// CheckPictureSize.
class TiledPng {
public:
    TiledPng(const std::vector<Tile>& cells, int columns);
    ~TiledPng();
    TiledPng(const TiledPng&) = delete;
    TiledPng& operator=(const TiledPng&) = delete;

    // Draws the tile (its scene and caption) into cell `cell`, at the tile's zoom or smaller where
    // the cell is smaller.
    void Draw(size_t cell, const Tile& tile);
    sim::Status Write(const std::string& path, const PngText* text);
    // The PNG's bytes, for a caller that puts them in place itself.
    sim::Result<std::string> Encode(const PngText* text);

private:
    struct Drawing;
    Drawing* drawing_;
};

// The picture's size in pixels, as WritePicture would make it (not a number for tiles whose zoom
// is not one).
struct PictureExtent {
    double width = 0, height = 0;
};
PictureExtent MeasurePicture(const std::vector<Tile>& tiles, int columns);

// Whether WritePicture can make this picture, checked before any work: within the picture limits
// of sim/input_limits.h, a side for either format, the pixels in all for a PNG (drawn in memory).
// A failure names the picture's size and the limit it passes; the tool adds what to change.
sim::Status CheckPictureSize(const std::vector<Tile>& tiles, int columns, const std::string& path);

struct Image {
    int width = 0, height = 0;
    std::vector<uint32_t> pixels;  // 0xAARRGGBB, premultiplied, row by row

    uint32_t At(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};

Image RenderImage(const ScreenView& scene, int width, int height);

}  // namespace preview
