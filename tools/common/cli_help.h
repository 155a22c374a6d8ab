// The --help text of both command-line programs, made from the program's table of options, every
// line within 79 columns so that it reads whole in an 80-column terminal.
#pragma once

#include <string>
#include <vector>

#include "cli_exit.h"
#include "cli_options.h"

constexpr size_t kHelpWidth = 79;

// `text` broken at its spaces into lines of at most kHelpWidth columns, the first starting with
// `head` (padded with spaces to `indent`, or alone on its line when longer), the others indented
// by `indent`; each '\n' of `text` starts a new line.
std::string Wrapped(const std::string& head, const std::string& text, size_t indent);

struct HelpPage {
  const char* program;              // "vorel-census"
  std::vector<std::string> usages;  // each after the name: "[OPTION]..."
  std::string about;                // what the program does, a paragraph
  ExitCode highest;                 // the last exit code it gives, as listed in cli_exit.h
};

// The usage lines, what the program does, one entry per option in the table's order (with the
// options it cannot be used with), how options are written, and the exit codes.
std::string HelpText(const HelpPage& page, const std::vector<CliOption>& options);
