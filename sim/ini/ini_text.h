// A KOV.ini file's bytes, read once into the two views everyone needs: what the Windows profile
// lookup sees, and the text a person edits; and a text written back in a file's encoding. Plain
// portable code: the simulated host, every tool and the web preview read KOV.ini through it.
//
// The lookup reads a file that starts with a UTF-8 byte order mark as UTF-8, one that starts with
// a UTF-16 mark (FF FE or FE FF: Notepad's "Unicode") as UTF-16 of that byte order, and any other
// file as the 8-bit Windows code page. Its A function hands text back in that code page (1252 on
// a Western system). So the lookup's view is code page 1252: the bytes themselves for a file
// without a mark; for one with a mark, its characters converted as the system converts them: a
// malformed UTF-8 sequence reads as one '?', a character the code page lacks as its best-fit
// substitute or '?' (one per UTF-16 unit, so two for a character beyond U+FFFF). One difference
// stays: the system splits lines and names before converting, here after, so a substitute that is
// '=', '[', ']' or ';' (from the full-width forms) counts as that character.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace sim {

enum class IniEncoding {
    Utf8,          // no byte order mark, and the bytes are UTF-8 (plain ASCII too)
    Utf8Mark,      // EF BB BF
    Utf16Le,       // FF FE (Notepad's "Unicode")
    Utf16Be,       // FE FF
    CodePage1252,  // no byte order mark, and the bytes are not UTF-8: 8-bit Windows code page 1252
};

// Each encoding's short name (the page's and the scenarios' word for it) and its title for people.
struct IniEncodingRow {
    IniEncoding encoding;
    const char* name;
    const char* title;
};
inline constexpr IniEncodingRow kIniEncodings[] = {
    // clang-format off
    {IniEncoding::Utf8,         "utf-8",        "UTF-8"},
    {IniEncoding::Utf8Mark,     "utf-8-bom",    "UTF-8 with byte order mark"},
    {IniEncoding::Utf16Le,      "utf-16le",     "UTF-16 (Windows \"Unicode\")"},
    {IniEncoding::Utf16Be,      "utf-16be",     "UTF-16 big-endian"},
    {IniEncoding::CodePage1252, "windows-1252", "8-bit Windows (ANSI)"},
    // clang-format on
};

const char* IniEncodingName(IniEncoding encoding);
const char* IniEncodingTitle(IniEncoding encoding);
// The encoding of a short name; nullopt for a name that is none.
std::optional<IniEncoding> IniEncodingNamed(std::string_view name);

struct IniText {
    IniEncoding encoding = IniEncoding::Utf8;
    std::string lookupText;  // what the lookup sees: code page 1252, without the byte order mark
    // The file's characters as UTF-8 for a person, without the byte order mark, line ends as in
    // the file; what the system reads as U+FFFD (a malformed sequence, half a surrogate pair, the
    // odd last byte of a UTF-16 file) is U+FFFD here.
    std::string editText;
};

IniText DecodeIniText(std::string_view bytes);
// Each view alone, for callers that need only one of them: the same as DecodeIniText's.
IniEncoding IniEncodingOf(std::string_view bytes);
std::string IniLookupText(std::string_view bytes);
// The lookup's view where it differs from the bytes (a file with a byte order mark); nullopt where
// the lookup reads the bytes as they are, so a caller need not copy them.
std::optional<std::string> IniLookupConversion(std::string_view bytes);

// The first CR or LF in text (npos for none): every CR and every LF ends a line, for the lookup as
// for the editor. A loop of its own: find_first_of looks each byte up in the set of two.
size_t FindLineEnd(std::string_view text);

// The bytes of a UTF-8 text written in an encoding: its byte order mark, then its characters, line
// ends as they are. A character the encoding cannot hold (one without a byte of its own in code
// page 1252) is written as '?' and counted in *unwritable when that is given.
std::string EncodeIniText(std::string_view text, IniEncoding encoding, size_t* unwritable = nullptr);

// The same for a piece of a file: its characters without the byte order mark.
std::string EncodeIniBody(std::string_view text, IniEncoding encoding, size_t* unwritable = nullptr);
// A piece of a file in a known encoding (without the mark) as the text a person edits.
std::string DecodeIniBody(std::string_view body, IniEncoding encoding);
// The byte order mark an encoding writes ("" for none).
std::string_view IniEncodingMark(IniEncoding encoding);

}  // namespace sim
