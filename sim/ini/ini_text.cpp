// INI file bytes to the lookup's code page text and the editor's UTF-8 text, and back.
#include "sim/ini/ini_text.h"

#include <cstdint>

#include "sim/ini/code_page_1252.h"
#include "sim/ini/utf.h"

namespace sim {

namespace {

bool StartsWith(std::string_view text, std::string_view prefix) { return text.substr(0, prefix.size()) == prefix; }

// One character of a marked file in both views: its code page byte as the lookup's A function
// converts it (one per UTF-16 unit: a character beyond U+FFFF is two halves without a byte), and
// UTF-8.
void AppendCharacterViews(uint32_t codePoint, IniText& file) {
    if (codePoint > kLastBmpCharacter) {
        file.lookupText += "??";
    } else {
        file.lookupText += CodePage1252Byte(static_cast<uint16_t>(codePoint));
    }
    AppendUtf8(codePoint, file.editText);
}

IniText Utf8Marked(std::string_view body) {
    IniText file;
    file.encoding = IniEncoding::Utf8Mark;
    for (size_t at = 0; at < body.size();) AppendCharacterViews(NextCodePoint(body, at), file);
    return file;
}

IniText Utf16Marked(IniEncoding encoding, std::string_view body) {
    IniText file;
    file.encoding = encoding;
    for (size_t at = 0; at + 1 < body.size();) {
        AppendCharacterViews(NextUtf16CodePoint(body, at, encoding == IniEncoding::Utf16Be), file);
    }
    if (body.size() % 2 != 0) AppendUtf8(kReplacementCharacter, file.editText);  // no unit: the lookup drops it
    return file;
}

std::string CodePage1252Text(std::string_view bytes) {
    std::string text;
    for (const char byte : bytes) AppendUtf8(CodePage1252Unit(static_cast<uint8_t>(byte)), text);
    return text;
}

// A file without a mark: the lookup takes the bytes as they are; a person reads them as UTF-8 when
// they are UTF-8, else as code page 1252.
IniText Unmarked(std::string_view bytes) {
    IniText file;
    file.lookupText = std::string(bytes);
    if (IsUtf8(bytes)) {
        file.editText = file.lookupText;
        return file;
    }
    file.encoding = IniEncoding::CodePage1252;
    file.editText = CodePage1252Text(bytes);
    return file;
}

const IniEncodingRow& RowOf(IniEncoding encoding) {
    for (const IniEncodingRow& row : kIniEncodings) {
        if (row.encoding == encoding) return row;
    }
    return kIniEncodings[0];
}

void AppendCharacter(uint32_t codePoint, IniEncoding encoding, std::string& out, size_t& unwritable) {
    switch (encoding) {
        case IniEncoding::Utf8:
        case IniEncoding::Utf8Mark: return AppendUtf8(codePoint, out);
        case IniEncoding::Utf16Le:
        case IniEncoding::Utf16Be: return AppendUtf16(codePoint, encoding == IniEncoding::Utf16Be, out);
        case IniEncoding::CodePage1252: {
            const bool held = codePoint <= kLastBmpCharacter && CodePage1252Holds(static_cast<uint16_t>(codePoint));
            out += held ? CodePage1252Byte(static_cast<uint16_t>(codePoint)) : '?';
            unwritable += held ? 0 : 1;
            return;
        }
    }
}

}  // namespace

std::string_view IniEncodingMark(IniEncoding encoding) {
    switch (encoding) {
        case IniEncoding::Utf8Mark: return kUtf8Mark;
        case IniEncoding::Utf16Le: return kUtf16LeMark;
        case IniEncoding::Utf16Be: return kUtf16BeMark;
        case IniEncoding::Utf8:
        case IniEncoding::CodePage1252: break;
    }
    return {};
}

const char* IniEncodingName(IniEncoding encoding) { return RowOf(encoding).name; }
const char* IniEncodingTitle(IniEncoding encoding) { return RowOf(encoding).title; }

std::optional<IniEncoding> IniEncodingNamed(std::string_view name) {
    for (const IniEncodingRow& row : kIniEncodings) {
        if (name == row.name) return row.encoding;
    }
    return std::nullopt;
}

IniText DecodeIniText(std::string_view bytes) {
    if (StartsWith(bytes, kUtf8Mark)) return Utf8Marked(bytes.substr(kUtf8Mark.size()));
    if (StartsWith(bytes, kUtf16LeMark)) return Utf16Marked(IniEncoding::Utf16Le, bytes.substr(kUtf16LeMark.size()));
    if (StartsWith(bytes, kUtf16BeMark)) return Utf16Marked(IniEncoding::Utf16Be, bytes.substr(kUtf16BeMark.size()));
    return Unmarked(bytes);
}

size_t FindLineEnd(std::string_view text) {
    for (size_t at = 0; at < text.size(); ++at) {
        if (text[at] == '\r' || text[at] == '\n') return at;
    }
    return std::string_view::npos;
}

IniEncoding IniEncodingOf(std::string_view bytes) {
    if (StartsWith(bytes, kUtf8Mark)) return IniEncoding::Utf8Mark;
    if (StartsWith(bytes, kUtf16LeMark)) return IniEncoding::Utf16Le;
    if (StartsWith(bytes, kUtf16BeMark)) return IniEncoding::Utf16Be;
    return IsUtf8(bytes) ? IniEncoding::Utf8 : IniEncoding::CodePage1252;
}

std::optional<std::string> IniLookupConversion(std::string_view bytes) {
    const bool marked =
        StartsWith(bytes, kUtf8Mark) || StartsWith(bytes, kUtf16LeMark) || StartsWith(bytes, kUtf16BeMark);
    if (!marked) return std::nullopt;
    return DecodeIniText(bytes).lookupText;
}

std::string IniLookupText(std::string_view bytes) {
    std::optional<std::string> converted = IniLookupConversion(bytes);
    return converted ? std::move(*converted) : std::string(bytes);
}

std::string EncodeIniText(std::string_view text, IniEncoding encoding, size_t* unwritable) {
    return std::string(IniEncodingMark(encoding)) + EncodeIniBody(text, encoding, unwritable);
}

std::string EncodeIniBody(std::string_view text, IniEncoding encoding, size_t* unwritable) {
    std::string bytes;
    size_t unwritten = 0;
    for (size_t at = 0; at < text.size();) AppendCharacter(NextCodePoint(text, at), encoding, bytes, unwritten);
    if (unwritable != nullptr) *unwritable = unwritten;
    return bytes;
}

std::string DecodeIniBody(std::string_view body, IniEncoding encoding) {
    switch (encoding) {
        case IniEncoding::Utf8:
        case IniEncoding::Utf8Mark: return IsUtf8(body) ? std::string(body) : Utf8Marked(body).editText;
        case IniEncoding::Utf16Le:
        case IniEncoding::Utf16Be: return Utf16Marked(encoding, body).editText;
        case IniEncoding::CodePage1252: break;
    }
    return CodePage1252Text(body);
}

}  // namespace sim
