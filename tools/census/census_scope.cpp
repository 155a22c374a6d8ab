#include "census_scope.h"

#include <cstdio>
#include <string>

namespace {

constexpr uint64_t kEverySeed = 1ull << 32;

// The date of a day counted from 1970-01-01 in the proleptic Gregorian calendar.
void CivilFromDays(int64_t days, int64_t& year, int& month, int& day) {
  days += 719468;
  int64_t era = (days >= 0 ? days : days - 146096) / 146097;
  int64_t dayOfEra = days - era * 146097;
  int64_t yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
  int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
  int64_t monthIndex = (5 * dayOfYear + 2) / 153;  // March is 0
  day = static_cast<int>(dayOfYear - (153 * monthIndex + 2) / 5 + 1);
  month = static_cast<int>(monthIndex < 10 ? monthIndex + 3 : monthIndex - 9);
  year = yearOfEra + era * 400 + (month <= 2);
}

}  // namespace

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
  scope.seedCount = seconds < kEverySeed ? seconds : kEverySeed;
  scope.firstSeed = scope.seedCount == kEverySeed ? 0 : static_cast<uint32_t>(from);
  return scope;
}

std::string UtcText(int64_t unixSeconds) {
  int64_t days = unixSeconds / 86400, rest = unixSeconds % 86400;
  if (rest < 0) {
    rest += 86400;
    --days;
  }
  int64_t year;
  int month, day;
  CivilFromDays(days, year, month, day);
  char text[40];
  std::snprintf(text, sizeof text, "%04lld-%02d-%02dT%02d:%02d:%02dZ", static_cast<long long>(year),
                month, day, static_cast<int>(rest / 3600), static_cast<int>(rest / 60 % 60),
                static_cast<int>(rest % 60));
  return text;
}

namespace {

// Seeds stay as they are typed, without separators, so they can be copied back.
std::string SeedsInWords(const CensusScope& scope) {
  if (scope.seedCount >= kEverySeed) return "every seed";
  if (scope.seedCount == 1) return "seed " + std::to_string(scope.firstSeed);
  uint32_t last = static_cast<uint32_t>(scope.firstSeed + scope.seedCount - 1);
  return "seeds " + std::to_string(scope.firstSeed) + " to " + std::to_string(last);
}

}  // namespace

std::string ScopeInWords(const CensusScope& scope) {
  if (!scope.clockSpan) return SeedsInWords(scope);
  // A span of seconds names its seeds too: past 2106 they wrap to 0.
  std::string seconds =
      scope.fromSecond == scope.toSecond
          ? "the second " + UtcText(scope.fromSecond)
          : "the seconds from " + UtcText(scope.fromSecond) + " to " + UtcText(scope.toSecond);
  return seconds + ", " + SeedsInWords(scope);
}
