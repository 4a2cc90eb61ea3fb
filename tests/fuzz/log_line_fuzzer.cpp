// Fuzz target: LogLine with long formats and long arguments. The file must afterwards hold what it
// held before, then the formatted line cut to 511 characters, then one line end; a file that
// cannot be opened (here a directory) drops the line.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include <sys/stat.h>

#include "config/process_log.h"
#include "host/script_hook.h"
#include "sim/platform/files.h"
#include "work_dir.h"

namespace {

constexpr size_t kMaxPieceBytes = 1024;
constexpr size_t kMaxArgumentBytes = 2048;
constexpr size_t kLineCapacity = 511;
constexpr int kMaxWidth = 700;
constexpr const char* kLogName = "fuzz.log";
constexpr const char* kDirectoryName = "a-directory";

[[noreturn]] void Violation(const char* what) {
    std::fprintf(stderr, "log line: %s\n", what);
    std::abort();
}

// A literal piece of a format: no terminator inside, each '%' escaped. `shown` receives what the
// piece prints.
std::string Literal(FuzzedDataProvider& bytes, std::string* shown) {
    std::string format;
    for (char c : bytes.ConsumeRandomLengthString(kMaxPieceBytes)) {
        if (c == '\0') continue;
        shown->push_back(c);
        format.push_back(c);
        if (c == '%') format.push_back('%');
    }
    return format;
}

// A text argument as the formatter sees it: up to its first terminator.
std::string Argument(FuzzedDataProvider& bytes) {
    const std::string raw = bytes.ConsumeRandomLengthString(kMaxArgumentBytes);
    return raw.substr(0, raw.find('\0'));
}

// Formats one line in one of four shapes and returns what it should print.
std::string LogOneLine(FuzzedDataProvider& bytes, const char* file) {
    std::string shown;
    std::string format = Literal(bytes, &shown);
    switch (bytes.ConsumeIntegralInRange(0, 3)) {
        case 0: LogLine(file, format.c_str()); return shown;
        case 1: {
            const std::string text = Argument(bytes);
            shown += text;
            format += "%s" + Literal(bytes, &shown);
            LogLine(file, format.c_str(), text.c_str());
            return shown;
        }
        case 2: {
            const std::string first = Argument(bytes);
            const int number = bytes.ConsumeIntegral<int>();
            const std::string second = Argument(bytes);
            shown += first;
            format += "%s" + Literal(bytes, &shown);
            shown += std::to_string(number);
            format += "%d" + Literal(bytes, &shown);
            shown += second;
            format += "%s" + Literal(bytes, &shown);
            LogLine(file, format.c_str(), first.c_str(), number, second.c_str());
            return shown;
        }
        default: {
            const int width = bytes.ConsumeIntegralInRange(0, kMaxWidth);
            const std::string text = Argument(bytes);
            shown += text;
            if (text.size() < static_cast<size_t>(width)) shown.append(static_cast<size_t>(width) - text.size(), ' ');
            format += "%-*s" + Literal(bytes, &shown);
            LogLine(file, format.c_str(), width, text.c_str());
            return shown;
        }
    }
}

}  // namespace

void scriptWait(DWORD) { Violation("LogLine waited"); }

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    const fuzz::InScratchDirectory inScratch;
    if (mkdir(kDirectoryName, 0755) != 0) Violation("cannot make the directory");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const fuzz::InScratchDirectory inScratch;
    FuzzedDataProvider bytes(data, size);
    if (bytes.ConsumeBool()) {
        LogOneLine(bytes, kDirectoryName);
        struct stat status {};
        if (stat(kDirectoryName, &status) != 0 || !S_ISDIR(status.st_mode)) Violation("the directory was replaced");
        return 0;
    }
    const std::string before = bytes.ConsumeRandomLengthString(kMaxPieceBytes);
    if (!sim::WriteFileBytes(kLogName, before)) Violation("cannot write the earlier log");
    const std::string line = LogOneLine(bytes, kLogName);
    const std::optional<std::string> after = sim::ReadFileBytes(kLogName);
    if (!after || *after != before + line.substr(0, kLineCapacity) + "\n")
        Violation("the file is not old + line + end");
    return 0;
}
