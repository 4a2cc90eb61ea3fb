// The screen size query shared by every drawing element.
#include "draw/design_units.h"

#include "host/natives.h"

ScreenSize QueryScreenSize() {
    int32_t width = 0;
    int32_t height = 0;
    GetScreenResolution(&width, &height);
    return {static_cast<float>(width), static_cast<float>(height)};
}
