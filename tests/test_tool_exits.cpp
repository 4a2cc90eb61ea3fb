// The tools and the benchmarks' host on their ways out: the one temporary folder goes on every one
// (a signal, a failed run, a closed pipe, an abort), an interrupted or refused run leaves the
// earlier outputs as they were, a write that fails ends the tool with exit status 1 and a message,
// and memory stays flat however many steps, frames and stops there are.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include "sim/platform/files.h"
#include "sim_harness.h"

namespace {

namespace fs = std::filesystem;

struct Exit {
    int status = 0;
    long peakKilobytes = 0;
    std::string errors;  // what it wrote to stderr
};

// How a child is launched: its program and arguments, its environment additions, where its stdout
// goes (a file, or a pipe whose reading end is already closed when pipeClosed).
struct Launch {
    std::string program;
    std::vector<std::string> args;
    std::vector<std::pair<std::string, std::string>> env;
    std::string stdoutFile = "/dev/null";
    bool pipeClosed = false;
};

// Starts the child with TMPDIR set to tmp, so every temporary file it makes lands there; its
// stderr goes to errors.
pid_t StartTool(const Launch& launch, const fs::path& tmp, const fs::path& errors) {
    int pipeEnds[2] = {-1, -1};
    if (launch.pipeClosed && pipe(pipeEnds) != 0) return -1;
    std::fflush(nullptr);  // nothing buffered here is written twice
    const pid_t child = fork();
    if (child != 0) {
        if (launch.pipeClosed) close(pipeEnds[0]), close(pipeEnds[1]);
        return child;
    }
    setenv("TMPDIR", tmp.c_str(), 1);
    for (const auto& [name, value] : launch.env) setenv(name.c_str(), value.c_str(), 1);
    signal(SIGPIPE, SIG_DFL);  // as a shell starts a program
    std::vector<char*> argv{const_cast<char*>(launch.program.c_str())};
    for (const std::string& arg : launch.args) argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    const int out = launch.pipeClosed ? pipeEnds[1] : open(launch.stdoutFile.c_str(), O_WRONLY);
    const int err = open(errors.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (launch.pipeClosed) close(pipeEnds[0]);
    if (out < 0 || err < 0 || dup2(out, STDOUT_FILENO) < 0 || dup2(err, STDERR_FILENO) < 0) _exit(126);
    execv(launch.program.c_str(), argv.data());
    _exit(127);
}

Exit WaitFor(pid_t child, const fs::path& errors) {
    Exit exit;
    rusage usage{};
    wait4(child, &exit.status, 0, &usage);
    exit.peakKilobytes = usage.ru_maxrss;
    exit.errors = sim::ReadFileBytes(errors).value_or("");
    return exit;
}

// Everything below a folder, at any depth.
size_t EntriesIn(const fs::path& dir) {
    return static_cast<size_t>(
        std::distance(fs::recursive_directory_iterator(dir), fs::recursive_directory_iterator()));
}

bool ExitedWith(const Exit& exit, int code) { return WIFEXITED(exit.status) && WEXITSTATUS(exit.status) == code; }

class ToolExits : public simtest::PluginTest {
protected:
    fs::path Write(const std::string& name, const std::string& text) {
        const fs::path path = workDir() / name;
        EXPECT_TRUE(sim::WriteFileBytes(path, text)) << path;
        return path;
    }
    // A scenario of `steps` steps of `frames` frames each; stops unless their labels start with "(".
    fs::path Scenario(int steps, int frames, const std::string& labelPrefix = "") {
        std::string text = R"({"world": {"street": "Alta St", "zone": "DOWNT"}, "steps": [)";
        for (int i = 0; i < steps; ++i) {
            text += std::string(i == 0 ? "" : ",") + R"({"label": ")" + labelPrefix + "stop " + std::to_string(i) +
                    R"(", "frames": )" + std::to_string(frames) + "}";
        }
        return Write("scenario-" + std::to_string(steps) + "x" + std::to_string(frames) + ".json", text + "]}");
    }
    fs::path Tmp() {
        const fs::path tmp = workDir() / "tmp";
        fs::remove_all(tmp);
        fs::create_directories(tmp);
        return tmp;
    }
    Exit Run(const Launch& launch, const fs::path& tmp) {
        const fs::path errors = workDir() / "stderr.txt";
        return WaitFor(StartTool(launch, tmp, errors), errors);
    }
    Launch KovSim(std::vector<std::string> args) {
        args.insert(args.end(), {"--plugin", simtest::PluginPath()});
        return {KOV_SIM_PATH, args};
    }
};

// Only INT, TERM, HUP and QUIT once cleaned up; USR1, ALRM and the others left the folder behind.
// An interrupted run leaves the files it was writing as they were, and no part of them.
TEST_F(ToolExits, SignalsLeaveNoTemporaryFilesAndTheEarlierOutputs) {
    const fs::path outputs = workDir() / "outputs";
    fs::create_directories(outputs);
    const std::map<std::string, std::string> earlier = {{"keep.trace", "earlier trace\n"},
                                                        {"keep.log", "earlier log\n"}};
    for (int signal : {SIGINT, SIGTERM, SIGHUP, SIGSEGV, SIGUSR1, SIGALRM, SIGXCPU, SIGRTMIN + 1}) {
        SCOPED_TRACE(strsignal(signal));
        for (const auto& [name, bytes] : earlier) ASSERT_TRUE(sim::WriteFileBytes(outputs / name, bytes));
        const fs::path tmp = Tmp();
        const fs::path errors = workDir() / "stderr.txt";
        const pid_t child =
            StartTool(KovSim({Scenario(1, 10000000).string(), "--trace", (outputs / "keep.trace").string(), "--log",
                              (outputs / "keep.log").string()}),
                      tmp, errors);
        // Mid-run once the folder holds the plug-in's copy and the run's folder.
        for (int wait = 0; wait < 500 && EntriesIn(tmp) < 3; ++wait)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        ASSERT_GE(EntriesIn(tmp), 3u);
        ASSERT_EQ(std::distance(fs::directory_iterator(tmp), fs::directory_iterator()), 1) << "one temporary folder";
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        kill(child, signal);
        const Exit exit = WaitFor(child, errors);
        EXPECT_TRUE(WIFSIGNALED(exit.status) && WTERMSIG(exit.status) == signal) << "ends by the signal, as before";
        EXPECT_EQ(EntriesIn(tmp), 0u);
        std::map<std::string, std::string> left;
        for (const auto& entry : fs::directory_iterator(outputs))
            left[entry.path().filename().string()] = sim::ReadFileBytes(entry.path()).value_or("?");
        EXPECT_EQ(left, earlier);
    }
}

// A killed kov-demo once left a picture of 0 bytes, which its next run then refused as a file it
// did not write.
TEST_F(ToolExits, AnInterruptedDemoLeavesWholePicturesAndTheNextRunWorks) {
    const fs::path out = workDir() / "demo";
    const Launch demo{
        KOV_DEMO_PATH,
        {Scenario(400, 3).string(), "--size", "320x240", "--out", out.string(), "--plugin", simtest::PluginPath()}};
    const fs::path tmp = Tmp(), errors = workDir() / "stderr.txt";
    const pid_t child = StartTool(demo, tmp, errors);
    for (int wait = 0; wait < 1000 && (!fs::exists(out) || EntriesIn(out) < 20); ++wait)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    kill(child, SIGINT);
    const Exit interrupted = WaitFor(child, errors);
    ASSERT_TRUE(WIFSIGNALED(interrupted.status)) << interrupted.errors;
    for (const auto& entry : fs::directory_iterator(out)) {
        const std::string name = entry.path().filename().string();
        EXPECT_EQ(name.find(".part"), std::string::npos) << name;
        if (entry.path().extension() == ".png") EXPECT_GT(fs::file_size(entry.path()), 100u) << name;
    }
    const Exit next = Run(demo, Tmp());
    EXPECT_TRUE(ExitedWith(next, 0)) << next.errors;
}

// A refused run once emptied its --trace and --log before it gave up; a TMPDIR it cannot use gave
// a library's exception.
TEST_F(ToolExits, ARefusedRunLeavesTheEarlierOutputs) {
    const fs::path trace = Write("keep.trace", "earlier trace\n"), log = Write("keep.log", "earlier log\n");
    const fs::path notAFolder = Write("file", "");
    const struct {
        const char* name;
        std::vector<std::string> args;
        std::vector<std::pair<std::string, std::string>> env;
        const char* message;
        std::string plugin = simtest::PluginPath();
    } cases[] = {
        {"a work folder that cannot be", {"--workdir", (notAFolder / "sub").string()}, {}, "is not a folder"},
        {"a plug-in that is none", {}, {}, "cannot load the plug-in", (workDir() / "missing.so").string()},
        {"TMPDIR a file", {}, {{"TMPDIR", notAFolder.string()}}, "kov-sim: TMPDIR=\""},
        {"TMPDIR empty", {}, {{"TMPDIR", ""}}, "kov-sim: TMPDIR=\"\" is empty"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Launch launch{
            KOV_SIM_PATH,
            {Scenario(1, 10).string(), "--trace", trace.string(), "--log", log.string(), "--plugin", c.plugin}};
        launch.args.insert(launch.args.end(), c.args.begin(), c.args.end());
        launch.env = c.env;
        const Exit exit = Run(launch, Tmp());
        EXPECT_TRUE(ExitedWith(exit, 1)) << exit.errors;
        EXPECT_NE(exit.errors.find(c.message), std::string::npos) << exit.errors;
        EXPECT_EQ(std::count(exit.errors.begin(), exit.errors.end(), '\n'), 1) << "one line: " << exit.errors;
        EXPECT_EQ(sim::ReadFileBytes(trace), "earlier trace\n");
        EXPECT_EQ(sim::ReadFileBytes(log), "earlier log\n");
    }
}

// A full disk and a closed pipe once went unnoticed (exit 0) or ended the tool by SIGPIPE.
TEST_F(ToolExits, AFailedWriteEndsWithExitOneAndAMessage) {
    const std::string tour = std::string(KOV_SOURCE_DIR) + "/scenarios/tour.json";
    const fs::path fullDisk = workDir() / "full.png";
    fs::create_symlink("/dev/full", fullDisk);
    const struct {
        const char* name;
        Launch launch;
        const char* message;
    } cases[] = {
        {"stdout on a full disk",
         {KOV_SIM_PATH, {tour}, {}, "/dev/full"},
         "kov-sim: cannot write the standard output: No space left on device"},
        {"stdout into a closed pipe",
         {KOV_SIM_PATH, {tour}, {}, "", true},
         "kov-sim: cannot write the standard output: Broken pipe"},
        {"trace on a full disk",
         {KOV_SIM_PATH, {tour, "--quiet", "--trace", "/dev/full"}},
         "kov-sim: the run failed: cannot write /dev/full: No space left on device"},
        {"log on a full disk",
         {KOV_SIM_PATH, {tour, "--quiet", "--log", "/dev/full"}},
         "kov-sim: cannot write /dev/full: No space left on device"},
        {"preview report into a closed pipe",
         {KOV_PREVIEW_PATH, {"--report", "--size", "1920x1080", "--safe-zone", "1"}, {}, "", true},
         "kov-preview: cannot write the standard output: Broken pipe"},
        {"preview picture on a full disk", {KOV_PREVIEW_PATH, {"-o", fullDisk.string()}}, "No space left on device"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Launch launch = c.launch;
        launch.args.insert(launch.args.end(), {"--plugin", simtest::PluginPath()});
        const fs::path tmp = Tmp();
        const Exit exit = Run(launch, tmp);
        EXPECT_TRUE(ExitedWith(exit, 1)) << exit.status << "\n" << exit.errors;
        EXPECT_NE(exit.errors.find(c.message), std::string::npos) << exit.errors;
        EXPECT_EQ(EntriesIn(tmp), 0u);
    }
}

TEST_F(ToolExits, FailedRunsLeaveNoTemporaryFiles) {
    const fs::path notAPlugin = Write("not-a-plugin.so", "text");
    const fs::path tmp = Tmp();
    const Exit exit = Run({KOV_SIM_PATH, {Scenario(1, 10).string(), "--plugin", notAPlugin.string()}}, tmp);
    EXPECT_TRUE(ExitedWith(exit, 1));
    EXPECT_EQ(EntriesIn(tmp), 0u);
}

// The benchmarks' host stops at a fault with the simulated host's message; the abort that stops it
// once left its folder and the plug-in's copy behind.
TEST_F(ToolExits, TheMinimalHostsAbortLeavesNoTemporaryFiles) {
    const fs::path tmp = Tmp();
    const Exit exit = Run(
        {KOV_BENCH_FRAMES_PATH, {"1"}, {{"KOV_PLUGIN", KOV_WRONG_FORM_DIR "/KOV-wrong-entity-dead-short.so"}}}, tmp);
    EXPECT_TRUE(WIFSIGNALED(exit.status) && WTERMSIG(exit.status) == SIGABRT) << exit.status;
    EXPECT_NE(
        exit.errors.find("minimal host: native 0x5F9532F3B5CC2551 (entity dead) reads argument slot 2, which call "),
        std::string::npos)
        << exit.errors;
    EXPECT_NE(exit.errors.find(" of frame "), std::string::npos) << exit.errors;
    EXPECT_EQ(EntriesIn(tmp), 0u);
}

// Peak memory once grew with the run: 924 MB for 20 000 frames (every frame and call kept), 68 MB
// per 10 000 steps (a world kept per step), 27 KB per frame of a tour in kov-demo (every frame
// kept until the pictures were drawn at the end).
TEST_F(ToolExits, MemoryStaysFlatInStepsFramesAndStops) {
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "the sanitizers' quarantine holds freed memory, so the peak says nothing here";
#endif
    constexpr long kFlatKilobytes = 64 * 1024;
    const fs::path out = workDir() / "demo";
    const struct {
        const char* name;
        Launch launch;
    } cases[] = {
        {"one step of 20 000 frames", KovSim({Scenario(1, 20000).string(), "--trace", "/dev/null"})},
        {"50 000 steps of one frame", KovSim({Scenario(50000, 1).string()})},
        {"a tour of 1 000 stops",
         {KOV_DEMO_PATH,
          {Scenario(1000, 3).string(), "--size", "320x240", "--out", out.string(), "--plugin", simtest::PluginPath()}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const Exit exit = Run(c.launch, Tmp());
        ASSERT_TRUE(ExitedWith(exit, 0)) << exit.errors;
        EXPECT_LT(exit.peakKilobytes, kFlatKilobytes);
    }
}

}  // namespace
