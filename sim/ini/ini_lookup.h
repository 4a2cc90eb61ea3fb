// The Windows profile-string lookup (GetPrivateProfileStringA) over the text of an INI file, so the
// rules can be tested from memory; reading the file is the caller's thin edge.
//
// Rules: section and key names compare without regard to ASCII case; white space around names and
// values is trimmed; one pair of matching surrounding quotes (' or ") is removed from the value;
// lines whose first non-blank character is ';' are comments; only the first section with the
// requested name is searched and its first matching key wins; keys before any section belong to
// no section; a key line without '=' has no value; a section name runs to the line's last ']'.
// Every CR and LF ends a line and a missing final line end is accepted. The file's bytes are first
// decoded as the lookup decodes them (sim/ini/ini_text.h: byte order marks, UTF-16, the code page).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace sim {

// One line as the lookup reads it.
enum class ProfileLineKind { Blank, Comment, Section, Key };
struct ProfileLine {
    ProfileLineKind kind = ProfileLineKind::Blank;
    std::string_view name;   // the section's or the key's name, trimmed
    std::string_view value;  // the key's value, trimmed (quotes still on); empty without '='
    bool hasValue = false;   // the key line has an '='
};

// Takes the next line off the front of rest (CR, LF and CR LF end a line) and returns it.
std::string_view NextProfileLine(std::string_view& rest);
ProfileLine ClassifyProfileLine(std::string_view line);
// Section and key names compare this way (ASCII letter case ignored).
bool ProfileNamesEqual(std::string_view a, std::string_view b);

// The trimmed value of key in section, quotes still on; nullopt when the section or key is absent.
std::optional<std::string> FindProfileValue(std::string_view fileText, std::string_view section,
                                            std::string_view key);

// The whole lookup contract over the file's bytes, nullopt when the file is missing or
// unreadable. Copies the value (or the fallback, whose trailing blanks are dropped; null reads as
// "") into out, cut to size - 1 characters and terminated, and returns the number of characters
// copied. A null section or key is treated as absent.
uint32_t LookupProfileString(const std::optional<std::string>& fileBytes, const char* section,
                             const char* key, const char* fallback, char* out, uint32_t size);

// The decoded file text (sim/ini/ini_text.h) with key=value as the first key of the first section of that name, so the lookup
// finds it before any same-named key; a new section at the end when there is none.
std::string WithProfileValue(std::string_view fileText, std::string_view section, std::string_view key,
                             std::string_view value);

}  // namespace sim
