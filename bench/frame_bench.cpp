// kov-bench: the cost of one plug-in frame against its native-call floor, for each measured frame,
// with the plug-in running in the minimal host. Prints Google Benchmark's table, then a summary:
// CPU ns per frame for the frame and its floor (the fastest repetition of each: the machine is
// shared, and CPU time is what a busy machine distorts least), their ratio, the plug-in's own time
// (frame minus floor) and the native calls per frame.
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "bench/frame_cases.h"
#include "bench/minimal_host.h"
#include "tools/guarded_main.h"

namespace {

using bench::FrameCase;
using bench::kFrameCases;

constexpr int kRepetitions = 20;
constexpr double kMaxFloorRatio = 1.5;
constexpr const char* kSwitchName = "switch/empty_pass";

const char* pluginPath = KOV_PLUGIN_PATH;
const FrameCase* loadedCase = nullptr;
bench::Recording recording;
bench::Recording secondRecording;

// Loads the case unless it is the one loaded, and records its steady pass (twice, to prove that
// consecutive passes make the same calls: otherwise frame and floor would measure different work).
void EnsureCase(const FrameCase& frameCase) {
    if (loadedCase == &frameCase) return;
    if (!bench::PrepareCase(frameCase, pluginPath)) std::exit(1);
    bench::RecordPluginPass(&recording);
    bench::RecordPluginPass(&secondRecording);
    if (!bench::SameCalls(recording, secondRecording)) {
        std::fprintf(stderr, "kov-bench: %s does not repeat the same calls every pass\n", frameCase.name);
        std::exit(1);
    }
    loadedCase = &frameCase;
}

void SetCallCounters(benchmark::State& state) {
    state.counters["natives"] = recording.callCount;
    state.counters["platform"] = recording.platformCallCount;
}

void FramePass(benchmark::State& state, const FrameCase* frameCase) {
    EnsureCase(*frameCase);
    for (auto _ : state) bench::RunPluginPass();
    SetCallCounters(state);
}

void FloorPass(benchmark::State& state, const FrameCase* frameCase) {
    EnsureCase(*frameCase);
    for (auto _ : state) bench::ReplayPass(recording);
    SetCallCounters(state);
}

void SwitchPass(benchmark::State& state) {
    for (auto _ : state) bench::EmptyPass();
}

double Fastest(const std::vector<double>& values) { return *std::min_element(values.begin(), values.end()); }

struct Measured {
    std::string name;
    double ns;
    double natives;
};

// The console report, keeping the fastest repetition of each benchmark for the summary.
class SummaryReporter : public benchmark::ConsoleReporter {
public:
    std::vector<Measured> fastest;

    SummaryReporter() : ConsoleReporter(isatty(STDOUT_FILENO) ? OO_ColorTabular : OO_Tabular) {}

    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            if (run.run_type != Run::RT_Aggregate || run.aggregate_name != "min") continue;
            const auto natives = run.counters.find("natives");
            fastest.push_back({run.run_name.function_name, run.GetAdjustedCPUTime(),
                               natives != run.counters.end() ? natives->second.value : 0.0});
        }
    }
};

const Measured* Find(const std::vector<Measured>& all, const std::string& name) {
    for (const Measured& m : all) {
        if (m.name == name) return &m;
    }
    return nullptr;
}

void PrintSummary(const std::vector<Measured>& all) {
    const Measured* fiberSwitch = Find(all, kSwitchName);
    const double switchNs = fiberSwitch != nullptr ? fiberSwitch->ns : 0.0;
    std::printf(
        "\nPer frame, CPU time, fastest of %d repetitions. A frame and its floor each include one fiber\n"
        "switch onto the script and back (%.0f ns here); the ratio leaves it out of both.\n",
        kRepetitions, switchNs);
    std::printf("%-24s %9s %9s %7s %11s %10s %8s\n", "frame", "frame ns", "floor ns", "ratio", "plug-in ns",
                "target ns", "natives");
    for (const FrameCase& c : kFrameCases) {
        const Measured* frame = Find(all, std::string("frame/") + c.name);
        const Measured* floor = Find(all, std::string("floor/") + c.name);
        if (frame == nullptr || floor == nullptr) continue;  // filtered out
        const double ratio = (frame->ns - switchNs) / (floor->ns - switchNs);
        const double own = frame->ns - floor->ns;
        const bool met = ratio <= kMaxFloorRatio && own < c.ownTimeTargetNs;
        std::printf("%-24s %9.0f %9.0f %7.2f %11.0f %10.0f %8.0f  %s\n", c.name, frame->ns, floor->ns, ratio, own,
                    c.ownTimeTargetNs, frame->natives, met ? "ok" : "OVER TARGET");
    }
    std::printf("Targets: ratio <= %.1f; plug-in's own time (frame - floor) below the target column.\n",
                kMaxFloorRatio);
}

// Repeated runs, reported as aggregates, the fastest among them kept for the summary.
void Measure(benchmark::internal::Benchmark* b) {
    b->Repetitions(kRepetitions)
        ->ReportAggregatesOnly(true)
        ->ComputeStatistics("min", Fastest)
        ->MinTime(0.05)
        ->Unit(benchmark::kNanosecond);
}

}  // namespace

int main(int argc, char** argv) {
    tools::RemoveTemporaryFilesOnSignals();  // a stop of the host is an abort: its files go too
    if (const char* overridden = std::getenv("KOV_PLUGIN"); overridden != nullptr && *overridden != '\0') {
        pluginPath = overridden;
    }
    // Repetitions of all benchmarks run in random order, so that a frame and its floor meet the
    // same changes in machine load; flags given on the command line still come after this one.
    std::vector<char*> args(argv, argv + argc);
    char interleave[] = "--benchmark_enable_random_interleaving=true";
    args.insert(args.begin() + 1, interleave);
    argc = static_cast<int>(args.size());
    argv = args.data();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    if (!bench::EnterScratchDirectory()) return 1;

    Measure(benchmark::RegisterBenchmark(kSwitchName, SwitchPass));
    for (const FrameCase& c : kFrameCases) {
        Measure(benchmark::RegisterBenchmark((std::string("frame/") + c.name).c_str(), FramePass, &c));
        Measure(benchmark::RegisterBenchmark((std::string("floor/") + c.name).c_str(), FloorPass, &c));
    }
    SummaryReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    bench::UnloadPlugin();
    bench::LeaveScratchDirectory();
    PrintSummary(reporter.fastest);
    return 0;
}
