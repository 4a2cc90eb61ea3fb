// Pairs the rows of the native table with what a host registers for them by role: the simulated
// host's handlers, the minimal host's answers. A row without its entry, a row with two, or an entry
// under a role the table lacks is a defect of that host, found when it starts.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "sim/natives/argument_check.h"
#include "sim/natives/native_signatures.h"

namespace sim {

struct RoleJoin {
    std::vector<int> entryOf;  // per row of kNativeSignatures: the index of its entry, -1 for none
    std::string defect;        // the first defect; empty when the join is whole
};

// `Entry` has a `role`. With `plugInOnly`, only the natives the plug-in calls need an entry.
template <typename Entry>
RoleJoin JoinByRole(const Entry* entries, size_t count, bool plugInOnly, const char* entryName) {
    RoleJoin join{std::vector<int>(kNativeCount, -1), ""};
    for (size_t e = 0; e < count && join.defect.empty(); ++e) {
        const int row = SignatureIndexOfRole(entries[e].role);
        if (row < 0) {
            join.defect = std::string(entryName) + " \"" + entries[e].role + "\" names no native of the table";
        } else if (join.entryOf[row] >= 0) {
            join.defect = NativeLabel(kNativeSignatures[row]) + " has two " + entryName + "s";
        } else {
            join.entryOf[row] = static_cast<int>(e);
        }
    }
    for (size_t row = 0; row < kNativeCount && join.defect.empty(); ++row) {
        const bool wanted = !plugInOnly || kNativeSignatures[row].use == NativeUse::PlugIn;
        if (wanted && join.entryOf[row] < 0) join.defect = NativeLabel(kNativeSignatures[row]) + " has no " + entryName;
    }
    return join;
}

}  // namespace sim
