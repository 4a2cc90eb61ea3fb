// The area line: the display name and region of the zone at a ped's position.
#pragma once

#include <cstdint>

// Returns the process-wide area line, valid until the next call; the caller copies it at once.
const char* BuildAreaLine(int32_t ped);
