// kov-preview's picture: its rows (per safe zone, the KOV.ini as given, or with AnchorToRadar off
// and then on) and its tiles, one per screen of a row, at the zoom and crop the options ask for.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "tools/preview/picture.h"
#include "tools/preview/preview_options.h"

namespace preview {

struct PictureRow {
    float safeZone;
    std::optional<std::string> ini;
    std::string label;  // "" when there is one row of one kind
};

std::vector<PictureRow> PictureRows(const PreviewOptions& options, const std::optional<std::string>& ini);

// The picture's tiles, row by row, one per screen; scenes holds one scene per tile in that order,
// or none when only the picture's size is wanted.
std::vector<Tile> PictureTiles(const PreviewOptions& options, const std::vector<PictureRow>& rows,
                               const std::vector<ScreenView>& scenes);

}  // namespace preview
