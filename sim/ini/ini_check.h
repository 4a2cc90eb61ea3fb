// The INI check: the mistakes in a KOV.ini that make the plug-in read something else than the
// player meant, in plain words. The facts (key names, sections, limits, switch words, the value
// buffer) come from the plug-in's own settings table; the reading is the lookup's own scan
// (sim/ini/ini_lookup.h).
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace sim {

struct IniFinding {
    int line = 0;         // 1-based line of the file
    std::string key;      // the key (or section) the finding is about
    std::string message;  // one sentence for a player
};

// The file's bytes, read as the lookup reads them (sim/ini/ini_text.h). Findings in line order.
std::vector<IniFinding> CheckIni(std::string_view fileBytes);

}  // namespace sim
