// DrawPlayerListPanel and its two drawing helpers.
#include "multiplayer/player_list.h"

#include <iterator>

#include "draw/design_units.h"
#include "frame/frame_state.h"
#include "host/natives.h"
#include "kov_version.h"
#include "text/bounded_text.h"

struct PanelColour {
    int32_t red, green, blue;
};

static constexpr PanelColour PanelColourTable[] = {
    // clang-format off
    {255, 255, 255},
    {160, 160, 160},
    {0,   0,   0},    // header box
    {57,  182, 39},
    {234, 201, 17},
    {244, 100, 0},
    {184, 45,  50},   // dead player
    {21,  55,  92},   // any other player
    {46,  110, 184},  // team mate of the local player
    {12,  0,   126},
    {0,   126, 125},
    {255, 0,   255},
    // clang-format on
};
static_assert(std::size(PanelColourTable) == 12, "panel colour table has 12 rows");

enum PanelColourRow { kHeaderColour = 2, kDeadColour = 6, kPlayerColour = 7, kTeamMateColour = 8 };

// The code picks these rows by number: a row inserted or moved above them shows here.
constexpr bool RowHolds(PanelColourRow row, PanelColour colour) {
    const PanelColour& held = PanelColourTable[row];
    return held.red == colour.red && held.green == colour.green && held.blue == colour.blue;
}
static_assert(RowHolds(kHeaderColour, {0, 0, 0}) && RowHolds(kDeadColour, {184, 45, 50}) &&
                  RowHolds(kPlayerColour, {21, 55, 92}) && RowHolds(kTeamMateColour, {46, 110, 184}),
              "the rows used by number hold the header's, the dead's, a player's and a team mate's colour");

enum PanelTextType { kTitleText = 1, kRowText = 2, kCountText = 3 };
enum PanelRectKind { kHeaderBox = 0, kPlayerRow = 1 };

constexpr int32_t kHeaderAlpha = 170;
constexpr int32_t kPlayerAlpha = 160;
constexpr int32_t kTeamMateAlpha = 200;
constexpr float kRowPitch = 22.0f;  // design units between rows
constexpr float kTextRaise = 6.0f;  // panel texts are raised before the conversion
constexpr float kTextScalePerBase = 2.4f;
// The box is 280 design units wide centred at x 960; these already carry the factor 2/3.
constexpr float kBoxCentreHostX = 640.0f;
constexpr float kBoxWidthHost = 186.66667f;

static float TextBaseSize(int32_t type) {
    switch (type) {
        case kTitleText: return 0.08f;
        case kRowText: return 0.105f;
        case kCountText: return 0.14f;
        default: return 0.06f;
    }
}

// Players listed by the last draw.
static int32_t listedPlayerCount;

// A box of the panel: kind 1 is a player row at rowOffset (design units), any other the header.
static void DrawPanelRect(int32_t kind, int32_t colourRow, int32_t alpha, float rowOffset) {
    const ScreenSize screen = QueryScreenSize();
    const bool playerRow = kind == kPlayerRow;
    const float centreY = playerRow ? rowOffset + 340.0f : 308.0f;
    const float height = playerRow ? 20.0f : 40.0f;
    const PanelColour& colour = PanelColourTable[colourRow];
    DrawRectangle(kBoxCentreHostX / screen.width, DesignToNormalisedY(centreY, screen), kBoxWidthHost / screen.width,
                  DesignToNormalisedY(height, screen), colour.red, colour.green, colour.blue, alpha);
}

// A white text of the panel; type picks the size.
static void DrawPanelText(const char* text, int32_t type, bool centred, float x, float y) {
    const ScreenSize screen = QueryScreenSize();
    SetTextScale(0.0f, TextBaseSize(type) * kTextScalePerBase);
    SetTextCentring(centred);
    ClearTextDropShadow();
    SetTextColour(255, 255, 255, 255);
    BeginScreenText("STRING");
    AddTextComponent(text);
    SetTextProportional(true);
    EndScreenTextDraw(DesignToNormalisedX(x, screen), DesignToNormalisedY(y - kTextRaise, screen));
}

// Row colour: team mates of a local player who has a team stand out; the dead override the colour
// but keep the alpha chosen so far.
static void ChooseRowColour(int32_t player, int32_t* colourRow, int32_t* alpha) {
    *colourRow = kPlayerColour;
    *alpha = kPlayerAlpha;
    const int32_t localPlayer = CurrentFrame().localPlayerIndex;
    if (GetPlayerTeam(localPlayer) != -1) {
        const int32_t team = GetPlayerTeam(player);  // the player's team first, then the local team again
        if (team == GetPlayerTeam(localPlayer)) {
            *colourRow = kTeamMateColour;
            *alpha = kTeamMateAlpha;
        }
    }
    if (IsPlayerDead(player)) *colourRow = kDeadColour;
}

static void DrawPlayerRow(int32_t player, int32_t row) {
    int32_t colourRow = 0;
    int32_t alpha = 0;
    ChooseRowColour(player, &colourRow, &alpha);
    const float offset = kRowPitch * static_cast<float>(row);
    DrawPanelRect(kPlayerRow, colourRow, alpha, offset);

    char slotNumber[8];
    DecimalText(slotNumber, player, 2);  // "%02d"
    DrawPanelText(slotNumber, kRowText, true, 833.0f, 334.5f + offset);
    char name[64];
    CopyText(name, GetNetworkPlayerName(player));
    DrawPanelText(name, kRowText, false, 855.0f, 334.5f + offset);
}

void DrawPlayerListPanel() {
    const FrameState& frame = CurrentFrame();
    if (frame.inSession != 1 || !frame.playerListRequested || frame.gameHudHidden) return;
    HideHelpTextThisFrame();
    listedPlayerCount = 0;
    DrawPanelRect(kHeaderBox, kHeaderColour, kHeaderAlpha, 0.0f);
    char title[128];
    JoinText(title, {"TORVEK WAYGLASS  ", kVersion});
    DrawPanelText(title, kTitleText, true, 960.0f, 294.0f);

    int32_t row = 0;
    for (int32_t slot = 0; slot < kPlayerSlots; ++slot) {
        const int32_t player = PlayerIndexFromInteger(slot);
        if (NetworkPlayerActiveByte(player) != 1) continue;
        if (!DoesEntityExist(GetPlayerPed(player))) continue;
        ++listedPlayerCount;  // the local player is listed like everyone else
        DrawPlayerRow(player, row);
        ++row;
    }

    char countLine[64];
    char count[12];
    DecimalText(count, listedPlayerCount, 0);
    JoinText(countLine, {"MP PLAYER LIST        ", count, " / 32"});
    DrawPanelText(countLine, kCountText, true, 960.0f, 306.0f);
}
