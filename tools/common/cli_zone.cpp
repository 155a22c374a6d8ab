#include "cli_zone.h"

#include <time.h>
#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX  // windows.h must not hide std::max
#endif
#include <windows.h>
#else
#include <unistd.h>
#endif

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>

#include "cli_calendar.h"
#include "cli_text.h"

namespace {

struct ClockZone {
  bool fixed = true;     // one offset all year, the C library not asked: UTC until a zone is opened
  int offset = 0;        // with `fixed`
  bool keepsUtc = true;  // UTC's time all year
  std::string name = "UTC";
  std::string nameInUtf8 = "UTC";
};

ClockZone zone;  // the one zone of the run

int IsDigit(int c) {
  return c >= '0' && c <= '9';
}
int IsLetter(int c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

// A cursor over a TZ value, for the small grammars below.
struct TzScan {
  const std::string& text;
  size_t at = 0;

  bool End() const { return at == text.size(); }
  bool Take(char c) {
    if (at == text.size() || text[at] != c) return false;
    ++at;
    return true;
  }
  // Passes at most `most` characters of a kind, and says how many.
  size_t Run(int (*of)(int), size_t most = 64) {
    size_t count = 0;
    for (; at < text.size() && count < most && of(static_cast<unsigned char>(text[at])); ++at) {
      ++count;
    }
    return count;
  }
  // [+-]h[:mm[:ss]] with up to `hourDigits` digits of hours: an offset, or a time of day.
  bool Clock(size_t hourDigits) {
    if (!Take('+')) Take('-');
    if (Run(IsDigit, hourDigits) == 0) return false;
    for (int part = 0; part < 2 && Take(':'); ++part) {
      if (Run(IsDigit, 2) != 2) return false;
    }
    return true;
  }
};

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

#ifdef _WIN32

// The Windows runtime reads TZ only as three letters, the hours west of UTC and perhaps three
// letters that turn on summer time by the rules of the United States: "JST-9", "EST5EDT". It
// reads anything else as some other zone without a word ("Asia/Tokyo" as UTC with an hour of
// summer time), so nothing else is let through; "UTC" and "GMT" alone it reads as UTC.
bool IsRuntimeZone(const std::string& value) {
  if (value == "UTC" || value == "GMT") return true;
  TzScan scan{value};
  return scan.Run(IsLetter, 3) == 3 && scan.Clock(2) &&
         (scan.End() || (scan.Run(IsLetter, 3) == 3 && scan.End()));
}

std::string RefusedTz(const std::string& value) {
  if (IsRuntimeZone(value)) return "";
  return "TZ " + Quoted(value) +
         " is not a zone the Windows runtime reads: it takes three letters and the hours west "
         "of UTC, as JST-9 or EST5EDT; unset TZ to use the zone set in Windows";
}

// The runtime gives the name of the zone set in Windows in the ANSI code page, as the console
// shows it: in Japanese, in code page 932, on a Japanese system.
std::string Utf8OfName(const std::string& name) {
  int wide = MultiByteToWideChar(CP_ACP, 0, name.c_str(), -1, nullptr, 0);
  std::wstring text(wide > 0 ? wide : 1, L'\0');
  MultiByteToWideChar(CP_ACP, 0, name.c_str(), -1, &text[0], wide);
  int size = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
  std::string utf8(size > 0 ? size : 1, '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, &utf8[0], size, nullptr, nullptr);
  utf8.resize(utf8.size() - 1);
  return utf8;
}

void ReadZoneRules() {
  _tzset();
}
bool RulesKeepUtc() {
  return _timezone == 0 && _daylight == 0;
}
// The runtime holds one rule for every year, so a zone without summer time has one offset, and
// is not asked: its calendar ends about the year 3000.
bool RulesHaveOneOffset(int& offset) {
  offset = static_cast<int>(-_timezone);
  return !_daylight;
}
std::string SystemZoneName() {
  return _tzname[0];
}

#else

int IsRuleChar(int c) {
  return IsDigit(c) || c == 'J' || c == 'M' || c == '.';
}
int IsNameInBrackets(int c) {
  return IsDigit(c) || IsLetter(c) || c == '+' || c == '-';
}

// The folder of the system's time-zone database, as the C library looks there.
std::string ZoneFolder() {
  const char* folder = std::getenv("TZDIR");
  return folder && *folder ? folder : "/usr/share/zoneinfo";
}

// The file a TZ value names: a path as it stands, or a name in the zone folder. Such files begin
// with "TZif".
bool IsZoneFile(const std::string& name) {
  std::string path = name[0] == '/' ? name : ZoneFolder() + "/" + name;
  std::ifstream file(path, std::ios::binary);
  char magic[4] = {};
  return file.read(magic, 4) && std::memcmp(magic, "TZif", 4) == 0;
}

// A zone's name in a POSIX rule: three letters or more, or in angle brackets ("<+0545>").
bool PosixName(TzScan& scan) {
  if (scan.Take('<')) return scan.Run(IsNameInBrackets) >= 3 && scan.Take('>');
  return scan.Run(IsLetter) >= 3;
}

// A zone as POSIX writes it without a file: std offset [dst [offset] [,start[/time],end[/time]]],
// as "JST-9", "<+0545>-5:45" or "EST5EDT,M3.2.0,M11.1.0". The dates of a change are checked for
// their characters only.
bool IsPosixZone(const std::string& value) {
  TzScan scan{value};
  if (!PosixName(scan) || !scan.Clock(2)) return false;
  if (scan.End()) return true;
  if (!PosixName(scan)) return false;
  if (!scan.End() && value[scan.at] != ',' && !scan.Clock(2)) return false;
  if (scan.End()) return true;
  for (int change = 0; change < 2; ++change) {
    if (!scan.Take(',') || scan.Run(IsRuleChar) == 0) return false;
    if (scan.Take('/') && !scan.Clock(3)) return false;
  }
  return scan.End();
}

// The C library takes a TZ value as a file of the database, or else as a POSIX rule; anything
// else it would read as UTC without a word.
std::string RefusedTz(const std::string& value) {
  bool fileOnly = value[0] == ':';
  std::string name = fileOnly ? value.substr(1) : value;
  if ((!name.empty() && IsZoneFile(name)) || (!fileOnly && IsPosixZone(value))) return "";
  std::string path = !name.empty() && name[0] == '/' ? name : ZoneFolder() + "/" + name;
  return "TZ " + Quoted(value) + " names no time zone: there is no zone file " + Quoted(path) +
         (fileOnly ? "" : ", and it is no rule such as JST-9");
}

void ReadZoneRules() {
  tzset();
}
bool RulesKeepUtc() {
  return timezone == 0 && daylight == 0;
}
// The database keeps each zone's history: it is asked for every second.
bool RulesHaveOneOffset(int&) {
  return false;
}

// A name as typed, or quoted and written out where a byte of it is no character or no printable
// one, so that every name is UTF-8.
std::string Utf8OfName(const std::string& name) {
  std::string quoted = Quoted(name);
  return quoted == "'" + name + "'" ? name : quoted;
}

// The system's zone, by the name of the file /etc/localtime links to, or as /etc/timezone has it.
std::string SystemZoneName() {
  char target[4096];
  ssize_t length = readlink("/etc/localtime", target, sizeof target - 1);
  std::string link(target, length > 0 ? static_cast<size_t>(length) : 0);
  size_t folder = link.find("zoneinfo/");
  if (folder != std::string::npos) return link.substr(folder + 9);
  std::ifstream file("/etc/timezone");
  std::string name;
  return std::getline(file, name) && !name.empty() ? name : "local time";
}

#endif

// TZ's value as a heading names it: without the ':' that asks for a file, or the zone folder.
std::string NameOfTz(std::string value) {
  if (value[0] == ':') value.erase(0, 1);
#ifndef _WIN32
  std::string folder = ZoneFolder() + "/";
  if (value.compare(0, folder.size(), folder) == 0) value.erase(0, folder.size());
#endif
  return value;
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
  ReadZoneRules();
  zone.fixed = RulesHaveOneOffset(zone.offset);
  zone.keepsUtc = RulesKeepUtc();
  zone.name = zone.keepsUtc ? "UTC" : tz && *tz ? NameOfTz(tz) : SystemZoneName();
#ifdef _WIN32
  zone.nameInUtf8 = Utf8OfName(zone.name);
#else
  zone.name = zone.nameInUtf8 = Utf8OfName(zone.name);
#endif
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
