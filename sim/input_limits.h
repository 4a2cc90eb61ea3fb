// The limits on everything the simulated host and the tools take from outside (files, arguments,
// JSON), each with what it protects. Each is enforced once, where the input enters; everything
// behind that edge may trust it.
#pragma once

#include <cfloat>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string>

namespace sim {

// ---- files ----

// A path a tool is given: the longest the system opens (PATH_MAX), so a message may name it whole.
constexpr size_t kMaxPathBytes = 4096;
// A scenario file or a KOV.ini a tool reads: the whole file is held in memory.
constexpr uint64_t kMaxInputFileBytes = 16 * 1024 * 1024;
// The plug-in a tool loads: it is copied into the tool's temporary folder first.
constexpr uint64_t kMaxPluginFileBytes = 64 * 1024 * 1024;

// ---- JSON documents ----

// Brackets open at once. Copying, printing and freeing a value recurse once per level, so a
// deeper document would run the stack out; scenarios need fewer than ten.
constexpr int kMaxNestingDepth = 64;
// Frames of one step: about two days of the virtual clock at 60 frames a second.
constexpr int64_t kMaxStepFrames = 10000000;
// The virtual clock's advance per frame. The clock is the 32-bit millisecond count the plug-in
// measures intervals by (unsigned differences, right across its wrap for any interval shorter than
// one turn of 2^32 ms); at 429 ms or less the longest step stays within one turn, so every interval
// measured in a step is the real one. A larger advance would read as the clock going back.
constexpr int64_t kMaxFrameStepMs = (int64_t{1} << 32) / kMaxStepFrames;
// Problems listed for one document; the rest are counted, so the message stays short.
constexpr size_t kMaxListedProblems = 100;

// ---- numbers the plug-in takes as floats ----

// Finite and inside the float range: a double beyond it has no float to become.
constexpr double kMaxFloatValue = FLT_MAX;
// Headings in degrees. The game keeps them within 0 to 360; the host's ceiling native turns one
// into a 32-bit integer, which a larger value would overflow.
constexpr double kMaxHeadingDegrees = 1000000;

inline bool IsFloatValue(double value) { return std::isfinite(value) && std::fabs(value) <= kMaxFloatValue; }

// ---- screens ----

// A real screen, in pixels: the pictures are drawn at this size.
constexpr int kMinScreenWidth = 320;
constexpr int kMinScreenHeight = 240;
constexpr int kMaxScreenSide = 16384;
// What the host's resolution query reports: above zero, or every position divides by nothing.
constexpr int kMinReportedScreenSide = 1;

// ---- pictures ----

// A PNG is drawn in memory: at most 32767 pixels a side (the renderer's limit) and 100 million
// pixels (400 MB) in all.
constexpr double kMaxPictureSidePx = 32767;
constexpr double kMaxPicturePixels = 100000000;
// Screens in one picture (sizes times safe zones times modes): the plug-in runs once for each.
constexpr size_t kMaxPictureScreens = 64;
// Stops on kov-demo's contact sheet, drawn in memory as the tour goes; a longer tour's later stops
// have their pictures only.
constexpr size_t kMaxSheetStops = 24;
// Characters of a stop's label in the name of its picture (a file name has room for 255 bytes).
constexpr size_t kMaxLabelInFileName = 60;
// Picture pixels per screen pixel. The smallest is the largest screen at the smallest tile height;
// the renderer cannot draw at a scale near zero.
constexpr double kMinZoom = 1.0 / 1024;
constexpr double kMaxZoom = 4;
// --tile-height, picture pixels.
constexpr int kMinTileHeightPx = 16;
constexpr int kMaxTileHeightPx = 4096;
// The smallest part of a screen a crop shows, as a share of its width or height: one pixel of
// the largest screen.
constexpr double kMinCropShare = 1.0 / kMaxScreenSide;

// ---- messages ----

// Characters of an input a message repeats; a longer one is cut with an ellipsis.
constexpr size_t kMaxQuotedChars = 80;

// An input as a message quotes it: in double quotes (a quote or backslash in it escaped), on one
// line and in plain ASCII (any other byte as \xNN), a long one cut with an ellipsis and its length.
inline std::string QuoteInput(const std::string& text) {
    static const char kHex[] = "0123456789ABCDEF";
    std::string shown = "\"";
    for (size_t i = 0; i < text.size() && i < kMaxQuotedChars; ++i) {
        const unsigned char byte = static_cast<unsigned char>(text[i]);
        if (byte == '"' || byte == '\\') shown += std::string("\\") + static_cast<char>(byte);
        else if (byte >= 0x20 && byte < 0x7F) shown += static_cast<char>(byte);
        else shown += std::string("\\x") + kHex[byte >> 4] + kHex[byte & 0xF];
    }
    shown += "\"";
    if (text.size() > kMaxQuotedChars) shown += "... (" + std::to_string(text.size()) + " characters)";
    return shown;
}

}  // namespace sim
