// The player list panel: a numbered, colour-coded list of the session's players, drawn while the
// player holds Alt with the radar control in an online session.
#pragma once

// Per-frame task.
void DrawPlayerListPanel();
