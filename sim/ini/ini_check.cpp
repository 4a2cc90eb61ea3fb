// Checking KOV.ini line by line the way the lookup reads it: sections, keys, and each value the
// plug-in takes, against the plug-in's settings table.
#include "sim/ini/ini_check.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <optional>

#include "config/setting_keys.h"
#include "sim/ini/ini_lookup.h"
#include "sim/ini/ini_text.h"

namespace preview {

namespace {

constexpr const char* kSwitchOffWords[] = {"off", "no", "false"};
constexpr uint32_t kPluginValueBuffer = 128;  // the plug-in's value buffer

std::string Lower(std::string_view text) {
    std::string out(text);
    for (char& c : out) c = (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
    return out;
}

size_t EditDistance(std::string_view a, std::string_view b) {
    const std::string x = Lower(a), y = Lower(b);
    std::vector<size_t> row(y.size() + 1);
    for (size_t j = 0; j <= y.size(); ++j) row[j] = j;
    for (size_t i = 1; i <= x.size(); ++i) {
        size_t diagonal = row[0];
        row[0] = i;
        for (size_t j = 1; j <= y.size(); ++j) {
            const size_t above = row[j];
            row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (x[i - 1] == y[j - 1] ? 0 : 1)});
            diagonal = above;
        }
    }
    return row[y.size()];
}

template <typename Names>
std::string Nearest(std::string_view name, const Names& names) {
    std::string best;
    size_t bestDistance = SIZE_MAX;
    for (const char* candidate : names) {
        const size_t distance = EditDistance(name, candidate);
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
        if (std::none_of(names.begin(), names.end(), [&](const char* n) { return sim::ProfileNamesEqual(n, key.section); })) {
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

std::string Number(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%g", value);
    return text;
}

bool IsOneOf(const std::string& value, const char* const (&words)[3]) {
    return std::any_of(std::begin(words), std::end(words), [&](const char* w) { return sim::ProfileNamesEqual(value, w); });
}

// The value text the plug-in receives for a key: the lookup over the file's bytes, as it calls it.
std::string PluginText(std::string_view file, const SettingKey& key) {
    char value[kPluginValueBuffer];
    sim::LookupProfileString(std::string(file), key.section, key.key, key.fallback, value, sizeof value);
    return value;
}

std::optional<std::string> NumberProblem(const SettingKey& key, const std::string& value) {
    const std::string name = key.key;
    const std::string minimum = Number(key.minimum);
    if (value.empty()) return name + " is empty: the plug-in reads " + minimum + ".";
    char* end = nullptr;
    const double number = std::strtod(value.c_str(), &end);
    if (end == value.c_str()) return Quoted(value) + " is not a number: the plug-in reads " + minimum + ".";
    if (std::isnan(number)) return name + " is not a number (nan): the plug-in reads " + minimum + ".";
    if (std::isinf(number)) return name + " is infinite: the panel would be drawn off the screen.";
    std::string message;
    const std::string_view rest = end;
    const size_t restStart = rest.find_first_not_of(" \t");
    // A trailing comment has a finding of its own.
    if (restStart != std::string_view::npos && rest[restStart] != ';') {
        message = "the plug-in reads " + Number(number) + " and ignores " + Quoted(rest) + ".";
    }
    if (number < key.minimum) {
        message = name + " is " + Number(number) + ", below its smallest value " + minimum + ": the plug-in uses " + minimum + ".";
    }
    if (message.empty()) return std::nullopt;
    return message;
}

std::optional<std::string> SwitchProblem(const SettingKey& key, const std::string& value) {
    if (IsOneOf(value, kSwitchOnWords) || IsOneOf(value, kSwitchOffWords)) return std::nullopt;
    return Quoted(value) + " is not a switch word, so the plug-in reads " + key.key +
           " as off. Write true (or on, yes) to switch it on, false to switch it off.";
}

struct Scanner {
    std::string_view file;  // the file's bytes
    std::vector<IniFinding> findings;
    std::map<std::string, int> sectionLines;  // first line of each section, by lower-case name
    std::map<std::string, int> keyLines;      // first line of each key read, by lower-case name
    std::string section;                      // the current section's name; empty before any
    bool sectionRead = false;                 // the current section is the first of its name

    void Add(int line, std::string_view key, std::string message) {
        findings.push_back(IniFinding{line, std::string(key), std::move(message)});
    }

    void Section(int line, std::string_view name) {
        section = std::string(name);
        const auto [first, inserted] = sectionLines.emplace(Lower(name), line);
        sectionRead = inserted;
        if (!IsKnownSection(name)) {
            Add(line, name, "[" + section + "] is not a section of KOV.ini, so the keys under it are not read; the nearest is [" +
                                NearestSectionName(name) + "].");
        } else if (!inserted) {
            Add(line, name, "[" + section + "] comes a second time (first at line " + std::to_string(first->second) +
                                "): the plug-in reads only the first one, so the keys under this one are ignored.");
        }
    }

    void Key(int line, const sim::ProfileLine& text) {
        const SettingKey* key = FindKey(text.name);
        const std::string name(text.name);
        if (key == nullptr) {
            Add(line, name, name + " is not a KOV.ini key, so the plug-in ignores it; the nearest is " + NearestKeyName(name) + ".");
            return;
        }
        if (!sim::ProfileNamesEqual(section, key->section)) {
            const std::string where = section.empty() ? "before any section" : "under [" + section + "]";
            Add(line, name, name + " belongs under [" + key->section + "]; " + where + " the plug-in does not see it.");
            return;
        }
        if (!sectionRead) return;  // the section's repeat is reported once, on its own line
        const auto [first, inserted] = keyLines.emplace(Lower(name), line);
        if (!inserted) {
            Add(line, name, name + " is set again (first at line " + std::to_string(first->second) +
                                "): the plug-in uses the first one.");
            return;
        }
        Value(line, *key, text);
    }

    void Value(int line, const SettingKey& key, const sim::ProfileLine& text) {
        if (!text.hasValue) {
            Add(line, key.key, std::string(key.key) + " has no '=' and no value: the plug-in uses its default " + key.fallback + ".");
            return;
        }
        const std::string value = PluginText(file, key);
        if (text.value.find(';') != std::string_view::npos) {
            Add(line, key.key, "The comment after the value is read as part of it (" + Quoted(value) +
                                   "): put comments on a line of their own.");
        }
        const std::optional<std::string> problem = key.number != nullptr ? NumberProblem(key, value) : SwitchProblem(key, value);
        if (problem) Add(line, key.key, *problem);
    }
};

}  // namespace

std::vector<IniFinding> CheckIni(std::string_view fileBytes) {
    Scanner scanner;
    scanner.file = fileBytes;
    const std::string text = sim::DecodeIniText(fileBytes).text;
    std::string_view rest = text;
    for (int line = 1; !rest.empty(); ++line) {
        const sim::ProfileLine parsed = sim::ClassifyProfileLine(sim::NextProfileLine(rest));
        if (parsed.kind == sim::ProfileLineKind::Section) scanner.Section(line, parsed.name);
        else if (parsed.kind == sim::ProfileLineKind::Key) scanner.Key(line, parsed);
    }
    return scanner.findings;
}

std::string NearestKeyName(std::string_view name) { return Nearest(name, KeyNames()); }
std::string NearestSectionName(std::string_view name) { return Nearest(name, SectionNames()); }

}  // namespace preview
