// What the plug-in makes of the texts its settings lookups handed out, by the settings table's rules
// (src/config/setting_keys.h): the text up to its first NUL (the plug-in's buffer is a C string);
// a number through strtod, narrowed to float with magnitudes past the float range as infinities,
// then the key's minimum for anything below it or not a number; a switch on for one of the on
// words in any letter case. The page's "reads", the check and the fuzz differential all take the
// plug-in's settings from here, over the lookups a run of the plug-in recorded.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "config/setting_keys.h"
#include "sim/ini/ini_lookup.h"

namespace ini {

struct SettingRead {
    const SettingKey* key = nullptr;
    bool lookedUp = false;  // the plug-in asked for the key (in its last load)
    std::string handed;     // the text the lookup handed out
    std::string text;       // what the plug-in reads of it: the handed text up to its first NUL
    // A number key.
    size_t numberLength = 0;  // characters of text strtod converted; 0 when no number starts it
    double converted = 0;     // strtod's result
    float narrowed = 0;       // converted as a float: infinite past the float range, NaN kept
    float number = 0;         // the value used: narrowed, or the minimum when below it or NaN
    // A switch key.
    bool on = false;
};

// One key's text handed out, as the plug-in reads it.
SettingRead ReadSettingText(const SettingKey& key, std::string_view handed);

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
// a switch as on or off.
std::string ShownValue(const SettingRead& read);

}  // namespace ini
