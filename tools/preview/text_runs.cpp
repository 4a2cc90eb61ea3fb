// Splitting host texts at their inline codes (the code table is in sim/game/inline_codes.h).
#include "tools/preview/text_runs.h"

#include "sim/game/inline_codes.h"

namespace preview {

namespace {

constexpr char kReplacement = '?';

// Current look while scanning a text.
struct Pen {
    Rgb colour;
    bool bold = false;
};

void Append(std::vector<TextLine>& lines, const Pen& pen, char c) {
    TextLine& line = lines.back();
    const bool sameLook = !line.empty() && line.back().bold == pen.bold && line.back().colour.r == pen.colour.r &&
                          line.back().colour.g == pen.colour.g && line.back().colour.b == pen.colour.b;
    if (!sameLook) line.push_back(TextRun{"", pen.colour, pen.bold});
    line.back().text += c;
}

void ApplyCode(std::vector<TextLine>& lines, Pen& pen, char code, Rgb base) {
    if (const sim::InlineColour* colour = sim::FindInlineColour(code)) {
        pen.colour = Rgb{colour->r, colour->g, colour->b};
    } else if (code == sim::kInlineResetCode) {
        pen.colour = base;
    } else if (code == sim::kInlineBoldCode) {
        pen.bold = true;
    } else if (code == sim::kInlineNewLineCode) {
        lines.emplace_back();
    }
}

// Length of the UTF-8 sequence at text[i], or 0 when the bytes there do not form one.
size_t Utf8Length(const std::string& text, size_t i) {
    const unsigned char lead = static_cast<unsigned char>(text[i]);
    const size_t length = lead < 0x80           ? 1
                          : (lead >> 5) == 0x6  ? 2
                          : (lead >> 4) == 0xE  ? 3
                          : (lead >> 3) == 0x1E ? 4
                                                : 0;
    if (length == 0 || i + length > text.size()) return 0;
    for (size_t k = 1; k < length; ++k) {
        if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) return 0;
    }
    return length;
}

}  // namespace

std::vector<TextLine> SplitInlineCodes(const std::string& text, Rgb base) {
    std::vector<TextLine> lines(1);
    Pen pen{base, false};
    for (size_t i = 0; i < text.size(); ++i) {
        const bool code = sim::IsInlineCodeAt(text, i);
        const size_t length = code ? 0 : Utf8Length(text, i);
        if (code) {
            ApplyCode(lines, pen, text[i + 1], base);
            i += 2;
        } else if (length == 0) {
            Append(lines, pen, kReplacement);  // the font cannot draw bytes that are not UTF-8
        } else {
            for (size_t k = 0; k < length; ++k) Append(lines, pen, text[i + k]);
            i += length - 1;
        }
    }
    return lines;
}

}  // namespace preview
