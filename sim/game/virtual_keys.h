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
    {"l",    0x4C},  // the letter L
    // clang-format on
};

// The code of a named key; 0 (no key) for a name the table lacks.
constexpr int VirtualKeyCode(std::string_view name) {
    for (const VirtualKey& key : kVirtualKeys) {
        if (name == key.name) return key.code;
    }
    return 0;
}

constexpr int kAltKey = VirtualKeyCode("alt");
constexpr int kCtrlKey = VirtualKeyCode("ctrl");
constexpr int kLKey = VirtualKeyCode("l");

}  // namespace sim
