// LoadSettings: the keys of .//KOV.ini through the platform's profile-string lookup.
#include "config/settings.h"

#include "config/process_log.h"
#include "config/setting_keys.h"
#include "config/setting_value.h"
#include "host/platform.h"

// Written only by LoadSettings; everyone else reads it through CurrentSettings().
static Settings settings;

// One buffer receives every value in turn.
static char valueBuffer[kSettingValueCapacity];

static const char* LookUp(const char* section, const char* key, const char* fallback) {
    GetPrivateProfileStringA(section, key, fallback, valueBuffer, sizeof valueBuffer, kSettingsPath);
    valueBuffer[sizeof valueBuffer - 1] = '\0';
    return valueBuffer;
}

const Settings& CurrentSettings() { return settings; }

void LoadSettings() {
    for (const SettingKey& key : kSettingKeys) {
        const SettingValue value = ReadSettingValue(key, LookUp(key.section, key.key, key.fallback));
        if (key.number != nullptr) settings.*key.number = value.number;
        else if (key.keyCode != nullptr) settings.*key.keyCode = value.keyCode;
        else settings.*key.toggle = value.on;
    }
    LogLine(kLogFile, "<FILES> General information retrieved.");
}

void SetNumberSetting(float Settings::*field, float value) { settings.*field = value; }
