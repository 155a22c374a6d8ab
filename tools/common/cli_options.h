// How both command-line programs read their options, each program from one table of them. An
// option comes once, by its long name or its short one ("-h" is "--help"); one that takes a value
// has it next or after '=' ("--seed 5" or "--seed=5"); "--" ends the options. --help, then
// --version, anywhere on the line wins over the rest of it, unless the line holds an option the
// program does not know. What an option means is the program's own.
#pragma once

#include <functional>
#include <set>
#include <string>
#include <vector>

// One option of a program's table. From the table follow which options take a value, the
// reading of each, the options --help lists, what each cannot be used with, and the known
// option a mistyped one was meant to be.
struct CliOption {
  std::string name;   // the long name: "--seeds"
  char shortName;     // 'h' for "-h", or 0
  std::string value;  // the name of its value in --help ("A:B"), or "" when it takes none
  std::string help;   // what it does, as one paragraph that --help wraps
  // Reads its value (or, taking none, notes that it was given): "" or what is wrong with it.
  // Empty: the option is only noted as given.
  std::function<std::string(const std::string& value)> read;
  std::vector<std::string> notWith = {};  // options it cannot be used with: one of a pair names it
  std::string why = "";  // what it does instead, said before "it cannot be used with ..."; or ""
};

struct CliReading {
  enum Ask { kRun, kHelp, kVersion } ask = kRun;
  std::set<std::string> given;  // the options read, by their long names
  std::string wrong;            // "" or the first thing wrong, without the program's name
};

// The reading of an option that takes no value and sets a flag of the program's to `to`.
std::function<std::string(const std::string&)> Sets(bool& flag, bool to = true);

// The two options every program ends its table with: -h, --help and -V, --version.
CliOption HelpOption();
CliOption VersionOption();

// Reads argv[1..argc-1] against `options`, in order, handing each option's value to its `read`
// while nothing is wrong yet. An option it does not know is named first, with the known one it
// was perhaps meant to be; else --help or --version, where given, is what is asked, whatever else
// is wrong; else the first thing wrong in order, or two options that cannot be used together.
// Options and values are named as typed, escaped where needed.
CliReading ReadCliOptions(int argc, const char* const* argv, const std::vector<CliOption>& options);

// The options of `options` that `option` cannot be used with, whichever side of the pair names
// the other, in the table's order.
std::vector<std::string> NotWith(const std::vector<CliOption>& options, const CliOption& option);

// "did you mean '--seeds'?" for an option typed one edit (a letter added, dropped, changed or two
// swapped) away from a known one, or in another case, or cut short of one; "" when none is near.
// Several as near are all named ("'--verify' or '--version'").
std::string NearMiss(const std::string& typed, const std::vector<CliOption>& options);
