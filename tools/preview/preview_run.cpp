// A preview's run: its scenario through the scenario runner, the view taken as the last step ends.
#include "tools/preview/preview_run.h"

#include "sim/scenario/scenario_run.h"
#include "tools/preview/preview_world.h"

namespace preview {

namespace {

// Keeps the last step's view, and the settings lookups when asked for them.
class LastStepView : public StepViews {
public:
    LastStepView(size_t lastStep, std::vector<sim::SettingsLookup>* lookups) : lastStep_(lastStep), lookups_(lookups) {}

    ScreenView view;

    sim::Status LookedUp(const sim::SettingsLookup& lookup) override {
        if (lookups_ != nullptr) lookups_->push_back(lookup);
        return {};
    }

private:
    sim::Status StepViewed(size_t step, const std::string&, const ScreenView& stepView) override {
        if (step == lastStep_) view = stepView;
        return {};
    }

    size_t lastStep_;
    std::vector<sim::SettingsLookup>* lookups_;
};

}  // namespace

sim::Result<ScreenView> RunPreview(const PreviewOptions& options, const sim::RealScreen& screen,
                                   const std::optional<std::string>& iniText, const std::string& pluginPath,
                                   std::vector<sim::SettingsLookup>* lookups) {
    sim::Result<sim::Scenario> scenario = PreviewScenario(options, screen, iniText);
    if (!scenario) return scenario.status();
    if (lookups != nullptr) lookups->clear();
    LastStepView lastStep(scenario->stepCount - 1, lookups);
    sim::ScenarioRunOptions run;
    run.pluginPath = pluginPath;
    run.observer = &lastStep;
    run.keepHistory = false;
    const sim::ScenarioResult result = sim::RunScenario(*scenario, run);
    if (!result.status.ok()) return sim::Failure("the plug-in run failed: " + result.status.error());
    return lastStep.view;
}

}  // namespace preview
