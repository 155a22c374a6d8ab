#include "pick_options.h"

#include <set>

#include "cli_numbers.h"
#include "cli_options.h"
#include "cli_text.h"
#include "cli_time.h"
#include "cli_zone.h"
#include "draw.h"

const char kPickUsage[] =
    "Usage: vorel-pick [--seed N | --at TIME] [--utc] [--candidates] [--json]\n"
    "Prints the seven numbers the die shows, as a key press would.\n"
    "\n"
    "  (no option)      the pick for a key press in the current second\n"
    "  --seed N         the pick for seed N (decimal or 0x-hexadecimal, 0 to 4294967295)\n"
    "  --at TIME        the pick for a key press in that second: a local time, as\n"
    "                   '2026-12-07 13:05:06' or 2026-12-07T13:05, or with Z or an offset, as\n"
    "                   2026-12-07T04:05:06Z or 2026-12-07T13:05:06+09:00; or now (the same\n"
    "                   as no option)\n"
    "  --utc            read local times, and show seconds, in UTC whatever the zone\n"
    "  --candidates     also print the seed and the twenty numbers the pick was taken from\n"
    "  --json           print the seed, the second and the pick as JSON for programs\n"
    "  -h, --help       print this text\n"
    "  --version        print the version\n"
    "\n"
    "A value may also follow its option after '=', as in --seed=5. Local times are in the zone\n"
    "that TZ names, else the system's.\n"
    "Exit codes: 0 done, 1 cannot write the output, 2 bad command line.\n";

namespace {

// One option with its value, if it takes one: "" or what is wrong with it. The time of --at is
// kept to be read once the zone is known, which --utc may decide later on the line.
std::string ReadOption(const std::string& option, const std::string& value, PickOptions& options,
                       std::string& at) {
  if (option == "--seed") {
    if (ParseSeed(value, options.seed)) return "";
    return "seed " + Quoted(value) +
           " is not a number from 0 to 4294967295 (decimal or 0x-hexadecimal)";
  }
  if (option == "--at") {
    at = value;
  } else if (option == "--candidates") {
    options.showCandidates = true;
  } else if (option == "--json") {
    options.json = true;
  } else if (option == "--utc") {
    options.utc = true;
  } else if (option != "--help" && option != "--version") {
    return "unknown option " + Quoted(option) + " (see --help)";
  }
  return "";
}

}  // namespace

std::string ParsePickOptions(int argc, const char* const* argv, PickOptions& options, int64_t now) {
  options = PickOptions();
  std::set<std::string> seen;
  std::string at;
  std::string wrong = ReadOptions(
      argc, argv, [](const std::string& option) { return option == "--seed" || option == "--at"; },
      [&](const std::string& option, const std::string& value) {
        return ReadOption(option, value, options, at);
      },
      seen);
  if (wrong.empty() && seen.count("--seed") && seen.count("--at")) {
    wrong = "--seed and --at cannot be used together";
  }
  // A second written with Z or an offset is shown as written; TZ's zone is opened where a local
  // time is read or another second shown.
  int written = 0;
  if (wrong.empty() && seen.count("--at") && !options.utc && WrittenOffset(at, written)) {
    OpenFixedZone(written);
  } else if (wrong.empty() && (seen.count("--at") || (options.json && !seen.count("--seed")))) {
    wrong = OpenClockZone(options.utc);
  }
  std::string why;
  if (wrong.empty() && seen.count("--at") &&
      !ReadTime(at, TimeRole::kAt, now, options.unixSeconds, why)) {
    wrong = "time " + Quoted(at) + " " + why;
  }
  if (!wrong.empty()) return "vorel-pick: " + wrong;
  // --help and --version answer whatever else was asked, in that order.
  if (seen.count("--help")) {
    options.mode = PickOptions::kHelp;
  } else if (seen.count("--version")) {
    options.mode = PickOptions::kVersion;
  } else if (seen.count("--seed")) {
    options.mode = PickOptions::kSeed;
  } else if (seen.count("--at")) {
    options.mode = PickOptions::kAt;
  }
  return "";
}
