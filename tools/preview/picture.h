// Pictures made of scenes: one or more screens laid out in rows, with optional captions, written
// to PNG or SVG; and a scene rendered to pixels in memory for checks.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "sim/result.h"
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
// margin. The format follows the extension: ".png" or ".svg".
sim::Status WritePicture(const std::string& path, const std::vector<Tile>& tiles, int columns);

// Whether WritePicture can make this picture, checked before any work: a PNG is drawn in memory,
// at most 32767 pixels a side (the renderer's limit) and 100 million pixels (400 MB). A failure
// names the picture's size and the limit it passes.
sim::Status CheckPictureSize(const std::vector<Tile>& tiles, int columns, const std::string& path);

struct Image {
    int width = 0, height = 0;
    std::vector<uint32_t> pixels;  // 0xAARRGGBB, premultiplied, row by row

    uint32_t At(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};

Image RenderImage(const ScreenView& scene, int width, int height);

}  // namespace preview
