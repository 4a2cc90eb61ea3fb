// The process log KOV.log: a fixed header at each script start, then one line per settings load.
#pragma once

constexpr const char* kLogFile = "KOV.log";

// Deletes the previous log, writes the eight header lines, then yields to the host for 100 ms.
void WriteLogHeader();
// Appends one printf-style line (cut at 511 characters) to the named file. A line that cannot be
// written is dropped.
void LogLine(const char* file, const char* format, ...);
