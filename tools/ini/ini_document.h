// A KOV.ini file as a person edits it, with its bytes as the truth: each line keeps its own bytes
// and line end until its text is changed, so opening a file and saving it gives back the very bytes
// opened, whatever they are (NUL bytes, bytes that are no text in the file's encoding, any mix of
// line ends). A changed or new line is written in the file's encoding; a new line takes the
// file's own line end (its first; CR LF for a file without one).
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "sim/ini/ini_text.h"

namespace ini {

// What the person sees for a NUL byte: a visible character, written back as the NUL it stands for.
inline constexpr std::string_view kNulStandIn = "\u2400";

struct IniDocumentLine {
    std::string bytes;  // the line's bytes in the file, without its line end
    std::string end;    // its line end's bytes; empty on the last line, and only there
    std::string shown;  // the line as a person reads it: UTF-8, a NUL as kNulStandIn
};

struct IniDocument {
    sim::IniEncoding encoding = sim::IniEncoding::Utf8;
    std::string mark;                    // the byte order mark's bytes
    std::string lineEnd;                 // the bytes a new line ends with
    std::vector<IniDocumentLine> lines;  // every CR, LF and CR LF ends a line, as for the lookup
};

IniDocument OpenIniDocument(std::string_view bytes);
std::string IniDocumentBytes(const IniDocument& document);
// The lines' shown texts joined by LF: the text of an editor (which has one line end of its own).
std::string ShownIniText(const IniDocument& document);

// A line written anew from its shown text (one line: no CR or LF) in the document's encoding, a NUL
// stand-in as the NUL it stands for. *unkept, when given, counts its characters the encoding cannot
// hold (written as '?') and those that stand for bytes that were no text (U+FFFD, written as that).
IniDocumentLine NewIniLine(const IniDocument& document, std::string_view shown, std::string end,
                           size_t* unkept = nullptr);
// Gives a line another end. A line that cannot end as it is (a UTF-16 file's odd last byte, which
// would shift every unit after it) is written anew from its shown text: true then.
bool SetIniLineEnd(const IniDocument& document, IniDocumentLine& line, std::string end);

// A line ending in a lone CR, then an empty line ending in LF, would read back as one CR LF: the
// empty line would be gone, and every line after it one off from the lookup's count of lines. Such
// an empty line among lines from..to (0-based, past the end allowed) ends in CR instead.
void KeepLinesApart(IniDocument& document, size_t from, size_t to);

struct IniTextEdit {
    IniDocument document;          // the file after the edit
    std::vector<int> unkeptLines;  // 1-based lines changed in the edit that hold characters the file's
                                   // encoding cannot keep (written as '?') or that stand for bytes that
                                   // were no text (U+FFFD, written as that character)
};

// The file after its shown text became `shown` (lines end at CR, LF or CR LF): a line whose text is
// one of the document's, in order (a longest common run of lines), keeps its bytes and line end.
IniTextEdit ApplyShownText(const IniDocument& document, std::string_view shown);

}  // namespace ini
