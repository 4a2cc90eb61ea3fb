// Splitting host texts at their inline codes (the code table is in host_look.h).
#include "tools/preview/text_runs.h"

#include "tools/preview/host_look.h"

namespace preview {

namespace {

constexpr char kReplacement = '?';

const ColourCode* FindColourCode(char code) {
    for (const ColourCode& row : kColourCodes) {
        if (row.code == code) return &row;
    }
    return nullptr;
}

bool IsKnownCode(char code) {
    return FindColourCode(code) != nullptr || code == kResetCode || code == kBoldCode || code == kNewLineCode;
}

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
    if (const ColourCode* colour = FindColourCode(code)) {
        pen.colour = Rgb{colour->r, colour->g, colour->b};
    } else if (code == kResetCode) {
        pen.colour = base;
    } else if (code == kBoldCode) {
        pen.bold = true;
    } else if (code == kNewLineCode) {
        lines.emplace_back();
    }
}

// Length of the UTF-8 sequence at text[i], or 0 when the bytes there do not form one.
size_t Utf8Length(const std::string& text, size_t i) {
    const unsigned char lead = static_cast<unsigned char>(text[i]);
    const size_t length = lead < 0x80 ? 1 : (lead >> 5) == 0x6 ? 2 : (lead >> 4) == 0xE ? 3 : (lead >> 3) == 0x1E ? 4 : 0;
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
        const bool code = text[i] == '~' && i + 2 < text.size() && text[i + 2] == '~' && IsKnownCode(text[i + 1]);
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
