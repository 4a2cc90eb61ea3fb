// kov-preview's command line checked as a whole, with the files it reads (the settings file, the
// plug-in) and where it writes, before it writes anything: what kov-preview runs, and what the
// fuzz target of the command lines calls.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "tools/command_line.h"
#include "tools/preview/preview_options.h"

namespace preview {

// A run of kov-preview with its inputs read and checked: the settings file's bytes (none: no
// --ini), the plug-in, the picture's size and where it goes.
struct PreviewRun {
    PreviewOptions options;
    std::optional<std::string> ini;
    std::string plugin;
};
// The command line checked as a whole before anything is written; what kov-preview runs.
tools::Checked<PreviewRun> CheckPreviewRun(const std::vector<std::string>& args);

}  // namespace preview
