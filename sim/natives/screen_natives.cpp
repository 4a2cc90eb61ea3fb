// Natives of the real screen and of script gfx alignment. The screen's aspect ratio, safe zone and
// actual resolution come from the world's real screen; the alignment is script state that every
// later text and rectangle is drawn under until it is reset.
#include <string>

#include "sim/game/host.h"
#include "sim/natives/native_table.h"

namespace sim {

namespace {

std::string Letter(int32_t value) {
    const bool printable = value >= 0x20 && value < 0x7F;
    return (printable ? "'" + std::string(1, static_cast<char>(value)) + "' " : "") + "(" + std::to_string(value) + ")";
}

// A single monitor: the physical and the rendering aspect ratio are the same.
void AspectRatioOfScreen(Host& host, NativeCall& call) { call.ReturnFloat(AspectRatio(host.world.realScreen)); }

void SafeZoneSize(Host& host, NativeCall& call) { call.ReturnFloat(host.world.realScreen.safeZone); }

void ActualScreenResolution(Host& host, NativeCall& call) {
    *call.Pointer<int32_t>(0) = host.world.realScreen.width;
    *call.Pointer<int32_t>(1) = host.world.realScreen.height;
}

void SetScriptGfxAlign(Host& host, NativeCall& call) {
    const int32_t horizontal = call.Int(0), vertical = call.Int(1);
    if (!IsHorizontalAlign(horizontal) || !IsVerticalAlign(vertical)) {
        host.Fail("set script gfx align with " + Letter(horizontal) + ", " + Letter(vertical) +
                  ": horizontal must be 'L', 'R', 'C' or 'I', vertical 'T', 'B', 'C' or 'I'");
        return;
    }
    host.gfxAlign.set = true;
    host.gfxAlign.horizontal = horizontal;
    host.gfxAlign.vertical = vertical;
}

void SetScriptGfxAlignParams(Host& host, NativeCall& call) {
    host.gfxAlign.x = call.Float(0);
    host.gfxAlign.y = call.Float(1);
    host.gfxAlign.w = call.Float(2);
    host.gfxAlign.h = call.Float(3);
}

void ResetScriptGfxAlign(Host& host, NativeCall&) { host.gfxAlign = GfxAlign{}; }

// Where a position lands under the current alignment, as a share of the screen.
void ScriptGfxAlignPosition(Host& host, NativeCall& call) {
    const RealScreen& screen = host.world.realScreen;
    const PixelPoint placed = PlaceDrawPosition(screen, host.gfxAlign, call.Float(0), call.Float(1));
    *call.Pointer<float>(2) = static_cast<float>(placed.x / screen.width);
    *call.Pointer<float>(3) = static_cast<float>(placed.y / screen.height);
}

}  // namespace

std::vector<NativeHandler> ScreenHandlers() {
    return {
        // clang-format off
        {"aspect ratio",                  AspectRatioOfScreen},
        {"safe zone size",                SafeZoneSize},
        {"actual screen resolution",      ActualScreenResolution},
        {"set script gfx align",          SetScriptGfxAlign},
        {"set script gfx align params",   SetScriptGfxAlignParams},
        {"reset script gfx align",        ResetScriptGfxAlign},
        {"get script gfx align position", ScriptGfxAlignPosition},
        // clang-format on
    };
}

}  // namespace sim
