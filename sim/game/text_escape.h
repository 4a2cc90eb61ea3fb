// Texts shown with their control characters escaped, for the trace and for a tool's printout.
#pragma once

#include <string>

namespace sim {

// How EscapeText shows a text. Quoted (the trace): quotes and backslashes escaped, every byte
// outside printable ASCII as \xNN. Terminal (what a tool prints): control characters (C0, DEL,
// C1) and bytes that are no UTF-8 as \xNN, the rest as it is, so that no text moves the cursor,
// clears the screen or starts a line of its own.
enum class TextEscape { Quoted, Terminal };
std::string EscapeText(const std::string& text, TextEscape escape);
// A text as a tool prints it to a terminal.
std::string TerminalText(const std::string& text);

}  // namespace sim
