// KOV.log: the header of each script start, one line per settings load, and a plug-in that goes on
// when its files misbehave.
#include <filesystem>
#include <string>

#include "sim_harness.h"

namespace {

namespace fs = std::filesystem;

const char kSettingsLine[] = "<FILES> General information retrieved.";

class ProcessLog : public simtest::PluginTest {
protected:
    // The script goes on: passes keep coming and the panel is drawn at the anchor the settings
    // load gave (LocTextPosX, design units).
    void ExpectScriptGoesOn(float anchorX) {
        EXPECT_FLOAT_EQ(DrawnPanelX(), PanelXOf(anchorX)) << "in the first pass";
        const size_t mark = TraceMark();
        ASSERT_TRUE(Run(3));
        EXPECT_EQ(Calls("local player index", mark).size(), 3u);
        EXPECT_FLOAT_EQ(DrawnPanelX(), PanelXOf(anchorX));
    }
};

TEST_F(ProcessLog, StartWritesExactlyTheNineLines) {
    ASSERT_TRUE(StartFrameLoop());
    const auto log = LogBytes();
    ASSERT_TRUE(log.has_value());
    EXPECT_EQ(*log, simtest::kExpectedLog);
}

TEST_F(ProcessLog, OldLogIsReplaced) {
    ASSERT_TRUE(sim::WriteFileBytes(workDir() / "KOV.log", "an earlier run\nwith two lines\n"));
    ASSERT_TRUE(StartFrameLoop());
    EXPECT_EQ(LogBytes().value_or(""), simtest::kExpectedLog);
}

TEST_F(ProcessLog, EveryStartRewritesTheHeader) {
    for (int start = 0; start < 3; ++start) {
        SCOPED_TRACE(start);
        NewHost(simtest::StandardWorld());
        ASSERT_TRUE(StartFrameLoop());
        EXPECT_EQ(LogBytes().value_or(""), simtest::kExpectedLog);
    }
}

TEST_F(ProcessLog, EachDisplaySwitchOnAddsOneLine) {
    ASSERT_TRUE(StartFrameLoop());
    for (int i = 0; i < 3; ++i) {
        ASSERT_TRUE(PressDisplayHotkey());  // off
        ASSERT_TRUE(PressDisplayHotkey());  // on: reloads
    }
    const std::vector<std::string> lines = LogLines();
    ASSERT_EQ(lines.size(), 12u);
    for (size_t i = 8; i < 12; ++i) EXPECT_EQ(lines[i], kSettingsLine);
    EXPECT_EQ(LogBytes().value_or("").substr(0, sizeof simtest::kExpectedLog - 1), simtest::kExpectedLog);
}

// ---- faults: the plug-in neither stops nor reports anything ----

TEST_F(ProcessLog, LogThatIsADirectoryIsSkipped) {
    fs::create_directories(workDir() / "KOV.log" / "inside");  // not empty, so it cannot be removed
    WriteIni("[GENERAL]\nLocTextPosX=100\n");
    ASSERT_TRUE(StartFrameLoop());
    EXPECT_TRUE(fs::is_directory(workDir() / "KOV.log"));
    ExpectScriptGoesOn(100);  // the settings are loaded all the same
}

TEST_F(ProcessLog, ReadOnlyFolderLeavesNoLog) {
    WriteIni("[GENERAL]\nLocTextPosX=100\n");
    ASSERT_TRUE(Start());
    fs::permissions(workDir(), fs::perms::owner_read | fs::perms::owner_exec | fs::perms::group_read |
                                   fs::perms::group_exec | fs::perms::others_read | fs::perms::others_exec);
    simtest::UnprivilegedFileAccess unprivileged;
    if (!unprivileged.enforced()) GTEST_SKIP() << "file permissions cannot be enforced here";
    ASSERT_TRUE(RunUntilFrameLoop());
    EXPECT_FALSE(fs::exists(workDir() / "KOV.log"));
    ExpectScriptGoesOn(100);
}

TEST_F(ProcessLog, SettingsFileThatIsADirectoryGivesTheDefaults) {
    fs::create_directory(workDir() / "KOV.ini");
    ASSERT_TRUE(StartFrameLoop());
    EXPECT_EQ(LogBytes().value_or(""), simtest::kExpectedLog);
    ExpectScriptGoesOn(320);
}

TEST_F(ProcessLog, UnreadableSettingsFileGivesTheDefaults) {
    WriteIni("[GENERAL]\nLocTextPosX=100\n");
    ASSERT_TRUE(Start());
    fs::permissions(workDir(), fs::perms::all);  // the unprivileged user may still write KOV.log
    fs::permissions(workDir() / "KOV.ini", fs::perms::none);
    simtest::UnprivilegedFileAccess unprivileged;
    if (!unprivileged.enforced()) GTEST_SKIP() << "file permissions cannot be enforced here";
    ASSERT_TRUE(RunUntilFrameLoop());
    EXPECT_EQ(LogBytes().value_or(""), simtest::kExpectedLog);
    ExpectScriptGoesOn(320);
}

}  // namespace
