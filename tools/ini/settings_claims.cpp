// The claims about a KOV.ini from a run of the plug-in in the every-setting scene.
#include "tools/ini/settings_claims.h"

#include "sim/game/frame_summary.h"
#include "tools/ini/every_setting_scene.h"
#include "tools/preview/render.h"
#include "tools/preview/screen_view.h"

namespace ini {

namespace {

// The panel of a step as its last frame drew it, each text's extent placed on the screen by the
// screen model and measured by the painter.
PanelShown PanelOfStep(const sim::ScenarioResult& run, size_t step, const sim::RealScreen& screen,
                       preview::Painter& measure) {
    PanelShown panel;
    panel.bigMap = step == kPanelWithBigMapStep;
    panel.width = screen.width;
    panel.height = screen.height;
    const std::vector<sim::DrawnText>& texts = run.frames[run.steps[step].lastFrame].texts;
    const std::vector<sim::PixelBox> boxes = StepTextBoxes(run, step, screen, measure);
    for (size_t i = 0; i < boxes.size(); ++i) {
        if (InsideScreen(boxes[i], screen.width, screen.height)) continue;
        panel.offScreen = true;
        panel.text = sim::ReadableText(texts[i].text);
        panel.box = boxes[i];
        break;
    }
    return panel;
}

}  // namespace

std::vector<sim::PixelBox> StepTextBoxes(const sim::ScenarioResult& run, size_t step, const sim::RealScreen& screen,
                                         preview::Painter& measure) {
    preview::ScreenView view;
    view.screen = screen;
    view.frame = run.frames[run.steps[step].lastFrame];
    return preview::DrawnTextBoxes(measure, view, screen.width, screen.height);
}

sim::ScenarioResult RunEverySettingScene(const std::optional<std::string>& fileBytes, const sim::RealScreen& screen,
                                         const std::string& pluginPath) {
    sim::ScenarioRunOptions options;
    options.pluginPath = pluginPath;
    return RunScenario(EverySettingScene(fileBytes, screen), options);
}

SettingsClaims ClaimsOfRun(std::string_view fileBytes, const sim::ScenarioResult& run, const sim::RealScreen& screen,
                           preview::Painter& measure) {
    SettingsClaims claims;
    claims.status = run.status;
    if (!claims.status) return claims;
    IniRun checked{ReadSettings(run.lookups), {}};
    for (const size_t step : {kPanelWithRadarStep, kPanelWithBigMapStep}) {
        if (step < run.steps.size()) checked.panels.push_back(PanelOfStep(run, step, screen, measure));
    }
    claims.findings = CheckIni(fileBytes, checked);
    claims.read = std::move(checked.read);
    return claims;
}

SettingsClaims ClaimsOfFile(std::string_view fileBytes, const sim::RealScreen& screen, const std::string& pluginPath,
                            preview::Painter& measure) {
    return ClaimsOfRun(fileBytes, RunEverySettingScene(std::string(fileBytes), screen, pluginPath), screen, measure);
}

}  // namespace ini
