// Editing KOV.ini text as a player would: one value changed in place, every other byte (comments,
// order, spacing, other keys, line ends) kept.
#pragma once

#include <string>
#include <string_view>

namespace sim {

// Sets key to value where the lookup reads it (sim/ini/ini_lookup.h): the key's first line in the
// first section of that name is rewritten (a comment after the old value moves to a line of its
// own above it); a missing key is added after the section's last key, a missing section at the end.
// New lines use the text's own line end (CR LF when it has none). Works on the lookup's code page
// text and on UTF-8 alike: the lookup's structure is ASCII.
std::string SetIniValue(std::string_view text, std::string_view section, std::string_view key, std::string_view value);

// The same on a file's bytes in any of its encodings (sim/ini/ini_document.h): only the lines the
// edit changes or adds are written anew, in the file's own encoding; every other byte is kept.
// Empty bytes stand for a new file.
std::string SetIniFileValue(std::string_view fileBytes, std::string_view section, std::string_view key,
                            std::string_view value);

}  // namespace sim
