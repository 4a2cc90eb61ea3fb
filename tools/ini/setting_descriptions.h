// One sentence per KOV.ini key on what it does in the game, in the settings table's order: the
// page shows it under each setting's name, and dist/README.txt and the comments of the shipped
// dist/KOV.ini say the same (a test holds both to this table).
#pragma once

#include <cstddef>
#include <iterator>
#include <string_view>

#include "config/setting_keys.h"

namespace ini {

struct SettingDescription {
    const char* key;
    const char* sentence;
    bool changesNothing = false;  // kept for compatibility: no value of it changes what the plug-in does
};

inline constexpr SettingDescription kSettingDescriptions[] = {
    {"LocTextPosX",
     "Where the location panel's left edge stands while the radar has its normal size, in screen units "
     "from the screen's left edge (1920 across)."},
    {"LocTextPosY",
     "How far down the location panel's top line (the street) stands while the radar has its normal "
     "size, in screen units from the screen's top edge (1080 down); the panel hangs down from it."},
    {"LocTextPosX_RadarLrg",
     "Where the location panel's left edge stands while the big map is shown, in screen units from the "
     "screen's left edge."},
    {"LocTextPosY_RadarLrg",
     "How far down the location panel's top line stands while the big map is shown, in screen units "
     "from the screen's top edge."},
    {"LocTextSizeMult",
     "The size of the location panel's text and spacing: 1 is normal, 2 twice as big, and anything "
     "below 0.5 counts as 0.5."},
    {"AllowRadarSizeToggle",
     "Kept for compatibility with older settings files and changes nothing: the big map toggles "
     "whatever its value.",
     true},
    {"ShowPlayerObituaries",
     "In online sessions, a feed notice when a player dies or is killed by another player; the notices "
     "need DisplayPlayerBlips on and come only for players who have a blip."},
    {"DisplayPlayerBlips",
     "In online sessions, a map blip that follows every other player; switched off, it also ends the "
     "death notices, since the blips are what notice a death."},
    {"DisplayTeamBlipsOnly",
     "Blips of players on other teams are invisible either way; switched on, it removes them from the "
     "map altogether, and with them those players' death notices."},
    {"AnchorToRadar",
     "Switched on, the panel keeps its place beside the radar and the big map on any screen shape and "
     "safe zone, where the positions put it on a 16:9 screen with a full safe zone."},
    {"PlacementKey",
     "The key that, held with Ctrl and Alt, starts and stops placing the panel in the game itself: a "
     "letter or a digit other than L; empty or missing, placement is off."},
    {"HideWithGameHud",
     "Switched on, the location panel and the player list step aside while the game hides its HUD, "
     "plays a cutscene or switches characters; notices and blips stay as they are."},
};

constexpr bool DescriptionsFollowTheSettingsTable() {
    if (std::size(kSettingDescriptions) != std::size(kSettingKeys)) return false;
    for (size_t i = 0; i < std::size(kSettingKeys); ++i) {
        if (std::string_view(kSettingDescriptions[i].key) != kSettingKeys[i].key) return false;
    }
    return true;
}
static_assert(DescriptionsFollowTheSettingsTable(), "one description per key, in the settings table's order");

}  // namespace ini
