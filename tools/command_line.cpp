// Parsing messages and --help text shared by the tools.
#include "tools/command_line.h"

#include <filesystem>
#include <system_error>

namespace tools {

namespace {

constexpr size_t kHelpWidth = 88;  // characters of an explanation per line
constexpr const char* kHelpIndent = "      ";

// Words of a text in lines of at most width characters, each line after an indent.
std::string Wrap(const std::string& text, size_t width, const std::string& indent) {
    std::string out, line;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find(' ', start);
        if (end == std::string::npos) end = text.size();
        const std::string word = text.substr(start, end - start);
        if (!line.empty() && line.size() + 1 + word.size() > width) {
            out += indent + line + "\n";
            line.clear();
        }
        line += (line.empty() ? "" : " ") + word;
        start = end + 1;
    }
    return out + indent + line + "\n";
}

}  // namespace

std::string FormatHelp(const ToolHelp& help) {
    std::string text;
    for (size_t i = 0; i < help.usages.size(); ++i) {
        text += std::string(i == 0 ? "usage: " : "       ") + help.tool + " " + help.usages[i] + "\n";
    }
    text +=
        "\n" + std::string(help.description) + "\n\noptions (each at most once unless it says it may be repeated):\n";
    for (const OptionHelp& option : help.options) {
        text +=
            std::string("  ") + option.name + (option.value != nullptr ? std::string(" ") + option.value : "") + "\n";
        text +=
            Wrap(std::string(option.help) + (option.repeatable ? " (may be repeated)" : ""), kHelpWidth, kHelpIndent);
    }
    if (help.closing != nullptr && *help.closing != '\0') text += "\n" + std::string(help.closing);
    return text;
}

sim::Status SetPath(const char* what, const std::string& value, std::string& field) {
    if (value.empty()) return sim::Failure(std::string(what) + " wants a path, got an empty one");
    if (value.size() > sim::kMaxPathBytes) {
        return sim::Failure(std::string(what) + " wants a path of at most " + std::to_string(sim::kMaxPathBytes) +
                            " characters, got " + sim::QuoteInput(value));
    }
    field = value;
    return {};
}

sim::Status CheckOutputPath(const char* what, const std::string& path, bool folderMadeByTool) {
    namespace fs = std::filesystem;
    std::error_code error;
    if (fs::is_directory(path, error))
        return sim::Failure(std::string(what) + " " + sim::QuoteInput(path) + " is a folder");
    if (folderMadeByTool) return {};
    const fs::path folder = fs::absolute(path, error).parent_path();
    if (!fs::is_directory(folder, error)) {
        return sim::Failure(std::string(what) + " " + sim::QuoteInput(path) + ": no folder " +
                            sim::QuoteInput(folder.string()) + " to write it in");
    }
    return {};
}

namespace detail {

sim::Status UnknownOption(const std::string& argument) {
    return sim::Failure("unknown option " + sim::QuoteInput(argument) + " (see --help)");
}

sim::Status MissingValue(const char* name, const char* value) {
    return sim::Failure(std::string(name) + " needs a value: " + value);
}

sim::Status UnexpectedArgument(const std::string& argument) {
    return sim::Failure("unexpected argument " + sim::QuoteInput(argument) + " (see --help)");
}

sim::Status GivenTwice(const char* name) {
    return sim::Failure(std::string(name) + " is given twice; give it once (see --help)");
}

bool LooksLikeOption(const std::string& argument) { return argument.size() > 1 && argument[0] == '-'; }

}  // namespace detail

}  // namespace tools
