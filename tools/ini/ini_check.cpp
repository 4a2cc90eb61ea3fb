// Checking KOV.ini line by line as the lookup's scan reads it (sections, keys) and each value as the
// plug-in read it in a run, against the plug-in's settings table.
#include "tools/ini/ini_check.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>
#include <optional>

#include "config/setting_keys.h"
#include "sim/ini/ini_lookup.h"
#include "sim/ini/ini_text.h"
#include "text/bounded_text.h"

namespace ini {

namespace {

constexpr const char* kSwitchOffWords[] = {"off", "no", "false"};
// A file with more control characters than one in this many is taken for something else than text:
// a text editor writes none, while compressed data (a picture, an archive) holds about one in nine.
constexpr size_t kTextControlShare = 16;

// What a file that is not text is, by its first bytes, for the one line that names it.
struct FileSignature {
    std::string_view start;
    const char* what;
};
constexpr FileSignature kFileSignatures[] = {
    {"\x89PNG", "a PNG picture"},
    {"\xFF\xD8\xFF", "a JPEG picture"},
    {"GIF8", "a GIF picture"},
    {"BM", "a BMP picture"},
    {"RIFF", "a WebP picture, a WAV sound or an AVI video"},
    {"%PDF", "a PDF document"},
    {"PK\x03\x04", "a ZIP archive or an Office document"},
    {"MZ", "a Windows program or DLL"},
    {"\x7F"
     "ELF",
     "a program"},
};

// The edit distance between two folded names, or limit once the distance is sure to reach it: the
// length difference and the smallest entry of each row are lower bounds, so the nearest of many
// names costs little for a long name (a line of junk) far from all of them. row is scratch space.
size_t EditDistanceBelow(std::string_view x, std::string_view y, size_t limit, std::vector<size_t>& row) {
    if ((x.size() > y.size() ? x.size() - y.size() : y.size() - x.size()) >= limit) return limit;
    row.resize(y.size() + 1);
    for (size_t j = 0; j <= y.size(); ++j) row[j] = j;
    for (size_t i = 1; i <= x.size(); ++i) {
        size_t diagonal = row[0];
        row[0] = i;
        size_t smallest = row[0];
        for (size_t j = 1; j <= y.size(); ++j) {
            const size_t above = row[j];
            row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (x[i - 1] == y[j - 1] ? 0 : 1)});
            diagonal = above;
            smallest = std::min(smallest, row[j]);
        }
        if (smallest >= limit) return limit;
    }
    return row[y.size()];
}

// The first of the names at the smallest edit distance from name, letter case aside.
template <typename Names>
std::string Nearest(std::string_view name, const Names& names) {
    const std::string folded = sim::FoldedProfileName(name);
    std::vector<size_t> row;
    std::string best;
    size_t bestDistance = SIZE_MAX;
    for (const char* candidate : names) {
        const size_t distance = EditDistanceBelow(folded, sim::FoldedProfileName(candidate), bestDistance, row);
        if (distance < bestDistance) best = candidate, bestDistance = distance;
    }
    return best;
}

std::vector<const char*> KeyNames() {
    std::vector<const char*> names;
    for (const SettingKey& key : kSettingKeys) names.push_back(key.key);
    return names;
}

std::vector<const char*> SectionNames() {
    std::vector<const char*> names;
    for (const SettingKey& key : kSettingKeys) {
        if (std::none_of(names.begin(), names.end(),
                         [&](const char* n) { return sim::ProfileNamesEqual(n, key.section); })) {
            names.push_back(key.section);
        }
    }
    return names;
}

const SettingKey* FindKey(std::string_view name) {
    for (const SettingKey& key : kSettingKeys) {
        if (sim::ProfileNamesEqual(name, key.key)) return &key;
    }
    return nullptr;
}

bool IsKnownSection(std::string_view name) {
    for (const char* section : SectionNames()) {
        if (sim::ProfileNamesEqual(name, section)) return true;
    }
    return false;
}

std::string Quoted(std::string_view text) { return "\"" + std::string(text) + "\""; }

// A number in words where it is not one.
std::string Number(double value) {
    if (std::isnan(value)) return "not a number";
    if (std::isinf(value)) return value > 0 ? "infinity" : "minus infinity";
    char text[32];
    std::snprintf(text, sizeof text, "%g", value);
    return text;
}

std::string Span(double from, double to) { return Number(std::round(from)) + " to " + Number(std::round(to)); }

bool IsOneOf(std::string_view value, const char* const (&words)[3]) {
    return std::any_of(std::begin(words), std::end(words),
                       [&](const char* w) { return sim::ProfileNamesEqual(value, w); });
}

// What the rest of a value after its number holds: nothing, a comment, or other text.
enum class AfterNumber { Nothing, Comment, Text };
AfterNumber WhatFollows(std::string_view rest) {
    const size_t start = rest.find_first_not_of(" \t");
    if (start == std::string_view::npos) return AfterNumber::Nothing;
    return rest[start] == ';' ? AfterNumber::Comment : AfterNumber::Text;
}

std::optional<std::string> NumberProblem(const SettingRead& read) {
    const SettingKey& key = *read.key;
    const std::string name = key.key;
    const std::string minimum = Number(key.minimum);
    if (read.text.empty()) return name + " is empty: the plug-in reads " + minimum + ".";
    if (read.value.numberLength == 0) return Quoted(read.text) + " is not a number: the plug-in reads " + minimum + ".";
    if (std::isnan(read.value.converted)) return name + " is not a number (nan): the plug-in reads " + minimum + ".";
    if (std::isinf(read.value.narrowed) && read.value.narrowed > 0) {
        const std::string past = std::isinf(read.value.converted)
                                     ? ""
                                     : " (" + Number(read.value.converted) + " is past the largest number it holds)";
        return name + " is infinite to the plug-in" + past + ": no screen can show the panel there.";
    }
    if (read.value.narrowed < key.minimum) {
        return name + " is " + Number(read.value.narrowed) + ", below its smallest value " + minimum +
               ": the plug-in uses " + minimum + ".";
    }
    const std::string_view rest = std::string_view(read.text).substr(read.value.numberLength);
    if (WhatFollows(rest) == AfterNumber::Text)
        return "the plug-in reads " + Number(read.number()) + " and ignores " + Quoted(rest) + ".";
    return std::nullopt;
}

std::optional<std::string> SwitchProblem(const SettingRead& read) {
    if (IsSwitchWord(read.text)) return std::nullopt;
    return Quoted(read.text) + " is not a switch word, so the plug-in reads " + read.key->key +
           " as off. Write true (or on, yes) to switch it on, false to switch it off.";
}

// A key name the plug-in reads as no key: placement stays off.
std::optional<std::string> KeyNameProblem(const SettingRead& read) {
    if (read.value.keyCode != 0) return std::nullopt;
    const std::string name = read.key->key;
    const std::string why = read.text.empty() ? name + " is empty"
                            : read.text.size() == 1 && LowerAscii(read.text[0]) == 'l'
                                ? "L is the display toggle's key"
                                : Quoted(read.text) + " is not one letter or digit";
    return why + ", so placement is off: write one letter A-Z or digit 0-9 other than L (K for Ctrl+Alt+K).";
}

struct Checker {
    const IniRun& run;
    std::vector<IniFinding> findings;
    std::map<std::string, int> readLines;  // each key's line the lookup reads, by key

    void Add(const sim::ProfileScanLine& line, std::string_view about, std::string message, bool note = false) {
        findings.push_back(IniFinding{line.number, std::string(about), std::move(message), note});
    }

    const SettingRead* ReadOf(const SettingKey& key) const {
        for (const SettingRead& read : run.read) {
            if (std::string_view(read.key->key) == key.key && read.lookedUp) return &read;
        }
        return nullptr;
    }

    void CheckSection(const sim::ProfileScanLine& line) {
        const std::string name(line.name);
        if (!IsKnownSection(name)) {
            Add(line, line.name,
                "[" + name +
                    "] is not a section of KOV.ini, so the keys under it are not read; "
                    "the nearest is [" +
                    Nearest(name, SectionNames()) + "].");
        } else if (!line.read) {
            Add(line, line.name,
                "[" + name + "] comes a second time (first at line " + std::to_string(line.firstLine) +
                    "): the plug-in reads only the first one, so the keys under this one are ignored.");
        }
    }

    // A comment after a number the plug-in still reads as meant is only a note.
    void CheckComment(const sim::ProfileScanLine& line, const SettingRead& read) {
        const std::string name = read.key->key;
        if (read.key->number != nullptr && read.value.numberLength > 0 &&
            WhatFollows(std::string_view(read.text).substr(read.value.numberLength)) == AfterNumber::Comment) {
            return Add(line, name,
                       "The comment after the number is read as part of the value, but the plug-in still reads " +
                           Number(read.number()) + " as meant; a comment on a line of its own is safer.",
                       true);
        }
        Add(line, name,
            "The comment after the value is read as part of it (" + Quoted(read.text) +
                "): put comments on a line of their own.");
    }

    void CheckValue(const sim::ProfileScanLine& line, const SettingKey& key) {
        const std::string name = key.key;
        if (!line.hasValue) {
            return Add(line, name,
                       name + " has no '=' and no value: the plug-in uses its default " + key.fallback + ".");
        }
        const SettingRead* read = ReadOf(key);
        if (read == nullptr) return;  // the run never asked for it
        if (line.value.find(';') != std::string_view::npos) CheckComment(line, *read);
        if (!line.cut.empty()) {
            Add(line, name,
                name + " is longer than the plug-in's " + std::to_string(kSettingValueCapacity - 1) +
                    " characters: it does not read the last " + std::to_string(line.cut.size()) + ", and uses " +
                    ShownValue(*read) + ".");
        }
        if (read->text.size() != read->handed.size()) {
            Add(line, name,
                name + " holds a NUL byte (shown as \u2400): the plug-in reads only what comes before it, " +
                    Quoted(read->text) + ", and uses " + ShownValue(*read) + ".");
        }
        const std::optional<std::string> problem = key.number != nullptr    ? NumberProblem(*read)
                                                   : key.keyCode != nullptr ? KeyNameProblem(*read)
                                                                            : SwitchProblem(*read);
        if (problem) Add(line, name, *problem);
    }

    void CheckKey(const sim::ProfileScanLine& line) {
        if (line.name.empty()) {
            return Add(line, "",
                       line.hasValue
                           ? "This line has no setting name before its '=', so the plug-in ignores it."
                           : "This line is neither a setting, a section nor a comment, so the plug-in ignores it.");
        }
        const SettingKey* key = FindKey(line.name);
        const std::string name(line.name);
        if (key == nullptr) {
            return Add(line, line.name,
                       name + " is not a KOV.ini key, so the plug-in ignores it; the nearest is " +
                           Nearest(name, KeyNames()) + ".");
        }
        if (!line.inSection || !sim::ProfileNamesEqual(line.section, key->section)) {
            const std::string where =
                line.inSection ? "under [" + std::string(line.section) + "]" : "before any section";
            return Add(line, line.name,
                       name + " belongs under [" + key->section + "]; " + where + " the plug-in does not see it.");
        }
        if (!line.searched) return;  // the section's repeat is reported once, on its own line
        if (!line.read) {
            Add(line, line.name,
                name + " is set again (first at line " + std::to_string(line.firstLine) +
                    "): the plug-in uses the first one.");
            findings.back().passedOver = true;
            return;
        }
        readLines[key->key] = line.number;
        CheckValue(line, *key);
    }

    // Death notices come from the blip pass: a player without a blip gets none.
    void CheckNotices() {
        static constexpr const SettingKey& kNotices = KeyOf(&Settings::ShowPlayerObituaries);
        static constexpr const SettingKey& kBlips = KeyOf(&Settings::DisplayPlayerBlips);
        static constexpr const SettingKey& kTeamOnly = KeyOf(&Settings::DisplayTeamBlipsOnly);
        const SettingRead* notices = ReadOf(kNotices);
        const SettingRead* blips = ReadOf(kBlips);
        const SettingRead* teamOnly = ReadOf(kTeamOnly);
        if (notices == nullptr || blips == nullptr || teamOnly == nullptr || !notices->on()) return;
        const std::string noticesKey = kNotices.key, blipsKey = kBlips.key, teamOnlyKey = kTeamOnly.key;
        if (!blips->on()) {
            return AddAbout(kBlips.key, kNotices.key,
                            noticesKey + " is on, but with " + blipsKey +
                                " off the plug-in posts no death notices: the blips are what notice a death.");
        }
        if (teamOnly->on()) {
            AddAbout(kTeamOnly.key, kNotices.key,
                     "With " + teamOnlyKey +
                         " on, death notices come only for your team mates: the other players have no blip, "
                         "and the blips are what notice a death.");
        }
    }

    // A note about a key, on the line where the file sets the key that causes it.
    void AddAbout(const char* cause, const char* key, std::string message) {
        const auto found = readLines.find(cause);
        findings.push_back(IniFinding{found != readLines.end() ? found->second : 0, key, std::move(message), true});
    }

    // The keys that place a panel; the finding goes on the first of them the file sets.
    void CheckPanel(const PanelShown& panel) {
        if (!panel.offScreen) return;
        const char* keys[] = {KeyOf(panel.bigMap ? &Settings::LocTextPosX_RadarLrg : &Settings::LocTextPosX).key,
                              KeyOf(panel.bigMap ? &Settings::LocTextPosY_RadarLrg : &Settings::LocTextPosY).key,
                              KeyOf(&Settings::LocTextSizeMult).key};
        IniFinding finding;
        for (const char* key : keys) {
            const auto found = readLines.find(key);
            if (found == readLines.end() || (finding.line != 0 && found->second >= finding.line)) continue;
            finding.line = found->second;
            finding.key = key;
        }
        finding.message = "On a " + std::to_string(panel.width) + " \u00d7 " + std::to_string(panel.height) +
                          " screen the plug-in draws part of the panel off the screen " +
                          (panel.bigMap ? "while the big map is shown" : "beside the radar") + " (" +
                          Quoted(panel.text) + " spans " + Span(panel.box.left, panel.box.right()) + " px across and " +
                          Span(panel.box.top, panel.box.bottom()) + " px down): change " + keys[0] + ", " + keys[1] +
                          " or " + keys[2] + ".";
        finding.offScreen = panel.bigMap ? OffScreen::WithBigMap : OffScreen::BesideRadar;
        findings.push_back(std::move(finding));
    }
};

// Control characters (but the tab, the line ends and the old end-of-file mark) in a text.
size_t ControlCharacters(std::string_view text) {
    return static_cast<size_t>(std::count_if(text.begin(), text.end(), [](char c) {
        const auto byte = static_cast<unsigned char>(c);
        return (byte < 0x20 && c != '\t' && c != '\n' && c != '\r' && c != '\x1a') || byte == 0x7F;
    }));
}

// Why the file is no text, from its bytes and the text the lookup sees in them (see NotTextFile).
std::optional<std::string> NotText(std::string_view fileBytes, std::string_view text) {
    const size_t controls = ControlCharacters(text);
    if (controls == 0 || controls * kTextControlShare <= text.size()) return std::nullopt;
    std::string what;
    for (const FileSignature& signature : kFileSignatures) {
        if (fileBytes.substr(0, signature.start.size()) == signature.start) what = signature.what;
    }
    // Text in UTF-16 without its byte order mark: every other byte is 0 in Latin letters.
    if (what.empty() && fileBytes.size() >= 4 && fileBytes[1] == '\0' && fileBytes[3] == '\0' && fileBytes[0] != '\0')
        what =
            "UTF-16 text without its byte order mark, which the game's lookup cannot read (save it as UTF-8, or "
            "as \"Unicode\" with the mark)";
    return (what.empty() ? std::string() : "it looks like " + what + "; ") + std::to_string(controls) + " of its " +
           std::to_string(text.size()) + " characters are control characters";
}

}  // namespace

bool InsideScreen(const sim::PixelBox& box, int width, int height) {
    return box.left >= 0 && box.top >= 0 && box.right() <= width && box.bottom() <= height;
}

std::optional<std::string> NotTextFile(std::string_view fileBytes) {
    return NotText(fileBytes, sim::IniLookupText(fileBytes));
}

bool IsSwitchWord(std::string_view text) { return IsOneOf(text, kSwitchOnWords) || IsOneOf(text, kSwitchOffWords); }

std::vector<IniFinding> CheckIni(std::string_view fileBytes, const IniRun& run) {
    Checker checker{run, {}, {}};
    // A file that is no text gets one line for itself, not one for each of its lines; what the plug-in
    // drew from it is still checked.
    const std::string text = sim::IniLookupText(fileBytes);
    if (const std::optional<std::string> notText = NotText(fileBytes, text)) {
        checker.findings.push_back(IniFinding{0, "",
                                              "KOV.ini is not a text file the game can read (" + *notText +
                                                  "), so the check reads no further. Open the KOV.ini text file "
                                                  "from the game's folder, or start again from the defaults.",
                                              false});
        for (const PanelShown& panel : run.panels) checker.CheckPanel(panel);
        return checker.findings;
    }
    sim::ProfileScan scan(text, kSettingValueCapacity);
    for (sim::ProfileScanLine line; scan.Next(line);) {
        if (line.kind == sim::ProfileLineKind::Section) checker.CheckSection(line);
        else if (line.kind == sim::ProfileLineKind::Key) checker.CheckKey(line);
    }
    for (const PanelShown& panel : run.panels) checker.CheckPanel(panel);
    checker.CheckNotices();
    std::stable_sort(checker.findings.begin(), checker.findings.end(),
                     [](const IniFinding& a, const IniFinding& b) { return a.line < b.line; });
    return checker.findings;
}

std::vector<IniFinding> CheckIni(std::string_view fileBytes) {
    const IniRun run{ReadSettings(LookUpEverySetting(std::string(fileBytes))), {}};
    return CheckIni(fileBytes, run);
}

}  // namespace ini
