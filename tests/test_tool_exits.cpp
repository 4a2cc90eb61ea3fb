// kov-sim on its ways out: the temporary folder and plug-in copy go on every one (a signal, a
// failed run), and a long run holds one frame at a time.
#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include "sim/platform/files.h"
#include "sim_harness.h"

namespace {

namespace fs = std::filesystem;

struct Exit {
    int status = 0;
    long peakKilobytes = 0;
};

// Starts kov-sim with TMPDIR set to tmp, so every temporary file it makes lands there.
pid_t StartKovSim(const std::vector<std::string>& args, const fs::path& tmp) {
    std::fflush(nullptr);  // nothing buffered here is written twice
    const pid_t child = fork();
    if (child != 0) return child;
    setenv("TMPDIR", tmp.c_str(), 1);
    std::vector<char*> argv{const_cast<char*>(KOV_SIM_PATH)};
    for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    if (freopen("/dev/null", "w", stdout) == nullptr || freopen("/dev/null", "w", stderr) == nullptr) _exit(126);
    execv(KOV_SIM_PATH, argv.data());
    _exit(127);
}

Exit WaitFor(pid_t child) {
    Exit exit;
    rusage usage{};
    wait4(child, &exit.status, 0, &usage);
    exit.peakKilobytes = usage.ru_maxrss;
    return exit;
}

size_t EntriesIn(const fs::path& dir) {
    return static_cast<size_t>(std::distance(fs::directory_iterator(dir), fs::directory_iterator()));
}

class KovSimExits : public simtest::PluginTest {
protected:
    fs::path Scenario(int frames) {
        const fs::path path = workDir() / "long.json";
        sim::WriteFileBytes(path, R"({"world": {"street": "Alta St", "zone": "DOWNT"}, "steps": [{"frames": )" +
                                      std::to_string(frames) + "}]}");
        return path;
    }
    fs::path Tmp() {
        const fs::path tmp = workDir() / "tmp";
        fs::create_directories(tmp);
        return tmp;
    }
};

TEST_F(KovSimExits, SignalsLeaveNoTemporaryFiles) {
    for (int signal : {SIGINT, SIGTERM, SIGHUP, SIGPIPE, SIGSEGV}) {
        SCOPED_TRACE(strsignal(signal));
        const fs::path tmp = Tmp();
        const pid_t child = StartKovSim({Scenario(10000000).string(), "--plugin", simtest::PluginPath()}, tmp);
        // Mid-run once the work folder and the plug-in copy exist.
        for (int wait = 0; wait < 500 && EntriesIn(tmp) < 2; ++wait) std::this_thread::sleep_for(std::chrono::milliseconds(10));
        ASSERT_EQ(EntriesIn(tmp), 2u);
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        kill(child, signal);
        const Exit exit = WaitFor(child);
        EXPECT_TRUE(WIFSIGNALED(exit.status) && WTERMSIG(exit.status) == signal) << "ends by the signal, as before";
        EXPECT_EQ(EntriesIn(tmp), 0u);
    }
}

TEST_F(KovSimExits, FailedRunsLeaveNoTemporaryFiles) {
    ASSERT_TRUE(sim::WriteFileBytes(workDir() / "not-a-plugin.so", "text"));
    const fs::path tmp = Tmp();
    const Exit exit = WaitFor(StartKovSim({Scenario(10).string(), "--plugin", (workDir() / "not-a-plugin.so").string()}, tmp));
    EXPECT_TRUE(WIFEXITED(exit.status) && WEXITSTATUS(exit.status) == 1);
    EXPECT_EQ(EntriesIn(tmp), 0u);
}

// 20 000 frames once took 924 MB: every frame and traced call was kept until the end.
TEST_F(KovSimExits, LongRunHoldsOneFrameAtATime) {
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "the sanitizers' quarantine holds freed memory, so the peak says nothing here";
#endif
    constexpr long kFlatKilobytes = 64 * 1024;
    const Exit exit = WaitFor(StartKovSim({Scenario(20000).string(), "--plugin", simtest::PluginPath(), "--trace",
                                           "/dev/null"}, Tmp()));
    ASSERT_TRUE(WIFEXITED(exit.status) && WEXITSTATUS(exit.status) == 0);
    EXPECT_LT(exit.peakKilobytes, kFlatKilobytes);
}

}  // namespace
