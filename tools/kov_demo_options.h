// kov-demo's command line.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "sim/result.h"
#include "tools/preview/common_screens.h"

namespace tools {

struct DemoOptions {
    bool help = false;
    std::string tour;
    std::string outDir = "out/demo";
    std::optional<preview::PixelSize> size;  // the real screen; none: the tour's own
    std::string plugin;                      // empty: KOV.so beside the program
    bool force = false;                      // replace files in the way that no earlier run wrote
};

// The arguments without the program name; a one-line message on the first problem.
sim::Result<DemoOptions> ParseDemoOptions(const std::vector<std::string>& args);
std::string DemoHelp();

}  // namespace tools
