// The host's name hash: a case-insensitive one-at-a-time hash over the bytes of a name. The host
// keys model names and street names by it.
#pragma once

#include <cstdint>
#include <string_view>

namespace sim {

uint32_t HostHash(std::string_view text);

}  // namespace sim
