// The tools' command lines: one table of options per tool drives both the parser and --help, so
// every tool takes its arguments, reports a bad one and explains itself the same way.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "sim/input_limits.h"
#include "sim/result.h"

namespace tools {

// What --help shows of an option.
struct OptionHelp {
    const char* name;
    const char* value;  // what the value looks like; nullptr for a switch
    const char* help;
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

template <typename Options>
struct Option {
    const char* name;   // "--size", "-o"
    const char* value;  // what the value looks like; nullptr for a switch
    const char* help;
    sim::Status (*apply)(const std::string& value, Options& options);
};

// An argument that is not an option: the tool's operand (a scenario file), or null when it takes none.
template <typename Options>
using TakeOperand = sim::Status (*)(const std::string& argument, Options& options);

// Sets field to a path given for `what` (an option's name, or "the scenario"), if it is at most
// kMaxPathBytes long.
sim::Status SetPath(const char* what, const std::string& value, std::string& field);

namespace detail {
sim::Status UnknownOption(const std::string& argument);
sim::Status MissingValue(const char* name, const char* value);
sim::Status UnexpectedArgument(const std::string& argument);
bool LooksLikeOption(const std::string& argument);
}  // namespace detail

// Parses the arguments (without the program name) in order; the first problem ends the parse with
// a one-line message. Parsing stops after the option named "--help".
template <typename Options, size_t N>
sim::Status ParseArguments(const std::vector<std::string>& args, const Option<Options> (&table)[N],
                           TakeOperand<Options> takeOperand, Options& options) {
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
    for (const Option<Options>& option : table) rows.push_back({option.name, option.value, option.help});
    return rows;
}

}  // namespace tools
