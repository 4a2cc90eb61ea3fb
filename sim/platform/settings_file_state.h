// The world's read-only game folder and locked KOV.ini (sim/game/world.h) made real in a run's work
// folder where the system's own profile functions answer the plug-in: KOV.asi under Wine, whose
// GetPrivateProfileStringA and WritePrivateProfileStringA are the system's. There the lock is a
// handle on KOV.ini opened without sharing, and the read-only folder is the folder and its KOV.ini
// made immutable (chattr +i: Wine runs as root in CI, where file modes stop nothing). Where the
// simulated host answers those functions (POSIX, the page) they read the world themselves and this
// does nothing.
#pragma once

#include <filesystem>

#include "sim/game/world.h"
#include "sim/result.h"

namespace sim {

struct HeldSettingsFile;

class SettingsFileState {
public:
    explicit SettingsFileState(std::filesystem::path folder);
    // Undoes what it made real, so the folder can be removed.
    ~SettingsFileState();
    SettingsFileState(const SettingsFileState&) = delete;
    SettingsFileState& operator=(const SettingsFileState&) = delete;

    // Makes the folder and its KOV.ini as the world says; a failure names what could not be done.
    Status Match(const World& world);

private:
    std::filesystem::path folder_;
    HeldSettingsFile* held_ = nullptr;
};

}  // namespace sim
