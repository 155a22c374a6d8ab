// Clock times as both command-line programs read and show them. A time is read as "now", as
// RFC 3339 with Z or an offset (2026-12-07T04:05:06Z, 2026-12-07T13:05:06+09:00), as a local
// time in the run's zone (2026-12-07 13:05:06, or with T for the space), or as a date alone; a
// second is shown in the run's zone with its offset, or with Z where the zone is UTC.
#pragma once

#include <cstdint>
#include <string>

// The last second the programs read: 9999-12-31T23:59:59Z. Their first is 1970-01-01T00:00:00Z,
// where the die's clock starts.
constexpr int64_t kLastSecond = 253402300799;

// Where a time is asked for, which says what a date alone means: --at takes no date alone,
// --from takes its first second, --to its last.
enum class TimeRole { kAt, kFrom, kTo };

// A time as a Unix second, reading a local one in the zone opened (cli_zone.h). "now" is the
// second `now`, which a program reads from the clock once, as it starts, so that every "now" of
// one command line is the same second. On failure `why` says what is wrong with it, to follow
// the quoted value in a message: "does not exist", "happens twice in Europe/Berlin: ...".
bool ReadTime(const std::string& text, TimeRole role, int64_t now, int64_t& unixSeconds,
              std::string& why);

// The offset a time was written with, Z as 0; false for "now", a local time and a date alone.
bool WrittenOffset(const std::string& text, int& offset);

// The clock, as whole seconds since 1970-01-01T00:00:00Z, 64 bits wide on every build.
int64_t UnixSecondsNow();

// A Unix second as YYYY-MM-DDTHH:MM:SSZ.
std::string UtcText(int64_t unixSeconds);

// A Unix second in the zone opened, as ReadTime reads it back: 2027-04-17T23:54:48+09:00, or
// 2027-04-17T14:54:48Z where the zone is UTC, and in UTC where the zone has no local time for it.
std::string ShownSecond(int64_t unixSeconds);

// That second's offset in the zone opened, "+09:00" (and "+00:00" in UTC); "" where the zone has
// no local time for it.
std::string ShownOffset(int64_t unixSeconds);
