// The notification line: one centred notice near the bottom of the screen for 2800 ms.
#pragma once

// Replaces the current notice and restarts its time.
void ShowNotice(const char* text);
// Draws the notice while its time has not run out; called once per frame that runs the tasks.
void DrawNotice();
