// How the host's screen looks, as far as the pictures need it: the text scale in pixels, the
// fonts, the bars, arrow and blips on the maps, and where the feed sits. The host's measures the
// renderer uses are here, so the pictures are tuned in one place; the stand-ins' own colours and
// strokes (land, sea, roads) are the renderer's.
//
// Lengths marked "ref px" are pixels of a screen 1080 pixels high: they scale with the screen
// height only. Where the radar and the big map sit is not a look but the host's placement rule,
// in sim/game/screen_model.h (the maps the player sees).
#pragma once

#include <cstddef>
#include <cstdint>

namespace preview {

constexpr float kReferenceHeightPx = 1080.0f;

// ---- text ----------------------------------------------------------------------------------
// A text of host scale s is drawn with an em size of s * kTextEmPerScale * screen height. The
// host puts the top of a text's line at its y, so the baseline is one font ascent below it.
// Proportional spacing is left to the stand-in font's own spacing.
constexpr float kTextEmPerScale = 0.045f;        // share of the screen height per unit of text scale
constexpr float kOutlineWidthEm = 0.07f;         // stroke width of the black outline, in ems (half shows)
constexpr float kDropShadowRefPxPerUnit = 1.0f;  // ref px per unit of drop-shadow distance

// Fonts by the host's font number; any other number draws with the standard face.
constexpr int32_t kCondensedFontNumber = 4;
constexpr const char* kCondensedFace = "DejaVu Sans Condensed";
constexpr const char* kStandardFace = "DejaVu Sans";

// The host's inline codes are in sim/game/inline_codes.h; a colour code keeps the text's own alpha.
// Anything else between tildes is drawn as written.

// ---- radar and big map ---------------------------------------------------------------------
// Health and armour bars under the map, in the strip above the safe zone's bottom: gap below the
// map's bottom edge, height, and the share of the map width each bar takes.
constexpr float kBarGapRefPx = 1.5f;
constexpr float kBarHeightRefPx = 8.0f;
constexpr float kHealthBarShare = 0.5f;
constexpr float kArmourBarShare = 0.25f;
constexpr float kPlayerArrowRefPx = 14.0f;  // length of the player's arrow in the map's centre
// The maps' scale, the player in the centre: world metres per ref px on the radar (which turns with
// the player's heading) and on the big map (north up, so it shows more), and how wide its roads are
// drawn against the radar's. A blip beyond the map's edge sits on the edge. The host's dead-player
// sprite is drawn as a grey cross.
constexpr float kMapWorldUnitsPerRefPx = 1.0f;
constexpr float kBigMapWorldUnitsPerRefPx = 4.0f;
constexpr float kBigMapRoadWidthShare = 0.6f;
constexpr float kBlipRadiusRefPx = 4.0f;
constexpr int32_t kDeadBlipSprite = 274;

// ---- feed ----------------------------------------------------------------------------------
// Feed posts stack upward from just above the radar (or the big map), newest nearest the map,
// each in a dark box out to the radar's right edge with its text wrapped to fit.
constexpr float kFeedGapRefPx = 8.0f;      // between the map and the first box, and between boxes
constexpr float kFeedPaddingRefPx = 7.0f;  // inside a box, around the text
constexpr float kFeedTextScale = 0.40f;    // host text scale of a feed post's text
constexpr uint8_t kFeedBoxAlpha = 190;
constexpr uint32_t kFeedShowMs = 7000;  // how long a post stays on screen after it is posted
constexpr size_t kFeedMaxPosts = 5;     // the oldest posts give way beyond this

}  // namespace preview
