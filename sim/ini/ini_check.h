// The INI check: the mistakes in a KOV.ini that make the plug-in read something else than the
// player meant, in plain words. The facts (key names, sections, limits, switch words) come from
// the plug-in's own settings table; the reading follows the simulated host's Windows lookup.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace preview {

struct IniFinding {
    int line = 0;         // 1-based line of the file
    std::string key;      // the key (or section) the finding is about
    std::string message;  // one sentence for a player
};

// The file's bytes, read as the lookup reads them (sim/ini/ini_text.h). Findings in line order.
std::vector<IniFinding> CheckIni(std::string_view fileBytes);

// The real name nearest to a misspelt one (letter case ignored), among the keys or the sections.
std::string NearestKeyName(std::string_view name);
std::string NearestSectionName(std::string_view name);

}  // namespace preview
