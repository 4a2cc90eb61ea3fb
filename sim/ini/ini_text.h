// What the Windows profile lookup sees of an INI file's bytes, and the other way round for
// scenarios that need a file in a given encoding. Plain portable code: every tool and the web
// preview read KOV.ini through it.
//
// The lookup reads a file that starts with a UTF-8 byte order mark as UTF-8, one that starts with
// a UTF-16 mark (FF FE or FE FF: Notepad's "Unicode") as UTF-16 of that byte order, and any other
// file as the 8-bit Windows code page. Its A function hands text back in that code page (1252 on
// a Western system). So the text here is code page 1252: the bytes themselves for a file without
// a mark; for one with a mark, its characters converted as the system converts them: a malformed
// UTF-8 sequence reads as one '?', a character the code page lacks as its best-fit substitute or
// '?' (one per UTF-16 unit, so two for a character beyond U+FFFF). One difference stays: the
// system splits lines and names before converting, here after, so a substitute that is '=', '[',
// ']' or ';' (from the full-width forms) counts as that character.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace sim {

enum class IniEncoding {
    CodePage,  // no byte order mark: 8-bit Windows code page (a UTF-8 file without a mark too)
    Utf8,      // EF BB BF
    Utf16Le,   // FF FE
    Utf16Be,   // FE FF
};

struct IniText {
    std::string text;  // code page 1252, without the byte order mark
    IniEncoding encoding = IniEncoding::CodePage;
};

IniText DecodeIniText(std::string_view bytes);

// "UTF-16 LE with a byte order mark" and the like, for messages.
const char* IniEncodingName(IniEncoding encoding);

// The file bytes of a UTF-8 text written in an encoding, for scenarios: UTF-8 as it is, UTF-16 in
// either byte order, or the code page as one byte per character U+0000 to U+00FF. A byte order mark
// is written only where the text starts with U+FEFF. nullopt when a character has no such byte.
std::optional<std::string> EncodeIniText(std::string_view utf8, IniEncoding encoding);

}  // namespace sim
