#include "cli_options.h"

#include "cli_text.h"

std::string ReadOptions(
    int argc, const char* const* argv, const std::function<bool(const std::string&)>& takesValue,
    const std::function<std::string(const std::string&, const std::string&)>& read,
    std::set<std::string>& seen) {
  seen.clear();
  std::string wrong;
  for (int i = 1; i < argc && wrong.empty(); ++i) {
    std::string option = argv[i] == std::string("-h") ? "--help" : argv[i];
    if (option.size() < 2 || option[0] != '-') {
      wrong = "unexpected argument " + Quoted(option) + " (see --help)";
    } else if (!seen.insert(option).second) {
      wrong = option + " given twice";
    } else if (takesValue(option) && i + 1 >= argc) {
      wrong = option + " needs a value";
    } else {
      wrong = read(option, takesValue(option) ? argv[++i] : "");
    }
  }
  return wrong;
}
