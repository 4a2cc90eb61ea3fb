// Windows code page 1252 ("Western European"), the 8-bit code page of the Windows profile lookup on
// a Western system, in the direction the lookup's A function converts its results: UTF-16 code
// units to bytes.
#pragma once

#include <cstdint>

namespace sim {

// The byte the system's conversion (default flags, so with its best-fit substitutes: U+0101 gives
// 'a', U+FF54 gives 't') writes for one UTF-16 code unit; '?' when it has none (a surrogate, each
// half of a pair, CJK...).
char CodePage1252Byte(uint16_t unit);

}  // namespace sim
