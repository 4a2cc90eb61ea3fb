// Checking KOV.ini line by line as the lookup's scan reads it: sections, keys, and each value the
// plug-in takes, against the plug-in's settings table.
#include "sim/ini/ini_check.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <optional>

#include "config/setting_keys.h"
#include "sim/ini/ini_lookup.h"
#include "sim/ini/ini_text.h"

namespace sim {

namespace {

constexpr const char* kSwitchOffWords[] = {"off", "no", "false"};

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
        if (std::none_of(names.begin(), names.end(), [&](const char* n) { return ProfileNamesEqual(n, key.section); })) {
            names.push_back(key.section);
        }
    }
    return names;
}

const SettingKey* FindKey(std::string_view name) {
    for (const SettingKey& key : kSettingKeys) {
        if (ProfileNamesEqual(name, key.key)) return &key;
    }
    return nullptr;
}

bool IsKnownSection(std::string_view name) {
    for (const char* section : SectionNames()) {
        if (ProfileNamesEqual(name, section)) return true;
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
    return std::any_of(std::begin(words), std::end(words), [&](const char* w) { return ProfileNamesEqual(value, w); });
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

void Add(std::vector<IniFinding>& findings, const ProfileScanLine& line, std::string_view about, std::string message) {
    findings.push_back(IniFinding{line.number, std::string(about), std::move(message)});
}

void CheckSection(const ProfileScanLine& line, std::vector<IniFinding>& findings) {
    const std::string name(line.name);
    if (!IsKnownSection(name)) {
        Add(findings, line, line.name, "[" + name + "] is not a section of KOV.ini, so the keys under it are not read; "
                                       "the nearest is [" + Nearest(name, SectionNames()) + "].");
    } else if (!line.read) {
        Add(findings, line, line.name, "[" + name + "] comes a second time (first at line " + std::to_string(line.firstLine) +
                                       "): the plug-in reads only the first one, so the keys under this one are ignored.");
    }
}

void CheckValue(const ProfileScanLine& line, const SettingKey& key, std::vector<IniFinding>& findings) {
    const std::string name = key.key;
    if (!line.hasValue) {
        Add(findings, line, name, name + " has no '=' and no value: the plug-in uses its default " + key.fallback + ".");
        return;
    }
    const std::string value = std::string(line.handed).c_str();  // the plug-in's buffer ends at a NUL
    if (line.value.find(';') != std::string_view::npos) {
        Add(findings, line, name, "The comment after the value is read as part of it (" + Quoted(value) +
                                      "): put comments on a line of their own.");
    }
    if (!line.cut.empty()) {
        Add(findings, line, name, name + " is longer than the plug-in's " + std::to_string(kSettingValueCapacity - 1) +
                                      " characters: it does not read the last " + std::to_string(line.cut.size()) + ".");
    }
    const std::optional<std::string> problem = key.number != nullptr ? NumberProblem(key, value) : SwitchProblem(key, value);
    if (problem) Add(findings, line, name, *problem);
}

void CheckKey(const ProfileScanLine& line, std::vector<IniFinding>& findings) {
    const SettingKey* key = FindKey(line.name);
    const std::string name(line.name);
    if (key == nullptr) {
        Add(findings, line, line.name,
            name + " is not a KOV.ini key, so the plug-in ignores it; the nearest is " + Nearest(name, KeyNames()) + ".");
        return;
    }
    if (!line.inSection || !ProfileNamesEqual(line.section, key->section)) {
        const std::string where = line.inSection ? "under [" + std::string(line.section) + "]" : "before any section";
        Add(findings, line, line.name, name + " belongs under [" + key->section + "]; " + where + " the plug-in does not see it.");
        return;
    }
    if (!line.searched) return;  // the section's repeat is reported once, on its own line
    if (!line.read) {
        Add(findings, line, line.name,
            name + " is set again (first at line " + std::to_string(line.firstLine) + "): the plug-in uses the first one.");
        return;
    }
    CheckValue(line, *key, findings);
}

}  // namespace

std::vector<IniFinding> CheckIni(std::string_view fileBytes) {
    std::vector<IniFinding> findings;
    const std::string text = DecodeIniText(fileBytes).lookupText;
    ProfileScan scan(text, kSettingValueCapacity);
    for (ProfileScanLine line; scan.Next(line);) {
        if (line.kind == ProfileLineKind::Section) CheckSection(line, findings);
        else if (line.kind == ProfileLineKind::Key) CheckKey(line, findings);
    }
    return findings;
}

}  // namespace sim
