// Test support: running the real plug-in (KOV.so of this build) in the simulated host.
//
// Each test of a PluginTest fixture runs in a fresh temporary work directory, which is the current
// directory for the whole test (the plug-in reads .//KOV.ini and writes KOV.log there), with a
// fresh Host whose world has the local ped (handle world.localPed) at the origin, so the player
// can act. Typical use:
//
//   class PanelTest : public simtest::PluginTest {};
//   TEST_F(PanelTest, DrawsAtTheAnchor) {
//       WriteIni("[GENERAL]\nLocTextPosX=100\n");
//       ASSERT_TRUE(StartFrameLoop());        // loads KOV.so, runs until the first frame-loop pass
//       const size_t mark = TraceMark();
//       ASSERT_TRUE(Run(1));
//       EXPECT_EQ(Calls("end text command: draw text", mark).size(), 5u);
//   }
//
// Natives are found by the role names of the simulated host's tables (sim/natives/*_natives.cpp).
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <limits>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "sim/game/host.h"
#include "sim/game/virtual_keys.h"
#include "sim/natives/native_table.h"
#include "sim/platform/files.h"

#ifdef __linux__
#include <sys/fsuid.h>
#include <unistd.h>
#endif

namespace simtest {

// KOV.log after a script start and the first settings load, as the plug-in writes it.
inline constexpr char kExpectedLog[] =
    "==================================================\n"
    "        TORVEK SYSTEMS PROCESS LOG (V-ASI)        \n"
    "==================================================\n"
    "MOD\tKOV.asi\n"
    "NAM\tWayglass\n"
    "VER\t[ " KOV_VERSION_TEXT
    " ]\n"
    "--------------------------------------------------\n"
    " \n"
    "<FILES> General information retrieved.\n";

// KOV.so of this build; the environment variable KOV_PLUGIN overrides it.
inline std::string PluginPath() {
    const char* overridden = std::getenv("KOV_PLUGIN");
    return overridden != nullptr && *overridden != '\0' ? overridden : KOV_PLUGIN_PATH;
}

// The role of a traced native call ("" for a wait).
inline std::string RoleOf(const sim::TraceEntry& entry) {
    if (entry.isWait) return "";
    const sim::NativeDef* def = sim::FindNative(entry.call.hash);
    return def != nullptr ? def->role : "";
}

// The standard starting world: defaults, with the local player's ped existing at the origin.
inline sim::World StandardWorld() {
    sim::World world;
    world.peds[world.localPed].player = world.localPlayerIndex;
    return world;
}

class PluginTest : public ::testing::Test {
protected:
    void SetUp() override {
        workDir_ = sim::MakeTempDirectory("kov-test-");
        inWorkDir_ = std::make_unique<sim::ScopedCurrentDirectory>(workDir_);
        NewHost(StandardWorld());
    }

    void TearDown() override {
        host_.reset();
        inWorkDir_.reset();
        std::error_code ignored;
        std::filesystem::permissions(workDir_, std::filesystem::perms::owner_all, ignored);
        std::filesystem::remove_all(workDir_, ignored);
    }

    sim::Host& host() { return *host_; }
    const std::filesystem::path& workDir() const { return workDir_; }

    // Replaces the host (the old one unloads its plug-in) with a fresh one in the given world.
    void NewHost(const sim::World& world) {
        host_.reset();
        host_ = std::make_unique<sim::Host>();
        host_->world = world;
    }

    void WriteIni(const std::string& text) { ASSERT_TRUE(sim::WriteFileBytes(workDir_ / "KOV.ini", text)); }

    // Loads the plug-in into the current host; the script has not run yet.
    bool Start() {
        const sim::Status loaded = host_->Load(PluginPath());
        if (!loaded) ADD_FAILURE() << "loading the plug-in failed: " << loaded.error();
        return loaded.ok();
    }

    // Loads the plug-in and runs frames until the frame loop has made its first pass (the log
    // header, its 100 ms wait and the settings load are done).
    bool StartFrameLoop() { return Start() && RunUntilFrameLoop(); }

    bool RunUntilFrameLoop() {
        constexpr int kMaxFrames = 100;
        for (int i = 0; i < kMaxFrames; ++i) {
            if (!Run(1)) return false;
            if (!Calls("local player index").empty()) return true;
        }
        ADD_FAILURE() << "the frame loop did not start within " << kMaxFrames << " frames";
        return false;
    }

    // Runs frames; a failed run is a test failure that shows the host's message.
    bool Run(int frames) {
        const bool ran = host_->RunFrames(frames).ok();
        if (!ran) ADD_FAILURE() << "the simulated run failed: " << host_->error();
        return ran;
    }

    // Keys the plug-in reads through GetAsyncKeyState.
    static constexpr int kKeyAlt = sim::kAltKey;
    static constexpr int kKeyCtrl = sim::kCtrlKey;
    static constexpr int kKeyL = sim::kLKey;

    void HoldKeys(bool alt, bool ctrl, bool l) {
        host_->world.keysDown[kKeyAlt] = alt;
        host_->world.keysDown[kKeyCtrl] = ctrl;
        host_->world.keysDown[kKeyL] = l;
    }

    // Ctrl+Alt+L pressed and let go the way a player does, L first; one frame per change.
    bool PressDisplayHotkey() {
        HoldKeys(true, true, true);
        if (!Run(1)) return false;
        HoldKeys(true, true, false);
        if (!Run(1)) return false;
        HoldKeys(false, false, false);
        return Run(1);
    }

    // The position in the trace from which later calls can be looked at.
    size_t TraceMark() const { return host_->trace().size(); }

    // Traced calls of one native (by role), from a trace position on.
    std::vector<const sim::TraceEntry*> Calls(const std::string& role, size_t from = 0) const {
        std::vector<const sim::TraceEntry*> calls;
        const auto& trace = host_->trace();
        for (size_t i = from; i < trace.size(); ++i) {
            if (RoleOf(trace[i]) == role) calls.push_back(&trace[i]);
        }
        return calls;
    }

    // The readable trace lines from a trace position on ("wait 0", "entity exists(1) -> true", ...).
    std::vector<std::string> TraceLines(size_t from = 0) const {
        std::vector<std::string> lines;
        const auto& trace = host_->trace();
        for (size_t i = from; i < trace.size(); ++i) lines.push_back(trace[i].line);
        return lines;
    }

    std::optional<std::string> LogBytes() const { return sim::ReadFileBytes(workDir_ / "KOV.log"); }
    std::vector<std::string> LogLines() const {
        const auto bytes = LogBytes();
        return bytes ? sim::SplitLines(*bytes) : std::vector<std::string>();
    }

    // Where a panel anchored at this x (design units) is drawn: 2/3 host unit per design unit on the
    // 1280-wide screen the host reports, as a share of its width.
    static float PanelXOf(float designX) { return designX * 0.6666667f / 1280; }

    // The x of the panel's left separator (the first "|") in the last frame: the anchor the panel
    // was drawn at; not-a-number when the frame drew no panel.
    float DrawnPanelX() const {
        for (const sim::DrawnText& text : host_->lastFrame().texts) {
            if (text.text == "|") return text.x;
        }
        return std::numeric_limits<float>::quiet_NaN();
    }

private:
    std::filesystem::path workDir_;
    std::unique_ptr<sim::ScopedCurrentDirectory> inWorkDir_;
    std::unique_ptr<sim::Host> host_;
};

#ifdef __linux__
// File permissions are not enforced for root. While this lives, file access of this thread (the
// plug-in's script runs on it) is checked as an unprivileged user, so a test can make a file or a
// folder unreadable or unwritable even when the suite runs as root. Set the permissions first:
// the unprivileged user cannot change them.
class UnprivilegedFileAccess {
public:
    UnprivilegedFileAccess() {
        if (geteuid() == 0) {
            setfsuid(kNobody);
            active_ = static_cast<uid_t>(setfsuid(static_cast<uid_t>(-1))) == kNobody;
        }
    }
    ~UnprivilegedFileAccess() {
        if (active_) setfsuid(0);
    }
    UnprivilegedFileAccess(const UnprivilegedFileAccess&) = delete;
    UnprivilegedFileAccess& operator=(const UnprivilegedFileAccess&) = delete;

    // True when permissions are now enforced for this thread (also true when not root at all).
    bool enforced() const { return active_ || geteuid() != 0; }

private:
    static constexpr uid_t kNobody = 65534;
    bool active_ = false;
};
#endif

}  // namespace simtest
