// The command line of vorel-pick, kept apart from main so every kind of bad input can be tested.
#pragma once

#include <cstdint>
#include <string>

#include "cli_time.h"

// The program's name, written once: its help and every message it gives begin with it.
constexpr char kPickProgram[] = "vorel-pick";

struct PickOptions {
  enum Mode { kNow, kSeed, kAt, kHelp, kVersion } mode = kNow;
  uint32_t seed = 0;        // with kSeed, and with kAt once the time is read
  int64_t unixSeconds = 0;  // with kAt
  bool showCandidates = false;
  bool json = false;
  bool utc = false;  // --utc: times read and shown in UTC, whatever the zone
};

// Reads argv[1..argc-1]; `--at now` is the second `now`, the clock read once as the program
// starts. Opens the zone the second is shown in (cli_zone.h): the offset --at was written with,
// or else, where a local time is read or a second shown, TZ's. Returns "" when they make sense,
// else one line naming the bad value.
std::string ParsePickOptions(int argc, const char* const* argv, PickOptions& options,
                             int64_t now = UnixSecondsNow());

// What --help prints.
std::string PickHelp();
