#include "pick_options.h"

#include <cstdio>

#include "cli_numbers.h"
#include "cli_text.h"
#include "cli_time.h"
#include "draw.h"

const char kPickUsage[] =
    "Usage: vorel-pick [--seed N | --at YYYY-MM-DDTHH:MM:SSZ] [--candidates]\n"
    "Prints the seven numbers the die shows, as a key press would.\n"
    "\n"
    "  (no option)      the pick for a key press in the current second\n"
    "  --seed N         the pick for seed N (decimal or 0x-hexadecimal, 0 to 4294967295)\n"
    "  --at TIME        the pick for a key press in that UTC second, e.g. 2026-12-07T04:05:06Z\n"
    "  --candidates     also print the seed and the twenty numbers the pick was taken from\n"
    "  --help           print this text\n"
    "  --version        print the version\n"
    "\n"
    "Exit codes: 0 done, 1 cannot write the output, 2 bad command line.\n";

std::string ParsePickOptions(int argc, const char* const* argv, PickOptions& options) {
  options = PickOptions();
  bool haveSeed = false, haveAt = false, help = false, version = false;
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    if (arg == "--seed" || arg == "--at") {
      bool& seen = arg == "--seed" ? haveSeed : haveAt;
      if (seen) return "vorel-pick: " + arg + " given twice";
      if (i + 1 >= argc) return "vorel-pick: " + arg + " needs a value";
      const char* value = argv[++i];
      seen = true;
      if (arg == "--seed") {
        if (!ParseSeed(value, options.seed)) {
          return "vorel-pick: seed " + Quoted(value) +
                 " is not a number from 0 to 4294967295 (decimal or 0x-hexadecimal)";
        }
      } else {
        std::string why;
        if (!ParseUtcSecond(value, options.unixSeconds, why)) {
          return "vorel-pick: time " + Quoted(value) + " " + why;
        }
      }
    } else if (arg == "--candidates") {
      if (options.showCandidates) return "vorel-pick: --candidates given twice";
      options.showCandidates = true;
    } else if (arg == "--help" || arg == "-h") {
      help = true;
    } else if (arg == "--version") {
      version = true;
    } else if (arg.size() > 1 && arg[0] == '-') {
      return "vorel-pick: unknown option " + Quoted(argv[i]) + " (see --help)";
    } else {
      return "vorel-pick: unexpected argument " + Quoted(argv[i]) + " (see --help)";
    }
  }
  if (haveSeed && haveAt) return "vorel-pick: --seed and --at cannot be used together";
  if (help) {
    options.mode = PickOptions::kHelp;
  } else if (version) {
    options.mode = PickOptions::kVersion;
  } else if (haveSeed) {
    options.mode = PickOptions::kSeed;
  } else if (haveAt) {
    options.mode = PickOptions::kAt;
  }
  return "";
}

std::string PickReport(uint32_t seed, bool showCandidates) {
  std::string report;
  char buffer[7 * 12 + 1];
  if (showCandidates) {
    std::snprintf(buffer, sizeof buffer, "seed %u (0x%08X)\n", seed, seed);
    report += buffer;
    int32_t candidates[kCandidateCount];
    DrawCandidates(seed, candidates);
    report += "candidates";
    for (int32_t candidate : candidates) {
      std::snprintf(buffer, sizeof buffer, " %02d", static_cast<int>(candidate));
      report += buffer;
    }
    report += "\n";
  }
  int32_t pick[kPickSize];
  DrawFromSeed(seed, pick);
  FormatLine(pick, buffer);
  return report + buffer + "\n";
}
