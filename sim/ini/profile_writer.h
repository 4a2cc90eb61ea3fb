// The Windows profile writer (WritePrivateProfileStringA) over the bytes of an INI file, so the rules
// can be tested from memory; writing the file is the caller's thin edge. It keeps every byte of the
// file but the one line it writes:
// - the key's line where the lookup reads it (sim/ini/ini_lookup.h: the first section of that name,
//   its first line of that key) becomes "name=value", the name as the file writes it, the line end
//   as it was (a comment after the old value goes with it);
// - a key the section lacks goes on a new line after the section's last line that is not blank;
// - a section the file lacks goes at its end, "[section]" and the key on two new lines;
// - a file that does not exist (or is empty) becomes those two lines.
// New lines end in CR LF, and the line before them gets one if it had none; everything written is
// in the file's encoding (its byte order mark kept: UTF-16 files stay UTF-16).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace sim {

// The file's bytes after the write; nullopt stands for a file that does not exist.
std::string WriteProfileValue(const std::optional<std::string>& fileBytes, std::string_view section,
                              std::string_view key, std::string_view value);

// The same on the file at path, as the plug-in's import is answered where the simulated host stands
// in for Windows: 0 when written, else the Windows error code (5, access denied, when the file
// cannot be written). Section, key and value are all given (the writer's deleting forms are not
// emulated: the plug-in never uses them).
uint32_t WriteProfileValueToFile(const char* path, const char* section, const char* key, const char* value);

}  // namespace sim
