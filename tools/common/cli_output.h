// How both command-line programs write what they print: every write checked, and a failed one
// told on standard error with the reason, so a full disk or a closed output never passes silently.
#pragma once

#include <string>

// Writes `text` to standard output and flushes it. On failure prints one line on standard error,
// "PROGRAM: cannot write: REASON", and returns false.
bool WriteStdout(const char* program, const std::string& text);
