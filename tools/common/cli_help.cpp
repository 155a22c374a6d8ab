#include "cli_help.h"

#include <algorithm>

namespace {

constexpr size_t kHeadRoom = 24;

// "  -h, --help" or "  --seeds A:B": how an option stands at the start of its entry.
std::string OptionHead(const CliOption& option) {
  std::string head = "  ";
  if (option.shortName) head += std::string{'-', option.shortName} + ", ";
  head += option.name;
  return option.value.empty() ? head : head + " " + option.value;
}

// The option's help, and "; not with --json or --chart" when there are options it cannot be
// used with.
std::string OptionText(const std::vector<CliOption>& options, const CliOption& option) {
  std::vector<std::string> others = NotWith(options, option);
  if (others.empty()) return option.help;
  std::string named;
  for (size_t i = 0; i < others.size(); ++i) {
    named += (i == 0 ? "" : i + 1 == others.size() ? " or " : ", ") + others[i];
  }
  return option.help + "; not with " + named;
}

std::string ExitCodes(ExitCode highest) {
  std::string text = "Exit codes:";
  for (int code = kExitDone; code <= highest; ++code) {
    text += " " + std::to_string(code) + " " + ExitCodeMeaning(static_cast<ExitCode>(code)) + ";";
  }
#ifdef _WIN32
  text.back() = '.';
#else
  text += " " + std::to_string(kExitBySignal) + "+N ended by signal N.";
#endif
  return text;
}

}  // namespace

std::string Wrapped(const std::string& head, const std::string& text, size_t indent) {
  std::string margin(indent, ' ');
  std::string out, line = head;
  if (head.size() < indent) {
    line.resize(indent, ' ');
  } else if (!head.empty()) {
    out = head + "\n";
    line = margin;
  }
  bool bare = true;  // the line holds no word yet
  for (size_t start = 0;;) {
    size_t end = std::min(text.find_first_of(" \n", start), text.size());
    std::string word = text.substr(start, end - start);
    if (!bare && line.size() + 1 + word.size() > kHelpWidth) {
      out += line + "\n";
      line = margin;
      bare = true;
    }
    line += (bare ? "" : " ") + word;
    bare = false;
    if (end == text.size()) break;
    if (text[end] == '\n') {
      out += line + "\n";
      line = margin;
      bare = true;
    }
    start = end + 1;
  }
  return out + line + "\n";
}

std::string HelpText(const HelpPage& page, const std::vector<CliOption>& options) {
  std::string text;
  std::string name = page.program;
  std::string before = "Usage: ";
  for (const std::string& usage : page.usages) {
    text += Wrapped(before + name, usage, before.size() + name.size() + 1);
    before = std::string(before.size(), ' ');
  }
  text += Wrapped("", page.about, 0) + "\n";
  // The help of every option starts in one column, after the longest head; a head longer than
  // kHeadRoom stands on a line of its own.
  size_t indent = 0;
  for (const CliOption& option : options) {
    indent = std::max(indent, std::min(OptionHead(option).size(), kHeadRoom) + 2);
  }
  for (const CliOption& option : options) {
    text += Wrapped(OptionHead(option), OptionText(options, option), indent);
  }
  const CliOption* valued = nullptr;
  for (const CliOption& option : options) {
    if (!valued && !option.value.empty()) valued = &option;
  }
  std::string example = valued ? " (" + valued->name + "=" + valued->value + ")" : "";
  text += "\n" + Wrapped("",
                         "Each option comes once; a value follows its option after a space "
                         "or after '='" +
                             example + "; -- ends the options.",
                         0);
  return text + Wrapped("", ExitCodes(page.highest), 0);
}
