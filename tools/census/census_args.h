// The census's command line: its table of options, what each sets, and one line naming anything
// wrong.
#pragma once

#include <cstdint>
#include <string>

#include "census_scope.h"
#include "cli_time.h"
#include "find/wanted_pick.h"

// The program's name, written once: its usage and every message it gives begin with it.
constexpr char kProgram[] = "vorel-census";

struct CensusArgs {
  CensusScope scope;         // every seed unless --seeds or --from/--to
  unsigned threads = 0;      // 0: every core; more than UINT_MAX reads as UINT_MAX
  std::string threadsAsked;  // --threads as typed, decimal digits grouped: "99,999,999,999,999"
  bool json = false, verify = false, help = false, version = false;
  bool progress = true;  // --no-progress: none, even on a terminal
  std::string chartPath;
  std::string target;  // "": the best this processor runs
  bool find = false;   // --find: the seeds of one pick instead of the census
  WantedPick pick;     // with find
  uint64_t first = 0;  // --first: list only that many, in time order (0: all)
  bool utc = false;    // --utc: times read and shown in UTC, whatever the zone
};

// Returns "" when the arguments make sense, or ask for --help or --version, else one line naming
// what is wrong. A time given as "now" is the second `now`, the clock read once as the program
// starts. Opens the zone (cli_zone.h) when a time is read or a second shown: with --from, --to or
// --find.
std::string ParseCensusArgs(int argc, const char* const* argv, CensusArgs& args,
                            int64_t now = UnixSecondsNow());

// What --help prints: the options, and the instruction sets this processor runs, on a line of
// their own after "Instruction sets this processor runs, best first:".
std::string CensusHelp();

// CensusTargets() as one line: "AVX3_DL, AVX3, AVX2, ...".
std::string TargetList();
