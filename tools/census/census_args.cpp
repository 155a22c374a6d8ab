#include "census_args.h"

#include <algorithm>
#include <climits>
#include <set>
#include <vector>

#include "census.h"
#include "cli_numbers.h"
#include "cli_options.h"
#include "cli_text.h"
#include "cli_time.h"
#include "cli_zone.h"
#include "find/found_seconds.h"

namespace {

// The usage after "Usage: " and the program's name, and after the name again for --find; then
// what every option does.
const char kUsageAfterName[] =
    " [--seeds A:B | --from TIME --to TIME] [--utc] [--threads N] [--json]\n"
    "                    [--chart FILE.svg] [--verify] [--target NAME]\n";
const char kFindUsageAfterName[] =
    " --find PICK [--seeds A:B | --from TIME [--to TIME]] [--utc] [--first N]\n"
    "                    [--threads N] [--json] [--target NAME]\n";
const char kOptionsUsage[] =
    "Counts the die's pick for every seed and reports what it can and cannot show; with\n"
    "--find, lists every seed, or every second, at which a key press shows one pick.\n"
    "\n"
    "  --seeds A:B      only the seeds A to B, both included (decimal or 0x-hexadecimal);\n"
    "                   the default is every seed, 0:4294967295\n"
    "  --from TIME --to TIME\n"
    "                   only the seeds of the key presses in those seconds, both included:\n"
    "                   now, a time as vorel-pick --at takes it (local, as '2027-01-01 09:00',\n"
    "                   or with Z or an offset), or a date alone, which as --from is the\n"
    "                   first second of that local day and as --to its last: --from\n"
    "                   2027-01-01 --to 2027-12-31 is the year where you are (the seed is\n"
    "                   the Unix time modulo 2^32: a span past 2106 wraps, and a span of\n"
    "                   2^32 seconds or more holds every seed)\n"
    "  --find PICK      list the seeds whose pick is PICK: seven distinct numbers from 1 to\n"
    "                   37 separated by commas, in any order, as 02,14,15,18,20,21,31 or\n"
    "                   2,14,15,18,20,21,31; each seed with its first second (it comes again\n"
    "                   every 2^32 seconds), or with --from every second of the span that\n"
    "                   shows PICK, in time order. Without --to, --from searches one whole\n"
    "                   cycle of 2^32 seconds from TIME on, every seed once, but not past\n"
    "                   9999-12-31T23:59:59Z, the last second read: --from now gives the next\n"
    "                   seconds that show PICK\n"
    "  --first N        with --find, list only the first N, in time order\n"
    "  --utc            read local times, and show seconds, in UTC whatever the zone\n"
    "  --threads N      worker threads (default, and at most: the cores this process may\n"
    "                   run on)\n"
    "  --target NAME    the instruction set the walk runs with, by Highway's name (listed\n"
    "                   below; default: the best)\n"
    "  --json           print the figures, or what --find found, as JSON instead of a table\n"
    "  --chart FILE     also draw how often each number is picked, as an SVG bar chart;\n"
    "                   the file is replaced only once the chart is complete (a file the\n"
    "                   report goes to, as /dev/stdout, or a pipe gets it after the report)\n"
    "  --verify         check the fast census against the plain draw, on every seed or on the\n"
    "                   seeds asked for (every seed takes about 12 minutes)\n"
    "  -h, --help       print this text\n"
    "  --version        print the version\n"
    "\n"
    "A value may also follow its option after '=', as in --seeds=0:999. Local times are in the\n"
    "zone that TZ names, else the system's.\n"
    "Exit codes: 0 done (--find also when nothing shows the pick), 1 cannot write the output\n"
    "or the chart, or out of memory, 2 bad command line, 3 verification found a difference,\n"
    "or --find found a seed whose draw shows another pick, 128+N ended by signal N\n"
    "(129 hung up, 130 interrupted (Ctrl-C), 141 output closed, 143 terminated).\n";

bool TakesValue(const std::string& option) {
  return option == "--seeds" || option == "--threads" || option == "--chart" ||
         option == "--from" || option == "--to" || option == "--target" || option == "--find" ||
         option == "--first";
}

std::string ReadSeeds(const std::string& range, CensusScope& scope) {
  size_t colon = range.find(':');
  uint32_t a, b;
  if (colon == std::string::npos || !ParseSeed(range.substr(0, colon), a) ||
      !ParseSeed(range.substr(colon + 1), b)) {
    return "seed range " + Quoted(range) + " is not A:B with seeds from 0 to 4294967295";
  }
  if (a > b) return "seed range " + Quoted(range) + " is empty (A is above B)";
  scope = ScopeOfSeeds(a, b);
  return "";
}

std::string ReadSecond(const std::string& value, TimeRole role, int64_t now, int64_t& second) {
  std::string why;
  return ReadTime(value, role, now, second, why) ? "" : "time " + Quoted(value) + " " + why;
}

// --from and --to as given, to be read once the zone is known, which --utc may decide later on
// the line.
struct SpanTimes {
  std::string from, to;
};

// The times of --from and --to, read in the zone once it is open; it is opened where a time is
// read or a second shown: with --from or --to, and with --find, which lists seconds.
std::string ReadSpan(const std::set<std::string>& seen, const CensusArgs& args,
                     const SpanTimes& times, int64_t now, int64_t& from, int64_t& to) {
  if (!seen.count("--from") && !seen.count("--to") && !args.find) return "";
  std::string wrong = OpenClockZone(args.utc);
  if (wrong.empty() && seen.count("--from")) {
    wrong = ReadSecond(times.from, TimeRole::kFrom, now, from);
  }
  if (wrong.empty() && seen.count("--to")) wrong = ReadSecond(times.to, TimeRole::kTo, now, to);
  return wrong;
}

// The wanted pick of --find, and how many --first lists.
std::string ReadFind(const std::string& option, const std::string& value, CensusArgs& args) {
  if (option == "--first") {
    return ParseCount(value, 1, UINT64_MAX, args.first)
               ? ""
               : "--first count " + Quoted(value) + " is not a whole number from 1 up";
  }
  std::string why;
  args.find = true;
  return ParseWantedPick(value, args.pick, why) ? "" : "pick " + Quoted(value) + " " + why;
}

// One option with its value, if it takes one; "" or what is wrong with it.
std::string ReadOption(const std::string& option, const std::string& value, CensusArgs& args,
                       SpanTimes& times) {
  if (option == "--seeds") return ReadSeeds(value, args.scope);
  if (option == "--find" || option == "--first") return ReadFind(option, value, args);
  if (option == "--from") {
    times.from = value;
  } else if (option == "--to") {
    times.to = value;
  } else if (option == "--threads") {
    // Any count reads; the program cuts it to the cores it may run on.
    uint64_t threads;
    if (!ParseCount(value, 1, UINT64_MAX, threads)) {
      return "thread count " + Quoted(value) + " is not a whole number from 1 up";
    }
    args.threads = static_cast<unsigned>(std::min<uint64_t>(threads, UINT_MAX));
  } else if (option == "--chart") {
    if (value.empty() || value == "-") {
      return "--chart needs a file name (the chart goes to standard output as /dev/stdout)";
    }
    args.chartPath = value;
  } else if (option == "--target") {
    std::vector<std::string> targets = CensusTargets();
    if (std::find(targets.begin(), targets.end(), value) == targets.end()) {
      return "target " + Quoted(value) + " is not one this processor runs (" + TargetList() + ")";
    }
    args.target = value;
  } else if (option == "--json") {
    args.json = true;
  } else if (option == "--verify") {
    args.verify = true;
  } else if (option == "--utc") {
    args.utc = true;
  } else if (option == "--help") {
    args.help = true;
  } else if (option == "--version") {
    args.version = true;
  } else {
    return "unknown option " + Quoted(option) + " (see --help)";
  }
  return "";
}

// What --find cannot go with, and what needs it.
std::string CheckFind(const std::set<std::string>& seen, const CensusArgs& args) {
  if (!args.find) return seen.count("--first") ? "--first needs --find" : "";
  for (const char* other : {"--chart", "--verify"}) {
    if (seen.count(other)) {
      return std::string("--find lists the seconds of one pick: it cannot be used with ") + other;
    }
  }
  return "";
}

// Options that each make sense alone but not together. --find takes --from alone: one whole
// cycle from there on.
std::string CheckTogether(const std::set<std::string>& seen, const CensusArgs& args, int64_t from,
                          int64_t to) {
  bool span = seen.count("--from") || seen.count("--to");
  if (span && seen.count("--seeds")) return "--seeds and --from/--to cannot be used together";
  if (seen.count("--to") && !seen.count("--from")) return "--to needs --from";
  if (seen.count("--from") && !seen.count("--to") && !args.find) {
    return "--from needs --to (or --find, which searches one cycle of 2^32 seconds from it on)";
  }
  if (seen.count("--to") && to < from) {
    return "time span " + ShownSecond(from) + " to " + ShownSecond(to) +
           " is empty (--to is before --from)";
  }
  if (args.verify && (args.json || !args.chartPath.empty())) {
    return std::string(
               "--verify reports whether the counts agree, not the figures: it cannot be "
               "used with ") +
           (args.json ? "--json" : "--chart");
  }
  return CheckFind(seen, args);
}

}  // namespace

std::string ParseCensusArgs(int argc, const char* const* argv, CensusArgs& args, int64_t now) {
  args = CensusArgs();
  std::set<std::string> seen;
  SpanTimes times;
  std::string wrong = ReadOptions(
      argc, argv, TakesValue,
      [&](const std::string& option, const std::string& value) {
        return ReadOption(option, value, args, times);
      },
      seen);
  int64_t from = 0, to = 0;
  if (wrong.empty()) wrong = ReadSpan(seen, args, times, now, from, to);
  if (wrong.empty()) wrong = CheckTogether(seen, args, from, to);
  // --find's --from alone: every second from there until the seeds come round again, or until
  // the last second read, so that every second listed reads back as --from or --at.
  if (seen.count("--from") && !seen.count("--to")) {
    to = std::min(from + kSeedPeriod - 1, kLastSecond);
  }
  if (wrong.empty() && seen.count("--from")) args.scope = ScopeOfSeconds(from, to);
  return wrong.empty() ? "" : kProgram + (": " + wrong);
}

std::string CensusUsage() {
  return std::string("Usage: ") + kProgram + kUsageAfterName + "       " + kProgram +
         kFindUsageAfterName + kOptionsUsage;
}

std::string TargetList() {
  std::string list;
  for (const std::string& target : CensusTargets()) list += (list.empty() ? "" : ", ") + target;
  return list;
}
