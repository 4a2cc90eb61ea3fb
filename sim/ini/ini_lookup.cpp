// The Windows profile-string lookup over the text of an INI file.
#include "sim/ini/ini_lookup.h"

#include <cstring>

#include "sim/ini/ini_text.h"

namespace sim {

namespace {

// The lookup's white space includes the old end-of-file mark (Ctrl-Z).
bool IsProfileSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f' || c == '\x1a';
}

std::string_view Trim(std::string_view text) {
    while (!text.empty() && IsProfileSpace(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsProfileSpace(text.back())) text.remove_suffix(1);
    return text;
}

char LowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (LowerAscii(a[i]) != LowerAscii(b[i])) return false;
    }
    return true;
}

// Removes one pair of matching quotes the way the system lookup does for a buffer of size bytes:
// it copies what fits after the opening quote, then drops the last character copied if the rest
// fitted whole. Normally that is the closing quote; a rest exactly one character too long for the
// buffer loses a character of the value instead, and a longer one keeps no closing quote to drop.
std::string_view StripQuotes(std::string_view value, uint32_t size) {
    if (value.size() < 2 || (value.front() != '"' && value.front() != '\'') || value.back() != value.front()) {
        return value;
    }
    value.remove_prefix(1);
    if (size < value.size()) return value;
    const size_t copied = value.size() < size - 1 ? value.size() : size - 1;
    return value.substr(0, copied == 0 ? 0 : copied - 1);
}

uint32_t CopyOut(std::string_view text, char* out, uint32_t size) {
    if (out == nullptr || size == 0) return 0;
    const size_t count = text.size() < size - 1 ? text.size() : size - 1;
    std::memcpy(out, text.data(), count);
    out[count] = '\0';
    return static_cast<uint32_t>(count);
}

bool EndsLine(std::string_view text) { return !text.empty() && (text.back() == '\n' || text.back() == '\r'); }

}  // namespace

// Every CR and every LF ends a line; CR LF ends one line (the empty line between would be blank).
std::string_view NextProfileLine(std::string_view& rest) {
    const size_t end = rest.find_first_of("\r\n");
    const std::string_view line = rest.substr(0, end);
    size_t skip = end == std::string_view::npos ? rest.size() : end + 1;
    if (end != std::string_view::npos && rest[end] == '\r' && end + 1 < rest.size() && rest[end + 1] == '\n') ++skip;
    rest.remove_prefix(skip);
    return line;
}

ProfileLine ClassifyProfileLine(std::string_view text) {
    ProfileLine line;
    text = Trim(text);
    if (text.empty()) return line;
    if (text.front() == ';') {
        line.kind = ProfileLineKind::Comment;
        return line;
    }
    const size_t close = text.rfind(']');  // the name runs to the line's last ']'
    if (text.front() == '[' && close != std::string_view::npos) {
        line.kind = ProfileLineKind::Section;
        line.name = Trim(text.substr(1, close - 1));
        return line;
    }
    const size_t equals = text.find('=');
    line.kind = ProfileLineKind::Key;
    line.name = Trim(text.substr(0, equals));
    line.hasValue = equals != std::string_view::npos;
    if (line.hasValue) line.value = Trim(text.substr(equals + 1));
    return line;
}

bool ProfileNamesEqual(std::string_view a, std::string_view b) { return EqualsIgnoringCase(a, b); }

std::optional<std::string> FindProfileValue(std::string_view fileText, std::string_view section,
                                            std::string_view key) {
    section = Trim(section);
    key = Trim(key);
    if (key.empty()) return std::nullopt;

    bool inSection = false;
    while (!fileText.empty()) {
        const ProfileLine line = ClassifyProfileLine(NextProfileLine(fileText));
        if (line.kind == ProfileLineKind::Section) {
            if (inSection) return std::nullopt;  // only the first section of that name is searched
            inSection = EqualsIgnoringCase(line.name, section);
            continue;
        }
        if (!inSection || line.kind != ProfileLineKind::Key || !EqualsIgnoringCase(line.name, key)) continue;
        if (!line.hasValue) return std::nullopt;
        return std::string(line.value);
    }
    return std::nullopt;
}

uint32_t LookupProfileString(const std::optional<std::string>& fileBytes, const char* section,
                             const char* key, const char* fallback, char* out, uint32_t size) {
    std::string_view fallbackText = fallback != nullptr ? fallback : "";
    while (!fallbackText.empty() && fallbackText.back() == ' ') fallbackText.remove_suffix(1);

    std::optional<std::string> value;
    if (fileBytes && section != nullptr && key != nullptr) {
        value = FindProfileValue(DecodeIniText(*fileBytes).text, section, key);
    }
    return CopyOut(value ? StripQuotes(*value, size) : fallbackText, out, size);
}

std::string WithProfileValue(std::string_view fileText, std::string_view section, std::string_view key,
                             std::string_view value) {
    const std::string keyLine = std::string(key) + "=" + std::string(value) + "\n";
    std::string_view rest = fileText;
    while (!rest.empty()) {
        const ProfileLine line = ClassifyProfileLine(NextProfileLine(rest));
        if (line.kind != ProfileLineKind::Section || !EqualsIgnoringCase(line.name, Trim(section))) continue;
        const std::string_view head = fileText.substr(0, fileText.size() - rest.size());
        return std::string(head) + (EndsLine(head) ? "" : "\n") + keyLine + std::string(rest);
    }
    return std::string(fileText) + (fileText.empty() || EndsLine(fileText) ? "" : "\n") + "[" + std::string(section) +
           "]\n" + keyLine;
}

}  // namespace sim
