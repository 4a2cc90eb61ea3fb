// The settings file KOV.ini and the process-wide Settings record filled from it.
#pragma once

#include <cstdint>

struct Settings {
    float LocTextPosX;             // panel anchor x with the normal radar, design units, >= 0
    float LocTextPosY;             // panel anchor y with the normal radar
    float LocTextPosX_RadarLrg;    // panel anchor x while the big map is shown
    float LocTextPosY_RadarLrg;    // panel anchor y while the big map is shown
    float LocTextSizeMult;         // panel size multiplier, >= 0.5
    int32_t AllowRadarSizeToggle;  // read and kept; nothing depends on it
    int32_t ShowPlayerObituaries;  // feed notices for deaths, on when 1
    int32_t DisplayPlayerBlips;    // player blips and the one-shot sweep, on when 1
    int32_t DisplayTeamBlipsOnly;  // blips only for team mates, on when 1
    int32_t AnchorToRadar;         // the location panel follows the radar's corner, on when 1
    int32_t PlacementKey;          // virtual-key code of the key that with Ctrl+Alt starts placement; 0: none
    int32_t HideWithGameHud;       // the panel and the player list step aside with the game's HUD, on when 1
};

// The file LoadSettings reads and placement mode writes: ".//" keeps it in the game's folder (a bare
// name would be looked for in the Windows folder).
constexpr const char* kSettingsPath = ".//KOV.ini";

// The record LoadSettings fills; read by the location panel and the multiplayer overlay.
const Settings& CurrentSettings();

// Reads every key of the settings table (defaults for what is missing), clamps the numbers and logs
// one line.
void LoadSettings();
// Placement mode: a number setting takes this value at once, until the next load.
void SetNumberSetting(float Settings::*field, float value);
