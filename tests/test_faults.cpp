// Faults of the disk and of KOV.ini: a huge file, NUL bytes, 10,000-character lines, a log that
// cannot be replaced or written. The plug-in goes on and draws exactly what it draws for a clean
// file holding the values it could read. (Folders in place of the files, unreadable files and a
// read-only folder without a log are covered with the process log's tests.)
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "sim_harness.h"

namespace {

namespace fs = std::filesystem;

constexpr int kFramesDrawn = 3;
constexpr size_t kTenMegabytes = 10u << 20;
constexpr size_t kLongLine = 10000;

// Junk lines of an INI file up to about the given size: comments, unknown keys and sections.
std::string JunkLines(size_t bytes) {
    std::string text;
    text.reserve(bytes + 64);
    for (size_t i = 0; text.size() < bytes; ++i) {
        text += "; comment line " + std::to_string(i) + "\nUnknownKey" + std::to_string(i) + "=some value\n";
        if (i % 1000 == 0) text += "[SECTION" + std::to_string(i) + "]\n";
    }
    return text;
}

// A text literal with its NUL bytes, up to its terminator.
template <size_t N>
std::string Bytes(const char (&text)[N]) {
    return std::string(text, N - 1);
}

class Faults : public simtest::PluginTest {
protected:
    // What the player sees: the panel and the notices of a few frames after the start.
    std::vector<sim::DrawnText> Draws() {
        std::vector<sim::DrawnText> texts;
        if (!StartFrameLoop() || !Run(kFramesDrawn)) return texts;
        return host().lastFrame().texts;
    }

    // The draws of a fresh plug-in in this folder with a clean KOV.ini of the given text (none
    // when absent).
    std::vector<sim::DrawnText> ReferenceDraws(const std::optional<std::string>& ini) {
        std::error_code ignored;
        fs::permissions(workDir(), fs::perms::owner_all, ignored);
        fs::remove_all(workDir() / "KOV.ini", ignored);
        fs::remove_all(workDir() / "KOV.log", ignored);
        if (ini) WriteIni(*ini);
        NewHost(simtest::StandardWorld());
        return Draws();
    }

    static void ExpectSameDraws(const std::vector<sim::DrawnText>& seen, const std::vector<sim::DrawnText>& expected) {
        ASSERT_FALSE(expected.empty()) << "the reference run drew nothing";
        ASSERT_EQ(seen.size(), expected.size());
        for (size_t i = 0; i < seen.size(); ++i) {
            SCOPED_TRACE(expected[i].text);
            EXPECT_EQ(seen[i].text, expected[i].text);
            EXPECT_EQ(seen[i].x, expected[i].x);
            EXPECT_EQ(seen[i].y, expected[i].y);
            EXPECT_EQ(seen[i].state.scale, expected[i].state.scale);
            EXPECT_EQ(seen[i].state.a, expected[i].state.a);
        }
    }
};

struct IniFault {
    const char* name;
    std::string damaged;               // the KOV.ini the plug-in finds
    std::optional<std::string> clean;  // a clean file with the values it can read; none: defaults
};

TEST_F(Faults, DamagedSettingsFileDrawsAsTheValuesItCouldRead) {
    // 30 in full, but its first 127 characters read 3e126, past the float range.
    const std::string cutValue = "3" + std::string(9989, '0') + "e-9988";
    const std::vector<IniFault> cases = {
        {"10 MB of junk before the keys",
         JunkLines(kTenMegabytes) + "[GENERAL]\nLocTextPosX=250\nLocTextSizeMult=1.5\n",
         "[GENERAL]\nLocTextPosX=250\nLocTextSizeMult=1.5\n"},
        {"10 MB of junk after the keys", "[GENERAL]\nLocTextPosY=900\n" + JunkLines(kTenMegabytes),
         "[GENERAL]\nLocTextPosY=900\n"},
        {"NUL bytes end a value and spoil a section name",
         Bytes("[GENERAL]\nLocTextPosX=100\0junk\n\0\0\0\nLocTextPosY=500\n[MULTI\0PLAYER]\nX=1\n"),
         "[GENERAL]\nLocTextPosX=100\nLocTextPosY=500\n"},
        {"a NUL byte in a section name hides its keys", Bytes("[GEN\0ERAL]\nLocTextPosX=100\n"), std::nullopt},
        {"10,000-character comment, key and section lines",
         "; " + std::string(kLongLine, 'c') + "\n[GENERAL]\n" + std::string(kLongLine, 'k') + "=1\nLocTextPosX=260\n[" +
             std::string(kLongLine, 's') + "]\nLocTextPosX=1\n",
         "[GENERAL]\nLocTextPosX=260\n"},
        {"a value padded to 10,000 characters",
         "[GENERAL]\nLocTextPosX=270" + std::string(kLongLine, ' ') + "\nLocTextSizeMult=2" +
             std::string(kLongLine, 'x') + "\n",
         "[GENERAL]\nLocTextPosX=270\nLocTextSizeMult=2\n"},
        {"a 10,000-character value is seen as its first 127 characters", "[GENERAL]\nLocTextPosY=" + cutValue + "\n",
         "[GENERAL]\nLocTextPosY=inf\n"},
    };
    for (const IniFault& fault : cases) {
        SCOPED_TRACE(fault.name);
        WriteIni(fault.damaged);
        NewHost(simtest::StandardWorld());
        const std::vector<sim::DrawnText> seen = Draws();
        EXPECT_EQ(LogBytes().value_or(""), simtest::kExpectedLog);
        ExpectSameDraws(seen, ReferenceDraws(fault.clean));
    }
}

// Log faults in a folder the plug-in may not change: the old log cannot be deleted.
struct LogFault {
    const char* name;
    void (*prepare)(const fs::path& log);
    std::optional<std::string> logAfter;  // the log's bytes afterwards; none: not checked (a device)
};

TEST_F(Faults, LogThatCannotBeReplacedOrWrittenChangesNothingElse) {
    const std::string earlier = "an earlier run\n";
    const std::vector<LogFault> cases = {
        {"an earlier log that stays writable gets the new lines appended",
         [](const fs::path& log) {
             ASSERT_TRUE(sim::WriteFileBytes(log, "an earlier run\n"));
             fs::permissions(log, fs::perms::all);
         },
         earlier + simtest::kExpectedLog},
        {"a read-only earlier log is left as it was",
         [](const fs::path& log) {
             ASSERT_TRUE(sim::WriteFileBytes(log, "an earlier run\n"));
             fs::permissions(log, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
         },
         earlier},
        {"a log on a full disk", [](const fs::path& log) { fs::create_symlink("/dev/full", log); }, std::nullopt},
    };
    const std::string ini = "[GENERAL]\nLocTextPosX=150\n";
    for (const LogFault& fault : cases) {
        SCOPED_TRACE(fault.name);
        std::error_code ignored;
        fs::permissions(workDir(), fs::perms::owner_all, ignored);
        fs::remove(workDir() / "KOV.log", ignored);
        WriteIni(ini);
        fault.prepare(workDir() / "KOV.log");
        NewHost(simtest::StandardWorld());
        ASSERT_TRUE(Start());
        fs::permissions(workDir(), fs::perms::owner_read | fs::perms::owner_exec | fs::perms::group_read |
                                       fs::perms::group_exec | fs::perms::others_read | fs::perms::others_exec);
        std::vector<sim::DrawnText> seen;
        {
            simtest::UnprivilegedFileAccess unprivileged;
            if (!unprivileged.enforced()) GTEST_SKIP() << "file permissions cannot be enforced here";
            ASSERT_TRUE(RunUntilFrameLoop());
            ASSERT_TRUE(Run(kFramesDrawn));
            seen = host().lastFrame().texts;
        }
        if (fault.logAfter) EXPECT_EQ(sim::ReadFileBytes(workDir() / "KOV.log").value_or("(none)"), *fault.logAfter);
        ExpectSameDraws(seen, ReferenceDraws(ini));
    }
}

}  // namespace
