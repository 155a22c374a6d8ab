#include "cli_options.h"

#include <map>

#include "cli_text.h"

namespace {

// One argument as it was typed: "--seed=5" is the option --seed with the value 5 attached.
struct Typed {
  std::string name;    // as typed, without an attached value: "-h", "--seed"
  std::string option;  // its long name: "-h" is "--help"
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
  typed.option = typed.name == "-h" ? "--help" : typed.name;
  return typed;
}

// "-h given twice", or "--help given twice, once as -h" when the two spellings differ.
std::string GivenTwice(const std::string& first, const std::string& second) {
  return first + " given twice" + (first == second ? "" : ", once as " + second);
}

}  // namespace

std::string ReadOptions(
    int argc, const char* const* argv, const std::function<bool(const std::string&)>& takesValue,
    const std::function<std::string(const std::string&, const std::string&)>& read,
    std::set<std::string>& seen) {
  seen.clear();
  std::map<std::string, std::string> firstTyped;  // long name -> how it was typed first
  std::string wrong;
  for (int i = 1; i < argc && wrong.empty(); ++i) {
    Typed typed = TypedOption(argv[i]);
    if (typed.name.size() < 2 || typed.name[0] != '-') {
      wrong = "unexpected argument " + Quoted(argv[i]) + " (see --help)";
    } else if (firstTyped.count(typed.option)) {
      wrong = GivenTwice(firstTyped[typed.option], typed.name);
    } else if (typed.attached && !takesValue(typed.option)) {
      // An option the program does not know is named as unknown, whatever follows its '='.
      wrong = read(typed.option, "");
      if (wrong.empty()) wrong = typed.name + " takes no value (given " + Quoted(typed.value) + ")";
    } else if (!typed.attached && takesValue(typed.option) && i + 1 >= argc) {
      wrong = typed.name + " needs a value";
    } else {
      firstTyped[typed.option] = typed.name;
      seen.insert(typed.option);
      std::string value = typed.attached ? typed.value : takesValue(typed.option) ? argv[++i] : "";
      wrong = read(typed.option, value);
    }
  }
  return wrong;
}
