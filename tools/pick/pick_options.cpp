#include "pick_options.h"

#include "cli_help.h"
#include "cli_numbers.h"
#include "cli_options.h"
#include "cli_text.h"
#include "cli_time.h"
#include "cli_zone.h"
#include "draw.h"

namespace {

std::string ReadSeed(const std::string& value, PickOptions& options) {
  if (ParseSeed(value, options.seed)) return "";
  return "seed " + Quoted(value) +
         " is not a number from 0 to 4294967295 (decimal or 0x-hexadecimal)";
}

// The second of --at, once every option is read: a time written with Z or an offset is shown as
// written; TZ's zone is opened where a local time is read or another second shown.
std::string ReadAt(const std::set<std::string>& given, const std::string& at, int64_t now,
                   PickOptions& options) {
  bool atGiven = given.count("--at");
  int written = 0;
  if (atGiven && !options.utc && WrittenOffset(at, written)) {
    OpenFixedZone(written);
  } else if (atGiven || (options.json && !given.count("--seed"))) {
    std::string wrong = OpenClockZone(options.utc);
    if (!wrong.empty()) return wrong;
  }
  std::string why;
  if (atGiven && !ReadTime(at, TimeRole::kAt, now, options.unixSeconds, why)) {
    return "time " + Quoted(at) + " " + why;
  }
  return "";
}

// Every option of vorel-pick, in the order --help lists them. The time of --at is kept as typed
// in `at`, to be read once the zone is known, which --utc may decide later on the line.
std::vector<CliOption> PickOptionTable(PickOptions& options, std::string& at) {
  return {
      {"--seed",
       0,
       "N",
       "the pick for seed N (decimal or 0x-hexadecimal, 0 to 4294967295)",
       [&](const std::string& value) { return ReadSeed(value, options); },
       {"--at"}},
      {"--at", 0, "TIME",
       "the pick for a key press in that second: a local time, as '2026-12-07 13:05:06' or "
       "2026-12-07T13:05, or with Z or an offset, as 2026-12-07T04:05:06Z or "
       "2026-12-07T13:05:06+09:00; or now (the same as no option)",
       [&at](const std::string& value) {
         at = value;
         return std::string();
       }},
      {"--utc", 0, "",
       "read local times, and show seconds, in UTC whatever the zone (without it, local times "
       "are in the zone that TZ names, else the system's)",
       Sets(options.utc)},
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
  std::string at;
  CliReading read = ReadCliOptions(argc, argv, PickOptionTable(options, at));
  std::string wrong = read.wrong;
  if (wrong.empty() && read.ask == CliReading::kRun) wrong = ReadAt(read.given, at, now, options);
  if (!wrong.empty()) return kPickProgram + (": " + wrong);
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
  std::string at;
  HelpPage page = {kPickProgram,
                   {"[OPTION]..."},
                   "Prints the seven numbers the die shows, as a key press would: with no option, "
                   "the pick for a key press in the current second.",
                   kExitBadCommandLine};
  return HelpText(page, PickOptionTable(unused, at));
}
