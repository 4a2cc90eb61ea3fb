// A preview's run: its scenario through the scenario runner, the view taken as the last step ends.
#include "tools/preview/preview_run.h"

#include "sim/scenario/scenario_run.h"
#include "tools/preview/preview_world.h"

namespace preview {

namespace {

// Sees the run's frames as they come and keeps the last step's view.
class LastStepView : public sim::ScenarioObserver {
public:
    explicit LastStepView(size_t lastStep) : lastStep_(lastStep) {}

    sim::Status StepStarted(size_t, const std::string&) override {
        viewer_.StepStarted();
        return {};
    }
    sim::Status Traced(const sim::TraceEntry&) override { return {}; }
    sim::Status FrameDone(const sim::Frame& frame) override {
        viewer_.FrameDone(frame);
        return {};
    }
    sim::Status StepEnded(size_t step, const sim::StepResult& result) override {
        if (step == lastStep_) view = viewer_.StepEnded(result.world);
        return {};
    }

    ScreenView view;

private:
    size_t lastStep_;
    StepViewer viewer_;
};

}  // namespace

sim::Result<ScreenView> RunPreview(const PreviewOptions& options, const sim::RealScreen& screen,
                                   const std::optional<std::string>& iniText, const std::string& pluginPath) {
    sim::Result<sim::Scenario> scenario = PreviewScenario(options, screen, iniText);
    if (!scenario) return scenario.status();
    LastStepView lastStep(scenario->stepCount - 1);
    sim::ScenarioRunOptions run;
    run.pluginPath = pluginPath;
    run.observer = &lastStep;
    run.keepHistory = false;
    const sim::ScenarioResult result = sim::RunScenario(*scenario, run);
    if (!result.ok) return sim::Failure("the plug-in run failed: " + result.error);
    return lastStep.view;
}

}  // namespace preview
