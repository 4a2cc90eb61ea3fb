// kov-preview's checks of its command line and inputs, before it writes anything.
#include "tools/preview/preview_check.h"

#include <filesystem>
#include <utility>

#include "sim/input_limits.h"
#include "sim/platform/files.h"
#include "sim/platform/plugin_module.h"
#include "sim/platform/temporary_paths.h"
#include "tools/preview/preview_picture.h"

namespace preview {

tools::Checked<PreviewRun> CheckPreviewRun(const std::vector<std::string>& args) {
    using Outcome = tools::Checked<PreviewRun>;
    sim::Result<PreviewOptions> parsed = ParsePreviewOptions(args);
    if (!parsed) return Outcome::Refused(tools::kExitUsage, parsed.error());
    PreviewRun run;
    run.options = std::move(*parsed);
    const PreviewOptions& o = run.options;
    if (o.help) return Outcome::Ready(std::move(run));
    if (!o.iniPath.empty()) {
        sim::Result<std::string> bytes = sim::ReadInputFile(o.iniPath, sim::kMaxInputFileBytes);
        if (!bytes) {
            return Outcome::Refused(tools::kExitFailed,
                                    "cannot read the settings file " + o.iniPath + ": " + bytes.error());
        }
        run.ini = std::move(*bytes);
    }
    const std::vector<Tile> sizing = PictureTiles(o, PictureRows(o, run.ini), {});
    if (sim::Status fits = CheckPictureSize(sizing, static_cast<int>(o.sizes.size()), o.output); !fits)
        return Outcome::Refused(tools::kExitUsage, fits.error() + ": use a smaller --zoom, fewer --size or --crop");
    run.plugin = o.pluginPath.empty() ? sim::DefaultPluginPath() : o.pluginPath;
    if (sim::Status usable = sim::CheckRegularFile(run.plugin); !usable)
        return Outcome::Refused(tools::kExitFailed, "cannot load the plug-in " + run.plugin + ": " + usable.error());
    if (!o.output.empty()) {
        if (sim::Status usable = tools::CheckOutputPath("-o", o.output); !usable)
            return Outcome::Refused(tools::kExitFailed, usable.error());
    }
    if (sim::Result<std::filesystem::path> tmp = sim::TemporaryFolderParent(); !tmp)
        return Outcome::Refused(tools::kExitFailed, tmp.error());
    return Outcome::Ready(std::move(run));
}

}  // namespace preview
