// Editing KOV.ini as a player would: one value changed in place, every other byte (comments,
// order, spacing, other keys, line ends) kept.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "tools/ini/ini_document.h"

namespace ini {

// The lines an edit replaced: from line `first` (0-based), `removed` lines of the document gave way
// to `added` ones.
struct IniLineChange {
    size_t first = 0;
    size_t removed = 0;
    size_t added = 0;
    // 1-based lines written anew that hold characters the file's encoding cannot keep (written as
    // '?'), or that stand for bytes that were no text (see NewIniLine and SetIniLineEnd).
    std::vector<int> unkeptLines;
};

// Sets key to value where the lookup reads it (sim/ini/ini_lookup.h): the key's first line in the
// first section of that name is rewritten (a comment after the old value moves to a line of its
// own above it); a missing key is added after the section's last key, a missing section at the end
// after a blank line. Only the lines the edit changes or adds are written anew, in the document's
// encoding; new lines take its line end (CR LF for a file without one).
IniLineChange SetIniDocumentValue(IniDocument& document, std::string_view section, std::string_view key,
                                  std::string_view value);

// The lines the lookup reads in a document: the header of each section it searches and, under it,
// the line it reads for each key name, in order. A long file has few of them.
struct LookupLine {
    size_t line = 0;  // 0-based line of the document
    bool section = false;
    std::string name;  // the section's or the key's name as the lookup sees it
};
std::vector<LookupLine> FindLookupLines(const IniDocument& document);

// SetIniDocumentValue on a document whose lookup lines are known, kept up to date: a key the
// lookup reads is found among them and its line rewritten without a scan of the whole file.
IniLineChange SetIniDocumentValue(IniDocument& document, std::vector<LookupLine>& lookupLines, std::string_view section,
                                  std::string_view key, std::string_view value);

// A file the lookup reads as it reads the document, for every section and key: the document's byte
// order mark and its lookup lines alone, each ending in its line end. nullopt where its encoding
// could read otherwise: an 8-bit Windows file whose lines kept hold bytes past ASCII (alone they
// may read as UTF-8), a UTF-16 line of an odd number of bytes.
std::optional<std::string> LookupEquivalentBytes(const IniDocument& document,
                                                 const std::vector<LookupLine>& lookupLines);

// The same on a file's bytes in any of its encodings; empty bytes stand for a new file.
std::string SetIniFileValue(std::string_view fileBytes, std::string_view section, std::string_view key,
                            std::string_view value);

}  // namespace ini
