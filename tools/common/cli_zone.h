// The time zone both command-line programs read local times in and show seconds in: UTC, or the
// zone that TZ names, or else the system's, with its rules as the C library gives them (on Linux
// from the system's time-zone database; on Windows from the runtime's reading of TZ or of the
// zone set in Windows). One zone for the whole run, as the C library keeps one.
#pragma once

#include <cstdint>
#include <string>

// Opens the zone for the rest of the run: UTC with `utc` (--utc), else the zone TZ names, else
// the system's. Returns "" or one line saying that TZ names no zone this system reads. Until a
// program opens one, the zone is UTC.
std::string OpenClockZone(bool utc);

// Shows seconds at one offset for the rest of the run instead, as a time written with an offset
// asks (0, as Z asks, is UTC); no local time is read then.
void OpenFixedZone(int offset);

// The zone's name as a heading shows it: "UTC", "Asia/Tokyo", "Tokyo Standard Time", "UTC+09:00";
// on Windows in the ANSI code page, as the console shows text.
const std::string& ClockZoneName();

// The same in UTF-8, as JSON carries text.
const std::string& ClockZoneNameInUtf8();

// Whether the zone keeps UTC's time all year, so that its seconds are written with Z.
bool ClockZoneIsUtc();

// The zone's offset at a Unix second, in seconds east of UTC (Tokyo: 32400). False where the C
// library gives no local time for that second (the Windows runtime's calendar ends about 3000).
bool ClockZoneOffset(int64_t second, int& offset);

// An offset as RFC 3339 writes it: "+09:00", "-00:30"; with seconds where a zone's offset has
// them ("-00:44:30", Monrovia's until 1972).
std::string OffsetText(int offset);

// What the zone makes of a time on its clocks, given as seconds from 1970-01-01 00:00:00 on
// those clocks: the Unix second it is, or two when the clocks went back over it, or none when
// they jumped over it.
struct LocalReading {
  enum Kind { kOnce, kTwice, kSkipped, kUnknown } kind = kUnknown;
  // kOnce: the second; kTwice: the earlier of the two; kSkipped: the first second after the
  // jump, which is also the first second of the local day a jump over midnight begins.
  int64_t first = 0;
  int64_t later = 0;  // kTwice: the later of the two
  // kTwice: the offsets of the earlier and the later reading; kSkipped: the offsets before and
  // after the jump.
  int offsetBefore = 0, offsetAfter = 0;
};
LocalReading ReadLocalTime(int64_t local);
