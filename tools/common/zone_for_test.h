// For the tests: a zone the test names, never the machine's own. TZ is set as a user sets it
// before starting a program and the zone opened as a program opens it; on leaving, TZ is as it
// was and the zone UTC again, as before any program opens one.
//
// The zones go by the names this system's C library reads: the time-zone database's on Linux,
// the runtime's own form on Windows, whose TZ knows summer time only by the rules of the United
// States, so that Berlin has no name there.
#pragma once

#include <cstdlib>
#include <string>

#include "cli_zone.h"

#ifdef _WIN32
constexpr const char *kTokyo = "JST-9", *kNewYork = "EST5EDT", *kBerlin = nullptr;
#else
constexpr const char *kTokyo = "Asia/Tokyo", *kNewYork = "America/New_York",
                     *kBerlin = "Europe/Berlin";
#endif

struct ZoneForTest {
  explicit ZoneForTest(const char* tz) : hadTz(std::getenv("TZ") != nullptr) {
    if (hadTz) oldTz = std::getenv("TZ");
    SetTz(tz);
    refused = OpenClockZone(false);
  }
  ~ZoneForTest() {
    SetTz(hadTz ? oldTz.c_str() : nullptr);
    OpenClockZone(true);
  }
  ZoneForTest(const ZoneForTest&) = delete;
  ZoneForTest& operator=(const ZoneForTest&) = delete;

  std::string refused;  // "" or why TZ names no zone

 private:
  // TZ set to `tz`, or unset with nullptr.
  static void SetTz(const char* tz) {
#ifdef _WIN32
    _putenv_s("TZ", tz ? tz : "");
#else
    if (tz) setenv("TZ", tz, 1);
    if (!tz) unsetenv("TZ");
#endif
  }
  bool hadTz;
  std::string oldTz;
};
