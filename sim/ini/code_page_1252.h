// Windows code page 1252 ("Western European"), the 8-bit code page of the Windows profile lookup on
// a Western system, in both directions: a byte to its UTF-16 code unit (how the system reads an
// 8-bit file), and a code unit to a byte (how the lookup's A function hands text back).
#pragma once

#include <cstdint>

namespace sim {

// The code unit the system's conversion gives for one byte: 0x80 gives U+20AC, the five bytes the
// code page leaves unassigned give the C1 control of the same number, every other byte the unit of
// the same number.
uint16_t CodePage1252Unit(uint8_t byte);

// The byte the system's conversion (default flags, so with its best-fit substitutes: U+0101 gives
// 'a', U+FF54 gives 't') writes for one UTF-16 code unit; '?' when it has none (a surrogate, each
// half of a pair, CJK...).
char CodePage1252Byte(uint16_t unit);

// Whether the unit has a byte of its own: the byte reads back as the same unit (no best fit, no '?').
bool CodePage1252Holds(uint16_t unit);

}  // namespace sim
