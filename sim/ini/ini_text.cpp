// INI file bytes to the code page text the Windows profile lookup works on, and back.
#include "sim/ini/ini_text.h"

#include "sim/ini/code_page_1252.h"
#include "sim/ini/utf.h"

namespace sim {

namespace {

void AppendCodePage(uint32_t codePoint, std::string& out) {
    if (codePoint > kLastBmpCharacter) {
        out += "??";  // a surrogate pair: no byte for either half
        return;
    }
    out += CodePage1252Byte(static_cast<uint16_t>(codePoint));
}

std::string FromUtf8(std::string_view bytes) {
    std::string text;
    for (size_t at = 0; at < bytes.size();) AppendCodePage(NextCodePoint(bytes, at), text);
    return text;
}

// An odd last byte is no code unit and is dropped.
std::string FromUtf16(std::string_view bytes, bool bigEndian) {
    std::string text;
    for (size_t at = 0; at + 1 < bytes.size(); at += 2) {
        const auto first = static_cast<uint8_t>(bytes[at]), second = static_cast<uint8_t>(bytes[at + 1]);
        text += CodePage1252Byte(static_cast<uint16_t>(bigEndian ? first << 8 | second : second << 8 | first));
    }
    return text;
}

std::string ToUtf16(std::string_view utf8, bool bigEndian) {
    std::string bytes;
    for (size_t at = 0; at < utf8.size();) {
        AppendUtf16(NextCodePoint(utf8, at), bigEndian, bytes);
    }
    return bytes;
}

std::optional<std::string> ToCodePageBytes(std::string_view utf8) {
    std::string bytes;
    for (size_t at = 0; at < utf8.size();) {
        const uint32_t codePoint = NextCodePoint(utf8, at);
        if (codePoint > 0xFF) return std::nullopt;
        bytes += static_cast<char>(codePoint);
    }
    return bytes;
}

bool StartsWith(std::string_view text, std::string_view prefix) { return text.substr(0, prefix.size()) == prefix; }

}  // namespace

IniText DecodeIniText(std::string_view bytes) {
    if (StartsWith(bytes, kUtf8Mark)) return {FromUtf8(bytes.substr(kUtf8Mark.size())), IniEncoding::Utf8};
    if (StartsWith(bytes, kUtf16LeMark)) return {FromUtf16(bytes.substr(2), false), IniEncoding::Utf16Le};
    if (StartsWith(bytes, kUtf16BeMark)) return {FromUtf16(bytes.substr(2), true), IniEncoding::Utf16Be};
    return {std::string(bytes), IniEncoding::CodePage};
}

const char* IniEncodingName(IniEncoding encoding) {
    switch (encoding) {
        case IniEncoding::CodePage: return "8-bit code page";
        case IniEncoding::Utf8: return "UTF-8 with a byte order mark";
        case IniEncoding::Utf16Le: return "UTF-16 LE with a byte order mark";
        case IniEncoding::Utf16Be: return "UTF-16 BE with a byte order mark";
    }
    return "";
}

std::optional<std::string> EncodeIniText(std::string_view utf8, IniEncoding encoding) {
    switch (encoding) {
        case IniEncoding::CodePage: return ToCodePageBytes(utf8);
        case IniEncoding::Utf8: return std::string(utf8);
        case IniEncoding::Utf16Le: return ToUtf16(utf8, false);
        case IniEncoding::Utf16Be: return ToUtf16(utf8, true);
    }
    return std::nullopt;
}

}  // namespace sim
