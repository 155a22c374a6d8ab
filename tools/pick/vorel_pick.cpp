// vorel-pick: the die's pick on the command line, for a given second or seed or for now.
#include <cstdio>
#include <string>

#include "cli_output.h"
#include "pick_options.h"
#include "random_source.h"

#ifndef VOREL_VERSION
#define VOREL_VERSION "0"
#endif

namespace {

// The seed of the mode asked for: given, from a UTC second, or from the clock now.
uint32_t SeedOf(const PickOptions& options) {
  switch (options.mode) {
    case PickOptions::kSeed:
      return options.seed;
    case PickOptions::kAt:
      return static_cast<uint32_t>(CalendarSecondsAt(options.unixSeconds));
    default:
      return static_cast<uint32_t>(CalendarSeconds());
  }
}

}  // namespace

int main(int argc, char** argv) {
  PickOptions options;
  std::string error = ParsePickOptions(argc, argv, options);
  if (!error.empty()) {
    std::fprintf(stderr, "%s\n", error.c_str());
    return 2;
  }
  std::string text;
  if (options.mode == PickOptions::kHelp) {
    text = kPickUsage;
  } else if (options.mode == PickOptions::kVersion) {
    text = "vorel-pick " VOREL_VERSION "\n";
  } else {
    text = PickReport(SeedOf(options), options.showCandidates);
  }
  return WriteStdout("vorel-pick", text) ? 0 : 1;
}
