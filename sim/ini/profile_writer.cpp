// The Windows profile writer over a file's bytes, line by line in the file's own encoding.
#include "sim/ini/profile_writer.h"

#include <vector>

#include "sim/ini/ini_lookup.h"
#include "sim/ini/ini_text.h"
#include "sim/platform/files.h"

namespace sim {

namespace {

constexpr uint32_t kAccessDenied = 5;

// A file's bytes as lines of code units: one byte each, or two in a UTF-16 file.
struct UnitText {
    std::string_view bytes;
    IniEncoding encoding;
    size_t width = 1;  // bytes per unit
    size_t start = 0;  // after the byte order mark

    uint32_t UnitAt(size_t at) const {
        if (width == 1) return static_cast<uint8_t>(bytes[at]);
        const auto low = static_cast<uint8_t>(bytes[at]), high = static_cast<uint8_t>(bytes[at + 1]);
        return encoding == IniEncoding::Utf16Be ? (low << 8 | high) : (high << 8 | low);
    }
    size_t End() const { return start + (bytes.size() - start) / width * width; }
};

// One line: its content [begin, end) and its line end [end, next), byte offsets.
struct Line {
    size_t begin, end, next;
};

// Every CR and every LF ends a line, CR LF one line, as the lookup reads the file.
std::vector<Line> SplitUnitLines(const UnitText& text) {
    std::vector<Line> lines;
    const size_t end = text.End();
    for (size_t at = text.start; at < end;) {
        Line line{at, at, at};
        while (line.end < end && text.UnitAt(line.end) != '\r' && text.UnitAt(line.end) != '\n') line.end += text.width;
        line.next = line.end;
        if (line.next < end) {
            const bool cr = text.UnitAt(line.next) == '\r';
            line.next += text.width;
            if (cr && line.next < end && text.UnitAt(line.next) == '\n') line.next += text.width;
        }
        lines.push_back(line);
        at = line.next;
    }
    return lines;
}

bool IsBlankUnit(uint32_t unit) { return unit == ' ' || unit == '\t'; }

// The key's name as the line writes it: the units before its '=' (or the whole line), blanks cut.
std::string RawName(const UnitText& text, const Line& line) {
    size_t equals = line.begin;
    while (equals < line.end && text.UnitAt(equals) != '=') equals += text.width;
    size_t first = line.begin, last = equals;
    while (first < last && IsBlankUnit(text.UnitAt(first))) first += text.width;
    while (last > first && IsBlankUnit(text.UnitAt(last - text.width))) last -= text.width;
    return std::string(text.bytes.substr(first, last - first));
}

}  // namespace

std::string WriteProfileValue(const std::optional<std::string>& fileBytes, std::string_view section,
                              std::string_view key, std::string_view value) {
    const std::string keyLine = std::string(key) + "=" + std::string(value);
    const std::string sectionLines = "[" + std::string(section) + "]\r\n" + keyLine + "\r\n";
    if (!fileBytes || fileBytes->empty()) return sectionLines;

    UnitText text{*fileBytes, IniEncodingOf(*fileBytes)};
    text.width = text.encoding == IniEncoding::Utf16Le || text.encoding == IniEncoding::Utf16Be ? 2 : 1;
    text.start = IniEncodingMark(text.encoding).size();
    const auto encode = [&](std::string_view part) { return EncodeIniBody(part, text.encoding); };
    const std::vector<Line> lines = SplitUnitLines(text);

    // The lookup's view of each line, joined, so its scan numbers the lines as they are split here.
    const std::string_view mark = IniEncodingMark(text.encoding);
    std::string view;
    for (const Line& line : lines) {
        const std::string bytes = std::string(mark) + std::string(text.bytes.substr(line.begin, line.end - line.begin));
        view += (&line == &lines.front() ? "" : "\n") + IniLookupText(bytes);
    }
    std::optional<size_t> found, sectionLast;
    ProfileScan scan(view, 0);
    for (ProfileScanLine line; scan.Next(line) && static_cast<size_t>(line.number) <= lines.size();) {
        if (!line.inSection || !line.searched || !ProfileNamesEqual(line.section, section)) continue;
        const size_t at = static_cast<size_t>(line.number - 1);
        if (line.kind != ProfileLineKind::Blank) sectionLast = at;
        if (line.kind == ProfileLineKind::Key && line.read && ProfileNamesEqual(line.name, key)) {
            found = at;
            break;
        }
    }

    const std::string& bytes = *fileBytes;
    if (found) {
        const Line& line = lines[*found];
        return bytes.substr(0, line.begin) + RawName(text, line) + encode("=" + std::string(value)) +
               bytes.substr(line.end);
    }
    // After the section's last line, or at the end of the file; that line gets a line end first.
    const size_t after = sectionLast ? lines[*sectionLast].next : bytes.size();
    const bool ended = sectionLast ? lines[*sectionLast].end != lines[*sectionLast].next
                                   : lines.empty() || lines.back().end != lines.back().next;
    const std::string added = (ended ? "" : "\r\n") + (sectionLast ? keyLine + "\r\n" : sectionLines);
    return bytes.substr(0, after) + encode(added) + bytes.substr(after);
}

uint32_t WriteProfileValueToFile(const char* path, const char* section, const char* key, const char* value) {
    if (path == nullptr || section == nullptr || key == nullptr || value == nullptr) return kAccessDenied;
    const std::string written = WriteProfileValue(ReadFileBytes(path), section, key, value);
    return WriteFileBytes(path, written) ? 0 : kAccessDenied;
}

}  // namespace sim
