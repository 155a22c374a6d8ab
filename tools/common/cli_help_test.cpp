// --help made from a table: each option's entry, what it cannot be used with, the exit codes, and
// every line within 79 columns however long the texts.
#include "cli_help.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

namespace {

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

TEST(CliHelp, WrapsAtSpacesWithinTheWidth) {
  EXPECT_EQ(Wrapped("  --a", "one two", 8), "  --a   one two\n");
  EXPECT_EQ(Wrapped("  --long-name", "one", 8), "  --long-name\n        one\n")
      << "a head too long for its column stands alone";
  EXPECT_EQ(Wrapped("", "one\ntwo", 2), "  one\n  two\n");
  std::string word(30, 'w');
  std::string text = word + " " + word + " " + word;
  EXPECT_EQ(Wrapped("  --x", text, 20), "  --x" + std::string(15, ' ') + word + "\n" +
                                            std::string(20, ' ') + word + "\n" +
                                            std::string(20, ' ') + word + "\n");
  // Exactly 79 columns stays on the line; 80 does not.
  EXPECT_EQ(Wrapped("", std::string(39, 'a') + " " + std::string(39, 'b'), 0).find('\n'), 79u);
  EXPECT_EQ(Wrapped("", std::string(39, 'a') + " " + std::string(40, 'b'), 0).find('\n'), 39u);
}

TEST(CliHelp, ListsEveryOptionOfTheTable) {
  std::string long_text;
  for (int i = 0; i < 60; ++i) long_text += "word" + std::to_string(i) + " ";
  std::vector<CliOption> options = {
      {"--seeds", 0, "A:B", "only the seeds A to B", nullptr},
      {"--from", 0, "TIME", "from then", nullptr, {"--seeds"}},
      {"--a-very-long-option-name", 0, "VALUE", long_text, nullptr},
      HelpOption(),
      VersionOption(),
  };
  HelpPage page = {
      "prog", {"[OPTION]...", "--find PICK [OPTION]..."}, long_text, kExitBadCommandLine};
  std::string help = HelpText(page, options);
  for (const std::string& line : Lines(help)) EXPECT_LE(line.size(), kHelpWidth) << line;
  std::vector<std::string> lines = Lines(help);
  EXPECT_EQ(lines[0], "Usage: prog [OPTION]...");
  EXPECT_EQ(lines[1], "       prog --find PICK [OPTION]...");
  for (const char* entry :
       {"\n  --seeds A:B", "\n  --from TIME", "\n  -h, --help", "\n  -V, --version",
        "\n  --a-very-long-option-name VALUE\n  ", "; not with --from\n", "(--seeds=A:B)"}) {
    EXPECT_NE(help.find(entry), std::string::npos) << entry;
  }
  // Every help starts in one column, after the longest head that is not too long for it.
  EXPECT_NE(help.find("\n  --from TIME" + std::string(13, ' ') + "from then; not with --seeds\n"),
            std::string::npos);
  EXPECT_NE(help.find("Exit codes: 0 done; 1 output not written, or out of memory; 2 bad command"),
            std::string::npos);
  EXPECT_EQ(help.find("3 a check"), std::string::npos) << "only the codes up to the highest";
}

}  // namespace
