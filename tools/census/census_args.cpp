#include "census_args.h"

#include <algorithm>
#include <climits>
#include <set>
#include <vector>

#include "census.h"
#include "cli_help.h"
#include "cli_numbers.h"
#include "cli_options.h"
#include "cli_text.h"
#include "cli_time.h"
#include "cli_zone.h"
#include "find/found_seconds.h"

namespace {

// What the options read into: the arguments, and --from and --to as typed, read once the zone is
// known, which --utc may decide later on the line.
struct CensusReading {
  CensusArgs& args;
  std::string fromText = "", toText = "";
};

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

// The seconds of --from and --to, read in the zone once it is open; it is opened where a time is
// read or a second shown: with --from or --to, and with --find, which lists seconds.
std::string ReadSpan(const std::set<std::string>& given, const CensusReading& reading, int64_t now,
                     int64_t& from, int64_t& to) {
  if (!given.count("--from") && !given.count("--to") && !given.count("--find")) return "";
  std::string wrong = OpenClockZone(reading.args.utc);
  if (wrong.empty() && given.count("--from")) {
    wrong = ReadSecond(reading.fromText, TimeRole::kFrom, now, from);
  }
  if (wrong.empty() && given.count("--to")) {
    wrong = ReadSecond(reading.toText, TimeRole::kTo, now, to);
  }
  return wrong;
}

std::string ReadPick(const std::string& value, CensusArgs& args) {
  std::string why;
  args.find = true;
  return ParseWantedPick(value, args.pick, why) ? "" : "pick " + Quoted(value) + " " + why;
}

std::string ReadFirst(const std::string& value, CensusArgs& args) {
  CountRead read = ReadCount(value, args.first);
  if (read == CountRead::kTooLarge) {
    return "--first count " + Quoted(value) + " is too large (at most 18446744073709551615)";
  }
  if (read == CountRead::kNotANumber || args.first == 0) {
    return "--first count " + Quoted(value) + " is not a whole number from 1 up";
  }
  return "";
}

// "99999999999999999999" as "99,999,999,999,999,999,999", as the program writes its counts; a
// hexadecimal count as typed.
std::string GroupedAsTyped(std::string digits) {
  if (digits.compare(0, 2, "0x") == 0 || digits.compare(0, 2, "0X") == 0) return digits;
  digits.erase(0, std::min(digits.find_first_not_of('0'), digits.size() - 1));
  for (size_t at = digits.size(); at > 3; at -= 3) digits.insert(at - 3, ",");
  return digits;
}

// Any count from 1 up reads, however large: the program cuts it to the cores it may run on, and
// its note repeats the count asked for.
std::string ReadThreads(const std::string& value, CensusArgs& args) {
  uint64_t threads = UINT64_MAX;
  CountRead read = ReadCount(value, threads);
  if (read == CountRead::kNotANumber || threads == 0) {
    return "thread count " + Quoted(value) + " is not a whole number from 1 up";
  }
  args.threads = static_cast<unsigned>(std::min<uint64_t>(threads, UINT_MAX));
  args.threadsAsked = GroupedAsTyped(value);
  return "";
}

std::string ReadChart(const std::string& value, CensusArgs& args) {
  if (value.empty() || value == "-") {
    return "--chart needs a file name (the chart goes to standard output as /dev/stdout)";
  }
  args.chartPath = value;
  return "";
}

std::string ReadTarget(const std::string& value, CensusArgs& args) {
  std::vector<std::string> targets = CensusTargets();
  if (std::find(targets.begin(), targets.end(), value) == targets.end()) {
    return "target " + Quoted(value) + " is not one this processor runs (" + TargetList() + ")";
  }
  args.target = value;
  return "";
}

// Every option of the census, in the order --help lists them.
std::vector<CliOption> CensusOptionTable(CensusReading& reading) {
  CensusArgs& args = reading.args;
  return {
      {"--seeds",
       0,
       "A:B",
       "only the seeds A to B, both included (decimal or 0x-hexadecimal); the default is every "
       "seed, 0:4294967295",
       [&](const std::string& value) { return ReadSeeds(value, args.scope); },
       {"--from", "--to"}},
      {"--from", 0, "TIME",
       "only the seeds of the key presses from that second on: now, a time as vorel-pick --at "
       "takes it (local, as 2027-01-01T09:00, or with Z or an offset, as 2027-01-01T00:00:00Z), "
       "or a date alone, its local day's first second; with --to, to that "
       "second, both included (the seed is the Unix time modulo 2^32: a span past 2106 wraps, "
       "and a span of 2^32 seconds or more holds every seed); with --find and no --to, one whole "
       "cycle of 2^32 seconds, every seed once, but not past 9999-12-31T23:59:59Z, the last "
       "second read: --from now gives the next seconds that show PICK",
       [&](const std::string& value) {
         reading.fromText = value;
         return std::string();
       }},
      {"--to", 0, "TIME",
       "the last second of the span from --from, as --from takes it, but a date alone is its "
       "local day's last second: --from 2027-01-01 --to 2027-12-31 is the year where you are",
       [&](const std::string& value) {
         reading.toText = value;
         return std::string();
       }},
      {"--find",
       0,
       "PICK",
       "list the seeds whose pick is PICK: seven distinct numbers from 1 to 37 separated by "
       "commas, in any order, as 02,14,15,18,20,21,31 or 2,14,15,18,20,21,31; each seed with its "
       "first second (it comes again every 2^32 seconds), or with --from every second of the span "
       "that shows PICK, in time order",
       [&](const std::string& value) { return ReadPick(value, args); },
       {"--chart", "--verify"},
       "--find lists the seconds of one pick"},
      {"--first", 0, "N", "with --find, list only the first N, in time order",
       [&](const std::string& value) { return ReadFirst(value, args); }},
      {"--utc", 0, "",
       "read local times, and show seconds, in UTC whatever the zone (without it, local times "
       "are in the zone that TZ names, else the system's)",
       Sets(args.utc)},
      {"--threads", 0, "N",
       "worker threads (default, and at most: the cores this process may run on)",
       [&](const std::string& value) { return ReadThreads(value, args); }},
      {"--target", 0, "NAME",
       "the instruction set the walk runs with, by Highway's name (listed below; default: the "
       "best)",
       [&](const std::string& value) { return ReadTarget(value, args); }},
      {"--json", 0, "", "print the figures, or what --find found, as JSON instead of a table",
       Sets(args.json)},
      {"--chart", 0, "FILE",
       "also draw how often each number is picked, as an SVG bar chart; the file is replaced only "
       "once the chart is complete (a file the report goes to, as /dev/stdout, or a pipe gets it "
       "after the report)",
       [&](const std::string& value) { return ReadChart(value, args); }},
      {"--verify",
       0,
       "",
       "check the fast census against the plain draw, on every seed or on the seeds asked for "
       "(every seed takes about 12 minutes)",
       Sets(args.verify),
       {"--json", "--chart"},
       "--verify reports whether the counts agree, not the figures"},
      {"--no-progress", 0, "",
       "show no progress line (one is shown on standard error when it is a terminal)",
       Sets(args.progress, false)},
      HelpOption(),
      VersionOption(),
  };
}

// Options that need another, and a span that must not be empty. --find takes --from alone: one
// whole cycle from there on.
std::string CheckTogether(const std::set<std::string>& given, int64_t from, int64_t to) {
  bool find = given.count("--find");
  if (given.count("--to") && !given.count("--from")) return "--to needs --from";
  if (given.count("--from") && !given.count("--to") && !find) {
    return "--from needs --to (or --find, which searches one cycle of 2^32 seconds from it on)";
  }
  if (given.count("--to") && to < from) {
    return "time span " + ShownSecond(from) + " to " + ShownSecond(to) +
           " is empty (--to is before --from)";
  }
  if (given.count("--first") && !find) return "--first needs --find";
  return "";
}

}  // namespace

std::string ParseCensusArgs(int argc, const char* const* argv, CensusArgs& args, int64_t now) {
  args = CensusArgs();
  CensusReading reading{args};
  CliReading read = ReadCliOptions(argc, argv, CensusOptionTable(reading));
  args.help = read.ask == CliReading::kHelp;
  args.version = read.ask == CliReading::kVersion;
  std::string wrong = read.wrong;
  int64_t from = 0, to = 0;
  if (wrong.empty() && read.ask == CliReading::kRun) {
    wrong = ReadSpan(read.given, reading, now, from, to);
  }
  if (wrong.empty() && read.ask == CliReading::kRun) wrong = CheckTogether(read.given, from, to);
  // --find's --from alone: every second from there until the seeds come round again, or until
  // the last second read, so that every second listed reads back as --from or --at.
  if (read.given.count("--from") && !read.given.count("--to")) {
    to = std::min(from + kSeedPeriod - 1, kLastSecond);
  }
  if (wrong.empty() && read.ask == CliReading::kRun && read.given.count("--from")) {
    args.scope = ScopeOfSeconds(from, to);
  }
  return wrong.empty() ? "" : kProgram + (": " + wrong);
}

std::string CensusHelp() {
  CensusArgs unused;
  CensusReading reading{unused};
  HelpPage page = {
      kProgram,
      {"[OPTION]...", "--find PICK [OPTION]..."},
      "Counts the die's pick for every seed and reports what it can and cannot show; with --find, "
      "lists every seed, or every second, at which a key press shows one pick.",
      kExitDifferenceFound};
  return HelpText(page, CensusOptionTable(reading)) +
         "\nInstruction sets this processor runs, best first:\n  " + TargetList() + "\n";
}

std::string TargetList() {
  std::string list;
  for (const std::string& target : CensusTargets()) list += (list.empty() ? "" : ", ") + target;
  return list;
}
