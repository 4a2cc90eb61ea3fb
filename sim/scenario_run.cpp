// Runs a validated scenario in its work directory, the way the host game runs the plug-in in its
// own folder: relative file names (KOV.ini, KOV.log) resolve there.
#include "sim/scenario_run.h"

#include <filesystem>
#include <system_error>

#include "sim/files.h"

namespace sim {

namespace fs = std::filesystem;

namespace {

// Writes KOV.ini from the scenario, or makes sure there is none. Empty on success.
std::string PrepareSettingsFile(const Scenario& scenario, const fs::path& workDir) {
    const fs::path ini = workDir / "KOV.ini";
    if (scenario.ini) {
        return WriteFileBytes(ini, *scenario.ini) ? "" : "cannot write " + ini.string();
    }
    std::error_code error;
    fs::remove(ini, error);
    return error ? "cannot remove " + ini.string() + ": " + error.message() : "";
}

void RunSteps(const Scenario& scenario, Host& host, ScenarioResult& result) {
    for (size_t i = 0; i < scenario.steps.size(); ++i) {
        const ScenarioStep& step = scenario.steps[i];
        ApplyWorldPatch(step.world, host.world);
        StepResult stepResult;
        stepResult.label = step.label;
        stepResult.firstFrame = host.frames().size();
        const bool ran = host.RunFrames(step.frames);
        stepResult.lastFrame = host.frames().empty() ? 0 : host.frames().size() - 1;
        stepResult.world = host.world;
        result.steps.push_back(stepResult);
        if (!ran) {
            result.error = scenario.file + ": step " + std::to_string(i + 1) + " \"" + step.label + "\", frame " +
                           std::to_string(host.frames().empty() ? 0 : host.frames().back().index) + ": " + host.error();
            return;
        }
    }
}

}  // namespace

ScenarioResult RunScenario(const Scenario& scenario, const ScenarioRunOptions& options) {
    ScenarioResult result;
    const bool ownWorkDir = options.workDir.empty();
    std::error_code error;
    const fs::path workDir = ownWorkDir ? MakeTempDirectory("kov-sim-") : fs::absolute(options.workDir);
    fs::create_directories(workDir, error);
    const std::string pluginPath = fs::absolute(options.pluginPath).string();

    result.error = error ? "cannot create the work directory " + workDir.string() + ": " + error.message()
                         : PrepareSettingsFile(scenario, workDir);
    if (result.error.empty()) {
        ScopedCurrentDirectory inWorkDir(workDir);
        Host host;
        host.clockMs = scenario.clockStartMs;
        host.frameStepMs = scenario.frameStepMs;
        host.world = InitialWorld(scenario);
        if (host.Load(pluginPath)) {
            RunSteps(scenario, host, result);
        } else {
            result.error = host.error();
        }
        host.Unload();
        result.trace = host.trace();
        result.frames = host.frames();
        result.world = host.world;
        if (const auto log = ReadFileBytes("KOV.log")) result.logLines = SplitLines(*log);
    }
    if (ownWorkDir) fs::remove_all(workDir, error);
    result.ok = result.error.empty();
    return result;
}

}  // namespace sim
