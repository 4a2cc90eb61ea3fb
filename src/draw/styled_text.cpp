// DrawStyledText in ten host calls: the screen size, the complete text state but the outline, then
// the draw.
#include "draw/styled_text.h"

#include "draw/design_units.h"
#include "host/natives.h"

constexpr double kTextScalePerSize = 2.229;   // applied in double, then rounded to float
constexpr float kYCorrectionPerSize = 24.0f;  // host units the text is raised per unit of size
constexpr int32_t kPanelFont = 4;

void DrawStyledText(const char* text, float size, int32_t alpha, bool centred, bool proportional, float x, float y,
                    float lift) {
    const ScreenSize screen = QueryScreenSize();
    SetTextScale(0.0f, static_cast<float>(static_cast<double>(size) * kTextScalePerSize));
    SetTextCentring(centred);
    ClearTextDropShadow();
    SetTextColour(255, 255, 255, alpha);
    BeginScreenText("STRING");
    AddTextComponent(text);
    SetTextProportional(proportional);
    SetTextFont(kPanelFont);
    // The size correction is applied after the conversion to host units; y minus 0 is y, bit for bit.
    EndScreenTextDraw(DesignToNormalisedX(x, screen),
                      (y * kDesignToHost - size * kYCorrectionPerSize) / screen.height - lift);
}
