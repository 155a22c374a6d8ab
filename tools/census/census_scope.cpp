#include "census_scope.h"

#include "cli_time.h"
#include "cli_zone.h"
#include "walk/seed_span.h"

CensusScope ScopeOfSeeds(uint32_t first, uint32_t last) {
  CensusScope scope;
  scope.firstSeed = first;
  scope.seedCount = static_cast<uint64_t>(last) - first + 1;
  return scope;
}

CensusScope ScopeOfSeconds(int64_t from, int64_t to) {
  CensusScope scope;
  scope.clockSpan = true;
  scope.fromSecond = from;
  scope.toSecond = to;
  uint64_t seconds = static_cast<uint64_t>(to - from) + 1;
  scope.seedCount = seconds < kSeedSpace ? seconds : kSeedSpace;
  scope.firstSeed = scope.seedCount == kSeedSpace ? 0 : static_cast<uint32_t>(from);
  return scope;
}

namespace {

// Seeds stay as they are typed, without separators, so they can be copied back.
std::string SeedsInWords(const CensusScope& scope) {
  if (scope.seedCount >= kSeedSpace) return "every seed";
  if (scope.seedCount == 1) return "seed " + std::to_string(scope.firstSeed);
  uint32_t last = static_cast<uint32_t>(scope.firstSeed + scope.seedCount - 1);
  return "seeds " + std::to_string(scope.firstSeed) + " to " + std::to_string(last);
}

}  // namespace

// A span of seconds is named on the zone's clocks, with the offsets, and by its seeds too: past
// 2106 they wrap to 0.
std::string ScopeInWords(const CensusScope& scope) {
  if (!scope.clockSpan) return SeedsInWords(scope);
  std::string seconds = scope.fromSecond == scope.toSecond
                            ? "the second " + ShownSecond(scope.fromSecond)
                            : "the seconds from " + ShownSecond(scope.fromSecond) + " to " +
                                  ShownSecond(scope.toSecond);
  return seconds + ", " + SeedsInWords(scope);
}

nlohmann::ordered_json ScopeJson(const CensusScope& scope) {
  nlohmann::ordered_json json = {{"words", ScopeInWords(scope)},
                                 {"first_seed", scope.firstSeed},
                                 {"seed_count", scope.seedCount}};
  if (scope.clockSpan) {
    json["from"] = UtcText(scope.fromSecond);
    json["to"] = UtcText(scope.toSecond);
    json["from_local"] = ShownSecond(scope.fromSecond);
    json["to_local"] = ShownSecond(scope.toSecond);
  }
  return json;
}

SeedSpan SpanOf(const CensusScope& scope) {
  return SeedSpan{scope.firstSeed, scope.seedCount};
}
