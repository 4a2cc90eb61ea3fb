// kov-bench-scenario: the time a scenario takes to read (ParseScenario, then its steps read back
// as a run reads them) per member, for each shape of document the limits allow, at 10,000 and
// 100,000 members and at as many as the file limit holds. Reading costs time in proportion to the
// size: the time per member of the largest document must stay within kMaxGrowth of the smallest.
// CPU time of the fastest of a few readings (the machine is shared; CPU time is what load
// distorts least). Exits 1 when a shape grows faster than that.
#include <ctime>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "sim/input_limits.h"
#include "sim/scenario/scenario.h"

namespace {

constexpr double kMaxGrowth = 3.0;
constexpr int kReadings = 3;
const size_t kCounts[] = {10000, 100000};

// A document of `count` members: head, the members joined by commas, tail.
struct Shape {
    const char* name;
    const char* head;
    std::string (*member)(size_t index);
    const char* tail;
    bool accepted;  // whether such a document loads (the others are refused, every member a problem)
};

std::string Ped(size_t i) {
    return "\"" + std::to_string(i + 1) + "\": {\"pos\": [1.5, -2.25, 30], \"heading\": 90, \"dead\": false}";
}
std::string Vehicle(size_t i) {
    return "\"" + std::to_string(i + 1) + "\": {\"kind\": \"car\", \"model\": \"RHINO\", \"heading\": 180}";
}
// Slots past the 32 there are: each is a problem, counted past the first hundred.
std::string Player(size_t i) { return "\"" + std::to_string(i) + "\": {\"team\": 1, \"name\": \"p\"}"; }
std::string Step(size_t i) {
    return "{\"frames\": 1, \"world\": {\"players\": {\"" + std::to_string(i % 32) + "\": {\"team\": 2}}}}";
}
std::string Empty(size_t) { return "{}"; }
// Fields a ped does not have: each is a problem.
std::string Unknown(size_t i) { return "\"u" + std::to_string(i) + "\": 0"; }
// Nested as deep as the limit allows, below the two levels of the document and its field.
std::string Nested(size_t) {
    const int depth = sim::kMaxNestingDepth - 2;
    return std::string(depth, '[') + "0" + std::string(depth, ']');
}

const Shape kShapes[] = {
    {"peds", "{\"world\": {\"peds\": {", Ped, "}}, \"steps\": [{\"frames\": 1}]}", true},
    {"vehicles", "{\"world\": {\"vehicles\": {", Vehicle, "}}, \"steps\": [{\"frames\": 1}]}", true},
    {"players", "{\"world\": {\"players\": {", Player, "}}, \"steps\": [{\"frames\": 1}]}", false},
    {"steps", "{\"steps\": [", Step, "]}", true},
    {"unknown field", "{\"unknown\": [", Empty, "], \"steps\": [{\"frames\": 1}]}", false},
    {"unknown fields", "{\"world\": {\"peds\": {\"1\": {", Unknown, "}}}, \"steps\": [{\"frames\": 1}]}", false},
    {"nesting", "{\"unknown\": [", Nested, "], \"steps\": [{\"frames\": 1}]}", false},
};

std::string Document(const Shape& shape, size_t count) {
    std::string text = shape.head;
    for (size_t i = 0; i < count; ++i) text += (i == 0 ? "" : ",\n") + shape.member(i);
    return text + shape.tail;
}

// As many members as a file of kMaxInputFileBytes holds: members differ only in a number below ten
// million, so none is longer than the longest of these.
size_t MostMembers(const Shape& shape) {
    const size_t fixed = std::string(shape.head).size() + std::string(shape.tail).size();
    size_t perMember = 0;
    for (const size_t index : {31, 9999999}) perMember = std::max(perMember, shape.member(index).size() + 2);
    return (sim::kMaxInputFileBytes - fixed) / perMember;
}

double CpuSeconds() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

// The fastest reading, in seconds; false when the document did not load or fail as the shape says.
bool Read(const Shape& shape, const std::string& text, double& fastest) {
    fastest = 1e300;
    for (int reading = 0; reading < kReadings; ++reading) {
        const double start = CpuSeconds();
        const sim::Result<sim::Scenario> scenario = sim::ParseScenario(text, "bench.json");
        size_t steps = 0;
        if (scenario) sim::ForEachStep(*scenario, [&](size_t, const sim::ScenarioStep&) { return ++steps > 0; });
        fastest = std::min(fastest, CpuSeconds() - start);
        if (static_cast<bool>(scenario) != shape.accepted) {
            std::fprintf(stderr, "kov-bench-scenario: %s: %s\n", shape.name,
                         scenario ? "loaded, but should be refused" : scenario.error().substr(0, 300).c_str());
            return false;
        }
    }
    return true;
}

}  // namespace

int main() {
    std::printf("Reading a scenario, CPU time, fastest of %d readings\n", kReadings);
    std::printf("%-14s %9s %10s %9s %13s\n", "shape", "members", "bytes", "ms", "ns per member");
    bool met = true;
    for (const Shape& shape : kShapes) {
        std::vector<size_t> counts(std::begin(kCounts), std::end(kCounts));
        counts.push_back(MostMembers(shape));
        std::vector<double> perMember;
        for (const size_t count : counts) {
            const std::string text = Document(shape, count);
            double seconds = 0;
            if (text.size() > sim::kMaxInputFileBytes) {
                std::fprintf(stderr, "kov-bench-scenario: %s: %zu bytes, past the file limit\n", shape.name,
                             text.size());
                return 1;
            }
            if (!Read(shape, text, seconds)) return 1;
            perMember.push_back(seconds * 1e9 / static_cast<double>(count));
            std::printf("%-14s %9zu %10zu %9.1f %13.0f\n", shape.name, count, text.size(), seconds * 1e3,
                        perMember.back());
        }
        const double growth = perMember.back() / perMember.front();
        const bool linear = growth <= kMaxGrowth;
        met = met && linear;
        std::printf("%-14s growth %.2f from the smallest to the largest  %s\n", shape.name, growth,
                    linear ? "ok" : "OVER TARGET");
    }
    std::printf("Target: the time per member grows at most %.1f times from the smallest document to the largest.\n",
                kMaxGrowth);
    return met ? 0 : 1;
}
