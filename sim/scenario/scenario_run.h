// Running a scenario: a work directory holding KOV.ini (or none), the plug-in loaded fresh in a
// host, the steps applied and run, and what the run produced.
#pragma once

#include <string>
#include <vector>

#include "sim/game/host.h"
#include "sim/result.h"
#include "sim/scenario/scenario.h"

namespace sim {

struct StepResult;

// Told of the run as it happens, so a caller can print or write it while it runs instead of
// keeping it: every traced call and wait, every frame, every settings lookup, each step's start
// and end. A failure (an output that cannot be written, say) ends the run at once with that failure
// as its error.
class ScenarioObserver {
public:
    virtual ~ScenarioObserver() = default;
    virtual Status StepStarted(size_t step, const std::string& label) = 0;
    virtual Status Traced(const TraceEntry& entry) = 0;
    virtual Status FrameDone(const Frame& frame) = 0;
    virtual Status StepEnded(size_t step, const StepResult& result) = 0;
    // The plug-in's settings lookups, as the host recorded them (see Host::lookups).
    virtual Status LookedUp(const SettingsLookup&) { return {}; }
};

struct ScenarioRunOptions {
    std::string pluginPath;  // KOV.so, or KOV.asi on Windows
    // Empty: a fresh temporary directory, removed after the run. A directory that already holds a
    // KOV.ini or KOV.log is refused: the run writes both and never touches a file it did not make.
    std::string workDir;
    ScenarioObserver* observer = nullptr;
    // False: the result keeps no trace, frames, lookups or steps, so memory stays flat however
    // many steps and frames run; the observer sees every call, frame and step.
    bool keepHistory = true;
};

struct StepResult {
    std::string label;
    size_t firstFrame = 0;  // positions in the run's frames (ScenarioResult::frames), last one inclusive
    size_t lastFrame = 0;
    World world;  // the world after the step (what the host shows besides the draw list)
};

struct ScenarioResult {
    Status status = Failure("not run");  // done, or why the run failed, with the step it failed in
    std::vector<TraceEntry> trace;
    std::vector<Frame> frames;
    std::vector<StepResult> steps;        // the steps that ran, the failing one included (kept with the history)
    std::vector<SettingsLookup> lookups;  // the plug-in's settings lookups (see Host::lookups)
    std::vector<std::string> logLines;    // KOV.log after the run
    World world;                          // the world at the end of the run
};

ScenarioResult RunScenario(const Scenario& scenario, const ScenarioRunOptions& options);

// Whether RunScenario can use the folder as its work directory: one without KOV.ini and KOV.log,
// or one it can make. Looks only; a tool checks this before it opens its outputs.
Status CheckWorkDir(const std::string& workDir);

}  // namespace sim
