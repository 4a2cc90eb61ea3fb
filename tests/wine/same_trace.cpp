// Runs under Wine: one scenario twice in one process, the second time with another settings file
// in place of the scenario's, and fails unless both runs trace the same calls: the second file must
// load to what the scenario's gives (the shipped KOV.ini against an empty one: exactly the
// defaults, through the system lookup). The second run is a first load too (tests/load_afresh).
// Usage: same-trace SCENARIO.json --ini FILE
#include <cstdio>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "sim/platform/files.h"
#include "sim/platform/plugin_module.h"
#include "sim/scenario/scenario.h"
#include "sim/scenario/scenario_run.h"

namespace {

std::vector<std::string> TraceLines(const sim::ScenarioResult& result) {
    std::vector<std::string> lines;
    for (const sim::TraceEntry& entry : result.trace) {
        lines.push_back(std::to_string(entry.frame) + " " + std::to_string(entry.timeMs) + " " + entry.line);
    }
    return lines;
}

bool SameTrace(const sim::ScenarioResult& first, const sim::ScenarioResult& second) {
    const std::vector<std::string> a = TraceLines(first), b = TraceLines(second);
    for (size_t i = 0; i < a.size() || i < b.size(); ++i) {
        const std::string left = i < a.size() ? a[i] : "(end)", right = i < b.size() ? b[i] : "(end)";
        if (left != right) {
            std::printf("FAIL: the second run differs at trace line %zu:\n  first:  %s\n  second: %s\n", i + 1,
                        left.c_str(), right.c_str());
            return false;
        }
    }
    std::printf("PASS: both runs traced the same %zu lines\n", a.size());
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 4 || std::strcmp(argv[2], "--ini") != 0) {
        std::fprintf(stderr, "usage: same-trace SCENARIO.json --ini FILE\n");
        return 2;
    }
    const sim::Result<sim::Scenario> scenario = sim::LoadScenarioFile(argv[1]);
    if (!scenario) {
        std::fprintf(stderr, "%s\n", scenario.error().c_str());
        return 2;
    }
    sim::Scenario second = *scenario;
    second.ini = sim::ReadFileBytes(argv[3]);
    if (!second.ini) {
        std::fprintf(stderr, "cannot read %s\n", argv[3]);
        return 2;
    }
    sim::ScenarioRunOptions options;
    options.pluginPath = sim::DefaultPluginPath();
    const sim::ScenarioResult firstRun = sim::RunScenario(*scenario, options);
    const sim::ScenarioResult secondRun = sim::RunScenario(second, options);
    for (const sim::ScenarioResult* run : {&firstRun, &secondRun}) {
        if (!run->status.ok()) {
            std::printf("FAIL: a run failed: %s\n", run->status.error().c_str());
            return 1;
        }
    }
    return SameTrace(firstRun, secondRun) ? 0 : 1;
}
