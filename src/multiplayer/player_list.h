// The player list panel: a numbered, colour-coded list of the session's players, drawn while the
// player holds Alt with the radar control in an online session.
#pragma once

#include <cstdint>

// Per-frame task.
void DrawPlayerListPanel();
// A box of the panel: kind 1 is a player row at rowOffset (design units), any other the header.
void DrawPanelRect(int32_t kind, int32_t colourRow, int32_t alpha, float rowOffset);
// A white text of the panel; type picks the size.
void DrawPanelText(const char* text, int32_t type, bool centred, float x, float y);

// Players listed by the last draw.
extern int32_t listedPlayerCount;
