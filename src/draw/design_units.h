// Design units: the layout space of every position and size on screen. A design coordinate times
// kDesignToHost, divided by the host's reported width or height, gives the normalised coordinate.
// On a host reporting 1280 by 720 the design space spans 1920 by 1080.
#pragma once

#include <cstdint>

constexpr float kDesignToHost = 0.6666667f;  // nearest single-precision value to 2/3

// The host's reported screen size, in single precision for the conversions.
struct ScreenSize {
    float width;
    float height;
};

// Asks the host afresh; the size is never cached, so a change applies at the next element.
ScreenSize QueryScreenSize();

inline float DesignToNormalisedX(float x, ScreenSize screen) { return x * kDesignToHost / screen.width; }
inline float DesignToNormalisedY(float y, ScreenSize screen) { return y * kDesignToHost / screen.height; }
