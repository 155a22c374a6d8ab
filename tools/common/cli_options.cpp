#include "cli_options.h"

#include <algorithm>
#include <map>

#include "cli_text.h"

namespace {

// One argument as it was typed: "--seed=5" is the option --seed with the value 5 attached.
struct Typed {
  std::string name;  // as typed, without an attached value: "-h", "--seed"
  bool attached = false;
  std::string value;  // with `attached`, what follows the first '=', perhaps ""
};

Typed TypedOption(const std::string& argument) {
  Typed typed;
  typed.name = argument;
  size_t equals = argument.find('=');
  // Only a long option carries its value after '=': "--=5" and "-h=1" are names of their own,
  // which no program knows.
  if (argument.compare(0, 2, "--") == 0 && equals != std::string::npos && equals > 2) {
    typed.name = argument.substr(0, equals);
    typed.attached = true;
    typed.value = argument.substr(equals + 1);
  }
  return typed;
}

const CliOption* Known(const std::vector<CliOption>& options, const std::string& name) {
  for (const CliOption& option : options) {
    if (name == option.name || (option.shortName && name == std::string{'-', option.shortName})) {
      return &option;
    }
  }
  return nullptr;
}

// The walk through the line: what was read so far, and what it asks.
struct Walk {
  explicit Walk(const std::vector<CliOption>& table) : options(table) {}
  const std::vector<CliOption>& options;
  CliReading reading;
  std::map<std::string, std::string> firstTyped;  // long name -> how it was typed first
  std::string unknown;                            // the first option not in the table
  bool help = false, version = false;
  bool optionsEnded = false;  // after "--"
};

void Note(Walk& walk, const std::string& wrong) {
  if (walk.reading.wrong.empty()) walk.reading.wrong = wrong;
}

// "-h given twice", or "--help given twice, once as -h" when the two spellings differ.
std::string GivenTwice(const std::string& first, const std::string& second) {
  return first + " given twice" + (first == second ? "" : ", once as " + second);
}

// One known option and its value, if it takes one. The value goes with its option whatever else
// is wrong, so that it is never taken for an option of its own.
void ReadKnown(Walk& walk, const CliOption& option, const Typed& typed, int argc,
               const char* const* argv, int& at) {
  bool takesValue = !option.value.empty();
  bool missing = takesValue && !typed.attached && at + 1 >= argc;
  std::string value = typed.attached ? typed.value : takesValue && !missing ? argv[++at] : "";
  if (option.name == "--help") walk.help = true;
  if (option.name == "--version") walk.version = true;
  if (walk.firstTyped.count(option.name)) {
    Note(walk, GivenTwice(walk.firstTyped[option.name], typed.name));
  } else if (typed.attached && !takesValue) {
    Note(walk, typed.name + " takes no value (given " + Quoted(value) + ")");
  } else if (missing) {
    Note(walk, typed.name + " needs a value");
  } else {
    walk.firstTyped[option.name] = typed.name;
    walk.reading.given.insert(option.name);
    if (walk.reading.wrong.empty() && option.read) Note(walk, option.read(value));
  }
}

void ReadArgument(Walk& walk, int argc, const char* const* argv, int& at) {
  std::string argument = argv[at];
  if (argument == "--" && !walk.optionsEnded) {
    walk.optionsEnded = true;
  } else if (walk.optionsEnded || argument.size() < 2 || argument[0] != '-') {
    // Neither program takes anything but options.
    Note(walk, "unexpected argument " + Quoted(argument) + (walk.optionsEnded ? " after --" : "") +
                   " (see --help)");
  } else {
    Typed typed = TypedOption(argument);
    const CliOption* option = Known(walk.options, typed.name);
    if (option) {
      ReadKnown(walk, *option, typed, argc, argv, at);
    } else if (walk.unknown.empty()) {
      walk.unknown = typed.name;
    }
  }
}

// Two options given that cannot be used together, the first by the table's order that names the
// other: "--verify reports ...: it cannot be used with --json", or "--seed cannot be used with
// --at" when it says no more.
std::string Clash(const std::vector<CliOption>& options, const std::set<std::string>& given) {
  for (const CliOption& option : options) {
    if (!given.count(option.name)) continue;
    for (const std::string& other : option.notWith) {
      if (!given.count(other)) continue;
      return (option.why.empty() ? option.name : option.why + ": it") + " cannot be used with " +
             other;
    }
  }
  return "";
}

}  // namespace

std::function<std::string(const std::string&)> Sets(bool& flag, bool to) {
  return [&flag, to](const std::string&) {
    flag = to;
    return std::string();
  };
}

CliOption HelpOption() {
  return {"--help", 'h', "", "print this text", nullptr};
}

CliOption VersionOption() {
  return {"--version", 'V', "", "print the version", nullptr};
}

CliReading ReadCliOptions(int argc, const char* const* argv,
                          const std::vector<CliOption>& options) {
  Walk walk(options);
  for (int at = 1; at < argc; ++at) ReadArgument(walk, argc, argv, at);
  CliReading& reading = walk.reading;
  if (!walk.unknown.empty()) {
    std::string near = NearMiss(walk.unknown, options);
    // Help was asked for and is not given: say where it is.
    std::string advice = near.empty() ? "see --help" : walk.help ? near + " see --help" : near;
    reading.wrong = "unknown option " + Quoted(walk.unknown) + " (" + advice + ")";
  } else if (walk.help || walk.version) {
    reading.ask = walk.help ? CliReading::kHelp : CliReading::kVersion;
    reading.wrong = "";
  } else if (reading.wrong.empty()) {
    reading.wrong = Clash(options, reading.given);
  }
  return reading;
}

std::vector<std::string> NotWith(const std::vector<CliOption>& options, const CliOption& option) {
  std::vector<std::string> others;
  for (const CliOption& other : options) {
    const std::vector<std::string>& theirs = other.notWith;
    bool named =
        std::find(option.notWith.begin(), option.notWith.end(), other.name) != option.notWith.end();
    if (named || std::find(theirs.begin(), theirs.end(), option.name) != theirs.end()) {
      others.push_back(other.name);
    }
  }
  return others;
}
