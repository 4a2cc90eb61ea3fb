// kov-sim's options: one table drives the parser and --help.
#include "tools/kov_sim_options.h"

#include <filesystem>

#include "sim/platform/files.h"
#include "sim/platform/plugin_module.h"
#include "sim/platform/temporary_paths.h"
#include "sim/scenario/scenario_run.h"

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

const Option<SimOptions> kSimOptions[] = {
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
    if (sim::Status parsed = ParseArguments(args, kSimOptions, TakeScenario, options); !parsed) return parsed;
    if (!options.help && options.scenario.empty()) return sim::Failure("no scenario given");
    return options;
}

// The checks of a parsed command line that look at files: those kov-sim reads, then where it writes.
Checked<SimRun> CheckFiles(SimRun run) {
    using Outcome = Checked<SimRun>;
    const SimOptions& o = run.options;
    sim::Result<sim::Scenario> scenario = sim::LoadScenarioFile(o.scenario);
    if (!scenario) return Outcome::Refused(kExitBadScenario, scenario.error());
    run.scenario = std::move(*scenario);
    run.plugin = o.plugin.empty() ? sim::DefaultPluginPath() : o.plugin;
    if (sim::Status usable = sim::CheckRegularFile(run.plugin); !usable) {
        return Outcome::Refused(
            kExitFailed,
            "cannot load the plug-in " + std::filesystem::absolute(run.plugin).string() + ": " + usable.error());
    }
    if (!o.workDir.empty()) {
        if (sim::Status usable = sim::CheckWorkDir(o.workDir); !usable)
            return Outcome::Refused(kExitFailed, usable.error());
    }
    for (const auto& [name, path] : {std::pair{"--trace", &o.trace}, std::pair{"--log", &o.log}}) {
        if (path->empty()) continue;
        if (sim::Status usable = CheckOutputPath(name, *path); !usable)
            return Outcome::Refused(kExitFailed, usable.error());
    }
    if (!o.trace.empty() && !o.log.empty() && std::filesystem::absolute(o.trace) == std::filesystem::absolute(o.log)) {
        return Outcome::Refused(kExitUsage, "--trace and --log name the same file " + sim::QuoteInput(o.trace));
    }
    if (sim::Result<std::filesystem::path> tmp = sim::TemporaryFolderParent(); !tmp)
        return Outcome::Refused(kExitFailed, tmp.error());
    return Outcome::Ready(std::move(run));
}

Checked<SimRun> CheckSimRun(const std::vector<std::string>& args) {
    sim::Result<SimOptions> parsed = ParseSimOptions(args);
    if (!parsed) return Checked<SimRun>::Refused(kExitUsage, parsed.error());
    SimRun run;
    run.options = std::move(*parsed);
    if (run.options.help) return Checked<SimRun>::Ready(std::move(run));
    return CheckFiles(std::move(run));
}

std::string SimHelp() {
    return FormatHelp({"kov-sim",
                       {"SCENARIO.json [options]"},
                       "Runs the plug-in through the scenario in the simulated host and prints what the last frame\n"
                       "of each step drew (texts with their normalised positions, rectangles) and the feed posts\n"
                       "made during the step.",
                       HelpOf(kSimOptions),
                       "exit status: 0 done; 1 the plug-in, a folder or an output cannot be used, the run\n"
                       "failed or an output could not be written; 2 bad command line; 3 bad scenario.\n"});
}

}  // namespace tools
