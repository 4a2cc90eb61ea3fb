// The area line: the display name and region of the zone at a ped's position.
#pragma once

#include <cstdint>

// Returns the process-wide area line, valid until the next build, which no drawing makes: the
// location panel draws from it.
const char* BuildAreaLine(int32_t ped);
