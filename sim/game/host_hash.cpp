// One-at-a-time over the ASCII-lowercased bytes, as the host hashes its names.
#include "sim/game/host_hash.h"

#include "text/bounded_text.h"

namespace sim {

uint32_t HostHash(std::string_view text) {
    uint32_t h = 0;
    for (const char ch : text) {
        h += static_cast<uint8_t>(LowerAscii(ch));
        h += h << 10;
        h ^= h >> 6;
    }
    h += h << 3;
    h ^= h >> 11;
    h += h << 15;
    return h;
}

}  // namespace sim
