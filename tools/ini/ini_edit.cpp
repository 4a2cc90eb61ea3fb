// Setting one value in a KOV.ini document, on the line the lookup's scan finds.
#include "tools/ini/ini_edit.h"

#include <algorithm>
#include <optional>

#include "sim/ini/ini_lookup.h"

namespace ini {

namespace {

constexpr size_t kNone = std::string_view::npos;

// Puts the lines of a shown text (every CR, LF and CR LF ends one) at line `at`: the last takes
// lastEnd, the others the document's own line end. Counts them in change.added.
void InsertLines(IniDocument& document, size_t at, std::string_view text, const std::string& lastEnd,
                 IniLineChange& change) {
    std::vector<IniDocumentLine> lines;
    for (;;) {
        const size_t end = sim::FindLineEnd(text);
        const bool last = end == kNone;
        size_t unkept = 0;
        lines.push_back(NewIniLine(document, text.substr(0, end), last ? lastEnd : document.lineEnd, &unkept));
        if (unkept > 0) change.unkeptLines.push_back(static_cast<int>(at + lines.size()));
        if (last) break;
        text.remove_prefix(end + (text.compare(end, 2, "\r\n") == 0 ? 2 : 1));
    }
    document.lines.insert(document.lines.begin() + static_cast<std::ptrdiff_t>(at), lines.begin(), lines.end());
    KeepLinesApart(document, at > 0 ? at - 1 : 0, at + lines.size() + 1);  // the line before may have a new end
    change.added += lines.size();
}

// The key line's new text: the key as written, '=', the value; a comment after the old value goes
// on a line of its own above it. Read from the line's shown text, by the lookup's scan of it alone.
std::string RewrittenText(std::string_view shown, std::string_view key, std::string_view value) {
    sim::ProfileScan scan(shown, 0);
    sim::ProfileScanLine line;
    const bool isKey = scan.Next(line) && line.kind == sim::ProfileLineKind::Key;
    const size_t equals = shown.find('=');
    const std::string head = isKey && equals != kNone ? std::string(shown.substr(0, equals + 1))
                                                      : std::string(isKey ? line.name : key) + "=";
    const size_t comment = isKey ? line.value.find(';') : kNone;
    const std::string above = comment == kNone ? "" : std::string(line.value.substr(comment)) + "\n";
    return above + head + std::string(value);
}

// New lines after line `at`, ending with the document's own line end; after the last line, that
// one takes it and the new ones end the file as it did.
IniLineChange InsertAfter(IniDocument& document, size_t at, std::string_view text) {
    IniLineChange change{at + 1, 0, 0, {}};
    IniDocumentLine& before = document.lines[at];
    if (!before.end.empty()) {
        InsertLines(document, at + 1, text, document.lineEnd, change);
        return change;
    }
    change = IniLineChange{at, 1, 1, {}};
    if (SetIniLineEnd(document, before, document.lineEnd)) change.unkeptLines.push_back(static_cast<int>(at + 1));
    InsertLines(document, at + 1, text, "", change);
    return change;
}

}  // namespace

IniLineChange SetIniDocumentValue(IniDocument& document, std::string_view section, std::string_view key,
                                  std::string_view value) {
    // The lookup's view ends lines where the document does (CR and LF are the same characters in
    // both, and no conversion yields one), so the scan's line N is the document's line N - 1.
    const std::string text = sim::IniLookupText(IniDocumentBytes(document));
    std::optional<size_t> sectionEnd;  // the section's last key line, or its header line
    sim::ProfileScan scan(text, 0);
    for (sim::ProfileScanLine line; scan.Next(line);) {
        if (!line.searched || !sim::ProfileNamesEqual(line.section, section)) continue;
        if (line.kind != sim::ProfileLineKind::Section && line.kind != sim::ProfileLineKind::Key) continue;
        const size_t at = static_cast<size_t>(line.number - 1);
        sectionEnd = at;
        if (line.kind != sim::ProfileLineKind::Key || !line.read || !sim::ProfileNamesEqual(line.name, key)) continue;
        const IniDocumentLine old = document.lines[at];
        document.lines.erase(document.lines.begin() + static_cast<std::ptrdiff_t>(at));
        IniLineChange change{at, 1, 0, {}};
        InsertLines(document, at, RewrittenText(old.shown, key, value), old.end, change);
        return change;
    }
    const std::string keyLine = std::string(key) + "=" + std::string(value);
    if (sectionEnd) return InsertAfter(document, *sectionEnd, keyLine);
    const std::string added = "[" + std::string(section) + "]\n" + keyLine + "\n";
    if (document.lines.size() == 1 && document.lines[0].bytes.empty()) {  // nothing but a byte order mark, if that
        document.lines.clear();
        IniLineChange change{0, 1, 0, {}};
        InsertLines(document, 0, added, "", change);
        return change;
    }
    // A blank line between the file's last line and the new section.
    const bool lastIsBlank = document.lines.back().bytes.empty();
    return InsertAfter(document, document.lines.size() - 1, (lastIsBlank ? "" : "\n") + added);
}

std::vector<LookupLine> FindLookupLines(const IniDocument& document) {
    // The scan's line N is the document's line N - 1 (see SetIniDocumentValue).
    const std::string text = sim::IniLookupText(IniDocumentBytes(document));
    std::vector<LookupLine> found;
    sim::ProfileScan scan(text, 0);
    for (sim::ProfileScanLine line; scan.Next(line);) {
        const bool section = line.kind == sim::ProfileLineKind::Section && line.read;
        const bool key = line.kind == sim::ProfileLineKind::Key && line.searched && line.read;
        if (section || key) found.push_back({static_cast<size_t>(line.number - 1), section, std::string(line.name)});
    }
    return found;
}

IniLineChange SetIniDocumentValue(IniDocument& document, std::vector<LookupLine>& lookupLines, std::string_view section,
                                  std::string_view key, std::string_view value) {
    bool inSection = false;
    for (const LookupLine& known : lookupLines) {
        if (known.section) inSection = sim::ProfileNamesEqual(known.name, section);
        if (known.section || !inSection || !sim::ProfileNamesEqual(known.name, key)) continue;
        const IniDocumentLine old = document.lines[known.line];
        const std::string text = RewrittenText(old.shown, key, value);
        IniLineChange change{known.line, 1, 0, {}};
        if (text.find_first_of("\r\n") == std::string::npos) {  // one line for one: replaced where it stands
            size_t unkept = 0;
            document.lines[known.line] = NewIniLine(document, text, old.end, &unkept);
            if (unkept > 0) change.unkeptLines.push_back(static_cast<int>(known.line + 1));
            change.added = 1;
            return change;
        }
        document.lines.erase(document.lines.begin() + static_cast<std::ptrdiff_t>(known.line));
        InsertLines(document, known.line, text, old.end, change);
        // The line is the same key's still; a comment moved above it shifts the lines after it.
        if (change.added != 1) lookupLines = FindLookupLines(document);
        return change;
    }
    const IniLineChange change = SetIniDocumentValue(document, section, key, value);
    lookupLines = FindLookupLines(document);
    return change;
}

std::optional<std::string> LookupEquivalentBytes(const IniDocument& document,
                                                 const std::vector<LookupLine>& lookupLines) {
    const bool utf16 = document.encoding == sim::IniEncoding::Utf16Le || document.encoding == sim::IniEncoding::Utf16Be;
    std::string bytes = document.mark;
    for (const LookupLine& known : lookupLines) {
        const std::string& line = document.lines[known.line].bytes;
        if (utf16 && line.size() % 2 != 0) return std::nullopt;
        if (document.encoding == sim::IniEncoding::CodePage1252 &&
            std::any_of(line.begin(), line.end(), [](char c) { return static_cast<unsigned char>(c) >= 0x80; })) {
            return std::nullopt;
        }
        bytes += line + document.lineEnd;
    }
    return bytes;
}

std::string SetIniFileValue(std::string_view fileBytes, std::string_view section, std::string_view key,
                            std::string_view value) {
    IniDocument document = OpenIniDocument(fileBytes);
    SetIniDocumentValue(document, section, key, value);
    return IniDocumentBytes(document);
}

}  // namespace ini
