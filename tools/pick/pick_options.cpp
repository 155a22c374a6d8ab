#include "pick_options.h"

#include "cli_help.h"
#include "cli_numbers.h"
#include "cli_options.h"
#include "cli_text.h"
#include "cli_time.h"
#include "draw.h"

namespace {

std::string ReadSeed(const std::string& value, PickOptions& options) {
  if (ParseSeed(value, options.seed)) return "";
  return "seed " + Quoted(value) +
         " is not a number from 0 to 4294967295 (decimal or 0x-hexadecimal)";
}

std::string ReadAt(const std::string& value, int64_t now, PickOptions& options) {
  std::string why;
  return ParseUtcSecondOrNow(value, now, options.unixSeconds, why)
             ? ""
             : "time " + Quoted(value) + " " + why;
}

// Every option of vorel-pick, in the order --help lists them.
std::vector<CliOption> PickOptionTable(PickOptions& options, int64_t now) {
  return {
      {"--seed",
       0,
       "N",
       "the pick for seed N (decimal or 0x-hexadecimal, 0 to 4294967295)",
       [&](const std::string& value) { return ReadSeed(value, options); },
       {"--at"}},
      {"--at", 0, "TIME",
       "the pick for a key press in that UTC second, e.g. 2026-12-07T04:05:06Z, or now (the "
       "same as no option)",
       [&options, now](const std::string& value) { return ReadAt(value, now, options); }},
      {"--candidates", 0, "", "also print the seed and the twenty numbers the pick was taken from",
       Sets(options.showCandidates)},
      {"--json", 0, "", "print the seed, the second and the pick as JSON for programs",
       Sets(options.json)},
      HelpOption(),
      VersionOption(),
  };
}

}  // namespace

std::string ParsePickOptions(int argc, const char* const* argv, PickOptions& options, int64_t now) {
  options = PickOptions();
  CliReading read = ReadCliOptions(argc, argv, PickOptionTable(options, now));
  if (!read.wrong.empty()) return kPickProgram + (": " + read.wrong);
  if (read.ask == CliReading::kHelp) {
    options.mode = PickOptions::kHelp;
  } else if (read.ask == CliReading::kVersion) {
    options.mode = PickOptions::kVersion;
  } else if (read.given.count("--seed")) {
    options.mode = PickOptions::kSeed;
  } else if (read.given.count("--at")) {
    options.mode = PickOptions::kAt;
  }
  return "";
}

std::string PickHelp() {
  PickOptions unused;
  HelpPage page = {kPickProgram,
                   {"[OPTION]..."},
                   "Prints the seven numbers the die shows, as a key press would: with no option, "
                   "the pick for a key press in the current second.",
                   kExitBadCommandLine};
  return HelpText(page, PickOptionTable(unused, 0));
}
