// The Windows profile-string lookup over the text of an INI file, and the scan it reads the text with.
#include "sim/ini/ini_lookup.h"

#include <algorithm>
#include <cstring>

#include "sim/ini/ini_text.h"
#include "sim/platform/files.h"
#include "text/bounded_text.h"

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

// Every CR and every LF ends a line; CR LF ends one line (the empty line between would be blank).
std::string_view NextLine(std::string_view& rest) {
    const size_t end = FindLineEnd(rest);
    const std::string_view line = rest.substr(0, end);
    size_t skip = end == std::string_view::npos ? rest.size() : end + 1;
    if (end != std::string_view::npos && rest[end] == '\r' && end + 1 < rest.size() && rest[end + 1] == '\n') ++skip;
    rest.remove_prefix(skip);
    return line;
}

// The line's kind, name and value.
void Classify(ProfileScanLine& line) {
    const std::string_view text = Trim(line.line);
    if (text.empty()) return;
    if (text.front() == ';') {
        line.kind = ProfileLineKind::Comment;
        return;
    }
    const size_t close = text.rfind(']');  // the name runs to the line's last ']'
    if (text.front() == '[' && close != std::string_view::npos) {
        line.kind = ProfileLineKind::Section;
        line.name = Trim(text.substr(1, close - 1));
        return;
    }
    const size_t equals = text.find('=');
    line.kind = ProfileLineKind::Key;
    line.name = Trim(text.substr(0, equals));
    line.hasValue = equals != std::string_view::npos;
    if (line.hasValue) line.value = Trim(text.substr(equals + 1));
}

bool IsQuoted(std::string_view value) {
    return value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front();
}

// Removes one pair of matching quotes the way the system lookup does for a buffer of size bytes:
// it copies what fits after the opening quote, then drops the last character copied if the rest
// fitted whole. Normally that is the closing quote; a rest exactly one character too long for the
// buffer loses a character of the value instead, and a longer one keeps no closing quote to drop.
std::string_view StripQuotes(std::string_view value, uint32_t size) {
    if (!IsQuoted(value)) return value;
    value.remove_prefix(1);
    if (size < value.size()) return value;
    const size_t copied = value.size() < size - 1 ? value.size() : size - 1;
    return value.substr(0, copied == 0 ? 0 : copied - 1);
}

// What the lookup copies of the line's value into a buffer of size bytes, and what it cuts off.
void HandOut(ProfileScanLine& line, uint32_t size) {
    const std::string_view inner = IsQuoted(line.value) ? line.value.substr(1, line.value.size() - 2) : line.value;
    line.handed = StripQuotes(line.value, size).substr(0, size == 0 ? 0 : size - 1);
    line.cut = inner.substr(std::min(line.handed.size(), inner.size()));
}

uint32_t CopyOut(std::string_view text, char* out, uint32_t size) {
    if (out == nullptr || size == 0) return 0;
    const size_t count = text.size() < size - 1 ? text.size() : size - 1;
    std::memcpy(out, text.data(), count);
    out[count] = '\0';
    return static_cast<uint32_t>(count);
}

// The key line the lookup reads for key in section, nullopt when there is none or it has no '='.
std::optional<ProfileScanLine> FindKeyLine(std::string_view text, std::string_view section, std::string_view key,
                                           uint32_t valueSize) {
    section = Trim(section);
    key = Trim(key);
    if (key.empty()) return std::nullopt;
    ProfileScan scan(text, valueSize);
    for (ProfileScanLine line; scan.Next(line);) {
        if (line.kind != ProfileLineKind::Key || !line.read) continue;
        if (!ProfileNamesEqual(line.section, section) || !ProfileNamesEqual(line.name, key)) continue;
        if (!line.hasValue) return std::nullopt;
        return line;
    }
    return std::nullopt;
}

}  // namespace

bool ProfileScan::Next(ProfileScanLine& line) {
    if (rest_.empty()) return false;
    line = ProfileScanLine{};
    line.number = ++number_;
    line.line = NextLine(rest_);
    Classify(line);
    if (line.kind == ProfileLineKind::Section) {
        const auto [first, inserted] = sections_.emplace(line.name, line.number);
        inSection_ = true;
        section_ = line.name;
        searched_ = inserted;
        keys_.clear();
        line.firstLine = first->second;
    }
    line.inSection = inSection_;
    line.section = section_;
    line.searched = searched_;
    if (line.kind == ProfileLineKind::Key && searched_) {
        line.firstLine = keys_.emplace(line.name, line.number).first->second;
    }
    line.read = line.firstLine == line.number;
    if (line.hasValue) HandOut(line, valueSize_);
    return true;
}

bool ProfileNameLess::operator()(std::string_view a, std::string_view b) const {
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(),
                                        [](char x, char y) { return LowerAscii(x) < LowerAscii(y); });
}

std::string FoldedProfileName(std::string_view name) {
    std::string folded(name);
    std::transform(folded.begin(), folded.end(), folded.begin(), LowerAscii);
    return folded;
}

bool ProfileNamesEqual(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (LowerAscii(a[i]) != LowerAscii(b[i])) return false;
    }
    return true;
}

std::vector<std::optional<std::string>> FindProfileValues(std::string_view fileText,
                                                          const std::vector<ProfileName>& names) {
    std::vector<std::optional<std::string>> values(names.size());
    size_t found = 0;  // a key's first line is the one read, so the scan ends once each has one
    ProfileScan scan(fileText, 0);
    for (ProfileScanLine line; found < names.size() && scan.Next(line);) {
        if (line.kind != ProfileLineKind::Key || !line.read || !line.hasValue) continue;
        for (size_t i = 0; i < names.size(); ++i) {
            const std::string_view key = Trim(names[i].key);
            if (!values[i] && !key.empty() && ProfileNamesEqual(line.section, Trim(names[i].section)) &&
                ProfileNamesEqual(line.name, key)) {
                values[i] = std::string(line.value);
                ++found;
            }
        }
    }
    return values;
}

uint32_t LookupProfileString(const std::optional<std::string>& fileBytes, const char* section, const char* key,
                             const char* fallback, char* out, uint32_t size) {
    std::string_view fallbackText = fallback != nullptr ? fallback : "";
    while (!fallbackText.empty() && fallbackText.back() == ' ') fallbackText.remove_suffix(1);

    if (!fileBytes || section == nullptr || key == nullptr) return CopyOut(fallbackText, out, size);
    const std::optional<std::string> converted = IniLookupConversion(*fileBytes);
    const std::optional<ProfileScanLine> line = FindKeyLine(converted ? *converted : *fileBytes, section, key, size);
    return CopyOut(line ? line->handed : fallbackText, out, size);
}

uint32_t LookupProfileFile(const char* path, const char* section, const char* key, const char* fallback, char* out,
                           uint32_t size) {
    return LookupProfileString(path != nullptr ? ReadFileBytes(path) : std::nullopt, section, key, fallback, out, size);
}

}  // namespace sim
