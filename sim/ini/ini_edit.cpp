// Setting one value in an INI text, on the lines the lookup's scan finds.
#include "sim/ini/ini_edit.h"

#include "sim/ini/ini_document.h"
#include "sim/ini/ini_lookup.h"

namespace sim {

namespace {

std::string LineEnd(std::string_view text) {
    const size_t end = text.find_first_of("\r\n");
    if (end == std::string_view::npos || (text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n')) return "\r\n";
    return std::string(1, text[end]);
}

// The rewritten line: the key as written, '=', the new value; an old comment goes above it.
std::string RewrittenLine(const ProfileScanLine& line, std::string_view value, const std::string& eol) {
    const size_t equals = line.line.find('=');
    const std::string head =
        equals == std::string_view::npos ? std::string(line.name) + "=" : std::string(line.line.substr(0, equals + 1));
    const size_t comment = line.value.find(';');
    const std::string above = comment == std::string_view::npos ? "" : std::string(line.value.substr(comment)) + eol;
    return above + head + std::string(value);
}

}  // namespace

std::string SetIniValue(std::string_view text, std::string_view section, std::string_view key, std::string_view value) {
    const std::string eol = LineEnd(text);
    size_t insertAt = std::string_view::npos;  // just after the section's last key (or header) line
    ProfileScan scan(text, 0);
    for (ProfileScanLine line; scan.Next(line);) {
        if (!line.searched || !ProfileNamesEqual(line.section, section)) continue;
        if (line.kind != ProfileLineKind::Section && line.kind != ProfileLineKind::Key) continue;
        const size_t start = static_cast<size_t>(line.line.data() - text.data());
        const size_t lineEnd = start + line.line.size();
        insertAt = lineEnd;
        if (line.kind != ProfileLineKind::Key || !line.read || !ProfileNamesEqual(line.name, key)) continue;
        return std::string(text.substr(0, start)) + RewrittenLine(line, value, eol) + std::string(text.substr(lineEnd));
    }
    const std::string keyLine = std::string(key) + "=" + std::string(value);
    if (insertAt != std::string_view::npos) {
        return std::string(text.substr(0, insertAt)) + eol + keyLine + std::string(text.substr(insertAt));
    }
    std::string out(text);
    if (!out.empty() && out.back() != '\n' && out.back() != '\r') out += eol;
    if (!out.empty()) out += eol;
    return out + "[" + std::string(section) + "]" + eol + keyLine + eol;
}

std::string SetIniFileValue(std::string_view fileBytes, std::string_view section, std::string_view key,
                            std::string_view value) {
    const IniDocument document = OpenIniDocument(fileBytes);
    return ApplyShownText(document, SetIniValue(ShownIniText(document), section, key, value)).bytes;
}

}  // namespace sim
