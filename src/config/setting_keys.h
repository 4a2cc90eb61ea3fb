// The keys of KOV.ini as data: section, name, the text used when the key is missing, and the
// Settings field it fills. The plug-in reads them in this order; the preview tools' INI check
// takes its facts (names, sections, kinds, limits, switch words) from the same table.
#pragma once

#include "config/settings.h"

// A number key: strtod of the value; not-a-number and anything below minimum give minimum.
// A switch key: on when the value is one of kSwitchOnWords (any letter case), else off.
// A key-name key: a letter A-Z or a digit, letter case ignored, gives that key's virtual-key code;
// anything else (nothing, a word, L: the display toggle's own key) gives 0, no key.
struct SettingKey {
    const char* section;
    const char* key;
    const char* fallback;
    float Settings::*number;               // null for a switch key
    float minimum;                         // number keys only
    int32_t Settings::*toggle;             // a switch key's field; null for the other kinds
    int32_t Settings::*keyCode = nullptr;  // a key-name key's field; null for the other kinds
};

// The value buffer LoadSettings hands the lookup: a value is seen as at most 127 characters.
constexpr uint32_t kSettingValueCapacity = 128;

constexpr const char* kGeneralSection = "GENERAL";
constexpr const char* kMultiplayerSection = "MULTIPLAYER";

// clang-format off
constexpr SettingKey kSettingKeys[] = {
    {kGeneralSection,     "LocTextPosX",          "320",   &Settings::LocTextPosX,          0.0f, nullptr},
    {kGeneralSection,     "LocTextPosY",          "1035",  &Settings::LocTextPosY,          0.0f, nullptr},
    {kGeneralSection,     "LocTextPosX_RadarLrg", "470",   &Settings::LocTextPosX_RadarLrg, 0.0f, nullptr},
    {kGeneralSection,     "LocTextPosY_RadarLrg", "1035",  &Settings::LocTextPosY_RadarLrg, 0.0f, nullptr},
    {kGeneralSection,     "LocTextSizeMult",      "1",     &Settings::LocTextSizeMult,      0.5f, nullptr},
    {kGeneralSection,     "AllowRadarSizeToggle", "true",  nullptr, 0.0f, &Settings::AllowRadarSizeToggle},
    {kMultiplayerSection, "ShowPlayerObituaries", "true",  nullptr, 0.0f, &Settings::ShowPlayerObituaries},
    {kMultiplayerSection, "DisplayPlayerBlips",   "true",  nullptr, 0.0f, &Settings::DisplayPlayerBlips},
    {kMultiplayerSection, "DisplayTeamBlipsOnly", "false", nullptr, 0.0f, &Settings::DisplayTeamBlipsOnly},
    // Opt-in, beyond the first nine.
    {kGeneralSection,     "AnchorToRadar",        "false", nullptr, 0.0f, &Settings::AnchorToRadar},
    {kGeneralSection,     "PlacementKey",         "",      nullptr, 0.0f, nullptr, &Settings::PlacementKey},
    {kGeneralSection,     "HideWithGameHud",      "false", nullptr, 0.0f, &Settings::HideWithGameHud},
};
// clang-format on

constexpr const char* kSwitchOnWords[] = {"on", "yes", "true"};

// The row of a number key by its Settings field; the first row for a field no row fills (callers
// hold their fields to the table at compile time: KeyOfField(f).number == f).
constexpr const SettingKey& KeyOfField(float Settings::*field) {
    for (const SettingKey& key : kSettingKeys) {
        if (key.number == field) return key;
    }
    return kSettingKeys[0];
}

// The display toggle's key (Ctrl+Alt+L): no key-name setting can take it.
constexpr int32_t kDisplayToggleKeyCode = 'L';
