// kov-bench-frames FRAMES: runs FRAMES empty script passes (the fiber switch alone), then FRAMES
// plug-in passes and FRAMES floor replays of each measured frame in the minimal host. Under
// callgrind each run is counted alone (statistics zeroed before it, dumped after it as "switch",
// "<case> frame" or "<case> floor"), which gives deterministic instructions per frame;
// bench/callgrind.sh reads the dumps. Prints one line per case: name, native calls per frame,
// platform calls per frame.
#include <valgrind/callgrind.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "bench/frame_cases.h"
#include "bench/minimal_host.h"
#include "tools/guarded_main.h"

namespace {

bench::Recording recording;

// noinline keeps the counted windows tight around the loops.
[[gnu::noinline]] void RunFrames(int frames) {
    for (int i = 0; i < frames; ++i) bench::RunPluginPass();
}

[[gnu::noinline]] void RunFloor(int frames) {
    for (int i = 0; i < frames; ++i) bench::ReplayPass(recording);
}

[[gnu::noinline]] void RunEmpty(int frames) {
    for (int i = 0; i < frames; ++i) bench::EmptyPass();
}

}  // namespace

int main(int argc, char** argv) {
    tools::RemoveTemporaryFilesOnSignals();  // a stop of the host is an abort: its files go too
    const int frames = argc > 1 ? std::atoi(argv[1]) : 0;
    if (frames <= 0) {
        std::fprintf(stderr, "usage: %s FRAMES\n", argv[0]);
        return 2;
    }
    const char* overridden = std::getenv("KOV_PLUGIN");
    const char* pluginPath = overridden != nullptr && *overridden != '\0' ? overridden : KOV_PLUGIN_PATH;
    if (!bench::EnterScratchDirectory()) return 1;

    bench::EmptyPass();  // the fiber's stack is set up outside the counted run
    CALLGRIND_ZERO_STATS;
    RunEmpty(frames);
    CALLGRIND_DUMP_STATS_AT("switch");

    for (const bench::FrameCase& c : bench::kFrameCases) {
        if (!bench::PrepareCase(c, pluginPath)) return 1;
        bench::RecordPluginPass(&recording);
        const std::string frameLabel = std::string(c.name) + " frame";
        const std::string floorLabel = std::string(c.name) + " floor";

        CALLGRIND_ZERO_STATS;
        RunFrames(frames);
        CALLGRIND_DUMP_STATS_AT(frameLabel.c_str());
        CALLGRIND_ZERO_STATS;
        RunFloor(frames);
        CALLGRIND_DUMP_STATS_AT(floorLabel.c_str());

        std::printf("%s %d %d\n", c.name, recording.callCount, recording.platformCallCount);
    }
    bench::UnloadPlugin();
    bench::LeaveScratchDirectory();
    return 0;
}
