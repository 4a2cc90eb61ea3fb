// The tools' command lines: one table of options per tool drives both the parser and --help, so
// every tool takes its arguments, reports a bad one and explains itself the same way.
#pragma once

#include <cstddef>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "sim/input_limits.h"
#include "sim/result.h"

namespace tools {

// What --help shows of an option.
struct OptionHelp {
    const char* name;
    const char* value;  // what the value looks like; nullptr for a switch
    const char* help;
    bool repeatable;
};

// What --help shows of a tool: its usage lines (each after "usage: " or its indent), what it does,
// its options, and a closing part (examples, exit status). The explanations are wrapped.
struct ToolHelp {
    const char* tool;                 // "kov-sim"
    std::vector<const char*> usages;  // "SCENARIO.json [options]"
    const char* description;          // paragraphs separated by blank lines
    std::vector<OptionHelp> options;
    const char* closing;  // may be empty
};
std::string FormatHelp(const ToolHelp& help);

// Every option is given at most once, unless it is repeatable (its values add up); --help says so.
template <typename Options>
struct Option {
    const char* name;   // "--size", "-o"
    const char* value;  // what the value looks like; nullptr for a switch
    const char* help;
    sim::Status (*apply)(const std::string& value, Options& options);
    bool repeatable = false;
};

// The exit statuses every tool keeps; kov-sim adds kExitBadScenario.
constexpr int kExitDone = 0;
constexpr int kExitFailed = 1;  // the run failed, an input cannot be read or an output written
constexpr int kExitUsage = 2;   // a bad command line

// What a tool's checks make of its command line and inputs, before it writes anything: the run,
// ready to go, or the refusal with its exit status and one-line message.
template <typename Run>
struct Checked {
    std::optional<Run> run;
    int exitCode = kExitDone;
    std::string message;

    static Checked Ready(Run run) { return {std::move(run), kExitDone, std::string()}; }
    static Checked Refused(int code, std::string why) { return {std::nullopt, code, std::move(why)}; }
};

// Whether an output path can be written: its folder exists (or is made by the tool: madeFolder)
// and it names no folder. `what` names the option. Opens and makes nothing.
sim::Status CheckOutputPath(const char* what, const std::string& path, bool folderMadeByTool = false);

// An argument that is not an option: the tool's operand (a scenario file), or null when it takes none.
template <typename Options>
using TakeOperand = sim::Status (*)(const std::string& argument, Options& options);

// Sets field to a path given for `what` (an option's name, or "the scenario"), if it is not empty
// and at most kMaxPathBytes long.
sim::Status SetPath(const char* what, const std::string& value, std::string& field);

namespace detail {
sim::Status UnknownOption(const std::string& argument);
sim::Status MissingValue(const char* name, const char* value);
sim::Status UnexpectedArgument(const std::string& argument);
sim::Status GivenTwice(const char* name);
bool LooksLikeOption(const std::string& argument);
}  // namespace detail

// Parses the arguments (without the program name) in order; the first problem ends the parse with
// a one-line message. Parsing stops after the option named "--help".
template <typename Options, size_t N>
sim::Status ParseArguments(const std::vector<std::string>& args, const Option<Options> (&table)[N],
                           TakeOperand<Options> takeOperand, Options& options) {
    std::set<std::string> given;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& argument = args[i];
        const Option<Options>* option = nullptr;
        for (const Option<Options>& candidate : table) {
            if (argument == candidate.name) option = &candidate;
        }
        if (option == nullptr) {
            if (detail::LooksLikeOption(argument)) return detail::UnknownOption(argument);
            if (takeOperand == nullptr) return detail::UnexpectedArgument(argument);
            if (sim::Status taken = takeOperand(argument, options); !taken) return taken;
            continue;
        }
        if (!given.insert(option->name).second && !option->repeatable) return detail::GivenTwice(option->name);
        std::string value;
        if (option->value != nullptr) {
            if (i + 1 >= args.size()) return detail::MissingValue(option->name, option->value);
            value = args[++i];
        }
        if (sim::Status applied = option->apply(value, options); !applied) return applied;
        if (std::string(option->name) == "--help") break;
    }
    return {};
}

// The table as --help shows it.
template <typename Options, size_t N>
std::vector<OptionHelp> HelpOf(const Option<Options> (&table)[N]) {
    std::vector<OptionHelp> rows;
    for (const Option<Options>& option : table) {
        rows.push_back({option.name, option.value, option.help, option.repeatable});
    }
    return rows;
}

}  // namespace tools
