// Editing KOV.ini text as a player would: one value changed in place, everything else (comments,
// order, spacing, other keys) kept.
#pragma once

#include <string>
#include <string_view>

namespace preview {

// Sets key to value where the plug-in reads it: the key's first line in the first section of that
// name is rewritten (a comment after the old value moves to a line of its own above it); a missing
// key is added after the section's last key, a missing section at the end. New lines use the
// text's own line end (CR LF when it has none).
std::string SetIniValue(std::string_view text, std::string_view section, std::string_view key, std::string_view value);

}  // namespace preview
