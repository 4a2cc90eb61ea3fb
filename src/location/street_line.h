// The street line: the street at a ped's position and its crossing street, through the alias table,
// with the host's inline colour codes.
#pragma once

#include <cstdint>

// Returns the process-wide street line, valid until the next call; the caller copies it at once.
const char* BuildStreetLine(int32_t ped);
