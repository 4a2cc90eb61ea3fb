// The keyboard keys the plug-in asks the platform about, by the names scenarios give them and the
// Windows virtual-key codes the key state function takes. One table for the scenarios, the tests,
// the soak and the benchmarks' host; that the plug-in reacts to these very codes is what the tests
// of its hotkeys pressing them by name show.
#pragma once

#include <string_view>

namespace sim {

struct VirtualKey {
    const char* name;  // as a scenario's "keys" names it
    int code;          // Windows virtual-key code
};

constexpr VirtualKey kVirtualKeys[] = {
    // clang-format off
    {"alt",  0x12},  // VK_MENU
    {"ctrl", 0x11},  // VK_CONTROL
    // clang-format on
};

// The code of a named key: a key of the table, or a letter a-z (the code of its capital) or a digit
// 0-9 (its own code), as a one-character name; 0 (no key) for any other name.
constexpr int VirtualKeyCode(std::string_view name) {
    for (const VirtualKey& key : kVirtualKeys) {
        if (name == key.name) return key.code;
    }
    if (name.size() != 1) return 0;
    if (name[0] >= 'a' && name[0] <= 'z') return name[0] - 'a' + 'A';
    return name[0] >= '0' && name[0] <= '9' ? name[0] : 0;
}

constexpr int kAltKey = VirtualKeyCode("alt");
constexpr int kCtrlKey = VirtualKeyCode("ctrl");
constexpr int kLKey = VirtualKeyCode("l");
constexpr int kKKey = VirtualKeyCode("k");

}  // namespace sim
