// LoadSettings: ten keys of .//KOV.ini through the platform's profile-string lookup.
#include "config/settings.h"

#include <cmath>
#include <cstdlib>

#include "config/process_log.h"
#include "config/setting_keys.h"
#include "host/platform.h"
#include "text/bounded_text.h"

// Written only by LoadSettings; everyone else reads it through CurrentSettings().
static Settings settings;

constexpr const char* kSettingsPath = ".//KOV.ini";
// One buffer receives every value in turn.
static char valueBuffer[kSettingValueCapacity];

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

// strtod rather than atof: both targets then read "inf" and "nan" alike. Not-a-number and
// anything below the key's minimum give the minimum.
static float ReadNumber(const char* text, float minimum) {
    const float value = NarrowToFloat(std::strtod(text, nullptr));
    return value >= minimum ? value : minimum;
}

static int32_t ReadSwitch(const char* text) {
    for (const char* word : kSwitchOnWords) {
        if (TextEqualsIgnoringCase(text, word)) return 1;
    }
    return 0;
}

const Settings& CurrentSettings() { return settings; }

void LoadSettings() {
    for (const SettingKey& key : kSettingKeys) {
        const char* text = LookUp(key.section, key.key, key.fallback);
        if (key.number != nullptr) settings.*key.number = ReadNumber(text, key.minimum);
        else settings.*key.toggle = ReadSwitch(text);
    }
    LogLine(kLogFile, "<FILES> General information retrieved.");
}
