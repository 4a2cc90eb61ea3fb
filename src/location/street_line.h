// The street line: the street at a ped's position and its crossing street, through the alias table,
// with the host's inline colour codes.
#pragma once

#include <cstdint>

// Returns the process-wide street line, valid until the next build, which no drawing makes: the
// location panel draws from it.
const char* BuildStreetLine(int32_t ped);
