// How far the panel stands from the radar and the big map on a screen: the pixel gap between the
// right edge of the map the player sees and the panel's first separator, measured from what the
// plug-in drew (the draw list) placed by the screen model, with AnchorToRadar off and on.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "sim/result.h"
#include "tools/preview/preview_options.h"
#include "tools/preview/screen_view.h"

namespace preview {

enum GapMode { kPlain, kAnchored, kGapModes };

struct GapRow {
    PixelSize size;
    float safeZone = 1;
    double radar[kGapModes] = {};  // pixels; negative when the panel runs into the map
    double bigMap[kGapModes] = {};
};

// One row per size and safe zone of the options (the world they describe besides), each measured
// with the plug-in at pluginPath and iniText (nullopt: no file) with AnchorToRadar off and on, at the
// normal radar and with the big map open; the reason when a run fails.
sim::Result<std::vector<GapRow>> MeasureGaps(const PreviewOptions& options, const std::optional<std::string>& iniText,
                                             const std::string& pluginPath);

// The gap in the scene, to the big map when it is open, else to the radar; nullopt when the plug-in
// drew no panel.
std::optional<double> PanelGap(const ScreenView& scene);

// A gap scaled to a screen 1080 pixels high, where the layout's design units are pixels.
double GapAt1080(double gap, const PixelSize& size);

// The rows as a Markdown table: each gap in pixels, and in brackets scaled to 1080 lines.
std::string FormatGapTable(const std::vector<GapRow>& rows);

}  // namespace preview
