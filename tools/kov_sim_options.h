// kov-sim's command line.
#pragma once

#include <string>
#include <vector>

#include "sim/result.h"
#include "sim/scenario/scenario.h"
#include "tools/command_line.h"

namespace tools {

struct SimOptions {
    bool help = false;
    std::string scenario;
    std::string plugin;   // empty: the one beside the program
    std::string trace;    // empty: no trace file
    std::string log;      // empty: KOV.log is not copied
    std::string workDir;  // empty: a temporary folder
    bool frames = false;  // every frame instead of each step's last
    bool quiet = false;
};

// The arguments without the program name; a one-line message on the first problem.
sim::Result<SimOptions> ParseSimOptions(const std::vector<std::string>& args);
std::string SimHelp();

constexpr int kExitBadScenario = 3;

// A run of kov-sim with everything it reads checked: the scenario loaded, the plug-in, the work
// folder, the outputs' folders and the temporary folder usable.
struct SimRun {
    SimOptions options;
    sim::Scenario scenario;
    std::string plugin;
};
// The command line checked as a whole before anything is written; what kov-sim runs.
Checked<SimRun> CheckSimRun(const std::vector<std::string>& args);

}  // namespace tools
