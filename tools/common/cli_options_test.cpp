// The reading of a small program's options: how values are taken, what wins over what, and the
// line that names what is wrong.
#include "cli_options.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// A program with two options that take a value (--seeds, --from), two that take none and cannot
// go together (--verify, --json), and the two every program has. What it was handed is kept as
// "--name=value" lines.
struct Reading {
  CliReading read;
  std::vector<std::string> handed;
};

Reading Read(std::vector<const char*> args) {
  args.insert(args.begin(), "program");
  Reading reading;
  auto keep = [&reading](const char* name) {
    return [&reading, name](const std::string& value) {
      reading.handed.push_back(std::string(name) + "=" + value);
      return value == "bad" ? std::string("value 'bad' is bad") : std::string();
    };
  };
  std::vector<CliOption> options = {
      {"--seeds", 0, "A:B", "only these seeds", keep("--seeds")},
      {"--from", 0, "TIME", "from then", keep("--from"), {"--seeds"}},
      {"--verify", 0, "", "check", keep("--verify"), {"--json"}, "--verify checks the counts"},
      {"--json", 0, "", "as JSON", nullptr},
      HelpOption(),
      VersionOption(),
  };
  reading.read = ReadCliOptions(static_cast<int>(args.size()), args.data(), options);
  return reading;
}

TEST(CliOptions, TakesAValueNextOrAfterAnEqualsSign) {
  for (const auto& args : std::vector<std::vector<const char*>>{
           {"--seeds", "5", "--json"}, {"--seeds=5", "--json"}, {"--json", "--seeds=5"}}) {
    Reading reading = Read(args);
    EXPECT_EQ(reading.read.wrong, "") << args[0];
    EXPECT_EQ(reading.read.given, (std::set<std::string>{"--json", "--seeds"})) << args[0];
    EXPECT_EQ(reading.handed, std::vector<std::string>{"--seeds=5"}) << args[0];
  }
  // The value is everything after the first '=', even nothing or another '='; one taken from the
  // next argument is taken whole, '=' and '-' included, even "--help" or "--".
  EXPECT_EQ(Read({"--seeds="}).handed, std::vector<std::string>{"--seeds="});
  EXPECT_EQ(Read({"--seeds=a=b"}).handed, std::vector<std::string>{"--seeds=a=b"});
  EXPECT_EQ(Read({"--seeds", "--json=1"}).handed, std::vector<std::string>{"--seeds=--json=1"});
  EXPECT_EQ(Read({"--seeds", "--help"}).read.ask, CliReading::kRun);
  EXPECT_EQ(Read({"--seeds", "--", "--json"}).read.given,
            (std::set<std::string>{"--json", "--seeds"}));
  // "--" ends the options: nothing after it is one.
  EXPECT_EQ(Read({"--json", "--"}).read.wrong, "");
  EXPECT_EQ(Read({"--", "--json"}).read.given, std::set<std::string>{});
}

TEST(CliOptions, NamesWhatWasTyped) {
  const struct {
    std::vector<const char*> args;
    const char* wrong;
  } cases[] = {
      {{"--json", "--json"}, "--json given twice"},
      {{"--seeds=5", "--seeds", "6"}, "--seeds given twice"},
      {{"--seeds", "5", "--seeds=6"}, "--seeds given twice"},
      {{"--json=yes"}, "--json takes no value (given 'yes')"},
      {{"--json="}, "--json takes no value (given '')"},
      {{"--verify=\x1b"}, "--verify takes no value (given '\\x1B')"},
      {{"--seeds"}, "--seeds needs a value"},
      {{"--json", "5"}, "unexpected argument '5' (see --help)"},
      {{"=5"}, "unexpected argument '=5' (see --help)"},
      {{"-"}, "unexpected argument '-' (see --help)"},
      {{"--seeds", "1:2", "--", "--json"}, "unexpected argument '--json' after -- (see --help)"},
      {{"--", "--"}, "unexpected argument '--' after -- (see --help)"},
      {{"--seeds", "bad"}, "value 'bad' is bad"},
      {{"--seeds", "bad", "--json", "--json"}, "value 'bad' is bad"},
      {{"--json", "--json", "--seeds", "bad"}, "--json given twice"},
      // A pair that cannot go together, named by the option that names the other, with its why.
      {{"--json", "--verify"}, "--verify checks the counts: it cannot be used with --json"},
      {{"--from", "1", "--seeds", "2"}, "--from cannot be used with --seeds"},
      {{"--seeds", "2", "--from", "1"}, "--from cannot be used with --seeds"},
  };
  for (const auto& c : cases) EXPECT_EQ(Read(c.args).read.wrong, c.wrong) << c.args[0];
}

// --help, then --version, wins over whatever else is wrong on the line; an option the program
// does not know wins over them, and over everything else, named with the one it was perhaps
// meant to be.
TEST(CliOptions, HelpAndVersionWinUnlessAnOptionIsUnknown) {
  for (const auto& args :
       std::vector<std::vector<const char*>>{{"--help"},
                                             {"-h"},
                                             {"--seeds", "bad", "--help"},
                                             {"--json", "--json", "-h"},
                                             {"-h", "-h"},
                                             {"--help", "--version"},
                                             {"-V", "--help=1"},
                                             {"--verify", "--json", "--help", "extra", "--", "x"},
                                             {"--help", "--seeds"}}) {
    Reading reading = Read(args);
    EXPECT_EQ(reading.read.ask, CliReading::kHelp) << args.back();
    EXPECT_EQ(reading.read.wrong, "") << args.back();
  }
  EXPECT_EQ(Read({"--seeds", "5", "-V"}).read.ask, CliReading::kVersion);
  EXPECT_EQ(Read({"--version", "--version", "--seeds"}).read.ask, CliReading::kVersion);
  const struct {
    std::vector<const char*> args;
    const char* wrong;
  } cases[] = {
      {{"--wat=1"}, "unknown option '--wat' (see --help)"},
      {{"-h=1"}, "unknown option '-h=1' (see --help)"},
      {{"--help", "--bogus"}, "unknown option '--bogus' (see --help)"},
      {{"--seeds", "bad", "--bogus", "--wat"}, "unknown option '--bogus' (see --help)"},
      {{"--", "--bogus"}, "unexpected argument '--bogus' after -- (see --help)"},
      {{"--seed", "5"}, "unknown option '--seed' (did you mean '--seeds'?)"},
      {{"--help", "--seed"}, "unknown option '--seed' (did you mean '--seeds'? see --help)"},
      {{"--\x1b[2J"}, "unknown option '--\\x1B[2J' (see --help)"},
  };
  for (const auto& c : cases) {
    Reading reading = Read(c.args);
    EXPECT_EQ(reading.read.wrong, c.wrong) << c.args[0];
    EXPECT_EQ(reading.read.ask, CliReading::kRun) << c.args[0];
  }
}

TEST(CliOptions, SuggestsTheOptionNearest) {
  std::vector<CliOption> options = {
      {"--seeds", 0, "A:B", "", nullptr},
      {"--threads", 0, "N", "", nullptr},
      {"--target", 0, "NAME", "", nullptr},
      {"--json", 0, "", "", nullptr},
      {"--verify", 0, "", "", nullptr},
      {"--to", 0, "TIME", "", nullptr},
      HelpOption(),
      VersionOption(),
  };
  const struct {
    const char* typed;
    const char* near;
  } cases[] = {
      {"--seed", "did you mean '--seeds'?"},      // a letter dropped
      {"--thread", "did you mean '--threads'?"},  //
      {"--targets", "did you mean '--target'?"},  // a letter added
      {"--jsn", "did you mean '--json'?"},        //
      {"--jsno", "did you mean '--json'?"},       // two letters swapped
      {"--jsom", "did you mean '--json'?"},       // a letter changed
      {"--JSON", "did you mean '--json'?"},       // another case, before anything else
      {"-v", "did you mean '-V'?"},               //
      {"--tagret", "did you mean '--target'?"},   //
      {"--tar", "did you mean '--target'?"},      // cut short
      {"--ver", "did you mean '--verify' or '--version'?"},
      {"--ta", "did you mean '--target' or '--to'?"},
      {"--t", "did you mean '--to'?"},       // one letter is no prefix to go by
      {"-x", "did you mean '-h' or '-V'?"},  //
      {"--jxyn", ""},                        // two edits
      {"--bogus", ""},
      {"", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(NearMiss(c.typed, options), c.near) << c.typed;
}

TEST(CliOptions, NotWithIsEitherSideOfAPair) {
  std::vector<CliOption> options = {
      {"--a", 0, "", "", nullptr, {"--c"}},
      {"--b", 0, "", "", nullptr},
      {"--c", 0, "", "", nullptr},
      {"--d", 0, "", "", nullptr, {"--c", "--a"}},
  };
  EXPECT_EQ(NotWith(options, options[0]), (std::vector<std::string>{"--c", "--d"}));
  EXPECT_EQ(NotWith(options, options[1]), std::vector<std::string>{});
  EXPECT_EQ(NotWith(options, options[2]), (std::vector<std::string>{"--a", "--d"}));
}

}  // namespace
