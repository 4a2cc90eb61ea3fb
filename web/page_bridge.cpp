// The page's entry points into the WebAssembly module: KOV.ini's bytes opened, edited and saved
// line by line (tools/ini/ini_document.h), the claims about them from a run of the plug-in
// (tools/ini/settings_claims.h), the settings table with its descriptions, the scenes, and a run
// of the plug-in in the simulated host with what it drew. Bytes and texts cross as (pointer,
// length), never as C strings: a NUL is a byte like any other. Results come back as JSON, and
// bytes at kov_bytes(), both kept until the next call.
//
// A module instance runs the plug-in once (its loader refuses a second load), so the page creates
// one per run (kov_run, kov_claims). The edits (kov_open, kov_apply_text, kov_set_value) work on the
// file an instance holds open, so the page makes them on one instance of its own; the other entry
// points may be called on any instance, any number of times. Only kov_run and kov_claims catch C++
// exceptions (web/CMakeLists.txt): emscripten's exception catching slows every call in a function
// that may catch, so nothing else does.
#include <emscripten/emscripten.h>

#include <nlohmann/json.hpp>

#include <cmath>
#include <optional>
#include <string>
#include <string_view>

#include "config/setting_keys.h"
#include "kov_version.h"
#include "sim/game/inline_codes.h"
#include "sim/ini/ini_lookup.h"
#include "sim/ini/ini_text.h"
#include "sim/platform/plugin_module.h"
#include "sim/world/map_index.h"
#include "tools/ini/ini_check.h"
#include "tools/ini/ini_document.h"
#include "tools/ini/ini_edit.h"
#include "tools/ini/setting_descriptions.h"
#include "tools/ini/settings_claims.h"
#include "tools/ini/settings_read.h"
#include "tools/preview/common_screens.h"
#include "tools/preview/gap_report.h"
#include "tools/preview/placements.h"
#include "tools/preview/preview_options.h"
#include "tools/preview/preview_run.h"
#include "tools/preview/render.h"
#include "tools/preview/scene_presets.h"
#include "web/canvas_painter.h"

namespace {

using nlohmann::json;

std::string reply;                        // the last JSON handed to the page
std::string bytesOut;                     // the last file bytes handed to the page
std::string runResult;                    // the last run's JSON (kov_run, kov_claims)
preview::ScreenView lastScene;            // the last run's picture
ini::IniDocument held;                    // the file the page edits (kov_open, kov_apply_text, kov_set_value)
std::vector<ini::LookupLine> heldLookup;  // the lines of it the lookup reads

const char* Reply(const json& value) {
    reply = value.dump(-1, ' ', false, json::error_handler_t::replace);
    return reply.c_str();
}

void RunResult(const json& value) { runResult = value.dump(-1, ' ', false, json::error_handler_t::replace); }

std::string_view Span(const char* data, int size) {
    return std::string_view(data, size > 0 ? static_cast<size_t>(size) : 0);
}

// The settings as values for the page: numbers (null for infinity), switches as booleans, a key name
// as its letter or digit ("" for none).
json SettingsJson(const std::vector<ini::SettingRead>& read) {
    json values = json::object();
    for (const ini::SettingRead& r : read) {
        if (r.key->keyCode != nullptr) values[r.key->key] = ini::ShownValue(r);
        else if (r.key->number == nullptr) values[r.key->key] = r.on();
        else values[r.key->key] = std::isfinite(r.number()) ? json(r.number()) : json(nullptr);
    }
    return values;
}

json BoxJson(const sim::PixelBox& box) {
    return {{"left", box.left}, {"top", box.top}, {"width", box.width}, {"height", box.height}};
}

const char* LineEndName(std::string_view end, sim::IniEncoding encoding) {
    if (end == sim::EncodeIniBody("\r\n", encoding)) return "CR LF";
    return end == sim::EncodeIniBody("\n", encoding) ? "LF" : "CR";
}

// A named scene, or "at:X,Y": the player at that point of San Andreas (the map's click), the
// streets and zone answered by the map as kov-preview --at X,Y answers them.
bool ApplyScene(const std::string& scene, preview::PreviewOptions& options) {
    if (scene.rfind("at:", 0) != 0) return preview::ApplyScenePreset(scene, options);
    return preview::ApplyAt(scene.substr(3), options).ok();
}

void Run(std::string_view bytes, const std::string& scene, int width, int height, float safeZone) {
    preview::PreviewOptions options;
    if (!ApplyScene(scene, options)) return RunResult({{"ok", false}, {"error", "unknown scene " + scene}});
    const sim::RealScreen screen{width, height, safeZone};
    std::vector<sim::SettingsLookup> lookups;
    sim::Result<preview::ScreenView> shown =
        preview::RunPreview(options, screen, std::string(bytes), sim::DefaultPluginPath(), &lookups);
    if (!shown) return RunResult({{"ok", false}, {"error", shown.error()}});
    lastScene = std::move(*shown);
    const std::vector<preview::TextPlacement> placements = preview::PlaceTexts(lastScene, width, height);
    json texts = json::array();
    for (const preview::TextPlacement& p : placements) {
        texts.push_back({{"text", p.text},
                         {"x", p.x},
                         {"y", p.y},
                         {"centred", p.centred},
                         {"far", p.far.empty() ? json(nullptr) : json(p.far)}});
    }
    const sim::PixelBox map = sim::VisibleMapBox(screen, lastScene.bigMap ? sim::HudMap::BigMap : sim::HudMap::Radar);
    const std::optional<double> gap = preview::PanelGap(lastScene);
    // The same draws on a 16:9 screen with a full safe zone, where the positions were designed.
    preview::ScreenView designed = lastScene;
    designed.screen = sim::RealScreen{};
    const std::optional<double> designedGap = preview::PanelGap(designed);
    RunResult({{"ok", true},
               {"texts", texts},
               {"settings", SettingsJson(ini::ReadSettings(lookups))},
               {"positions", preview::FormatPlacements(placements)},
               {"bigMap", lastScene.bigMap},
               {"radarShown", lastScene.radarShown},
               {"map", BoxJson(map)},
               {"gap", gap ? json(*gap) : json(nullptr)},
               {"gapAt1080", gap ? json(preview::GapAt1080(*gap, preview::PixelSize{width, height})) : json(nullptr)},
               {"designedGap", designedGap ? json(*designedGap) : json(nullptr)}});
}

void Claims(std::string_view bytes, std::string_view runBytes, int width, int height, float safeZone) {
    preview::CanvasPainter measure;
    const sim::RealScreen screen{width, height, safeZone};
    const ini::SettingsClaims claims = ini::ClaimsOfRun(
        bytes, ini::RunEverySettingScene(std::string(runBytes), screen, sim::DefaultPluginPath()), screen, measure);
    if (!claims.status.ok()) return RunResult({{"ok", false}, {"error", claims.status.error()}});
    json read = json::object();
    for (const ini::SettingRead& r : claims.read) read[r.key->key] = {{"shown", ini::ShownValue(r)}, {"text", r.text}};
    json findings = json::array();
    for (const ini::IniFinding& f : claims.findings) {
        const char* offScreen = f.offScreen == ini::OffScreen::BesideRadar  ? "radar"
                                : f.offScreen == ini::OffScreen::WithBigMap ? "bigMap"
                                                                            : nullptr;
        findings.push_back({{"line", f.line},
                            {"key", f.key},
                            {"message", f.message},
                            {"note", f.note},
                            {"passedOver", f.passedOver},
                            {"offScreen", offScreen != nullptr ? json(offScreen) : json(nullptr)}});
    }
    RunResult({{"ok", true}, {"read", read}, {"settings", SettingsJson(claims.read)}, {"findings", findings}});
}

// A run that stopped the simulated host (a C++ exception out of it), as the run's result.
void Stopped(const char* what) {
    RunResult({{"ok", false}, {"error", std::string("the simulated host stopped: ") + what}});
}

}  // namespace

extern "C" {

// The file bytes the last edit produced (kov_apply_text, kov_set_value): kov_bytes_size() of them.
EMSCRIPTEN_KEEPALIVE const char* kov_bytes() { return bytesOut.data(); }
EMSCRIPTEN_KEEPALIVE int kov_bytes_size() { return static_cast<int>(bytesOut.size()); }

// A file opened, and held for the edits that follow: {"encoding": name, "title": for people,
// "lineEnd": "CR LF" | "LF" | "CR" (what a new line takes), "text": what a person reads, lines
// joined by LF, a NUL as a visible stand-in, "notText": why the bytes are no text the game can read,
// or null, "empty": no bytes at all}
EMSCRIPTEN_KEEPALIVE const char* kov_open(const char* bytes, int size) {
    held = ini::OpenIniDocument(Span(bytes, size));
    heldLookup = ini::FindLookupLines(held);
    const std::optional<std::string> notText = ini::NotTextFile(Span(bytes, size));
    return Reply({{"notText", notText ? json(*notText) : json(nullptr)},
                  {"empty", size == 0},
                  {"encoding", sim::IniEncodingName(held.encoding)},
                  {"title", sim::IniEncodingTitle(held.encoding)},
                  {"lineEnd", LineEndName(held.lineEnd, held.encoding)},
                  {"text", ini::ShownIniText(held)}});
}

// The held file after its text (UTF-8) became this one: unchanged lines keep their bytes. The bytes
// at kov_bytes(); {"unkept": [lines whose characters the file cannot keep as they are]}.
EMSCRIPTEN_KEEPALIVE const char* kov_apply_text(const char* text, int textSize) {
    ini::IniTextEdit edit = ini::ApplyShownText(held, Span(text, textSize));
    held = std::move(edit.document);
    heldLookup = ini::FindLookupLines(held);
    bytesOut = ini::IniDocumentBytes(held);
    return Reply({{"unkept", edit.unkeptLines}});
}

// The held file with one value set where the lookup reads it, every other byte kept (its bytes
// through kov_held_bytes). {"first": the first line changed (0-based), "removed": how many lines from there
// gave way to "lines": the new lines' texts as kov_open shows them, "unkept": as kov_apply_text
// says}, so the page's editor replaces only those (a slider step on a 1 MB file changes one line,
// not the whole text).
EMSCRIPTEN_KEEPALIVE const char* kov_set_value(const char* section, int sectionSize, const char* key, int keySize,
                                               const char* value, int valueSize) {
    const ini::IniLineChange change = ini::SetIniDocumentValue(held, heldLookup, Span(section, sectionSize),
                                                               Span(key, keySize), Span(value, valueSize));
    json lines = json::array();
    for (size_t i = change.first; i < change.first + change.added; ++i) lines.push_back(held.lines[i].shown);
    return Reply(
        {{"first", change.first}, {"removed", change.removed}, {"lines", lines}, {"unkept", change.unkeptLines}});
}

// The held file's bytes, at kov_bytes().
EMSCRIPTEN_KEEPALIVE void kov_held_bytes() { bytesOut = ini::IniDocumentBytes(held); }

// A file the lookup reads as it reads the held one, at kov_bytes(): its lookup lines alone where
// that holds (ini::LookupEquivalentBytes), else the whole file. The runs read it: a long file costs
// a slider step no more than a short one.
EMSCRIPTEN_KEEPALIVE void kov_lookup_bytes() {
    std::optional<std::string> equivalent = ini::LookupEquivalentBytes(held, heldLookup);
    bytesOut = equivalent ? std::move(*equivalent) : ini::IniDocumentBytes(held);
}

// {key: value or null} for every setting: the value where the lookup finds it, quotes still on;
// null where the file has none.
EMSCRIPTEN_KEEPALIVE const char* kov_written(const char* bytes, int size) {
    std::vector<sim::ProfileName> names;
    for (const SettingKey& key : kSettingKeys) names.push_back({key.section, key.key});
    const std::vector<std::optional<std::string>> values =
        sim::FindProfileValues(sim::IniLookupText(Span(bytes, size)), names);
    json written = json::object();
    for (size_t i = 0; i < names.size(); ++i)
        written[kSettingKeys[i].key] = values[i] ? json(*values[i]) : json(nullptr);
    return Reply(written);
}

// The plug-in's settings table, the scenes, the common screens and the limits of a screen and a
// safe zone, for the page's controls, and the plug-in's version.
EMSCRIPTEN_KEEPALIVE const char* kov_tables() {
    json keys = json::array();
    for (const SettingKey& key : kSettingKeys) {
        const ini::SettingDescription& described = ini::kSettingDescriptions[keys.size()];
        keys.push_back({{"section", key.section},
                        {"key", key.key},
                        {"fallback", key.fallback},
                        {"kind", key.number != nullptr    ? "number"
                                 : key.keyCode != nullptr ? "key"
                                                          : "switch"},
                        {"minimum", key.minimum},
                        {"description", described.sentence},
                        {"changesNothing", described.changesNothing}});
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
    const json limits = {{"minWidth", preview::kMinScreenWidth},
                         {"minHeight", preview::kMinScreenHeight},
                         {"maxSide", preview::kMaxScreenSide},
                         {"minSafeZone", decimal(sim::kMinSafeZone)},
                         {"maxSafeZone", decimal(sim::kMaxSafeZone)}};
    return Reply({{"keys", keys},
                  {"scenes", scenes},
                  {"switchOnWords", onWords},
                  {"screens", screens},
                  {"limits", limits},
                  {"colours", colours},
                  {"version", kVersion}});
}

// The result of the last run (see kov_run, kov_claims).
// Indexes the game's San Andreas in this instance, whose picture draws the roads around the player:
// the page calls it on the spare instance while the player looks, so a picture does not wait for it.
EMSCRIPTEN_KEEPALIVE void kov_index_map() { (void)sim::TheMapIndex(); }

EMSCRIPTEN_KEEPALIVE const char* kov_run_result() { return runResult.c_str(); }

// Runs the plug-in with the KOV.ini bytes in the named scene on a screen of width by height pixels
// with the game's safe-zone size. The script's fiber switches unwind and rewind this call, so what
// it returns is lost on the way: the result waits at kov_run_result(). {"ok", "error",
// "texts": [{"text", "x", "y", "centred", "far": where, in words, when no pixel count holds it}],
// "positions": the same as lines, "map": the radar (or open big map) the player sees, in pixels, "settings": what the
// plug-in read (its lookups in this run), "gap": pixels from the right edge of the radar (or open
// big map) the player sees to the panel, null without a panel, "gapAt1080": the same on a screen 1080 pixels high,
// "designedGap": the gap the same draws give on 1920x1080 at a full safe zone, "bigMap", "radarShown"}
EMSCRIPTEN_KEEPALIVE void kov_run(const char* bytes, int size, const char* scene, int sceneSize, int width, int height,
                                  float safeZone) {
    try {
        Run(Span(bytes, size), std::string(Span(scene, sceneSize)), width, height, safeZone);
    } catch (const std::exception& error) {
        Stopped(error.what());
    }
}

// Runs the plug-in with the KOV.ini bytes through the scene that shows every setting, on that screen,
// for what the page tells the player; its texts are measured on the module's canvasContext, as the
// pictures are. The result at kov_run_result(): {"ok", "error", "read": {key:
// {"shown", "text"}}, "settings": values as in kov_run, "findings": [{"line", "key", "message", "note",
// "passedOver": about a line the lookup passes over for an earlier one of its key, "offScreen": "radar"
// or "bigMap" for a finding that part of that panel is drawn off the screen, else null}]}
// The plug-in runs on runBytes, a file it reads as it reads the one checked (kov_lookup_bytes).
EMSCRIPTEN_KEEPALIVE void kov_claims(const char* bytes, int size, const char* runBytes, int runSize, int width,
                                     int height, float safeZone) {
    try {
        Claims(Span(bytes, size), Span(runBytes, runSize), width, height, safeZone);
    } catch (const std::exception& error) {
        Stopped(error.what());
    }
}

// Paints the last run's picture on the module's canvasContext, a screen of width by height pixels,
// under the transform the page set on the context (its zoom and the part of the screen shown).
EMSCRIPTEN_KEEPALIVE void kov_draw(int width, int height) {
    preview::CanvasPainter painter;
    preview::DrawScene(painter, lastScene, width, height);
}

// Where the last run's texts land on a screen of width by height pixels, measured on the module's
// canvasContext: [{"left", "top", "width", "height"}] in draw order.
EMSCRIPTEN_KEEPALIVE const char* kov_text_boxes(int width, int height) {
    preview::CanvasPainter painter;
    json boxes = json::array();
    for (const sim::PixelBox& box : preview::DrawnTextBoxes(painter, lastScene, width, height))
        boxes.push_back(BoxJson(box));
    return Reply(boxes);
}

}  // extern "C"
