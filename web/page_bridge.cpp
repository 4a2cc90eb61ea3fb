// The page's entry points into the WebAssembly module: KOV.ini decoding, encoding, editing and
// checking, the settings table, the scenes, and a run of the plug-in in the simulated host with
// what it drew. Texts cross as UTF-8; results come back as JSON kept until the next call.
//
// A module instance runs the plug-in once: its process-wide records start at load-time state only
// in a fresh instance, so the page creates one per run (the other entry points may be called on
// any instance, any number of times).
#include <emscripten/emscripten.h>

#include <nlohmann/json.hpp>

#include <cmath>
#include <optional>
#include <string>

#include "config/setting_keys.h"
#include "kov_version.h"
#include "sim/host/inline_codes.h"
#include "sim/ini/ini_check.h"
#include "sim/ini/ini_edit.h"
#include "sim/ini/ini_lookup.h"
#include "sim/ini/ini_text.h"
#include "sim/platform/plugin_module.h"
#include "tools/preview/common_screens.h"
#include "tools/preview/gap_report.h"
#include "tools/preview/placements.h"
#include "tools/preview/preview_options.h"
#include "tools/preview/render.h"
#include "tools/preview/preview_run.h"
#include "tools/preview/scene_presets.h"
#include "web/canvas_painter.h"

namespace {

using nlohmann::json;

std::string reply;        // the last JSON or text handed to the page
std::string encoded;      // the last encoded file
std::string runResult;    // the last run's JSON
preview::ScreenView lastScene;  // the last run's picture

const char* Reply(const json& value) {
    reply = value.dump(-1, ' ', false, json::error_handler_t::replace);
    return reply.c_str();
}

void RunResult(const json& value) { runResult = value.dump(-1, ' ', false, json::error_handler_t::replace); }

const char* ReplyText(std::string text) {
    reply = std::move(text);
    return reply.c_str();
}

sim::IniEncoding EncodingNamed(const char* name) { return sim::IniEncodingNamed(name).value_or(sim::IniEncoding::Utf8); }

// The page saves every line with Windows line ends (CR LF).
std::string WithWindowsLineEnds(std::string_view text) {
    std::string out;
    for (size_t at = 0; at < text.size(); ++at) {
        if (text[at] != '\r' && text[at] != '\n') {
            out += text[at];
            continue;
        }
        if (text[at] == '\r' && at + 1 < text.size() && text[at + 1] == '\n') ++at;
        out += "\r\n";
    }
    return out;
}

// The bytes of the file the player would save: the text in its encoding.
std::string FileBytes(const char* text, const char* encoding) {
    return sim::EncodeIniText(WithWindowsLineEnds(text), EncodingNamed(encoding));
}

json SettingsRead() {
    const Settings& settings = CurrentSettings();
    json read = json::object();
    for (const SettingKey& key : kSettingKeys) {
        if (key.number != nullptr) read[key.key] = settings.*key.number;
        else read[key.key] = settings.*key.toggle != 0;
    }
    return read;
}

void Run(const char* text, const char* encoding, const char* scene, int width, int height, float safeZone) {
    preview::PreviewOptions options;
    if (!preview::ApplyScenePreset(scene, options)) return RunResult({{"ok", false}, {"error", std::string("unknown scene ") + scene}});
    const sim::RealScreen screen{width, height, safeZone};
    sim::Result<preview::ScreenView> shown =
        preview::RunPreview(options, screen, FileBytes(text, encoding), sim::DefaultPluginPath());
    if (!shown) return RunResult({{"ok", false}, {"error", shown.error()}});
    lastScene = std::move(*shown);
    const std::vector<preview::TextPlacement> placements = preview::PlaceTexts(lastScene, width, height);
    json texts = json::array();
    for (const preview::TextPlacement& p : placements) {
        texts.push_back({{"text", p.text}, {"x", p.x}, {"y", p.y}, {"centred", p.centred}});
    }
    const std::optional<double> gap = preview::PanelGap(lastScene);
    // The same draws on a 16:9 screen with a full safe zone, where the positions were designed.
    preview::ScreenView designed = lastScene;
    designed.screen = sim::RealScreen{};
    const std::optional<double> designedGap = preview::PanelGap(designed);
    RunResult({{"ok", true}, {"texts", texts}, {"settings", SettingsRead()}, {"positions", preview::FormatPlacements(placements)},
               {"bigMap", lastScene.bigMap}, {"radarShown", lastScene.radarShown},
               {"gap", gap ? json(*gap) : json(nullptr)},
               {"gapAt1080", gap ? json(preview::GapAt1080(*gap, preview::PixelSize{width, height})) : json(nullptr)},
               {"designedGap", designedGap ? json(*designedGap) : json(nullptr)}});
}

}  // namespace

extern "C" {

// {"encoding": name, "title": for people, "text": UTF-8}
EMSCRIPTEN_KEEPALIVE const char* kov_decode(const char* bytes, int size) {
    const sim::IniText file = sim::DecodeIniText(std::string_view(bytes, static_cast<size_t>(size)));
    return Reply({{"encoding", sim::IniEncodingName(file.encoding)},
                  {"title", sim::IniEncodingTitle(file.encoding)},
                  {"text", file.editText}});
}

// The file's bytes in the encoding with Windows line ends; read them at kov_encoded().
EMSCRIPTEN_KEEPALIVE int kov_encode(const char* text, const char* encoding) {
    encoded = FileBytes(text, encoding);
    return static_cast<int>(encoded.size());
}
EMSCRIPTEN_KEEPALIVE const char* kov_encoded() { return encoded.data(); }

EMSCRIPTEN_KEEPALIVE const char* kov_set_value(const char* text, const char* section, const char* key, const char* value) {
    return ReplyText(sim::SetIniValue(text, section, key, value));
}

// {key: value or null} for every setting: the value where the lookup finds it, quotes still on;
// null where the file has none.
EMSCRIPTEN_KEEPALIVE const char* kov_written(const char* text, const char* encoding) {
    const std::string decoded = sim::DecodeIniText(FileBytes(text, encoding)).lookupText;
    json written = json::object();
    for (const SettingKey& key : kSettingKeys) {
        const std::optional<std::string> value = sim::FindProfileValue(decoded, key.section, key.key);
        written[key.key] = value ? json(*value) : json(nullptr);
    }
    return Reply(written);
}

EMSCRIPTEN_KEEPALIVE const char* kov_encoding_title(const char* encoding) {
    return sim::IniEncodingTitle(EncodingNamed(encoding));
}

// [{"line", "key", "message"}] for the text as the lookup reads it in that encoding.
EMSCRIPTEN_KEEPALIVE const char* kov_check(const char* text, const char* encoding) {
    json findings = json::array();
    for (const sim::IniFinding& f : sim::CheckIni(FileBytes(text, encoding))) {
        findings.push_back({{"line", f.line}, {"key", f.key}, {"message", f.message}});
    }
    return Reply(findings);
}

// The plug-in's settings table, the scenes, the common screens and the limits of a screen and a
// safe zone, for the page's controls, and the plug-in's version.
EMSCRIPTEN_KEEPALIVE const char* kov_tables() {
    json keys = json::array();
    for (const SettingKey& key : kSettingKeys) {
        keys.push_back({{"section", key.section}, {"key", key.key}, {"fallback", key.fallback},
                        {"kind", key.number != nullptr ? "number" : "switch"}, {"minimum", key.minimum}});
    }
    json scenes = json::array();
    for (const preview::ScenePreset& preset : preview::ScenePresets()) {
        scenes.push_back({{"name", preset.name}, {"title", preset.title}});
    }
    json onWords = json::array();
    for (const char* word : kSwitchOnWords) onWords.push_back(word);
    json colours = json::array();
    for (const sim::InlineColour& colour : sim::kInlineColours) {
        if (*colour.tag != '\0') colours.push_back({{"tag", colour.tag}, {"rgb", {colour.r, colour.g, colour.b}}});
    }
    json screens = json::array();
    for (const preview::CommonScreen& screen : preview::CommonScreens()) {
        screens.push_back({screen.size.width, screen.size.height});
    }
    // The safe-zone limits as the decimals they stand for (0.9, not the float nearest to it).
    const auto decimal = [](float value) { return std::round(static_cast<double>(value) * 1000) / 1000; };
    const json limits = {{"minWidth", preview::kMinScreenWidth}, {"minHeight", preview::kMinScreenHeight},
                         {"maxSide", preview::kMaxScreenSide}, {"minSafeZone", decimal(sim::kMinSafeZone)},
                         {"maxSafeZone", decimal(sim::kMaxSafeZone)}};
    return Reply({{"keys", keys}, {"scenes", scenes}, {"switchOnWords", onWords}, {"screens", screens}, {"limits", limits},
                  {"colours", colours}, {"version", kVersion}});
}

// The result of the last run (see kov_run).
EMSCRIPTEN_KEEPALIVE const char* kov_run_result() { return runResult.c_str(); }

// Runs the plug-in with the KOV.ini text (in its encoding, as the file would be) in the named scene on a
// screen of width by height pixels with the game's safe-zone size. The script's fiber switches unwind and rewind this call, so
// what it returns is lost on the way: the result waits at kov_run_result(). {"ok", "error",
// "texts": [{"text", "x", "y", "centred"}], "positions": the same as lines, "settings": what the
// plug-in read, "gap": pixels from the right edge of the radar (or open big map) the player sees to
// the panel, null without a panel, "gapAt1080": the same on a screen 1080 pixels high, "designedGap": the gap the
// same draws give on 1920x1080 at a full safe zone, "bigMap", "radarShown"}
EMSCRIPTEN_KEEPALIVE void kov_run(const char* text, const char* encoding, const char* scene, int width, int height,
                                  float safeZone) {
    try {
        Run(text, encoding, scene, width, height, safeZone);
    } catch (const std::exception& error) {
        RunResult({{"ok", false}, {"error", std::string("the simulated host stopped: ") + error.what()}});
    }
}

// Paints the last run's picture on the module's canvasContext, a screen of width by height pixels
// (the module's paintCache keeps what later pictures reuse).
EMSCRIPTEN_KEEPALIVE void kov_draw(int width, int height) {
    preview::CanvasPainter painter;
    preview::DrawScene(painter, lastScene, width, height);
}

}  // extern "C"
