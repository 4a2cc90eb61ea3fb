// Fuzz target: what the tools claim about a KOV.ini is what the plug-in does with it. Any bytes
// are a KOV.ini; the plug-in (linked in, freshly loaded per run) runs on them in the simulated host
// through the every-setting scene, and the claims are taken from that run as the page takes them
// (tools/ini/settings_claims.h). The claimed settings written as a plain canonical KOV.ini must
// make the plug-in trace exactly the same calls: a claimed value that differs from what the
// plug-in used shows in the trace. A verdict without mistakes must not come with a value that
// misleads: infinite or not a number, clamped, cut by the buffer, read only up to a NUL, a switch
// that is no switch word, a key name that is no key. And the check warns that a panel leaves the screen exactly when some
// part of a text drawn with it does: its extent as the pictures measure it (cairo, the stand-in
// fonts) passes an edge of the screen.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "sim/game/frame_summary.h"
#include "sim/platform/plugin_module.h"
#include "tools/ini/every_setting_scene.h"
#include "tools/ini/ini_check.h"
#include "tools/ini/settings_claims.h"
#include "tools/preview/cairo_painter.h"

namespace {

const sim::RealScreen kScreen{1920, 1080, 1.0f};
constexpr uint32_t kWideBuffer = 1 << 16;  // room for any value of an input

std::string Claimed(const std::vector<ini::SettingRead>& read) {
    std::string text;
    for (const ini::SettingRead& r : read) text += std::string(r.key->key) + "=" + ini::ShownValue(r) + " ";
    return text;
}

[[noreturn]] void Violation(const std::string& what, const std::vector<ini::SettingRead>& read) {
    std::fprintf(stderr, "settings claims: %s\n  claimed: %s\n", what.c_str(), Claimed(read).c_str());
    std::abort();
}

std::string TraceLine(const sim::TraceEntry& entry) { return std::to_string(entry.frame) + " " + entry.line; }

// "" when the runs traced the same calls, else the first difference.
std::string FirstDifference(const sim::ScenarioResult& file, const sim::ScenarioResult& canonical) {
    for (size_t i = 0; i < file.trace.size() || i < canonical.trace.size(); ++i) {
        const std::string a = i < file.trace.size() ? TraceLine(file.trace[i]) : "(end)";
        const std::string b = i < canonical.trace.size() ? TraceLine(canonical.trace[i]) : "(end)";
        if (a != b)
            return "trace line " + std::to_string(i + 1) + ": the file gives " + a + ", the canonical file " + b;
    }
    return "";
}

// Why a value the plug-in read misleads, or "" when it reads as written.
std::string Misleading(const ini::SettingRead& r, const std::string& fileBytes) {
    const SettingKey& key = *r.key;
    if (r.text.size() != r.handed.size()) return "read only up to a NUL";
    char wide[kWideBuffer];
    const uint32_t copied = sim::LookupProfileString(fileBytes, key.section, key.key, key.fallback, wide, sizeof wide);
    if (std::string(wide, copied) != r.handed) return "cut by the value buffer";
    if (key.keyCode != nullptr) return r.value.keyCode == 0 && !r.text.empty() ? "a key name that is no key" : "";
    if (key.number == nullptr) return ini::IsSwitchWord(r.text) ? "" : "a switch that is no switch word";
    if (r.value.numberLength == 0) return "no number";
    if (std::isnan(r.value.converted)) return "not a number";
    if (std::isinf(r.value.narrowed)) return "infinite";
    if (r.value.narrowed < key.minimum) return "clamped";
    return "";
}

// Some part of a text of the step leaves the screen.
bool StepLeavesScreen(const sim::ScenarioResult& run, size_t step) {
    preview::CairoMeasure measure;
    for (const sim::PixelBox& box : ini::StepTextBoxes(run, step, kScreen, measure.painter())) {
        const bool inside = box.left >= 0 && box.top >= 0 && box.left + box.width <= kScreen.width &&
                            box.top + box.height <= kScreen.height;
        if (!inside) return true;
    }
    return false;
}

// The check warns about a panel exactly when some part of its texts leaves the screen.
void CheckOffScreenWarnings(const ini::SettingsClaims& claims, const sim::ScenarioResult& run) {
    const struct {
        size_t step;
        ini::OffScreen finding;
    } panels[] = {{ini::kPanelWithRadarStep, ini::OffScreen::BesideRadar},
                  {ini::kPanelWithBigMapStep, ini::OffScreen::WithBigMap}};
    for (const auto& panel : panels) {
        const bool warned = std::any_of(claims.findings.begin(), claims.findings.end(), [&](const ini::IniFinding& f) {
            return f.offScreen == panel.finding && !f.note;
        });
        const bool leaves = StepLeavesScreen(run, panel.step);
        if (warned != leaves) {
            Violation(std::string(leaves ? "a drawn text leaves the screen, yet the check does not warn"
                                         : "the check warns of a panel off the screen, yet every drawn text is on it") +
                          " (step " + std::to_string(panel.step) + ")",
                      claims.read);
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    const sim::ScenarioResult run = ini::RunEverySettingScene(bytes, kScreen, sim::DefaultPluginPath());
    preview::CairoMeasure measure;
    const ini::SettingsClaims claims = ini::ClaimsOfRun(bytes, run, kScreen, measure.painter());
    if (!claims.status.ok()) Violation("the plug-in's run failed: " + claims.status.error(), claims.read);
    CheckOffScreenWarnings(claims, run);

    const sim::ScenarioResult canonical =
        ini::RunEverySettingScene(ini::CanonicalIni(claims.read), kScreen, sim::DefaultPluginPath());
    if (!canonical.status.ok()) Violation("the canonical file's run failed: " + canonical.status.error(), claims.read);
    const std::string difference = FirstDifference(run, canonical);
    if (!difference.empty()) Violation("a claimed value is not what the plug-in used: " + difference, claims.read);
    const std::vector<ini::SettingRead> reread = ini::ReadSettings(canonical.lookups);
    for (size_t i = 0; i < reread.size(); ++i) {
        if (ini::ShownValue(reread[i]) != ini::ShownValue(claims.read[i])) {
            Violation(std::string("the canonical file reads back otherwise for ") + reread[i].key->key, claims.read);
        }
    }

    for (const ini::IniFinding& finding : claims.findings) {
        if (!finding.note) return 0;
    }
    for (const ini::SettingRead& r : claims.read) {
        const std::string why = Misleading(r, bytes);
        if (!why.empty()) Violation(std::string("no mistakes, yet ") + r.key->key + " is " + why, claims.read);
    }
    return 0;
}
