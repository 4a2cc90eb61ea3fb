// Fuzz target: the scenario loader and runner, as kov-sim and kov-demo use them. The bytes are a
// scenario file. Loading must end in a scenario or a message: one line per problem, in plain
// ASCII, no more lines than the loader lists, each of bounded length (input is quoted cut). A
// scenario that loads has no key twice in any object (by a reader of its own here), runs its steps
// in the simulated host with the real plug-in for a few frames, and its steps are read back as many
// as it counted. No crash, no hang, memory within libFuzzer's limit, whatever the bytes.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <set>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "sim/input_limits.h"
#include "sim/platform/plugin_module.h"
#include "sim/scenario/scenario.h"
#include "sim/scenario/scenario_run.h"

namespace {

constexpr const char* kFileName = "fuzz.json";
constexpr size_t kMaxFrames = 48;
// A line names the file, a path of at most kMaxNestingDepth members (each plain and short, or
// quoted: at most four characters a byte), and a few words with at most one quoted value.
constexpr size_t kMaxLineBytes = sim::kMaxNestingDepth * (4 * sim::kMaxQuotedChars + 32) + 1024;

[[noreturn]] void Violation(const char* what, const std::string& detail) {
    std::fprintf(stderr, "scenario: %s\n%.2000s\n", what, detail.c_str());
    std::abort();
}

void CheckMessage(const std::string& message) {
    if (message.empty()) Violation("a rejection without a message", message);
    size_t lines = 0;
    size_t start = 0;
    while (start <= message.size()) {
        size_t end = message.find('\n', start);
        if (end == std::string::npos) end = message.size();
        const std::string line = message.substr(start, end - start);
        ++lines;
        if (line.compare(0, std::char_traits<char>::length(kFileName), kFileName) != 0) {
            Violation("a line that does not name the file", line);
        }
        if (line.size() > kMaxLineBytes) Violation("a line longer than the limits allow", line);
        for (const char c : line) {
            if (c < 0x20 || c > 0x7E) Violation("a line that is not plain ASCII", line);
        }
        start = end + 1;
    }
    if (lines > sim::kMaxListedProblems + 1) Violation("more lines than the problems listed", message);
}

// Whether any object of the text gives a key twice: the keys of each open object in a set.
struct DuplicateFinder : nlohmann::json_sax<nlohmann::json> {
    std::vector<std::set<std::string>> open;
    bool found = false;

    bool null() override { return true; }
    bool boolean(bool) override { return true; }
    bool number_integer(number_integer_t) override { return true; }
    bool number_unsigned(number_unsigned_t) override { return true; }
    bool number_float(number_float_t, const string_t&) override { return true; }
    bool string(string_t&) override { return true; }
    bool binary(binary_t&) override { return true; }
    bool start_object(std::size_t) override {
        open.emplace_back();
        return true;
    }
    bool key(string_t& name) override {
        found = found || !open.back().insert(name).second;
        return true;
    }
    bool end_object() override {
        open.pop_back();
        return true;
    }
    bool start_array(std::size_t) override {
        open.emplace_back();
        return true;
    }
    bool end_array() override {
        open.pop_back();
        return true;
    }
    bool parse_error(std::size_t, const std::string&, const nlohmann::detail::exception&) override { return false; }
};

bool HasDuplicateKey(const uint8_t* data, size_t size) {
    DuplicateFinder finder;
    nlohmann::json::sax_parse(data, data + size, &finder);
    return finder.found;
}

// Stops the run after a few frames: a step may ask for millions.
class FewFrames : public sim::ScenarioObserver {
public:
    sim::Status StepStarted(size_t, const std::string&) override { return {}; }
    sim::Status Traced(const sim::TraceEntry&) override { return {}; }
    sim::Status FrameDone(const sim::Frame&) override {
        if (++frames_ >= kMaxFrames) return sim::Failure("enough frames");
        return {};
    }
    sim::Status StepEnded(size_t, const sim::StepResult&) override { return {}; }

private:
    size_t frames_ = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const sim::Result<sim::Scenario> scenario =
        sim::ParseScenario(std::string(reinterpret_cast<const char*>(data), size), kFileName);
    if (!scenario) {
        CheckMessage(scenario.error());
        return 0;
    }
    if (HasDuplicateKey(data, size)) Violation("a key given twice loaded", scenario->file);
    size_t steps = 0;
    sim::ForEachStep(*scenario, [&](size_t index, const sim::ScenarioStep& step) {
        if (index != steps++ || step.frames < 1 || step.frames > sim::kMaxStepFrames)
            Violation("a step read back wrong", step.label);
        return true;
    });
    if (steps != scenario->stepCount || steps == 0)
        Violation("the steps read back are not those counted", std::to_string(steps));

    FewFrames few;
    sim::ScenarioRunOptions run;
    run.pluginPath = sim::DefaultPluginPath();
    run.observer = &few;
    run.keepHistory = false;
    const sim::ScenarioResult result = sim::RunScenario(*scenario, run);
    // The plug-in is at home in any world a scenario can describe: the run ends only where it was stopped.
    if (!result.status.ok() && result.status.error() != "enough frames")
        Violation("the run failed", result.status.error());
    return 0;
}
