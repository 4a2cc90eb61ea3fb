// LoadSettings: ten keys of .//KOV.ini through the platform's profile-string lookup.
#include "config/settings.h"

#include <cmath>
#include <cstdlib>

#include "config/process_log.h"
#include "text/bounded_text.h"
#include "host/platform.h"

Settings settings;

constexpr const char* kSettingsPath = ".//KOV.ini";
constexpr const char* kGeneral = "GENERAL";
constexpr const char* kMultiplayer = "MULTIPLAYER";
constexpr float kMinimumSizeMult = 0.5f;

// One buffer receives every value in turn, so a value is seen as at most 127 characters.
static char valueBuffer[128];

struct NumberKey {
    const char* key;
    const char* fallback;
    float Settings::*field;
};

struct SwitchKey {
    const char* section;
    const char* key;
    const char* fallback;
    int32_t Settings::*field;
};

static const NumberKey kNumberKeys[] = {
    {"LocTextPosX",          "320",  &Settings::LocTextPosX},
    {"LocTextPosY",          "1035", &Settings::LocTextPosY},
    {"LocTextPosX_RadarLrg", "470",  &Settings::LocTextPosX_RadarLrg},
    {"LocTextPosY_RadarLrg", "1035", &Settings::LocTextPosY_RadarLrg},
    {"LocTextSizeMult",      "1",    &Settings::LocTextSizeMult},
};

static const SwitchKey kSwitchKeys[] = {
    {kGeneral,     "AllowRadarSizeToggle", "true",  &Settings::AllowRadarSizeToggle},
    {kMultiplayer, "ShowPlayerObituaries", "true",  &Settings::ShowPlayerObituaries},
    {kMultiplayer, "DisplayPlayerBlips",   "true",  &Settings::DisplayPlayerBlips},
    {kMultiplayer, "DisplayTeamBlipsOnly", "false", &Settings::DisplayTeamBlipsOnly},
    {kGeneral,     "AnchorToRadar",        "false", &Settings::AnchorToRadar},  // beyond the first nine: opt-in
};

static const char* const kSwitchOnWords[] = {"on", "yes", "true"};

static const char* LookUp(const char* section, const char* key, const char* fallback) {
    GetPrivateProfileStringA(section, key, fallback, valueBuffer, sizeof valueBuffer, kSettingsPath);
    valueBuffer[sizeof valueBuffer - 1] = '\0';
    return valueBuffer;
}

// Double to float, nearest value; magnitudes past the float range become infinities (a plain
// cast would be undefined there).
static float NarrowToFloat(double value) {
    const double overflow = std::ldexp(1.0, 128) - std::ldexp(1.0, 103);
    if (std::fabs(value) >= overflow) return value > 0 ? HUGE_VALF : -HUGE_VALF;
    return static_cast<float>(value);
}

// strtod rather than atof: both targets then read "inf" and "nan" alike.
static float ReadPosition(const char* text) {
    const float value = NarrowToFloat(std::strtod(text, nullptr));
    return value >= 0.0f ? value : 0.0f;  // negative and not-a-number give 0
}

static int32_t ReadSwitch(const char* text) {
    for (const char* word : kSwitchOnWords) {
        if (TextEqualsIgnoringCase(text, word)) return 1;
    }
    return 0;
}

void LoadSettings() {
    for (const NumberKey& number : kNumberKeys) {
        settings.*number.field = ReadPosition(LookUp(kGeneral, number.key, number.fallback));
    }
    for (const SwitchKey& key : kSwitchKeys) {
        settings.*key.field = ReadSwitch(LookUp(key.section, key.key, key.fallback));
    }
    if (!(settings.LocTextSizeMult >= kMinimumSizeMult)) settings.LocTextSizeMult = kMinimumSizeMult;
    LogLine(kLogFile, "<FILES> General information retrieved.");
}
