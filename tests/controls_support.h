// Test support for the controls and the notification line: the two notices and how to find them
// in a frame's draw list.
#pragma once

#include <string>
#include <vector>

#include "sim/game/host.h"

namespace simtest {

inline const std::string kEnabledNotice = "~y~KOV | ~w~Location display enabled.";
inline const std::string kDisabledNotice = "~y~KOV | ~w~Location display disabled.";

// The notices a frame drew, in draw order.
inline std::vector<std::string> NoticesIn(const sim::Frame& frame) {
    std::vector<std::string> notices;
    for (const sim::DrawnText& text : frame.texts) {
        if (text.text == kEnabledNotice || text.text == kDisabledNotice) notices.push_back(text.text);
    }
    return notices;
}

}  // namespace simtest
