// kov-demo's checks before it writes anything, and the names of its pictures.
#include "tools/demo/demo_check.h"

#include <algorithm>
#include <cctype>
#include <system_error>
#include <utility>

#include "sim/input_limits.h"
#include "sim/platform/files.h"
#include "sim/platform/plugin_module.h"
#include "sim/platform/temporary_paths.h"
#include "text/bounded_text.h"

namespace demo {

namespace fs = std::filesystem;

namespace {

// "Davis Ave, west of the split" -> "davis-ave-west-of-the-split", at most kMaxLabelInFileName long.
std::string Slug(const std::string& label) {
    std::string slug;
    for (size_t i = 0; i < label.size() && slug.size() < sim::kMaxLabelInFileName; ++i) {
        const unsigned char c = static_cast<unsigned char>(label[i]);
        if (std::isalnum(c) != 0) slug += LowerAscii(static_cast<char>(c));
        else if (!slug.empty() && slug.back() != '-') slug += '-';
    }
    while (!slug.empty() && slug.back() == '-') slug.pop_back();
    return slug;
}

// Counts the stops and checks, before anything is written, that every picture's name is free.
sim::Result<size_t> PlanStops(const sim::Scenario& tour, const tools::DemoOptions& options) {
    const PictureManifest manifest(options.outDir, options.tour);
    size_t stops = 0;
    sim::Status free;
    sim::ForEachStep(tour, [&](size_t, const sim::ScenarioStep& step) {
        if (IsStop(step.label)) free = Claim(manifest, options.outDir, PictureName(++stops, step.label), options.force);
        return free.ok();
    });
    if (!free) return free;
    if (stops == 0) return sim::Failure("the tour has no stops: every step's label starts with \"(\"");
    if (sim::Status sheet = Claim(manifest, options.outDir, kSheetName, options.force); !sheet) return sheet;
    return stops;
}

// The folder is made by the run: here it must be one, or a name whose first existing folder above is one.
sim::Status CheckOutFolder(const std::string& outDir) {
    std::error_code error;
    for (fs::path above = fs::absolute(outDir, error); !above.empty(); above = above.parent_path()) {
        const fs::file_type type = fs::status(above, error).type();
        if (type == fs::file_type::not_found && above != above.parent_path()) continue;
        if (type == fs::file_type::directory) return {};
        return sim::Failure("--out " + sim::QuoteInput(outDir) + ": " + above.string() + " is not a folder");
    }
    return {};
}

}  // namespace

bool IsStop(const std::string& label) { return label.empty() || label[0] != '('; }

std::string PictureName(size_t stop, const std::string& label) {
    return (stop < 10 ? "0" : "") + std::to_string(stop) + "-" + Slug(label) + ".png";
}

sim::Status Claim(const PictureManifest& manifest, const fs::path& folder, const std::string& name, bool force) {
    const fs::path path = folder / name;
    std::error_code error;
    const fs::file_status status = fs::symlink_status(path, error);
    if (status.type() == fs::file_type::not_found || manifest.Owns(name)) return {};
    if (status.type() == fs::file_type::directory) return sim::Failure(path.string() + " is in the way: a folder");
    if (force) return {};
    return sim::Failure(path.string() +
                        " is in the way: kov-demo did not write it there for this tour; remove it, give another "
                        "--out or add --force to replace it");
}

tools::Checked<DemoRun> CheckDemoRun(const std::vector<std::string>& args) {
    using Outcome = tools::Checked<DemoRun>;
    sim::Result<tools::DemoOptions> parsed = tools::ParseDemoOptions(args);
    if (!parsed) return Outcome::Refused(tools::kExitUsage, parsed.error());
    DemoRun run;
    run.options = std::move(*parsed);
    const tools::DemoOptions& o = run.options;
    if (o.help) return Outcome::Ready(std::move(run));
    sim::Result<sim::Scenario> tour = sim::LoadScenarioFile(o.tour);
    if (!tour) return Outcome::Refused(tools::kExitFailed, tour.error());
    run.tour = std::move(*tour);
    if (o.size) {
        if (!run.tour.world.is_object()) run.tour.world = nlohmann::json::object();
        run.tour.world["display"]["resolution"] = {o.size->width, o.size->height};
    }
    if (sim::Status folder = CheckOutFolder(o.outDir); !folder)
        return Outcome::Refused(tools::kExitFailed, folder.error());
    const sim::Result<size_t> stops = PlanStops(run.tour, o);
    if (!stops) return Outcome::Refused(tools::kExitFailed, stops.error());
    run.stops = *stops;
    const sim::RealScreen screen = sim::InitialWorld(run.tour).realScreen;
    preview::Tile stop;
    stop.width = screen.width;
    stop.height = screen.height;
    for (const sim::Status& fits :
         {preview::CheckPictureSize({stop}, 1, "stop.png"),
          preview::CheckPictureSize(SheetCells(run.stops, screen), kSheetColumns, kSheetName)}) {
        if (!fits) return Outcome::Refused(tools::kExitUsage, fits.error() + ": give a smaller --size");
    }
    run.plugin = o.plugin.empty() ? sim::DefaultPluginPath() : o.plugin;
    if (sim::Status usable = sim::CheckRegularFile(run.plugin); !usable)
        return Outcome::Refused(tools::kExitFailed, "cannot load the plug-in " + run.plugin + ": " + usable.error());
    if (sim::Result<fs::path> tmp = sim::TemporaryFolderParent(); !tmp)
        return Outcome::Refused(tools::kExitFailed, tmp.error());
    return Outcome::Ready(std::move(run));
}

std::vector<preview::Tile> SheetCells(size_t stops, const sim::RealScreen& screen) {
    preview::Tile cell;
    cell.width = screen.width;
    cell.height = screen.height;
    cell.zoom = kSheetTileWidthPx / screen.width;
    cell.caption = "-";
    return std::vector<preview::Tile>(std::min(stops, sim::kMaxSheetStops), cell);
}

}  // namespace demo
