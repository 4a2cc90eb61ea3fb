// kov-sim: runs the plug-in through a scenario in the simulated host and prints, for each step,
// what the last frame of the step drew and the feed posts of the step; optionally writes the full
// trace and the plug-in's log.
#include <cstdio>
#include <cstring>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "sim/host/frame_summary.h"
#include "sim/platform/plugin_module.h"
#include "sim/scenario/scenario.h"
#include "sim/scenario/scenario_run.h"
#include "sim/host/trace_line.h"
#include "tools/guarded_main.h"

namespace {

constexpr int kExitFailedRun = 1;
constexpr int kExitUsage = 2;
constexpr int kExitBadScenario = 3;

const char kUsage[] =
    "usage: kov-sim SCENARIO.json [--plugin PATH] [--trace FILE] [--log FILE] [--workdir DIR] [--frames] [--quiet]\n"
    "\n"
    "Runs the plug-in through the scenario in the simulated host and prints what the last frame\n"
    "of each step drew (texts with their normalised positions, rectangles) and the feed posts\n"
    "made during the step.\n"
    "\n"
    "  --plugin PATH   the plug-in to load (default: the one beside this program)\n"
    "  --trace FILE    write every native call and wait of the run, one per line\n"
    "  --log FILE      copy the KOV.log the plug-in wrote\n"
    "  --workdir DIR   run in DIR and leave KOV.ini and KOV.log there; DIR must not hold either\n"
    "                  already (default: a temporary directory, removed after the run)\n"
    "  --frames        print every frame instead, as a person reads the screen: each line of text\n"
    "                  (colour codes as <yellow>...</yellow>), then each of its texts with its position\n"
    "  --quiet         print nothing but errors\n"
    "\n"
    "Exit status: 0 done, 1 the run failed, 2 bad command line, 3 bad scenario.\n";

struct Options {
    std::string scenario;
    std::string plugin;
    std::string trace;
    std::string log;
    std::string workDir;
    bool frames = false;
    bool quiet = false;
};

// Parses the command line; false (with a message printed) when it is not usable.
bool ParseOptions(int argc, char** argv, Options& options, bool& help) {
    struct ValueOption {
        const char* name;
        std::string Options::*field;
    };
    static const ValueOption kValueOptions[] = {
        {"--plugin",  &Options::plugin},
        {"--trace",   &Options::trace},
        {"--log",     &Options::log},
        {"--workdir", &Options::workDir},
    };
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            help = true;
            return true;
        }
        if (arg == "--frames") {
            options.frames = true;
            continue;
        }
        if (arg == "--quiet") {
            options.quiet = true;
            continue;
        }
        const ValueOption* matched = nullptr;
        for (const ValueOption& option : kValueOptions) {
            if (arg == option.name) matched = &option;
        }
        if (matched != nullptr) {
            if (i + 1 >= argc) {
                std::fprintf(stderr, "kov-sim: %s needs a value\n", matched->name);
                return false;
            }
            options.*matched->field = argv[++i];
        } else if (arg.size() > 1 && arg[0] == '-') {
            std::fprintf(stderr, "kov-sim: unknown option %s\n", arg.c_str());
            return false;
        } else if (options.scenario.empty()) {
            options.scenario = arg;
        } else {
            std::fprintf(stderr, "kov-sim: more than one scenario given (%s)\n", arg.c_str());
            return false;
        }
    }
    if (options.scenario.empty()) {
        std::fprintf(stderr, "kov-sim: no scenario given\n");
        return false;
    }
    return true;
}

std::string Position(float x, float y) {
    return "(" + sim::FormatFloat(x, 6) + ", " + sim::FormatFloat(y, 6) + ")";
}

void PrintText(const sim::DrawnText& text) {
    const sim::TextState& s = text.state;
    std::printf("  text %s%s scale %s font %d rgba %d %d %d %d%s%s%s %s\n", Position(text.x, text.y).c_str(),
                sim::AlignmentTag(text.align).c_str(), sim::FormatFloat(s.scale, 6).c_str(), s.font, s.r, s.g, s.b, s.a,
                s.centred ? " centred" : "", s.proportional ? " proportional" : "", s.outline ? " outline" : "",
                sim::QuoteText(text.text).c_str());
}

void PrintRect(const sim::DrawnRect& rect) {
    std::printf("  rect centre %s%s size %s rgba %d %d %d %d\n", Position(rect.x, rect.y).c_str(),
                sim::AlignmentTag(rect.align).c_str(), Position(rect.w, rect.h).c_str(), rect.r, rect.g, rect.b, rect.a);
}

// Prints and writes the run as it happens, keeping only what the output still needs: the trace
// goes to its file line by line; per step, the first frame's number, the last frame and the feed
// posts (printed after the last frame's drawing); with --frames, nothing.
class StreamingOutput : public sim::ScenarioObserver {
public:
    StreamingOutput(const Options& options, std::ofstream* trace) : options_(options), trace_(trace) {}

    void StepStarted(size_t step, const std::string& label) override {
        stepFrames_ = 0;
        feed_.clear();
        if (Printing() && options_.frames) std::printf("step %zu \"%s\"\n", step + 1, label.c_str());
    }

    void Traced(const sim::TraceEntry& entry) override {
        if (trace_ != nullptr) {
            *trace_ << '[' << entry.frame << ' ' << entry.timeMs << "ms] " << entry.line << '\n';
        }
    }

    void FrameDone(const sim::Frame& frame) override {
        if (!Printing()) return;
        if (options_.frames) {
            std::printf("%s", sim::SummariseFrame(frame).c_str());
            return;
        }
        if (stepFrames_++ == 0) firstIndex_ = frame.index;
        last_ = frame;
        // A feed post is an event, not something redrawn each frame: those of the whole step are listed.
        for (const sim::FeedPost& post : frame.feedPosts) {
            feed_ += "  feed (frame " + std::to_string(frame.index) + ") " + sim::QuoteText(post.text) + "\n";
        }
    }

    void StepEnded(size_t step, const sim::StepResult& result) override {
        if (!Printing() || options_.frames || stepFrames_ == 0) return;
        std::printf("step %zu \"%s\": frames %d-%d, last at %u ms\n", step + 1, result.label.c_str(), firstIndex_,
                    last_.index, last_.timeMs);
        for (const sim::DrawnText& text : last_.texts) PrintText(text);
        for (const sim::DrawnRect& rect : last_.rects) PrintRect(rect);
        if (last_.texts.empty() && last_.rects.empty()) std::printf("  (nothing drawn)\n");
        std::printf("%s", feed_.c_str());
    }

private:
    bool Printing() const { return !options_.quiet; }

    const Options& options_;
    std::ofstream* trace_;
    size_t stepFrames_ = 0;
    int firstIndex_ = 0;
    sim::Frame last_;
    std::string feed_;
};

bool WriteLines(const std::string& path, const std::vector<std::string>& lines) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    for (const std::string& line : lines) out << line << '\n';
    out.close();
    if (out.fail()) std::fprintf(stderr, "kov-sim: cannot write %s\n", path.c_str());
    return !out.fail();
}

int Run(int argc, char** argv) {
    Options options;
    bool help = false;
    if (!ParseOptions(argc, argv, options, help)) {
        std::fprintf(stderr, "%s", kUsage);
        return kExitUsage;
    }
    if (help) {
        std::printf("%s", kUsage);
        return 0;
    }

    std::string error;
    const std::optional<sim::Scenario> scenario = sim::LoadScenarioFile(options.scenario, &error);
    if (!scenario) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return kExitBadScenario;
    }
    std::ofstream trace;
    if (!options.trace.empty()) {
        trace.open(options.trace, std::ios::binary | std::ios::trunc);
        if (!trace) {
            std::fprintf(stderr, "kov-sim: cannot write %s\n", options.trace.c_str());
            return kExitFailedRun;
        }
    }

    if (!options.quiet && !scenario->description.empty()) std::printf("%s\n", scenario->description.c_str());
    StreamingOutput output(options, options.trace.empty() ? nullptr : &trace);
    sim::ScenarioRunOptions runOptions;
    runOptions.pluginPath = options.plugin.empty() ? sim::DefaultPluginPath() : options.plugin;
    runOptions.workDir = options.workDir;
    runOptions.observer = &output;
    runOptions.keepHistory = false;
    const sim::ScenarioResult result = sim::RunScenario(*scenario, runOptions);

    bool written = true;
    if (!options.trace.empty()) {
        trace.close();
        if (trace.fail()) std::fprintf(stderr, "kov-sim: cannot write %s\n", options.trace.c_str());
        written = !trace.fail();
    }
    if (!options.log.empty()) written = WriteLines(options.log, result.logLines) && written;
    if (!result.ok) {
        std::fprintf(stderr, "kov-sim: the run failed: %s\n", result.error.c_str());
        return kExitFailedRun;
    }
    return written ? 0 : kExitFailedRun;
}

}  // namespace

int main(int argc, char** argv) {
    return tools::GuardedMain("kov-sim", [&] { return Run(argc, argv); });
}
