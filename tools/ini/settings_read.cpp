// The plug-in's reading of each setting over the texts the lookups handed out.
#include "tools/ini/settings_read.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace ini {

namespace {

std::string Formatted(const char* format, double value) {
    char text[40];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

// One key's text handed out, as the plug-in reads it.
SettingRead ReadSettingText(const SettingKey& key, std::string_view handed) {
    SettingRead read;
    read.key = &key;
    read.lookedUp = true;
    read.handed = std::string(handed);
    read.text = std::string(handed.substr(0, handed.find('\0')));
    read.value = ReadSettingValue(key, read.text.c_str());
    return read;
}

}  // namespace

std::vector<SettingRead> ReadSettings(const std::vector<sim::SettingsLookup>& lookups) {
    std::vector<SettingRead> settings;
    for (const SettingKey& key : kSettingKeys) {
        const sim::SettingsLookup* last = nullptr;
        for (const sim::SettingsLookup& lookup : lookups) {
            if (lookup.section == key.section && lookup.key == key.key) last = &lookup;
        }
        SettingRead read = ReadSettingText(key, last != nullptr ? std::string_view(last->text) : key.fallback);
        read.lookedUp = last != nullptr;
        settings.push_back(std::move(read));
    }
    return settings;
}

std::vector<sim::SettingsLookup> LookUpEverySetting(const std::optional<std::string>& fileBytes) {
    std::vector<sim::SettingsLookup> lookups;
    for (const SettingKey& key : kSettingKeys) {
        char out[kSettingValueCapacity];
        const uint32_t copied =
            sim::LookupProfileString(fileBytes, key.section, key.key, key.fallback, out, sizeof out);
        lookups.push_back(sim::SettingsLookup{0, key.section, key.key, key.fallback, kSettingValueCapacity,
                                              std::string(out, copied)});
    }
    return lookups;
}

std::string CanonicalIni(const std::vector<SettingRead>& read) {
    // Grouped by section: the lookup searches only the first section of a name.
    std::vector<const char*> sections;
    for (const SettingRead& setting : read) {
        bool seen = false;
        for (const char* section : sections) seen = seen || sim::ProfileNamesEqual(section, setting.key->section);
        if (!seen) sections.push_back(setting.key->section);
    }
    std::string text;
    for (const char* section : sections) {
        text += std::string("[") + section + "]\r\n";
        for (const SettingRead& setting : read) {
            if (!sim::ProfileNamesEqual(section, setting.key->section)) continue;
            const std::string value = setting.key->keyCode != nullptr  ? ShownValue(setting)
                                      : setting.key->number == nullptr ? (setting.on() ? "true" : "false")
                                      : std::isinf(setting.number())   ? "inf"
                                                                       : Formatted("%.9g", setting.number());
            text += std::string(setting.key->key) + "=" + value + "\r\n";
        }
    }
    return text;
}

std::string ShownValue(const SettingRead& read) {
    if (read.key->keyCode != nullptr)
        return read.value.keyCode == 0 ? "" : std::string(1, static_cast<char>(read.value.keyCode));
    if (read.key->number == nullptr) return read.on() ? "on" : "off";
    if (std::isinf(read.number())) return "infinity";
    return Formatted("%.12g", std::round(static_cast<double>(read.number()) * 1000) / 1000);
}

}  // namespace ini
