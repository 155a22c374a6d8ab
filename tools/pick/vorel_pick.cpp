// vorel-pick: the die's pick on the command line, for a given second or seed or for now.
#include <cstdio>
#include <string>

#include "pick_options.h"
#include "random_source.h"

#ifndef VOREL_VERSION
#define VOREL_VERSION "0"
#endif

int main(int argc, char** argv) {
  PickOptions options;
  std::string error = ParsePickOptions(argc, argv, options);
  if (!error.empty()) {
    std::fprintf(stderr, "%s\n", error.c_str());
    return 2;
  }
  uint32_t seed = 0;
  switch (options.mode) {
    case PickOptions::kHelp:
      std::fputs(kPickUsage, stdout);
      return 0;
    case PickOptions::kVersion:
      std::puts("vorel-pick " VOREL_VERSION);
      return 0;
    case PickOptions::kSeed:
      seed = options.seed;
      break;
    case PickOptions::kAt:
      seed = static_cast<uint32_t>(CalendarSecondsAt(options.unixSeconds));
      break;
    case PickOptions::kNow:
      seed = static_cast<uint32_t>(CalendarSeconds());
      break;
  }
  std::fputs(PickReport(seed, options.showCandidates).c_str(), stdout);
  return std::fflush(stdout) == 0 ? 0 : 1;
}
