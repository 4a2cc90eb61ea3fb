// A KOV.ini file's lines with their own bytes, and a person's edit of its text applied line by line.
#include "tools/ini/ini_document.h"

#include <algorithm>
#include <cstdint>

#include "sim/ini/utf.h"

namespace ini {

namespace {

// Past this many cells (changed lines before times after) the lines between the common start and
// end are all taken as changed rather than matched one by one.
constexpr size_t kMaxMatchCells = 4'000'000;

size_t UnitSize(sim::IniEncoding encoding) {
    return encoding == sim::IniEncoding::Utf16Le || encoding == sim::IniEncoding::Utf16Be ? 2 : 1;
}

// The code unit at bytes[at] (a whole one must be there).
uint32_t UnitAt(std::string_view bytes, size_t at, sim::IniEncoding encoding) {
    const auto byte = [&](size_t i) { return static_cast<uint32_t>(static_cast<uint8_t>(bytes[i])); };
    if (encoding == sim::IniEncoding::Utf16Le) return byte(at) | byte(at + 1) << 8;
    if (encoding == sim::IniEncoding::Utf16Be) return byte(at) << 8 | byte(at + 1);
    return byte(at);
}

std::string Replaced(std::string_view text, std::string_view from, std::string_view to) {
    std::string out;
    for (size_t at = 0;;) {
        const size_t found = text.find(from, at);
        out += text.substr(at, found - at);
        if (found == std::string_view::npos) return out;
        out += to;
        at = found + from.size();
    }
}

std::string Shown(std::string_view bytes, sim::IniEncoding encoding) {
    return Replaced(sim::DecodeIniBody(bytes, encoding), std::string_view("\0", 1), kNulStandIn);
}

// The lines of an editor's text: every CR, LF and CR LF ends one; the last line has no end.
std::vector<std::string_view> SplitShown(std::string_view text) {
    std::vector<std::string_view> lines;
    for (;;) {
        const size_t end = sim::FindLineEnd(text);
        lines.push_back(text.substr(0, end));
        if (end == std::string_view::npos) return lines;
        const size_t skip = text.compare(end, 2, "\r\n") == 0 ? 2 : 1;
        text.remove_prefix(end + skip);
    }
}

// Pairs of (old line, new line) with equal texts: a longest common subsequence of the lines after
// the common start and before the common end, which match as they are.
std::vector<std::pair<size_t, size_t>> MatchLines(const std::vector<IniDocumentLine>& old,
                                                  const std::vector<std::string_view>& now) {
    size_t start = 0;
    while (start < old.size() && start < now.size() && old[start].shown == now[start]) ++start;
    size_t tail = 0;
    while (tail < old.size() - start && tail < now.size() - start &&
           old[old.size() - 1 - tail].shown == now[now.size() - 1 - tail]) {
        ++tail;
    }
    std::vector<std::pair<size_t, size_t>> pairs;
    for (size_t i = 0; i < start; ++i) pairs.emplace_back(i, i);
    const size_t n = old.size() - start - tail, m = now.size() - start - tail;
    if (n > 0 && m > 0 && n * m <= kMaxMatchCells) {
        // common[i][j]: the longest common run of old lines from start + i and new ones from start + j.
        std::vector<uint32_t> common((n + 1) * (m + 1), 0);
        const auto at = [&](size_t i, size_t j) -> uint32_t& { return common[i * (m + 1) + j]; };
        for (size_t i = n; i-- > 0;) {
            for (size_t j = m; j-- > 0;) {
                at(i, j) = old[start + i].shown == now[start + j] ? at(i + 1, j + 1) + 1
                                                                  : std::max(at(i + 1, j), at(i, j + 1));
            }
        }
        for (size_t i = 0, j = 0; i < n && j < m;) {
            if (old[start + i].shown == now[start + j]) {
                pairs.emplace_back(start + i++, start + j++);
            } else if (at(i + 1, j) >= at(i, j + 1)) {
                ++i;
            } else {
                ++j;
            }
        }
    }
    for (size_t k = tail; k-- > 0;) pairs.emplace_back(old.size() - 1 - k, now.size() - 1 - k);
    return pairs;
}

size_t ReplacementCharacters(std::string_view text) {
    size_t count = 0;
    for (size_t at = 0; at < text.size();) count += sim::NextCodePoint(text, at) == sim::kReplacementCharacter ? 1 : 0;
    return count;
}

}  // namespace

IniDocument OpenIniDocument(std::string_view bytes) {
    IniDocument document;
    document.encoding = sim::IniEncodingOf(bytes);
    document.mark = std::string(sim::IniEncodingMark(document.encoding));
    std::string_view body = bytes.substr(document.mark.size());
    const size_t unit = UnitSize(document.encoding);
    size_t lineStart = 0;
    for (size_t at = 0; at + unit <= body.size(); at += unit) {
        const uint32_t code = UnitAt(body, at, document.encoding);
        if (code != '\r' && code != '\n') continue;
        size_t endSize = unit;
        if (code == '\r' && at + 2 * unit <= body.size() && UnitAt(body, at + unit, document.encoding) == '\n')
            endSize += unit;
        const std::string_view line = body.substr(lineStart, at - lineStart);
        document.lines.push_back(
            IniDocumentLine{std::string(line), std::string(body.substr(at, endSize)), Shown(line, document.encoding)});
        if (document.lineEnd.empty()) document.lineEnd = body.substr(at, endSize);
        at += endSize - unit;
        lineStart = at + unit;
    }
    const std::string_view last = body.substr(lineStart);
    document.lines.push_back(IniDocumentLine{std::string(last), "", Shown(last, document.encoding)});
    if (document.lineEnd.empty()) document.lineEnd = sim::EncodeIniBody("\r\n", document.encoding);
    return document;
}

std::string IniDocumentBytes(const IniDocument& document) {
    std::string bytes = document.mark;
    for (const IniDocumentLine& line : document.lines) bytes += line.bytes + line.end;
    return bytes;
}

std::string ShownIniText(const IniDocument& document) {
    std::string text;
    for (const IniDocumentLine& line : document.lines) text += line.shown + (line.end.empty() ? "" : "\n");
    return text;
}

IniDocumentLine NewIniLine(const IniDocument& document, std::string_view shown, std::string end, size_t* unkept) {
    const std::string text = Replaced(shown, kNulStandIn, std::string_view("\0", 1));
    size_t unwritable = 0;
    IniDocumentLine line{sim::EncodeIniBody(text, document.encoding, &unwritable), std::move(end), ""};
    line.shown = Shown(line.bytes, document.encoding);
    if (unkept != nullptr) *unkept = unwritable + ReplacementCharacters(text);
    return line;
}

bool SetIniLineEnd(const IniDocument& document, IniDocumentLine& line, std::string end) {
    const bool rewritten = !end.empty() && line.bytes.size() % UnitSize(document.encoding) != 0;
    if (rewritten) line = NewIniLine(document, line.shown, "");
    line.end = std::move(end);
    return rewritten;
}

void KeepLinesApart(IniDocument& document, size_t from, size_t to) {
    const std::string cr = sim::EncodeIniBody("\r", document.encoding);
    const std::string lf = sim::EncodeIniBody("\n", document.encoding);
    for (size_t i = std::max<size_t>(from, 1); i < std::min(to, document.lines.size()); ++i) {
        IniDocumentLine& line = document.lines[i];
        if (document.lines[i - 1].end == cr && line.bytes.empty() && line.end == lf) line.end = cr;
    }
}

IniTextEdit ApplyShownText(const IniDocument& document, std::string_view shown) {
    const std::vector<std::string_view> now = SplitShown(shown);
    // Each new line's old line: the one it matches, or for a changed line the old line at the same
    // place among those changed between two matches, whose line end it keeps.
    std::vector<const IniDocumentLine*> kept(now.size(), nullptr), replaced(now.size(), nullptr);
    std::vector<std::pair<size_t, size_t>> pairs = MatchLines(document.lines, now);
    pairs.emplace_back(document.lines.size(), now.size());
    size_t oldNext = 0, newNext = 0;
    for (const auto& [old, line] : pairs) {
        for (size_t i = newNext, j = oldNext; i < line && j < old; ++i, ++j) replaced[i] = &document.lines[j];
        if (line < now.size()) kept[line] = &document.lines[old];
        oldNext = old + 1;
        newNext = line + 1;
    }
    IniTextEdit edit;
    edit.document.encoding = document.encoding;
    edit.document.mark = document.mark;
    edit.document.lineEnd = document.lineEnd;
    for (size_t i = 0; i < now.size(); ++i) {
        const IniDocumentLine* old = kept[i] != nullptr ? kept[i] : replaced[i];
        std::string end = i + 1 == now.size() ? "" : old != nullptr && !old->end.empty() ? old->end : document.lineEnd;
        if (kept[i] != nullptr) {
            edit.document.lines.push_back(*kept[i]);
            if (SetIniLineEnd(document, edit.document.lines.back(), std::move(end)))
                edit.unkeptLines.push_back(static_cast<int>(i + 1));
            continue;
        }
        size_t unkept = 0;
        edit.document.lines.push_back(NewIniLine(document, now[i], std::move(end), &unkept));
        if (unkept > 0) edit.unkeptLines.push_back(static_cast<int>(i + 1));
    }
    KeepLinesApart(edit.document, 0, edit.document.lines.size());
    return edit;
}

}  // namespace ini
