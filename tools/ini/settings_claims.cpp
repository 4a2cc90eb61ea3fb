// The claims about a KOV.ini from a run of the plug-in in the every-setting scene.
#include "tools/ini/settings_claims.h"

#include "sim/game/frame_summary.h"
#include "tools/ini/every_setting_scene.h"

namespace ini {

namespace {

bool OnScreen(const sim::PixelPoint& at, const sim::RealScreen& screen) {
    return at.x >= 0 && at.y >= 0 && at.x < screen.width && at.y < screen.height;
}

// The panel of a step as its last frame drew it, placed on the screen by the screen model.
PanelShown PanelOfStep(const sim::ScenarioResult& run, size_t step, const sim::RealScreen& screen) {
    PanelShown panel;
    panel.bigMap = step == kPanelWithBigMapStep;
    panel.width = screen.width;
    panel.height = screen.height;
    for (const sim::DrawnText& text : run.frames[run.steps[step].lastFrame].texts) {
        const sim::PixelPoint at = PlaceDrawPosition(screen, text.align, text.x, text.y);
        if (OnScreen(at, screen)) continue;
        panel.offScreen = true;
        panel.text = sim::ReadableText(text.text);
        panel.x = at.x;
        panel.y = at.y;
        break;
    }
    return panel;
}

}  // namespace

sim::ScenarioResult RunEverySettingScene(const std::optional<std::string>& fileBytes, const sim::RealScreen& screen,
                                         const std::string& pluginPath) {
    sim::ScenarioRunOptions options;
    options.pluginPath = pluginPath;
    return RunScenario(EverySettingScene(fileBytes, screen), options);
}

SettingsClaims ClaimsOfRun(std::string_view fileBytes, const sim::ScenarioResult& run, const sim::RealScreen& screen) {
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

SettingsClaims ClaimsOfFile(std::string_view fileBytes, const sim::RealScreen& screen, const std::string& pluginPath) {
    return ClaimsOfRun(fileBytes, RunEverySettingScene(std::string(fileBytes), screen, pluginPath), screen);
}

}  // namespace ini
