// What the plug-in makes of one value of KOV.ini: a pure function of the text, with no host call,
// so the tools and the page explain a value by the very code the plug-in runs at load.
#pragma once

#include <cstddef>
#include <cstdint>

#include "config/setting_keys.h"

struct SettingValue {
    float number;     // a number key: the value used
    int32_t on;       // a switch key: 1 when on
    int32_t keyCode;  // a key-name key: the virtual-key code, 0 for none
    // How a number key's value came about, for the tools' explanations:
    double converted;     // strtod's result
    size_t numberLength;  // the characters it converted; 0 when no number starts the text
    float narrowed;       // converted as a float: infinite past the float range, not-a-number kept
};

// A number key: strtod of the text (rather than atof: both targets then read "inf" and "nan"
// alike), to the nearest float; not-a-number and anything below the key's minimum give the
// minimum. A switch key: on for one of kSwitchOnWords in any letter case. A key-name key: the code
// of the one letter or digit the text holds (a letter's code is its capital), else 0.
SettingValue ReadSettingValue(const SettingKey& key, const char* text);
