// Fuzz target: the three tools' command lines as the tools check them before they write anything
// (tools::CheckSimRun, demo::CheckDemoRun, preview::CheckPreviewRun), in a scratch folder holding
// a scenario, a plug-in stand-in, a folder, a file and a picture of the user's. The first byte picks
// the tool, the rest is its argument vector, arguments separated by NUL bytes. Whatever the
// arguments:
//   - the exit status of a refusal is one of those the tool's --help lists, and its message, as the
//     tool prints it, is one line without a control character;
//   - nothing in the folder is touched (made, changed or removed): the checks only look;
//   - a command line that is accepted is refused once any of its single options is given again, or
//     a path option is given an empty path, with the exit status of a bad command line, naming it.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "arguments.h"
#include "sim/game/text_escape.h"
#include "sim/platform/files.h"
#include "tools/demo/demo_check.h"
#include "tools/kov_sim_options.h"
#include "tools/preview/preview_check.h"
#include "work_dir.h"

namespace {

namespace fs = std::filesystem;

[[noreturn]] void Violation(const char* what, const std::string& detail) {
    std::fprintf(stderr, "tool checks: %s\n%.2000s\n", what, detail.c_str());
    std::abort();
}

// The statuses a help text lists after "exit status:": every number that starts one of its items.
std::set<int> ExitStatuses(const std::string& help) {
    std::set<int> statuses;
    const size_t start = help.find("exit status:");
    if (start == std::string::npos) Violation("a --help without its exit statuses", help);
    for (size_t i = start + 12; i < help.size(); ++i) {
        const bool itemStart = (help[i - 1] == ' ' || help[i - 1] == '\n') &&
                               (help[i - 2] == ':' || help[i - 2] == ';' || help[i - 2] == ',');
        if (itemStart && help[i] >= '0' && help[i] <= '9') statuses.insert(help[i] - '0');
    }
    if (statuses.count(0) == 0 || statuses.count(2) == 0) Violation("a --help without statuses 0 and 2", help);
    return statuses;
}

// Every file below the scratch folder with its bytes; folders as "/".
std::map<std::string, std::string> Snapshot() {
    std::map<std::string, std::string> files;
    for (const fs::directory_entry& entry : fs::recursive_directory_iterator(".")) {
        files[entry.path().string()] = entry.is_directory() ? "/" : sim::ReadFileBytes(entry.path()).value_or("?");
    }
    return files;
}

void Seed() {
    static bool seeded = false;
    if (seeded) return;
    seeded = true;
    const std::map<std::string, std::string> files = {
        {"s.json", R"({"world": {"street": "Alta St"}, "steps": [{"label": "a", "frames": 2}, {"label": "b"}]})"},
        {"bad.json", R"({"steps": [{"frames": 0}]})"},
        {"p.so", "not a plug-in, but a regular file"},
        {"f", "the user's"},
        {"out/01-a.png", "the user's picture"},
        {"d/KOV.log", "a run's"},
    };
    for (const auto& [name, bytes] : files) {
        fs::create_directories(fs::path(name).parent_path().empty() ? "." : fs::path(name).parent_path());
        if (!sim::WriteFileBytes(name, bytes)) Violation("cannot seed the scratch folder", name);
    }
}

struct Tool {
    const char* name;
    std::string help;
    std::vector<const char*> single;  // options given at most once, with a value
    std::vector<const char*> paths;   // options that take a path
};

template <typename Checked>
void CheckAnswer(const Tool& tool, const Checked& checked, const std::set<int>& statuses) {
    if (checked.run) return;
    if (statuses.count(checked.exitCode) == 0 || checked.exitCode == 0)
        Violation("an exit status --help does not list", tool.name + std::string(": ") + checked.message);
    if (checked.message.empty()) Violation("a refusal without a message", tool.name);
    for (const char c : sim::TerminalText(checked.message)) {
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) Violation("a message not on one line", checked.message);
    }
}

template <typename Check>
void Exercise(const Tool& tool, Check check, const std::vector<std::string>& args) {
    static std::map<std::string, std::set<int>> statusesOf;
    if (statusesOf.count(tool.name) == 0) statusesOf[tool.name] = ExitStatuses(tool.help);
    const std::set<int>& statuses = statusesOf[tool.name];

    const std::map<std::string, std::string> before = Snapshot();
    const auto checked = check(args);
    CheckAnswer(tool, checked, statuses);
    if (Snapshot() != before) Violation("the checks touched a file", tool.name);
    if (!checked.run || checked.run->options.help) return;

    const auto refusedAsUsage = [&](std::vector<std::string> more, const char* option, const char* what) {
        more.insert(more.begin(), args.begin(), args.end());
        const auto again = check(more);
        if (again.run || again.exitCode != tools::kExitUsage || again.message.find(option) == std::string::npos)
            Violation(what, std::string(tool.name) + " " + option + ": " + again.message);
    };
    for (const char* option : tool.single) refusedAsUsage({option, "x", option, "y"}, option, "an option given twice");
    for (const char* option : tool.paths) refusedAsUsage({option, ""}, option, "an empty path taken");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    const fuzz::InScratchDirectory inScratch;
    Seed();
    const std::vector<std::string> args = fuzz::Arguments(data + 1, size - 1);
    static const Tool simTool{"kov-sim",
                              tools::SimHelp(),
                              {"--plugin", "--trace", "--log", "--workdir"},
                              {"--plugin", "--trace", "--log", "--workdir"}};
    static const Tool demoTool{"kov-demo", tools::DemoHelp(), {"--out", "--size", "--plugin"}, {"--out", "--plugin"}};
    static const Tool previewTool{"kov-preview",
                                  preview::PreviewHelp(),
                                  {"--ini", "--street", "--zone", "--pos", "--zoom", "--plugin", "-o"},
                                  {"--ini", "--plugin", "-o"}};
    switch (data[0] % 3) {
        case 0: Exercise(simTool, tools::CheckSimRun, args); break;
        case 1: Exercise(demoTool, demo::CheckDemoRun, args); break;
        default: Exercise(previewTool, preview::CheckPreviewRun, args); break;
    }
    return 0;
}
