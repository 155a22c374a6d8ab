#include "cli_options.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

// A program with one option that takes a value (--seed) and two that take none; what it was
// handed is kept as "--name=value" lines.
struct Reading {
  std::string wrong;
  std::vector<std::string> handed;
  std::set<std::string> seen;
};

Reading Read(std::vector<const char*> args) {
  args.insert(args.begin(), "program");
  Reading reading;
  reading.wrong = ReadOptions(
      static_cast<int>(args.size()), args.data(),
      [](const std::string& option) { return option == "--seed"; },
      [&](const std::string& option, const std::string& value) {
        if (option != "--seed" && option != "--json" && option != "--help") {
          return "unknown option " + option;
        }
        reading.handed.push_back(option + "=" + value);
        return std::string();
      },
      reading.seen);
  return reading;
}

TEST(CliOptions, TakesAValueNextOrAfterAnEqualsSign) {
  const std::vector<std::vector<const char*>> sameCalls = {
      {"--seed", "5", "--json"}, {"--seed=5", "--json"}, {"--json", "--seed=5"}};
  for (const auto& args : sameCalls) {
    Reading reading = Read(args);
    EXPECT_EQ(reading.wrong, "") << args[0];
    EXPECT_EQ(reading.seen, (std::set<std::string>{"--json", "--seed"})) << args[0];
    EXPECT_NE(std::find(reading.handed.begin(), reading.handed.end(), "--seed=5"),
              reading.handed.end())
        << args[0];
  }
  // The value is everything after the first '=', even nothing or another '='.
  EXPECT_EQ(Read({"--seed="}).handed, std::vector<std::string>{"--seed="});
  EXPECT_EQ(Read({"--seed=a=b"}).handed, std::vector<std::string>{"--seed=a=b"});
  // A value taken from the next argument is taken whole, '=' and '-' included.
  EXPECT_EQ(Read({"--seed", "--json=1"}).handed, std::vector<std::string>{"--seed=--json=1"});
  EXPECT_EQ(Read({"-h"}).handed, std::vector<std::string>{"--help="});
}

TEST(CliOptions, NamesWhatWasTyped) {
  const struct {
    std::vector<const char*> args;
    const char* wrong;
  } cases[] = {
      {{"-h", "-h"}, "-h given twice"},
      {{"--help", "--help"}, "--help given twice"},
      {{"--help", "-h"}, "--help given twice, once as -h"},
      {{"-h", "--help"}, "-h given twice, once as --help"},
      {{"--seed=5", "--seed", "6"}, "--seed given twice"},
      {{"--seed", "5", "--seed=6"}, "--seed given twice"},
      {{"--json=yes"}, "--json takes no value (given 'yes')"},
      {{"--json="}, "--json takes no value (given '')"},
      {{"--help=\x1b"}, "--help takes no value (given '\\x1B')"},
      {{"--frob=1"}, "unknown option --frob"},
      {{"-h=1"}, "unknown option -h=1"},
      {{"--seed"}, "--seed needs a value"},
      {{"--json", "5"}, "unexpected argument '5' (see --help)"},
      {{"=5"}, "unexpected argument '=5' (see --help)"},
  };
  for (const auto& c : cases) EXPECT_EQ(Read(c.args).wrong, c.wrong) << c.args[0];
}

}  // namespace
