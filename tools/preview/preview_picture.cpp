// The rows and tiles of kov-preview's picture.
#include "tools/preview/preview_picture.h"

#include <cstdio>

#include "sim/game/screen_model.h"
#include "tools/preview/preview_world.h"

namespace preview {

std::vector<PictureRow> PictureRows(const PreviewOptions& options, const std::optional<std::string>& ini) {
    std::vector<PictureRow> rows;
    for (const float safeZone : options.safeZones) {
        char zone[32];
        std::snprintf(zone, sizeof zone, " safe zone %.2f", static_cast<double>(safeZone));
        const std::string zoneLabel = options.safeZones.size() > 1 || safeZone != sim::kMaxSafeZone ? zone : "";
        if (!options.bothModes) {
            rows.push_back({safeZone, ini, zoneLabel});
            continue;
        }
        rows.push_back({safeZone, WithAnchorToRadar(ini, false), "plain" + zoneLabel});
        rows.push_back({safeZone, WithAnchorToRadar(ini, true), "anchored" + zoneLabel});
    }
    return rows;
}

std::vector<Tile> PictureTiles(const PreviewOptions& options, const std::vector<PictureRow>& rows,
                               const std::vector<ScreenView>& scenes) {
    std::vector<Tile> tiles;
    const bool captions = rows.size() * options.sizes.size() > 1;
    for (const PictureRow& row : rows) {
        for (const PixelSize& size : options.sizes) {
            Tile tile;
            if (tiles.size() < scenes.size()) tile.scene = &scenes[tiles.size()];
            tile.width = size.width;
            tile.height = size.height;
            const std::string name = std::to_string(size.width) + "x" + std::to_string(size.height);
            if (captions) tile.caption = name + (row.label.empty() ? "" : " " + row.label);
            tile.zoom = TileZoom(options, size);
            tile.crop = options.crop;
            tiles.push_back(tile);
        }
    }
    return tiles;
}

}  // namespace preview
