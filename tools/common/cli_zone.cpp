#include "cli_zone.h"

#include <time.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "cli_calendar.h"
#include "cli_tz.h"

namespace {

struct ClockZone {
  bool fixed = true;     // one offset all year, the C library not asked: UTC until a zone is opened
  int offset = 0;        // with `fixed`
  bool keepsUtc = true;  // UTC's time all year
  std::string name = "UTC";
  std::string nameInUtf8 = "UTC";
};

ClockZone zone;  // the one zone of the run

// The C library's local time of a Unix second.
bool LocalCivil(int64_t second, CivilTime& civil) {
  struct tm local;
#ifdef _WIN32
  __time64_t time = second;
  struct tm* converted = _localtime64(&time);  // one thread asks: its own buffer will do
  if (!converted) return false;
  local = *converted;
#else
  time_t time = static_cast<time_t>(second);
  if (!localtime_r(&time, &local)) return false;
#endif
  civil.year = local.tm_year + int64_t{1900};
  civil.month = local.tm_mon + 1;
  civil.day = local.tm_mday;
  civil.hour = local.tm_hour;
  civil.minute = local.tm_min;
  civil.second = local.tm_sec;
  return true;
}

}  // namespace

std::string OpenClockZone(bool utc) {
  zone = ClockZone();
  if (utc) return "";
  const char* tz = std::getenv("TZ");
  if (tz && *tz) {
    std::string refused = RefusedTz(tz);
    if (!refused.empty()) return refused;
  }
  TzRules rules = ReadTzRules(tz);
  zone.fixed = rules.oneOffset;
  zone.offset = rules.offset;
  zone.keepsUtc = rules.keepsUtc;
  zone.name = rules.name;
  zone.nameInUtf8 = rules.nameInUtf8;
  return "";
}

void OpenFixedZone(int offset) {
  zone = ClockZone();
  zone.offset = offset;
  zone.keepsUtc = offset == 0;
  if (offset != 0) zone.name = zone.nameInUtf8 = "UTC" + OffsetText(offset);
}

const std::string& ClockZoneName() {
  return zone.name;
}

const std::string& ClockZoneNameInUtf8() {
  return zone.nameInUtf8;
}

bool ClockZoneIsUtc() {
  return zone.keepsUtc;
}

bool ClockZoneOffset(int64_t second, int& offset) {
  if (zone.fixed) {
    offset = zone.offset;
    return true;
  }
  CivilTime local;
  if (!LocalCivil(second, local)) return false;
  offset = static_cast<int>(SecondsFromCivil(local) - second);
  return true;
}

std::string OffsetText(int offset) {
  int size = offset < 0 ? -offset : offset;
  char text[16];
  int written = std::snprintf(text, sizeof text, "%c%02d:%02d", offset < 0 ? '-' : '+', size / 3600,
                              size / 60 % 60);
  if (size % 60) std::snprintf(text + written, sizeof text - written, ":%02d", size % 60);
  return text;
}

namespace {

// The offset a day before or after a local time, or else at the time itself, where the runtime's
// calendar ends. The die's clock starts at 0, so no earlier second is asked for.
bool OffsetNear(int64_t second, int64_t fallback, int& offset) {
  return ClockZoneOffset(std::max<int64_t>(second, 0), offset) ||
         ClockZoneOffset(std::max<int64_t>(fallback, 0), offset);
}

bool HasOffset(int64_t second, int offset) {
  int at;
  return ClockZoneOffset(second, at) && at == offset;
}

// The first second with the offset `after`, from `from` (before the change) to `to` (after it).
int64_t FirstSecondWith(int after, int64_t from, int64_t to) {
  while (to - from > 1) {
    int64_t middle = from + (to - from) / 2;
    if (HasOffset(middle, after)) {
      to = middle;
    } else {
      from = middle;
    }
  }
  return to;
}

}  // namespace

// A local time L is the Unix second L - offset for an offset that the zone has at that very
// second. The offsets a day before and a day after are the only ones to try, as no zone changes
// its clocks twice in two days. In Berlin, 2026-10-25 02:30:00 has +02:00 a day before and +01:00
// a day after: 00:30:00Z has +02:00 and 01:30:00Z has +01:00, both read 02:30:00, so it happens
// twice. 2026-03-29 02:30:00 has +01:00 and +02:00: 00:30:00Z has +01:00 (01:30:00) and 01:30:00Z
// has +02:00 (03:30:00), so it lies in the jump, which comes between those two seconds.
LocalReading ReadLocalTime(int64_t local) {
  LocalReading reading;
  int before, after;
  if (!OffsetNear(local - kSecondsPerDay, local, before) ||
      !OffsetNear(local + kSecondsPerDay, local, after)) {
    return reading;
  }
  int east = std::max(before, after), west = std::min(before, after);
  bool earlier = HasOffset(local - east, east), later = HasOffset(local - west, west);
  if (earlier && later && east != west) {
    reading.kind = LocalReading::kTwice;
    reading.first = local - east;
    reading.later = local - west;
    reading.offsetBefore = east;
    reading.offsetAfter = west;
  } else if (earlier || later) {
    reading.kind = LocalReading::kOnce;
    reading.first = earlier ? local - east : local - west;
  } else if (before < after && HasOffset(local - after, before) &&
             HasOffset(local - before, after)) {
    reading.kind = LocalReading::kSkipped;
    reading.first = FirstSecondWith(after, local - after, local - before);
    reading.offsetBefore = before;
    reading.offsetAfter = after;
  }
  return reading;
}
