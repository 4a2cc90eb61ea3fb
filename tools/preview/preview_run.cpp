// A preview's run: its scenario through the scenario runner, then the last step's view.
#include "tools/preview/preview_run.h"

#include "sim/scenario/scenario_run.h"
#include "tools/preview/preview_world.h"

namespace preview {

sim::Result<ScreenView> RunPreview(const PreviewOptions& options, const sim::RealScreen& screen,
                                   const std::optional<std::string>& iniText, const std::string& pluginPath,
                                   std::vector<sim::SettingsLookup>* lookups) {
    sim::Result<sim::Scenario> scenario = PreviewScenario(options, screen, iniText);
    if (!scenario) return scenario.status();
    sim::ScenarioRunOptions run;
    run.pluginPath = pluginPath;
    const sim::ScenarioResult result = sim::RunScenario(*scenario, run);
    if (!result.ok) return sim::Failure("the plug-in run failed: " + result.error);
    if (lookups != nullptr) *lookups = result.lookups;
    return ViewOfStep(result, result.steps.size() - 1);
}

}  // namespace preview
