// The claims about a KOV.ini from a run of the plug-in in the every-setting scene.
#include "sim/scenario/settings_claims.h"

#include "sim/host/frame_summary.h"
#include "sim/scenario/every_setting_scene.h"

namespace sim {

namespace {

bool OnScreen(const PixelPoint& at, const RealScreen& screen) {
    return at.x >= 0 && at.y >= 0 && at.x < screen.width && at.y < screen.height;
}

// The panel of a step as its last frame drew it, placed on the screen by the screen model.
PanelShown PanelOfStep(const ScenarioResult& run, size_t step, const RealScreen& screen) {
    PanelShown panel;
    panel.bigMap = step == kPanelWithBigMapStep;
    panel.width = screen.width;
    panel.height = screen.height;
    for (const DrawnText& text : run.frames[run.steps[step].lastFrame].texts) {
        const PixelPoint at = PlaceDrawPosition(screen, text.align, text.x, text.y);
        if (OnScreen(at, screen)) continue;
        panel.offScreen = true;
        panel.text = ReadableText(text.text);
        panel.x = at.x;
        panel.y = at.y;
        break;
    }
    return panel;
}

}  // namespace

ScenarioResult RunEverySettingScene(const std::optional<std::string>& fileBytes, const RealScreen& screen,
                                    const std::string& pluginPath) {
    ScenarioRunOptions options;
    options.pluginPath = pluginPath;
    return RunScenario(EverySettingScene(fileBytes, screen), options);
}

SettingsClaims ClaimsOfRun(std::string_view fileBytes, const ScenarioResult& run, const RealScreen& screen) {
    SettingsClaims claims;
    claims.status = run.status;
    if (!claims.status) return claims;
    IniRun checked{ReadSettings(run.lookups), {}};
    for (const size_t step : {kPanelWithRadarStep, kPanelWithBigMapStep}) {
        if (step < run.steps.size()) checked.panels.push_back(PanelOfStep(run, step, screen));
    }
    claims.findings = CheckIni(fileBytes, checked);
    claims.read = std::move(checked.read);
    return claims;
}

SettingsClaims ClaimsOfFile(std::string_view fileBytes, const RealScreen& screen, const std::string& pluginPath) {
    return ClaimsOfRun(fileBytes, RunEverySettingScene(std::string(fileBytes), screen, pluginPath), screen);
}

}  // namespace sim
