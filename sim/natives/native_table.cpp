// Joins the subsystem tables into one, checked for duplicate hashes once, on first use.
#include "sim/natives/native_table.h"

#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <unordered_map>

namespace sim {

namespace {

struct JoinedTable {
    std::vector<NativeDef> rows;
    std::unordered_map<uint64_t, size_t> byHash;
};

// A duplicate hash is a defect of the simulator itself, not of a run: stop at once.
JoinedTable Join() {
    JoinedTable table;
    for (auto part : {CoreNatives, TextNatives, LocationNatives, ControlNatives, PlayerNatives, ScreenNatives}) {
        for (const NativeDef& def : part()) {
            if (!table.byHash.emplace(def.hash, table.rows.size()).second) {
                std::fprintf(stderr, "simulated host: native 0x%016" PRIX64 " (%s) is defined twice\n",
                             def.hash, def.role);
                std::abort();
            }
            table.rows.push_back(def);
        }
    }
    return table;
}

const JoinedTable& Table() {
    static const JoinedTable table = Join();
    return table;
}

}  // namespace

const std::vector<NativeDef>& AllNatives() { return Table().rows; }

const NativeDef* FindNative(uint64_t hash) {
    const JoinedTable& table = Table();
    const auto found = table.byHash.find(hash);
    return found == table.byHash.end() ? nullptr : &table.rows[found->second];
}

}  // namespace sim
