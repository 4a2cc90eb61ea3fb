// Setting one value in an INI text, line by line as the lookup reads it.
#include "sim/ini/ini_edit.h"

#include "sim/ini/ini_lookup.h"

namespace preview {

namespace {

std::string LineEnd(std::string_view text) {
    const size_t end = text.find_first_of("\r\n");
    if (end == std::string_view::npos || (text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n')) return "\r\n";
    return std::string(1, text[end]);
}

// The rewritten line: the key as written, '=', the new value; an old comment goes above it.
std::string RewrittenLine(std::string_view line, const sim::ProfileLine& parsed, std::string_view value, const std::string& eol) {
    const size_t equals = line.find('=');
    const std::string head = equals == std::string_view::npos ? std::string(parsed.name) + "=" : std::string(line.substr(0, equals + 1));
    const size_t comment = parsed.value.find(';');
    const std::string above = comment == std::string_view::npos ? "" : std::string(parsed.value.substr(comment)) + eol;
    return above + head + std::string(value);
}

}  // namespace

std::string SetIniValue(std::string_view text, std::string_view section, std::string_view key, std::string_view value) {
    const std::string eol = LineEnd(text);
    std::string_view rest = text;
    bool inSection = false, sectionSeen = false;
    size_t insertAt = std::string_view::npos;  // just after the section's last key (or header) line
    while (!rest.empty()) {
        const std::string_view line = sim::NextProfileLine(rest);
        const size_t start = static_cast<size_t>(line.data() - text.data());
        const size_t lineEnd = start + line.size();
        const sim::ProfileLine parsed = sim::ClassifyProfileLine(line);
        if (parsed.kind == sim::ProfileLineKind::Section) {
            if (inSection) break;  // the first section of that name is over
            inSection = !sectionSeen && sim::ProfileNamesEqual(parsed.name, section);
            sectionSeen = sectionSeen || inSection;
            if (inSection) insertAt = lineEnd;
            continue;
        }
        if (!inSection || parsed.kind != sim::ProfileLineKind::Key) continue;
        insertAt = lineEnd;
        if (!sim::ProfileNamesEqual(parsed.name, key)) continue;
        return std::string(text.substr(0, start)) + RewrittenLine(line, parsed, value, eol) + std::string(text.substr(lineEnd));
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

}  // namespace preview
