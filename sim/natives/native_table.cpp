// Joins the native table with the subsystems' handlers once, on first use.
#include "sim/natives/native_table.h"

#include <unordered_map>

#include "sim/natives/native_join.h"
#include "sim/result.h"

namespace sim {

namespace {

struct JoinedTable {
    std::vector<NativeDef> rows;
    std::unordered_map<uint64_t, size_t> byHash;
};

// A defect of the join is one of the simulator itself, not of a run: stop at once.
JoinedTable Join() {
    const std::vector<NativeHandler> handlers = AllHandlers();
    const RoleJoin join = JoinByRole(handlers.data(), handlers.size(), false, "handler");
    if (!join.defect.empty()) StopOnDefect("simulated host: " + join.defect);
    JoinedTable table;
    for (size_t i = 0; i < kNativeCount; ++i) {
        table.byHash.emplace(kNativeSignatures[i].hash, i);
        table.rows.push_back(NativeDef{kNativeSignatures[i], handlers[static_cast<size_t>(join.entryOf[i])].run});
    }
    return table;
}

const JoinedTable& Table() {
    static const JoinedTable table = Join();
    return table;
}

}  // namespace

const NativeDef* FindNative(uint64_t hash) {
    const JoinedTable& table = Table();
    const auto found = table.byHash.find(hash);
    return found == table.byHash.end() ? nullptr : &table.rows[found->second];
}

std::vector<NativeHandler> AllHandlers() {
    std::vector<NativeHandler> all;
    for (auto part : {CoreHandlers, TextHandlers, LocationHandlers, ControlHandlers, PlayerHandlers, ScreenHandlers}) {
        const std::vector<NativeHandler> handlers = part();
        all.insert(all.end(), handlers.begin(), handlers.end());
    }
    return all;
}

}  // namespace sim
