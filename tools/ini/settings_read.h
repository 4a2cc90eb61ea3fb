// What the plug-in made of the texts its settings lookups handed out: each text up to its first NUL
// (the plug-in's buffer is a C string) through the plug-in's own ReadSettingValue
// (src/config/setting_value.h). The page's "reads", the check and the fuzz differential all take
// the plug-in's settings from here, over the lookups a run of the plug-in recorded.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

#include "config/setting_keys.h"
#include "config/setting_value.h"
#include "sim/ini/ini_lookup.h"

namespace ini {

// The key that fills a Settings field: the tools name keys through their fields, so a key renamed
// in the table is renamed everywhere. Used in constant expressions, so a field no key fills stops
// the build.
template <typename Field>
constexpr const SettingKey& KeyOf(Field Settings::*field) {
    for (const SettingKey& key : kSettingKeys) {
        if constexpr (std::is_same_v<Field, float>) {
            if (key.number == field) return key;
        } else {
            if (key.toggle == field || key.keyCode == field) return key;
        }
    }
    throw "no key of the settings table fills this field";
}

struct SettingRead {
    const SettingKey* key = nullptr;
    bool lookedUp = false;  // the plug-in asked for the key (in its last load)
    std::string handed;     // the text the lookup handed out
    std::string text;       // what the plug-in reads of it: the handed text up to its first NUL
    SettingValue value{};   // what the plug-in made of text
    // The value used: a number key's number, a switch key's state.
    float number() const { return value.number; }
    bool on() const { return value.on == 1; }
};

// Every key of the settings table, in its order, from the last lookup of each in lookups (the
// plug-in's last load); a key never looked up has lookedUp false and reads as its fallback.
std::vector<SettingRead> ReadSettings(const std::vector<sim::SettingsLookup>& lookups);

// The lookups one load of the plug-in makes of a file's bytes (nullopt: no file), answered by the
// simulated host's lookup: for the tools that check a file without running the plug-in.
std::vector<sim::SettingsLookup> LookUpEverySetting(const std::optional<std::string>& fileBytes);

// The settings as a plain KOV.ini (every key, CR LF line ends) that the plug-in reads to the same
// values: numbers to nine significant digits ("inf" for infinity), switches as true or false.
std::string CanonicalIni(const std::vector<SettingRead>& read);

// A setting's value as the page shows it: a number to three decimals ("infinity" for infinity),
// a switch as on or off, a key name as its capital letter or digit ("" for none).
std::string ShownValue(const SettingRead& read);

}  // namespace ini
