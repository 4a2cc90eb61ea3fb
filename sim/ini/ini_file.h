// KOV.ini as a player's editor saved it: the file's bytes decoded to UTF-8 text for editing, and
// edited text encoded back in the same encoding with Windows line ends. (What the plug-in reads
// from those bytes is the lookup's business: sim/ini/ini_text.h.)
#pragma once

#include <string>
#include <string_view>

namespace preview {

// UTF-8 (no mark), UTF-8 with a byte order mark, UTF-16 with a byte order mark (either byte order),
// or an 8-bit Windows file (Windows-1252), which is what bytes that are not UTF-8 are taken for.
enum class IniEncoding { Utf8, Utf8Bom, Utf16Le, Utf16Be, Windows1252 };

struct IniText {
    IniEncoding encoding = IniEncoding::Utf8;
    std::string text;  // UTF-8, byte order mark removed, line ends as in the file
};

IniText DecodeIniFile(std::string_view bytes);
// The text in the encoding (with its byte order mark), every line ending in CR LF. Characters the
// encoding cannot hold become '?'.
std::string EncodeIniFile(std::string_view text, IniEncoding encoding);
// "UTF-8", "UTF-16 LE" and so on, for people; and the short names the page uses.
const char* EncodingTitle(IniEncoding encoding);
const char* EncodingName(IniEncoding encoding);
// The encoding of a short name; Utf8 for an unknown name.
IniEncoding EncodingNamed(std::string_view name);

}  // namespace preview
