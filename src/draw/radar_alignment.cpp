// The safe zone's bottom-left alignment, with its parameters all 0.
#include "draw/radar_alignment.h"

#include <cstdint>

#include "host/natives.h"

constexpr int32_t kAlignLeft = 'L';
constexpr int32_t kAlignBottom = 'B';

void BeginRadarAlignment() {
    SetScriptGfxAlign(kAlignLeft, kAlignBottom);
    SetScriptGfxAlignParams(0.0f, 0.0f, 0.0f, 0.0f);
}

void EndRadarAlignment() { ResetScriptGfxAlign(); }
