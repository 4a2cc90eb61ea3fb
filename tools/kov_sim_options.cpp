// kov-sim's options: one table drives the parser and --help.
#include "tools/kov_sim_options.h"

#include "tools/command_line.h"

namespace tools {

namespace {

// Sets a path field from the option's value.
template <std::string SimOptions::*Field, const char* Name>
sim::Status SetPathOf(const std::string& value, SimOptions& o) {
    return SetPath(Name, value, o.*Field);
}

constexpr char kPlugin[] = "--plugin", kTrace[] = "--trace", kLog[] = "--log", kWorkDir[] = "--workdir";

template <bool SimOptions::*Field>
sim::Status SetSwitch(const std::string&, SimOptions& o) {
    o.*Field = true;
    return {};
}

const Option<SimOptions> kOptions[] = {
    {"--plugin", "PATH", "the plug-in to load (default: the one beside this program)",
     SetPathOf<&SimOptions::plugin, kPlugin>},
    {"--trace", "FILE", "write every native call and wait of the run, one per line",
     SetPathOf<&SimOptions::trace, kTrace>},
    {"--log", "FILE", "copy the KOV.log the plug-in wrote", SetPathOf<&SimOptions::log, kLog>},
    {"--workdir", "DIR",
     "run in DIR and leave KOV.ini and KOV.log there; DIR must not hold either already "
     "(default: a temporary folder, removed after the run)",
     SetPathOf<&SimOptions::workDir, kWorkDir>},
    {"--frames", nullptr,
     "print every frame instead, as a person reads the screen: each line of text (colour "
     "codes as <yellow>...</yellow>), then each of its texts with its position",
     SetSwitch<&SimOptions::frames>},
    {"--quiet", nullptr, "print nothing but errors", SetSwitch<&SimOptions::quiet>},
    {"--help", nullptr, "show this help", SetSwitch<&SimOptions::help>},
};

sim::Status TakeScenario(const std::string& argument, SimOptions& o) {
    if (!o.scenario.empty()) return sim::Failure("more than one scenario given: " + sim::QuoteInput(argument));
    return SetPath("the scenario", argument, o.scenario);
}

}  // namespace

sim::Result<SimOptions> ParseSimOptions(const std::vector<std::string>& args) {
    SimOptions options;
    if (sim::Status parsed = ParseArguments(args, kOptions, TakeScenario, options); !parsed) return parsed;
    if (!options.help && options.scenario.empty()) return sim::Failure("no scenario given");
    return options;
}

std::string SimHelp() {
    return FormatHelp({"kov-sim",
                       {"SCENARIO.json [options]"},
                       "Runs the plug-in through the scenario in the simulated host and prints what the last frame\n"
                       "of each step drew (texts with their normalised positions, rectangles) and the feed posts\n"
                       "made during the step.",
                       HelpOf(kOptions),
                       "exit status: 0 done, 1 the run failed or an output could not be written, 2 bad command\n"
                       "line, 3 bad scenario.\n"});
}

}  // namespace tools
