// Running a scenario: a work directory holding KOV.ini (or none), the plug-in loaded fresh in a
// host, the steps applied and run, and what the run produced.
#pragma once

#include <string>
#include <vector>

#include "sim/host.h"
#include "sim/scenario.h"

namespace sim {

struct ScenarioRunOptions {
    std::string pluginPath;  // KOV.so, or KOV.asi on Windows
    std::string workDir;     // empty: a fresh temporary directory, removed after the run
};

struct StepResult {
    std::string label;
    size_t firstFrame = 0;  // positions in ScenarioResult::frames, last one inclusive
    size_t lastFrame = 0;
    World world;  // the world after the step (what the host shows besides the draw list)
};

struct ScenarioResult {
    bool ok = false;
    std::string error;  // why the run failed, with the step it failed in
    std::vector<TraceEntry> trace;
    std::vector<Frame> frames;
    std::vector<StepResult> steps;  // the steps that ran, the failing one included
    std::vector<std::string> logLines;  // KOV.log after the run
    World world;  // the world at the end of the run
};

ScenarioResult RunScenario(const Scenario& scenario, const ScenarioRunOptions& options);

}  // namespace sim
