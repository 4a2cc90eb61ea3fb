// KOV.log: each line opens the file for appending, writes and closes it, so nothing is held open.
#include "config/process_log.h"

#include <cstdarg>
#include <cstdio>

#include "host/script_hook.h"
#include "kov_version.h"
#include "text/bounded_text.h"

constexpr size_t kLogLineCapacity = 512;
constexpr DWORD kHeaderWaitMs = 100;

constexpr const char* kModuleName = "KOV.asi";
constexpr const char* kProductName = "Wayglass";

void LogLine(const char* file, const char* format, ...) {
    char line[kLogLineCapacity];
    va_list args;
    va_start(args, format);
    FormatTextV(line, sizeof line, format, args);
    va_end(args);

    FILE* log = std::fopen(file, "a");
    if (log == nullptr) return;
    std::fprintf(log, "%s\n", line);
    std::fclose(log);
}

void WriteLogHeader() {
    std::remove(kLogFile);
    LogLine(kLogFile, "==================================================");
    LogLine(kLogFile, "        TORVEK SYSTEMS PROCESS LOG (V-ASI)        ");
    LogLine(kLogFile, "==================================================");
    LogLine(kLogFile, "MOD\t%s", kModuleName);
    LogLine(kLogFile, "NAM\t%s", kProductName);
    LogLine(kLogFile, "VER\t[ %s ]", kVersion);
    LogLine(kLogFile, "--------------------------------------------------");
    LogLine(kLogFile, " ");
    scriptWait(kHeaderWaitMs);
}
