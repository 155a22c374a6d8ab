#include "cli_time.h"

#include <cstdio>
#include <cstring>
#include <ctime>

#include "cli_calendar.h"
#include "cli_zone.h"

namespace {

// A time as it was written: its date and time of day on some clock, and which clock.
struct WrittenTime {
  CivilTime clock;
  bool dateAlone = false;
  enum Zone { kLocal, kUtc, kOffset } zone = kLocal;
  int offsetHours = 0, offsetMinutes = 0, offsetSeconds = 0;  // with kOffset, all of one sign
};

// A cursor over a written time.
struct TimeScan {
  const std::string& text;
  size_t at = 0;

  bool End() const { return at == text.size(); }
  // One of `marks` ("Tt " takes T, t or a space).
  bool Mark(const char* marks) {
    if (at == text.size() || !std::strchr(marks, text[at])) return false;
    ++at;
    return true;
  }
  // Exactly `width` digits.
  bool Number(size_t width, int64_t& value) {
    value = 0;
    for (size_t end = at + width; at < end; ++at) {
      if (at == text.size() || text[at] < '0' || text[at] > '9') return false;
      value = value * 10 + (text[at] - '0');
    }
    return true;
  }
  bool Number(size_t width, int& value) {
    int64_t wide;
    bool read = Number(width, wide);
    value = static_cast<int>(wide);
    return read;
  }
  // HH:MM, and :SS if it follows.
  bool TimeOfDay(int& hours, int& minutes, int& seconds) {
    seconds = 0;
    return Number(2, hours) && Mark(":") && Number(2, minutes) &&
           (!Mark(":") || Number(2, seconds));
  }
};

// YYYY-MM-DD (a year past 9999 in five digits), then perhaps T or a space and HH:MM[:SS], then
// perhaps Z or an offset [+-]HH:MM[:SS]. Only the shape: whether it exists is asked after.
bool ScanTime(const std::string& text, WrittenTime& time) {
  TimeScan scan{text};
  CivilTime& clock = time.clock;
  size_t yearDigits = text.size() > 4 && text[4] >= '0' && text[4] <= '9' ? 5 : 4;
  if (!scan.Number(yearDigits, clock.year) || (yearDigits == 5 && text[0] == '0') ||
      !scan.Mark("-") || !scan.Number(2, clock.month) || !scan.Mark("-") ||
      !scan.Number(2, clock.day)) {
    return false;
  }
  if (scan.End()) {
    time.dateAlone = true;
    return true;
  }
  if (!scan.Mark("Tt ") || !scan.TimeOfDay(clock.hour, clock.minute, clock.second)) return false;
  if (scan.End()) return true;
  if (scan.Mark("Zz")) {
    time.zone = WrittenTime::kUtc;
    return scan.End();
  }
  bool west = text[scan.at] == '-';
  time.zone = WrittenTime::kOffset;
  if (!scan.Mark("+-") ||
      !scan.TimeOfDay(time.offsetHours, time.offsetMinutes, time.offsetSeconds)) {
    return false;
  }
  if (west) {
    time.offsetHours = -time.offsetHours;
    time.offsetMinutes = -time.offsetMinutes;
    time.offsetSeconds = -time.offsetSeconds;
  }
  return scan.End();
}

bool Exists(const WrittenTime& time) {
  const CivilTime& clock = time.clock;
  return DateExists(clock.year, clock.month, clock.day) && clock.hour <= 23 && clock.minute <= 59 &&
         clock.second <= 59 && time.offsetHours >= -23 && time.offsetHours <= 23 &&
         time.offsetMinutes >= -59 && time.offsetMinutes <= 59 && time.offsetSeconds >= -59 &&
         time.offsetSeconds <= 59;
}

// "2026-10-25T02:30:00", with `separator` between the date and the time of day.
std::string ClockText(int64_t clockSeconds, char separator) {
  CivilTime clock = CivilFromSeconds(clockSeconds);
  char text[40];
  std::snprintf(text, sizeof text, "%04lld-%02d-%02d%c%02d:%02d:%02d",
                static_cast<long long>(clock.year), clock.month, clock.day, separator, clock.hour,
                clock.minute, clock.second);
  return text;
}

// What a value that is no time at all is told, by where it was given.
std::string NotATime(TimeRole role) {
  const char* times =
      "a time such as 2026-12-07 13:05:06 (local), 2026-12-07T04:05:06Z or "
      "2026-12-07T13:05:06+09:00";
  return role == TimeRole::kAt ? std::string("is not now or ") + times
                               : std::string("is not now, a date such as 2027-01-01, or ") + times;
}

// Why a local time has no one second: "does not exist in Europe/Berlin: its clocks jump from
// 2026-03-29 02:00:00 to 03:00:00 (+01:00 to +02:00)", or "happens twice in ...: give
// 2026-10-25T02:30:00+02:00 (the first) or 2026-10-25T02:30:00+01:00 (the second)".
std::string NoOneSecond(int64_t clock, const LocalReading& reading) {
  const std::string& zone = ClockZoneName();
  if (reading.kind == LocalReading::kTwice) {
    std::string written = ClockText(clock, 'T');
    return "happens twice in " + zone + ": give " + written + OffsetText(reading.offsetBefore) +
           " (the first) or " + written + OffsetText(reading.offsetAfter) + " (the second)";
  }
  if (reading.kind == LocalReading::kSkipped) {
    std::string from = ClockText(reading.first + reading.offsetBefore, ' ');
    std::string to = ClockText(reading.first + reading.offsetAfter, ' ');
    if (to.compare(0, 11, from, 0, 11) == 0) to.erase(0, 11);  // the same day: its time alone
    return "does not exist in " + zone + ": its clocks jump from " + from + " to " + to + " (" +
           OffsetText(reading.offsetBefore) + " to " + OffsetText(reading.offsetAfter) + ")";
  }
  return "has no local time that this system gives in " + zone + ": write it with Z or an offset";
}

// The Unix second of a time written without Z or an offset, on the zone's clocks. A date alone
// is the first second of that day there (--from) or its last (--to): the day ends where the
// next begins, which is its midnight, or where the clocks jump to when they jump over midnight.
bool LocalSecond(const WrittenTime& time, TimeRole role, int64_t& unixSeconds, std::string& why) {
  int64_t clock = SecondsFromCivil(time.clock);
  bool lastOfDay = time.dateAlone && role == TimeRole::kTo;
  LocalReading reading = ReadLocalTime(lastOfDay ? clock + kSecondsPerDay : clock);
  bool one = reading.kind == LocalReading::kOnce ||
             (time.dateAlone && reading.kind != LocalReading::kUnknown);
  if (!one) {
    why = NoOneSecond(clock, reading);
    return false;
  }
  unixSeconds = lastOfDay ? reading.first - 1 : reading.first;
  return true;
}

}  // namespace

bool ReadTime(const std::string& text, TimeRole role, int64_t now, int64_t& unixSeconds,
              std::string& why) {
  if (text == "now") {
    unixSeconds = now;
    return true;
  }
  WrittenTime time;
  if (!ScanTime(text, time)) {
    why = NotATime(role);
    return false;
  }
  if (!Exists(time)) {
    why = "does not exist";
    return false;
  }
  if (time.dateAlone && role == TimeRole::kAt) {
    why = "is a whole day: give a time of day too, as '" + text + " 21:00'";
    return false;
  }
  int offset = time.offsetHours * 3600 + time.offsetMinutes * 60 + time.offsetSeconds;
  if (time.zone == WrittenTime::kLocal) {
    if (!LocalSecond(time, role, unixSeconds, why)) return false;
  } else {
    unixSeconds = SecondsFromCivil(time.clock) - offset;
  }
  if (unixSeconds < 0) why = "is before 1970-01-01T00:00:00Z, where the die's clock starts";
  if (unixSeconds > kLastSecond) why = "is after 9999-12-31T23:59:59Z, the last second read here";
  return unixSeconds >= 0 && unixSeconds <= kLastSecond;
}

int64_t UnixSecondsNow() {
#ifdef _WIN32
  // The 32-bit Windows runtime's plain time() stops at 2038; its 64-bit twin does not.
  return static_cast<int64_t>(_time64(nullptr));
#else
  return static_cast<int64_t>(std::time(nullptr));
#endif
}

bool WrittenOffset(const std::string& text, int& offset) {
  WrittenTime time;
  if (!ScanTime(text, time) || time.zone == WrittenTime::kLocal) return false;
  offset = time.offsetHours * 3600 + time.offsetMinutes * 60 + time.offsetSeconds;
  return true;
}

std::string UtcText(int64_t unixSeconds) {
  return ClockText(unixSeconds, 'T') + "Z";
}

std::string ShownSecond(int64_t unixSeconds) {
  int offset;
  if (!ClockZoneOffset(unixSeconds, offset) || (offset == 0 && ClockZoneIsUtc())) {
    return UtcText(unixSeconds);
  }
  return ClockText(unixSeconds + offset, 'T') + OffsetText(offset);
}

std::string ShownOffset(int64_t unixSeconds) {
  int offset;
  return ClockZoneOffset(unixSeconds, offset) ? OffsetText(offset) : "";
}
