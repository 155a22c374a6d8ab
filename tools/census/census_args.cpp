#include "census_args.h"

#include <algorithm>
#include <vector>

#include "census.h"
#include "cli_numbers.h"

const char kCensusUsage[] =
    "Usage: vorel-census [--seeds A:B] [--threads N] [--json] [--chart FILE.svg] [--verify]\n"
    "                    [--target NAME]\n"
    "Counts the die's pick for every seed and reports what it can and cannot show.\n"
    "\n"
    "  --seeds A:B      only the seeds A to B, both included (decimal or 0x-hexadecimal);\n"
    "                   the default is every seed, 0:4294967295\n"
    "  --threads N      worker threads (default: every core)\n"
    "  --target NAME    the instruction set the walk runs with, by Highway's name (listed\n"
    "                   below; default: the best)\n"
    "  --json           print the figures as JSON instead of a table\n"
    "  --chart FILE     also draw how often each number is picked, as an SVG bar chart\n"
    "  --verify         check the fast census against the plain draw on every seed (slow)\n"
    "  --help, --version\n"
    "\n"
    "Exit codes: 0 done, 1 cannot write, 2 bad command line, 3 verification failed,\n"
    "130 interrupted.\n";

std::string ParseCensusArgs(int argc, const char* const* argv, CensusArgs& args) {
  args = CensusArgs();
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    bool takesValue =
        arg == "--seeds" || arg == "--threads" || arg == "--chart" || arg == "--target";
    if (takesValue && i + 1 >= argc) return "vorel-census: " + arg + " needs a value";
    if (arg == "--seeds") {
      std::string range = argv[++i];
      size_t colon = range.find(':');
      uint32_t a, b;
      if (colon == std::string::npos || !ParseSeed(range.substr(0, colon), a) ||
          !ParseSeed(range.substr(colon + 1), b)) {
        return "vorel-census: seed range '" + range +
               "' is not A:B with seeds from 0 to 4294967295";
      }
      if (a > b) return "vorel-census: seed range '" + range + "' is empty (A is above B)";
      args.firstSeed = a;
      args.lastSeed = b;
    } else if (arg == "--threads") {
      std::string value = argv[++i];
      uint64_t threads;
      if (!ParseCount(value, 1, kMostThreads, threads)) {
        return "vorel-census: thread count '" + value + "' is not a number from 1 to " +
               std::to_string(kMostThreads);
      }
      args.threads = static_cast<unsigned>(threads);
    } else if (arg == "--chart") {
      args.chartPath = argv[++i];
      if (args.chartPath.empty()) return "vorel-census: --chart needs a file name";
    } else if (arg == "--target") {
      args.target = argv[++i];
      std::vector<std::string> targets = CensusTargets();
      if (std::find(targets.begin(), targets.end(), args.target) == targets.end()) {
        return "vorel-census: target '" + args.target + "' is not one this processor runs (" +
               TargetList() + ")";
      }
    } else if (arg == "--json") {
      args.json = true;
    } else if (arg == "--verify") {
      args.verify = true;
    } else if (arg == "--help" || arg == "-h") {
      args.help = true;
    } else if (arg == "--version") {
      args.version = true;
    } else if (arg.size() > 1 && arg[0] == '-') {
      return "vorel-census: unknown option '" + arg + "' (see --help)";
    } else {
      return "vorel-census: unexpected argument '" + arg + "' (see --help)";
    }
  }
  return "";
}

std::string TargetList() {
  std::string list;
  for (const std::string& target : CensusTargets()) list += (list.empty() ? "" : ", ") + target;
  return list;
}
