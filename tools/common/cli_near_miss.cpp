// Which known option a mistyped one was perhaps meant to be, for the line that refuses it.
#include <algorithm>
#include <cctype>
#include <vector>

#include "cli_options.h"
#include "cli_text.h"

namespace {

// The fewest edits that turn `a` into `b`, each adding, dropping or changing one letter or
// swapping two next to each other. edits[i][j] is the count for the first i letters of `a` and
// the first j of `b`: "--jsno" to "--json" is 1 (a swap), "--seed" to "--seeds" is 1 (an added s).
size_t Edits(const std::string& a, const std::string& b) {
  std::vector<std::vector<size_t>> edits(a.size() + 1, std::vector<size_t>(b.size() + 1));
  for (size_t i = 0; i <= a.size(); ++i) edits[i][0] = i;
  for (size_t j = 0; j <= b.size(); ++j) edits[0][j] = j;
  for (size_t i = 1; i <= a.size(); ++i) {
    for (size_t j = 1; j <= b.size(); ++j) {
      size_t changed = edits[i - 1][j - 1] + (a[i - 1] == b[j - 1] ? 0 : 1);
      edits[i][j] = std::min({edits[i - 1][j] + 1, edits[i][j - 1] + 1, changed});
      if (i > 1 && j > 1 && a[i - 1] == b[j - 2] && a[i - 2] == b[j - 1]) {
        edits[i][j] = std::min(edits[i][j], edits[i - 2][j - 2] + 1);
      }
    }
  }
  return edits[a.size()][b.size()];
}

std::string Lowered(std::string text) {
  for (char& letter : text)
    letter = static_cast<char>(std::tolower(static_cast<unsigned char>(letter)));
  return text;
}

// How near `typed` is to `name`: 0 the same but for case; 1 one edit away, or cut short of it
// after two letters at least ("--ta" of "--target"); 2 not near.
int Nearness(const std::string& typed, const std::string& name) {
  if (Lowered(typed) == Lowered(name)) return 0;
  size_t longer = std::max(typed.size(), name.size());
  if (longer - std::min(typed.size(), name.size()) <= 1 && Edits(typed, name) == 1) return 1;
  bool cutShort = typed.size() < name.size() && name.compare(0, typed.size(), typed) == 0;
  return cutShort && typed.size() >= 4 ? 1 : 2;
}

}  // namespace

std::string NearMiss(const std::string& typed, const std::vector<CliOption>& options) {
  std::vector<std::string> nearest;
  int best = 2;
  for (const CliOption& option : options) {
    std::vector<std::string> names = {option.name};
    if (option.shortName) names.push_back(std::string{'-', option.shortName});
    for (const std::string& name : names) {
      int nearness = Nearness(typed, name);
      if (nearness < best) {
        nearest.clear();
        best = nearness;
      }
      if (nearness == best && best < 2) nearest.push_back(Quoted(name));
    }
  }
  if (nearest.empty()) return "";
  std::string named = nearest.front();
  for (size_t i = 1; i < nearest.size(); ++i) {
    named += (i + 1 == nearest.size() ? " or " : ", ") + nearest[i];
  }
  return "did you mean " + named + "?";
}
