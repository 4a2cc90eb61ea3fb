// ReadSettingValue: a value's text to the number or switch the plug-in uses.
#include "config/setting_value.h"

#include <cmath>
#include <cstdlib>

#include "text/bounded_text.h"

// Double to float, nearest value; magnitudes past the float range become infinities (a plain
// cast would be undefined there).
static float NarrowToFloat(double value) {
    const double overflow = std::ldexp(1.0, 128) - std::ldexp(1.0, 103);
    if (std::fabs(value) >= overflow) return value > 0 ? HUGE_VALF : -HUGE_VALF;
    return static_cast<float>(value);
}

static int32_t ReadSwitch(const char* text) {
    for (const char* word : kSwitchOnWords) {
        if (TextEqualsIgnoringCase(text, word)) return 1;
    }
    return 0;
}

static int32_t ReadKeyName(const char* text) {
    if (text[0] == '\0' || text[1] != '\0') return 0;
    const char letter = static_cast<char>(LowerAscii(text[0]) - 'a' + 'A');
    if (letter >= 'A' && letter <= 'Z') return letter == kDisplayToggleKeyCode ? 0 : letter;
    return text[0] >= '0' && text[0] <= '9' ? text[0] : 0;
}

SettingValue ReadSettingValue(const SettingKey& key, const char* text) {
    SettingValue value = {0.0f, 0, 0, 0.0, 0, 0.0f};
    if (key.keyCode != nullptr) {
        value.keyCode = ReadKeyName(text);
        return value;
    }
    if (key.number == nullptr) {
        value.on = ReadSwitch(text);
        return value;
    }
    char* end = nullptr;
    value.converted = std::strtod(text, &end);
    value.numberLength = static_cast<size_t>(end - text);
    value.narrowed = NarrowToFloat(value.converted);
    value.number = value.narrowed >= key.minimum ? value.narrowed : key.minimum;
    return value;
}
