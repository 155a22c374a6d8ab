// vorel-pick: the die's pick on the command line, for a given second or seed or for now.
#include <cstdio>
#include <optional>
#include <string>

#include "cli_exit.h"
#include "cli_output.h"
#include "cli_time.h"
#include "pick_options.h"
#include "pick_report.h"
#include "random_source.h"

#ifndef VOREL_VERSION
#define VOREL_VERSION "0"
#endif

namespace {

// The UTC second the pick is for: given, or `now`, the clock as the program started; none when a
// seed was given.
std::optional<int64_t> SecondOf(const PickOptions& options, int64_t now) {
  switch (options.mode) {
    case PickOptions::kSeed:
      return std::nullopt;
    case PickOptions::kAt:
      return options.unixSeconds;
    default:
      return now;
  }
}

}  // namespace

int main(int argc, char** argv) {
  const int64_t now = UnixSecondsNow();  // read once: every "now" is the same second
  PickOptions options;
  std::string error = ParsePickOptions(argc, argv, options, now);
  if (!error.empty()) {
    std::fprintf(stderr, "%s\n", error.c_str());
    return kExitBadCommandLine;
  }
  std::string text;
  if (options.mode == PickOptions::kHelp) {
    text = PickHelp();
  } else if (options.mode == PickOptions::kVersion) {
    text = std::string(kPickProgram) + " " VOREL_VERSION "\n";
  } else {
    // The die's seed: the second, cut to its low 32 bits, as the die cuts the clock.
    std::optional<int64_t> second = SecondOf(options, now);
    uint32_t seed = second ? static_cast<uint32_t>(CalendarSecondsAt(*second)) : options.seed;
    text = options.json ? PickJson(seed, second, options.showCandidates)
                        : PickReport(seed, options.showCandidates);
  }
  return WriteStdout(kPickProgram, text) ? kExitDone : kExitFailed;
}
