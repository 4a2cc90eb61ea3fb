// The Windows profile-string lookup (GetPrivateProfileStringA) over the text of an INI file, so the
// rules can be tested from memory; reading the file is the caller's thin edge. One scan over the
// text says, line by line, what the lookup makes of it; the lookup, the check (tools/ini/ini_check.h)
// and the editor (tools/ini/ini_edit.h) all read the file through it.
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
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace sim {

enum class ProfileLineKind { Blank, Comment, Section, Key };

// One line as the lookup reads it. The texts are views into the scanned text.
struct ProfileScanLine {
    int number = 0;         // 1-based
    std::string_view line;  // the line without its line end
    ProfileLineKind kind = ProfileLineKind::Blank;
    std::string_view name;     // the section's or the key's name, trimmed
    bool inSection = false;    // a section line came before (the keys ahead of any belong to none)
    std::string_view section;  // the name of the section the line is in (a section line's own)
    bool searched = false;     // in (or heading) the first section of its name, the only one searched
    // A section line: the line of the first section of its name. A key line in a searched section:
    // the line of the first key of its name there. Otherwise 0.
    int firstLine = 0;
    bool read = false;        // the line the lookup reads for its name: firstLine is this line
    bool hasValue = false;    // a key line with '='
    std::string_view value;   // the key's value, trimmed, quotes still on; empty without '='
    std::string_view handed;  // what the lookup copies into the scan's value buffer: quotes removed, cut to fit
    std::string_view cut;     // the end of the value (inside its quotes) the buffer had no room for
};

// Orders names the way the lookup compares them: ASCII letter case aside.
struct ProfileNameLess {
    bool operator()(std::string_view a, std::string_view b) const;
};

// The lines of a text in order, with what the lookup makes of each for a value buffer of valueSize
// bytes (the terminator included). The text outlives the scan: lines and names are views into it.
class ProfileScan {
public:
    ProfileScan(std::string_view text, uint32_t valueSize) : rest_(text), valueSize_(valueSize) {}
    // The next line; false after the last.
    bool Next(ProfileScanLine& line);

private:
    // The first line of each name.
    using FirstLines = std::map<std::string_view, int, ProfileNameLess>;

    std::string_view rest_;
    uint32_t valueSize_;
    int number_ = 0;
    bool inSection_ = false;    // a section line came
    std::string_view section_;  // the last section's name
    bool searched_ = false;     // the last section is the first of its name
    FirstLines sections_;       // of each section
    FirstLines keys_;           // of each key in the current searched section
};

// One settings lookup of the plug-in (GetPrivateProfileStringA) as the simulated host answered it.
struct SettingsLookup {
    int frame = 0;
    std::string section, key, fallback;  // a null pointer reads as ""
    uint32_t bufferSize = 0;
    std::string text;  // what was handed out (the copied characters, a NUL among them included)
};

// Section and key names compare this way (ASCII letter case ignored, as the plug-in's LowerAscii
// folds it).
bool ProfileNamesEqual(std::string_view a, std::string_view b);
// A name folded to lower case the same way.
std::string FoldedProfileName(std::string_view name);

struct ProfileName {
    std::string_view section, key;
};
// The trimmed value of each key in its section, quotes still on (nullopt where the section or key
// is absent), in the order of names, from one scan of the text.
std::vector<std::optional<std::string>> FindProfileValues(std::string_view fileText,
                                                          const std::vector<ProfileName>& names);

// The whole lookup contract over the file's bytes, nullopt when the file is missing or
// unreadable. Copies the value (or the fallback, whose trailing blanks are dropped; null reads as
// "") into out, cut to size - 1 characters and terminated, and returns the number of characters
// copied. A null section or key is treated as absent.
uint32_t LookupProfileString(const std::optional<std::string>& fileBytes, const char* section, const char* key,
                             const char* fallback, char* out, uint32_t size);
// The same over the file at path, as the plug-in's import is answered where the simulated host
// stands in for Windows: a path that is null, missing, unreadable or not a regular file is no file.
uint32_t LookupProfileFile(const char* path, const char* section, const char* key, const char* fallback, char* out,
                           uint32_t size);

}  // namespace sim
