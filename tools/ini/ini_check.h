// The INI check: every way a KOV.ini makes the plug-in use something else than the player meant, in
// plain words. The facts (key names, sections, limits, switch words, the value buffer) come from
// the plug-in's own settings table; the lines are the lookup's own scan (sim/ini/ini_lookup.h);
// what the plug-in read comes from the lookups of a run of it (tools/ini/settings_read.h), and
// whether the panel is on the screen from the extent of each text that run drew.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "sim/game/screen_model.h"
#include "tools/ini/settings_read.h"

namespace ini {

// Which panel a finding says leaves the screen.
enum class OffScreen { No, BesideRadar, WithBigMap };

struct IniFinding {
    int line = 0;                         // 1-based line of the file; 0 for the file as a whole
    std::string key;                      // the key (or section) the finding is about; empty when there is none
    std::string message;                  // one sentence for a player
    bool note = false;                    // a remark, not a mistake: the plug-in still reads what was meant
    OffScreen offScreen = OffScreen::No;  // a finding that part of a panel is drawn off the screen
    bool passedOver = false;              // about a line the lookup passes over for an earlier one of the same key
};

// The location panel as a run of the plug-in drew it on the chosen screen.
struct PanelShown {
    bool bigMap = false;        // drawn while the big map was shown: the _RadarLrg pair placed it
    int width = 0, height = 0;  // the screen, pixels
    bool offScreen = false;     // some part of one of its texts (its drawn extent) lies outside the screen
    std::string text;           // the first such text, readable
    sim::PixelBox box{};        // that text's extent, pixels (infinite or not a number when a setting is)
};

// True when every part of a drawn text's extent lies on a screen of width by height pixels.
bool InsideScreen(const sim::PixelBox& box, int width, int height);

// What a run of the plug-in did with the file.
struct IniRun {
    std::vector<SettingRead> read;   // every key as the plug-in read it (ReadSettings of the run's lookups)
    std::vector<PanelShown> panels;  // the panels it drew; none when the run draws none
};

// The file's bytes, read as the lookup reads them (sim/ini/ini_text.h), against the run. Findings
// in line order (the file's own first).
std::vector<IniFinding> CheckIni(std::string_view fileBytes, const IniRun& run);
// The same without a run: the settings from the simulated host's lookup, no panel.
std::vector<IniFinding> CheckIni(std::string_view fileBytes);

// Why the file's bytes are no text the game can read (what they look like: a picture, a program,
// UTF-16 without its mark...; and how many control characters they hold), in words to follow "it is
// not a text file the game can read"; nullopt for a text.
std::optional<std::string> NotTextFile(std::string_view fileBytes);

// True for the words a switch is meant to hold: the on words and their opposites.
bool IsSwitchWord(std::string_view text);

}  // namespace ini
