// Where the simulated host answers the profile functions, they read the world: nothing to make real.
#include "sim/platform/settings_file_state.h"

#include <utility>

namespace sim {

struct HeldSettingsFile {};

SettingsFileState::SettingsFileState(std::filesystem::path folder) : folder_(std::move(folder)) {}
SettingsFileState::~SettingsFileState() = default;
Status SettingsFileState::Match(const World&) { return {}; }

}  // namespace sim
