// Renders a frame's draw list the way a person reads the screen.
#include "sim/game/frame_summary.h"

#include <algorithm>
#include <vector>

#include "sim/game/inline_codes.h"
#include "sim/game/text_escape.h"
#include "sim/game/trace_line.h"

namespace sim {

namespace {

// Texts whose tops lie within this share of the screen height read as one line.
constexpr float kSameLineTolerance = 0.01f;

// The readable tag of a colour code: "" for the texts' own colour (white, and the reset code), null
// for a code that names no colour.
const char* ColourTag(char code) {
    if (code == kInlineResetCode) return "";
    const InlineColour* colour = FindInlineColour(code);
    return colour != nullptr ? colour->tag : nullptr;
}

std::string Position(float x, float y) { return "(" + FormatFloat(x, 6) + ", " + FormatFloat(y, 6) + ")"; }

// Where a text lands on a 16:9 screen with a full safe zone, as shares of the screen.
struct Landing {
    double x, y;
    const DrawnText* text;
};

Landing LandingOf(const DrawnText& text) {
    const RealScreen screen;
    const PixelPoint at = PlaceDrawPosition(screen, text.align, text.x, text.y);
    return {at.x / screen.width, at.y / screen.height, &text};
}

// Top to bottom, then left to right within a line.
std::vector<std::vector<const DrawnText*>> ScreenLines(const std::vector<DrawnText>& texts) {
    std::vector<Landing> byTop;
    for (const DrawnText& t : texts) byTop.push_back(LandingOf(t));
    std::stable_sort(byTop.begin(), byTop.end(), [](const Landing& a, const Landing& b) { return a.y < b.y; });
    std::vector<std::vector<Landing>> lines;
    for (const Landing& t : byTop) {
        if (lines.empty() || t.y - lines.back().front().y > kSameLineTolerance) lines.emplace_back();
        lines.back().push_back(t);
    }
    std::vector<std::vector<const DrawnText*>> ordered;
    for (auto& line : lines) {
        std::stable_sort(line.begin(), line.end(), [](const Landing& a, const Landing& b) { return a.x < b.x; });
        ordered.emplace_back();
        for (const Landing& t : line) ordered.back().push_back(t.text);
    }
    return ordered;
}

}  // namespace

std::string ReadableText(const std::string& text) {
    std::string out;
    std::string open;  // the colour tag currently open, "" for the base colour
    for (size_t i = 0; i < text.size(); ++i) {
        const char* colour = IsInlineCodeAt(text, i) ? ColourTag(text[i + 1]) : nullptr;
        if (colour == nullptr) {
            out += text[i];
            continue;
        }
        if (!open.empty()) out += "</" + open + ">";
        open = colour;
        if (!open.empty()) out += "<" + open + ">";
        i += 2;
    }
    if (!open.empty()) out += "</" + open + ">";
    return TerminalText(out);
}

std::string AlignmentTag(const GfxAlign& align) {
    if (!align.set) return "";
    std::string tag =
        std::string(" aligned ") + static_cast<char>(align.horizontal) + static_cast<char>(align.vertical);
    if (align.x != 0 || align.y != 0 || align.w != 0 || align.h != 0) {
        tag += " params " + Position(align.x, align.y) + " " + Position(align.w, align.h);
    }
    return tag;
}

std::string SummariseFrame(const Frame& frame) {
    std::string out = "frame " + std::to_string(frame.index) + " at " + std::to_string(frame.timeMs) + " ms";
    if (!frame.scriptRan) return out + ": script waiting\n";
    out += "\n";
    for (const auto& line : ScreenLines(frame.texts)) {
        std::string words;
        for (const DrawnText* t : line) words += (words.empty() ? "" : " ") + ReadableText(t->text);
        out += "  " + words + "\n";
        for (const DrawnText* t : line) {
            out += "      " + Position(t->x, t->y) + AlignmentTag(t->align) + " " + ReadableText(t->text) + "\n";
        }
    }
    if (!frame.rects.empty()) out += "  " + std::to_string(frame.rects.size()) + " rectangles\n";
    for (const FeedPost& post : frame.feedPosts) out += "  feed: " + ReadableText(post.text) + "\n";
    if (frame.areaNameSuppressed) out += "  host area name off\n";
    return out;
}

}  // namespace sim
