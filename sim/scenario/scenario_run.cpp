// Runs a validated scenario in its work directory, the way the host game runs the plug-in in its
// own folder: relative file names (KOV.ini, KOV.log) resolve there.
#include "sim/scenario/scenario_run.h"

#include <filesystem>
#include <system_error>

#include "sim/platform/files.h"
#include "sim/platform/settings_file_state.h"
#include "sim/platform/temporary_paths.h"

namespace sim {

namespace fs = std::filesystem;

namespace {

// The files of a run; a work directory given by the caller must not hold them already.
const char* const kRunFiles[] = {"KOV.ini", "KOV.log"};

Status MakeGivenWorkDir(const fs::path& workDir) {
    if (Status usable = CheckWorkDir(workDir.string()); !usable) return usable;
    std::error_code error;
    fs::create_directories(workDir, error);
    if (error) return Failure("cannot create the work directory " + workDir.string() + ": " + error.message());
    return {};
}

// Writes KOV.ini from the scenario; with none, the directory has no KOV.ini (it was checked or is new).
Status PrepareSettingsFile(const Scenario& scenario, const fs::path& workDir) {
    if (!scenario.ini) return {};
    return WriteWholeFileBytes(workDir / "KOV.ini", *scenario.ini);
}

// Hands what the host recorded since the last call to the observer and, when asked, the result,
// then clears the host's record, so a long run holds one frame at a time.
struct History {
    const ScenarioRunOptions& options;
    ScenarioResult& result;
    size_t frameCount = 0;
    int lastFrameIndex = 0;

    Status Take(Host& host) {
        Status told;
        for (const TraceEntry& entry : host.trace()) {
            if (options.observer != nullptr && told) told = options.observer->Traced(entry);
        }
        for (const Frame& frame : host.frames()) {
            if (options.observer != nullptr && told) told = options.observer->FrameDone(frame);
            lastFrameIndex = frame.index;
            ++frameCount;
        }
        for (const SettingsLookup& lookup : host.lookups()) {
            if (options.observer != nullptr && told) told = options.observer->LookedUp(lookup);
        }
        if (options.keepHistory) {
            result.trace.insert(result.trace.end(), host.trace().begin(), host.trace().end());
            result.frames.insert(result.frames.end(), host.frames().begin(), host.frames().end());
            result.lookups.insert(result.lookups.end(), host.lookups().begin(), host.lookups().end());
        }
        host.ClearHistory();
        return told;
    }
};

// Runs one step's frames; false once the host or the observer has failed the run (result.status says why).
bool RunStep(const Scenario& scenario, size_t index, const ScenarioStep& step, Host& host, History& history,
             SettingsFileState& files) {
    ScenarioObserver* observer = history.options.observer;
    ApplyWorldPatch(step.world, host.world);
    if (Status matched = files.Match(host.world); !matched) {
        history.result.status = Failure(scenario.file + ": step " + std::to_string(index + 1) + " \"" + step.label +
                                        "\": " + matched.error());
        return false;
    }
    Status told = observer != nullptr ? observer->StepStarted(index, step.label) : Status();
    StepResult stepResult;
    stepResult.label = step.label;
    stepResult.firstFrame = history.frameCount;
    bool ran = true;
    for (int frame = 0; frame < step.frames && ran && told; ++frame) {
        ran = host.RunFrame().ok();
        told = history.Take(host);
    }
    stepResult.lastFrame = history.frameCount == 0 ? 0 : history.frameCount - 1;
    stepResult.world = host.world;
    if (observer != nullptr && told) told = observer->StepEnded(index, stepResult);
    if (history.options.keepHistory) history.result.steps.push_back(std::move(stepResult));
    if (!told) {
        history.result.status = told;
        return false;
    }
    if (!ran) {
        history.result.status = Failure(scenario.file + ": step " + std::to_string(index + 1) + " \"" + step.label +
                                        "\", frame " + std::to_string(history.lastFrameIndex) + ": " + host.error());
    }
    return ran;
}

void Run(const Scenario& scenario, const ScenarioRunOptions& options, const fs::path& workDir, ScenarioResult& result) {
    const std::string pluginPath = fs::absolute(options.pluginPath).string();
    result.status = PrepareSettingsFile(scenario, workDir);
    if (!result.status) return;
    ScopedCurrentDirectory inWorkDir(workDir);
    History history{options, result};
    Host host;
    host.clockMs = scenario.clockStartMs;
    host.frameStepMs = scenario.frameStepMs;
    host.world = InitialWorld(scenario);
    SettingsFileState files(workDir);
    if (Status matched = files.Match(host.world); !matched) {
        result.status = Failure(scenario.file + ": " + matched.error());
    } else if (Status loaded = host.Load(pluginPath); !loaded) {
        result.status = loaded;
    } else if (Status told = history.Take(host); !told) {
        result.status = told;
    } else {
        ForEachStep(scenario, [&](size_t index, const ScenarioStep& step) {
            return RunStep(scenario, index, step, host, history, files);
        });
    }
    host.Unload();
    const Status told = history.Take(host);
    if (result.status && !told) result.status = told;
    result.world = host.world;
    if (const auto log = ReadFileBytes("KOV.log")) result.logLines = SplitLines(*log);
}

}  // namespace

// The folder is looked at, never made: the folders above one that is missing must be folders.
Status CheckWorkDir(const std::string& workDir) {
    std::error_code error;
    const fs::path dir = fs::absolute(workDir, error);
    if (error) return Failure("cannot use the work directory " + workDir + ": " + error.message());
    for (fs::path above = dir; !above.empty(); above = above.parent_path()) {
        const fs::file_type type = fs::status(above, error).type();
        if (type == fs::file_type::not_found && above != above.parent_path()) continue;
        if (type != fs::file_type::directory) {
            return Failure("cannot create the work directory " + workDir + ": " + above.string() + " is not a folder");
        }
        break;
    }
    for (const char* name : kRunFiles) {
        if (fs::exists(dir / name, error) || fs::is_symlink(dir / name, error)) {
            return Failure("the work directory " + dir.string() + " already holds " + name +
                           "; a run writes its own KOV.ini and KOV.log, so give a folder without them");
        }
    }
    return {};
}

ScenarioResult RunScenario(const Scenario& scenario, const ScenarioRunOptions& options) {
    ScenarioResult result;
    if (options.workDir.empty()) {
        const TemporaryWorkDirectory workDir("run-");
        Run(scenario, options, workDir.path(), result);
    } else {
        const fs::path workDir = fs::absolute(options.workDir);
        result.status = MakeGivenWorkDir(workDir);
        if (result.status) Run(scenario, options, workDir, result);
    }
    return result;
}

}  // namespace sim
