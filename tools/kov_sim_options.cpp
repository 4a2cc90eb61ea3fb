// kov-sim's options: one table drives the parser and --help.
#include "tools/kov_sim_options.h"

#include "tools/command_line.h"

namespace tools {

namespace {

// Sets a text field from the option's value.
template <std::string SimOptions::*Field>
sim::Status SetText(const std::string& value, SimOptions& o) {
    o.*Field = value;
    return {};
}

template <bool SimOptions::*Field>
sim::Status SetSwitch(const std::string&, SimOptions& o) {
    o.*Field = true;
    return {};
}

const Option<SimOptions> kOptions[] = {
    {"--plugin", "PATH", "the plug-in to load (default: the one beside this program)", SetText<&SimOptions::plugin>},
    {"--trace", "FILE", "write every native call and wait of the run, one per line", SetText<&SimOptions::trace>},
    {"--log", "FILE", "copy the KOV.log the plug-in wrote", SetText<&SimOptions::log>},
    {"--workdir", "DIR", "run in DIR and leave KOV.ini and KOV.log there; DIR must not hold either already "
                         "(default: a temporary folder, removed after the run)", SetText<&SimOptions::workDir>},
    {"--frames", nullptr, "print every frame instead, as a person reads the screen: each line of text (colour "
                          "codes as <yellow>...</yellow>), then each of its texts with its position",
     SetSwitch<&SimOptions::frames>},
    {"--quiet", nullptr, "print nothing but errors", SetSwitch<&SimOptions::quiet>},
    {"--help", nullptr, "show this help", SetSwitch<&SimOptions::help>},
};

sim::Status TakeScenario(const std::string& argument, SimOptions& o) {
    if (!o.scenario.empty()) return sim::Failure("more than one scenario given: " + sim::QuoteInput(argument));
    o.scenario = argument;
    return {};
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
