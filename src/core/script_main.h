// The script entry the host runs on its fiber: start-up, then the frame loop for ever.
#pragma once

void ScriptMain();
