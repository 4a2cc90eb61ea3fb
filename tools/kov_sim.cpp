// kov-sim: runs the plug-in through a scenario in the simulated host and prints, for each step,
// what the last frame of the step drew and the feed posts of the step; optionally writes the full
// trace and the plug-in's log.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "sim/game/frame_summary.h"
#include "sim/game/text_escape.h"
#include "sim/game/trace_line.h"
#include "sim/platform/files.h"
#include "sim/scenario/scenario.h"
#include "sim/scenario/scenario_run.h"
#include "tools/guarded_main.h"
#include "tools/kov_sim_options.h"

namespace {

using tools::kExitFailed;

std::string Position(float x, float y) { return "(" + sim::FormatFloat(x, 6) + ", " + sim::FormatFloat(y, 6) + ")"; }

void PrintText(const sim::DrawnText& text) {
    const sim::TextState& s = text.state;
    std::printf("  text %s%s scale %s font %d rgba %d %d %d %d%s%s%s %s\n", Position(text.x, text.y).c_str(),
                sim::AlignmentTag(text.align).c_str(), sim::FormatFloat(s.scale, 6).c_str(), s.font, s.r, s.g, s.b, s.a,
                s.centred ? " centred" : "", s.proportional ? " proportional" : "", s.outline ? " outline" : "",
                sim::QuoteText(text.text).c_str());
}

void PrintRect(const sim::DrawnRect& rect) {
    std::printf("  rect centre %s%s size %s rgba %d %d %d %d\n", Position(rect.x, rect.y).c_str(),
                sim::AlignmentTag(rect.align).c_str(), Position(rect.w, rect.h).c_str(), rect.r, rect.g, rect.b,
                rect.a);
}

// Prints and writes the run as it happens, keeping only what the output still needs: the trace
// goes to its file line by line; per step, the first frame's number, the last frame and the feed
// posts (printed after the last frame's drawing); with --frames, nothing. A write that fails ends
// the run.
class StreamingOutput : public sim::ScenarioObserver {
public:
    StreamingOutput(const tools::SimOptions& options, std::ofstream* trace) : options_(options), trace_(trace) {}

    sim::Status StepStarted(size_t step, const std::string& label) override {
        stepFrames_ = 0;
        feed_.clear();
        if (Printing() && options_.frames) std::printf("step %zu \"%s\"\n", step + 1, sim::TerminalText(label).c_str());
        return tools::CheckStandardOutput();
    }

    sim::Status Traced(const sim::TraceEntry& entry) override {
        if (trace_ == nullptr) return {};
        *trace_ << '[' << entry.frame << ' ' << entry.timeMs << "ms] " << entry.line << '\n';
        if (!*trace_) return sim::Failure("cannot write " + options_.trace + ": " + std::strerror(errno));
        return {};
    }

    sim::Status FrameDone(const sim::Frame& frame) override {
        if (!Printing()) return {};
        if (options_.frames) {
            std::printf("%s", sim::SummariseFrame(frame).c_str());
            return tools::CheckStandardOutput();
        }
        if (stepFrames_++ == 0) firstIndex_ = frame.index;
        last_ = frame;
        // A feed post is an event, not something redrawn each frame: those of the whole step are listed.
        for (const sim::FeedPost& post : frame.feedPosts) {
            feed_ += "  feed (frame " + std::to_string(frame.index) + ") " + sim::QuoteText(post.text) + "\n";
        }
        return {};
    }

    sim::Status StepEnded(size_t step, const sim::StepResult& result) override {
        if (!Printing() || options_.frames || stepFrames_ == 0) return {};
        std::printf("step %zu \"%s\": frames %d-%d, last at %u ms\n", step + 1, sim::TerminalText(result.label).c_str(),
                    firstIndex_, last_.index, last_.timeMs);
        for (const sim::DrawnText& text : last_.texts) PrintText(text);
        for (const sim::DrawnRect& rect : last_.rects) PrintRect(rect);
        if (last_.texts.empty() && last_.rects.empty()) std::printf("  (nothing drawn)\n");
        std::printf("%s", feed_.c_str());
        return tools::CheckStandardOutput();
    }

private:
    bool Printing() const { return !options_.quiet; }

    const tools::SimOptions& options_;
    std::ofstream* trace_;
    size_t stepFrames_ = 0;
    int firstIndex_ = 0;
    sim::Frame last_;
    std::string feed_;
};

sim::Status WriteLines(const std::string& path, const std::vector<std::string>& lines) {
    return sim::WriteWholeFile(path, [&](const std::filesystem::path& where) -> sim::Status {
        std::ofstream out(where, std::ios::binary | std::ios::trunc);
        for (const std::string& line : lines) out << line << '\n';
        out.close();
        if (out.fail()) return sim::Failure("cannot write " + path + ": " + std::strerror(errno));
        return {};
    });
}

int Failed(int exitCode, const std::string& message) {
    tools::PrintFailure("kov-sim", message);
    return exitCode;
}

// The trace goes to its file's temporary name as the run goes and is put in place once the run
// is over, with the log after it; an interrupted run leaves the earlier files as they were.
int Run(const tools::SimRun& run) {
    const tools::SimOptions& options = run.options;
    std::optional<sim::WholeFile> traceFile;
    std::ofstream trace;
    if (!options.trace.empty()) {
        traceFile.emplace(options.trace);
        trace.open(traceFile->path(), std::ios::binary | std::ios::trunc);
        if (!trace) return Failed(kExitFailed, "cannot write " + options.trace + ": " + std::strerror(errno));
    }

    if (!options.quiet && !run.scenario.description.empty())
        std::printf("%s\n", sim::TerminalText(run.scenario.description).c_str());
    StreamingOutput output(options, options.trace.empty() ? nullptr : &trace);
    sim::ScenarioRunOptions runOptions;
    runOptions.pluginPath = run.plugin;
    runOptions.workDir = options.workDir;
    runOptions.observer = &output;
    runOptions.keepHistory = false;
    const sim::ScenarioResult result = sim::RunScenario(run.scenario, runOptions);

    sim::Status written;
    if (traceFile) {
        trace.close();
        if (trace.fail()) written = sim::Failure("cannot write " + options.trace + ": " + std::strerror(errno));
    }
    // A run that failed still leaves its trace and log, whole, to show how it got there.
    if (traceFile && written) written = traceFile->Commit();
    if (!options.log.empty() && written) written = WriteLines(options.log, result.logLines);
    if (!tools::CheckStandardOutput()) return tools::kExitWriteFailed;  // GuardedMain says why
    if (!result.status.ok()) return Failed(kExitFailed, "the run failed: " + result.status.error());
    if (!written) return Failed(kExitFailed, written.error());
    return 0;
}

int CheckAndRun(int argc, char** argv) {
    const tools::Checked<tools::SimRun> checked = tools::CheckSimRun(std::vector<std::string>(argv + 1, argv + argc));
    if (!checked.run) return Failed(checked.exitCode, checked.message);
    if (checked.run->options.help) {
        std::printf("%s", tools::SimHelp().c_str());
        return 0;
    }
    return Run(*checked.run);
}

}  // namespace

int main(int argc, char** argv) {
    return tools::GuardedMain("kov-sim", [&] { return CheckAndRun(argc, argv); });
}
