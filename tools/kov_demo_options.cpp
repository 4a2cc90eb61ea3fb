// kov-demo's options: one table drives the parser and --help.
#include "tools/kov_demo_options.h"

#include "tools/command_line.h"

namespace tools {

namespace {

const Option<DemoOptions> kDemoOptions[] = {
    {"--out", "DIR",
     "where the pictures go (default out/demo). The demo's own pictures of earlier runs of the "
     "same tour into DIR (as it recorded them there, in DIR/.kov-demo-pictures.json) are "
     "replaced, and once the tour has succeeded those it did not write again are removed; any "
     "other file with the name of a picture (a copy, another tour's) stops the demo before it "
     "writes anything",
     [](const std::string& v, DemoOptions& o) { return SetPath("--out", v, o.outDir); }},
    {"--size", "WxH",
     "the real screen, and so the pictures' size (default: the tour's own screen, 1920x1080 "
     "unless it describes one)",
     [](const std::string& v, DemoOptions& o) {
         sim::Result<preview::PixelSize> size = preview::ParseScreenSize(v);
         if (!size) return sim::Failure("--size " + size.error());
         o.size = *size;
         return sim::Status();
     }},
    {"--plugin", "PATH", "the plug-in to run (default: KOV.so beside this program)",
     [](const std::string& v, DemoOptions& o) { return SetPath("--plugin", v, o.plugin); }},
    {"--force", nullptr, "replace the files in the way too (only those of the same names)",
     [](const std::string&, DemoOptions& o) {
         o.force = true;
         return sim::Status();
     }},
    {"--help", nullptr, "show this help",
     [](const std::string&, DemoOptions& o) {
         o.help = true;
         return sim::Status();
     }},
};

sim::Status TakeTour(const std::string& argument, DemoOptions& o) {
    if (!o.tour.empty()) return sim::Failure("more than one tour given: " + sim::QuoteInput(argument));
    return SetPath("the tour", argument, o.tour);
}

}  // namespace

sim::Result<DemoOptions> ParseDemoOptions(const std::vector<std::string>& args) {
    DemoOptions options;
    if (sim::Status parsed = ParseArguments(args, kDemoOptions, TakeTour, options); !parsed) return parsed;
    if (!options.help && options.tour.empty()) return sim::Failure("no tour given");
    return options;
}

std::string DemoHelp() {
    static const std::string description =
        "Runs the tour through the plug-in in the simulated host. For every stop (a step whose label\n"
        "does not start with \"(\") it prints what the screen shows and writes DIR/NN-stop.png; then\n"
        "DIR/contact-sheet.png with the first " +
        std::to_string(sim::kMaxSheetStops) + " stops.";
    return FormatHelp({"kov-demo",
                       {"TOUR.json [options]"},
                       description.c_str(),
                       HelpOf(kDemoOptions),
                       "exit status: 0 done; 1 the tour, the plug-in or a picture failed or a file is in the way;\n"
                       "2 bad command line (a picture too large included).\n"});
}

}  // namespace tools
