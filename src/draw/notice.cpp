// The notice record and its drawing. Elapsed time is compared unsigned, so a notice posted just
// before the 32-bit tick count wraps still shows for its full time.
#include "draw/notice.h"

#include <cstdint>

#include "draw/design_units.h"
#include "host/natives.h"
#include "host/platform.h"
#include "text/bounded_text.h"

constexpr uint32_t kNoticeDurationMs = 2800;
constexpr float kNoticeScale = 0.384f;
constexpr int32_t kNoticeAlpha = 240;
// The design position (950, 1034) already multiplied by 2/3: divided by the reported size only.
constexpr float kNoticeHostX = 633.3333f;
constexpr float kNoticeHostY = 689.3333f;

struct Notice {
    char text[128];
    uint32_t postedAt;  // tick count of the last ShowNotice
    bool showing;       // posted and not yet seen expired: nothing is drawn before the first notice
};

static Notice notice;

void ShowNotice(const char* text) {
    notice.postedAt = GetTickCount();
    notice.showing = true;
    CopyText(notice.text, text);  // as "%s": a percent sign stays literal
}

void DrawNotice() {
    if (!notice.showing) return;
    if (GetTickCount() - notice.postedAt >= kNoticeDurationMs) {
        // Retired for good: once the tick count wraps round, the elapsed time would look short again.
        notice.showing = false;
        return;
    }
    const ScreenSize screen = QueryScreenSize();
    SetTextScale(0.0f, kNoticeScale);
    SetTextCentring(true);
    ClearTextDropShadow();
    SetTextColour(255, 255, 255, kNoticeAlpha);
    BeginScreenText("STRING");
    AddTextComponent(notice.text);
    SetTextProportional(true);
    EndScreenTextDraw(kNoticeHostX / screen.width, kNoticeHostY / screen.height);
}
