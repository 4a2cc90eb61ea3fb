// Measuring the panel's gap to the radar and the big map over screens and safe zones.
#include "tools/preview/gap_report.h"

#include <cstdio>

#include "tools/preview/preview_run.h"
#include "tools/preview/preview_world.h"

namespace preview {

namespace {

constexpr double kReferenceLines = 1080;
constexpr const char* kSeparator = "|";

// The first separator of the panel in the scene's draw list; false when the panel is not drawn.
bool PanelLeftEdge(const ScreenView& scene, double& x) {
    for (const sim::DrawnText& text : scene.frame.texts) {
        if (text.text != kSeparator) continue;
        x = sim::PlaceDrawPosition(scene.screen, text.align, text.x, text.y).x;
        return true;
    }
    return false;
}

sim::Result<double> MeasureOne(const PreviewOptions& options, const sim::RealScreen& screen,
                               const std::optional<std::string>& iniText, const std::string& pluginPath) {
    const sim::Result<ScreenView> view = RunPreview(options, screen, iniText, pluginPath);
    if (!view) return view.status();
    const std::optional<double> measured = PanelGap(*view);
    if (!measured) {
        return sim::Failure("the plug-in drew no location panel at " + std::to_string(screen.width) + "x" +
                            std::to_string(screen.height));
    }
    return *measured;
}

std::string Cell(double gap, const PixelSize& size) {
    char text[48];
    std::snprintf(text, sizeof text, "%.1f (%.1f)", gap, GapAt1080(gap, size));
    return text;
}

}  // namespace

std::optional<double> PanelGap(const ScreenView& scene) {
    double panel = 0;
    if (!PanelLeftEdge(scene, panel)) return std::nullopt;
    const sim::HudMap map = scene.bigMap ? sim::HudMap::BigMap : sim::HudMap::Radar;
    return panel - sim::VisibleMapBox(scene.screen, map).right();
}

double GapAt1080(double gap, const PixelSize& size) { return gap * kReferenceLines / size.height; }

sim::Result<std::vector<GapRow>> MeasureGaps(const PreviewOptions& options, const std::optional<std::string>& iniText,
                                             const std::string& pluginPath) {
    std::vector<GapRow> rows;
    const std::optional<std::string> modeIni[kGapModes] = {WithAnchorToRadar(iniText, false),
                                                           WithAnchorToRadar(iniText, true)};
    for (const float safeZone : options.safeZones) {
        for (const PixelSize& size : options.sizes) {
            GapRow row;
            row.size = size;
            row.safeZone = safeZone;
            const sim::RealScreen screen{size.width, size.height, safeZone};
            for (int mode = 0; mode < kGapModes; ++mode) {
                for (const bool bigMap : {false, true}) {
                    PreviewOptions one = options;
                    one.bigMap = bigMap;
                    const sim::Result<double> gap = MeasureOne(one, screen, modeIni[mode], pluginPath);
                    if (!gap) return gap.status();
                    (bigMap ? row.bigMap[mode] : row.radar[mode]) = *gap;
                }
            }
            rows.push_back(row);
        }
    }
    return rows;
}

std::string FormatGapTable(const std::vector<GapRow>& rows) {
    std::string table =
        "| screen    | safe zone | radar, plain     | radar, anchored | big map, plain     | big map, anchored  |\n"
        "|-----------|----------:|-----------------:|----------------:|-------------------:|-------------------:|\n";
    for (const GapRow& row : rows) {
        char line[256];
        std::snprintf(line, sizeof line, "| %-9s | %9.2f | %16s | %15s | %18s | %18s |\n",
                      (std::to_string(row.size.width) + "x" + std::to_string(row.size.height)).c_str(),
                      static_cast<double>(row.safeZone), Cell(row.radar[kPlain], row.size).c_str(),
                      Cell(row.radar[kAnchored], row.size).c_str(), Cell(row.bigMap[kPlain], row.size).c_str(),
                      Cell(row.bigMap[kAnchored], row.size).c_str());
        table += line;
    }
    return table;
}

}  // namespace preview
