// For the tests: a zone the test names, never the machine's own. TZ is set as a user sets it
// before starting a program, and the zone opened as a program opens it; on leaving, TZ is as it
// was and the zone is UTC again, as before any program opens one.
//
// The zones the tests use go by the names this system's C library reads: the time-zone
// database's on Linux, the runtime's own form on Windows ("JST-9"), whose TZ knows summer time
// only by the rules of the United States, so Berlin has no name there.
#pragma once

#include <cstdlib>
#include <string>

#include "cli_zone.h"

#ifdef _WIN32
constexpr const char* kTokyo = "JST-9";
constexpr const char* kNewYork = "EST5EDT";
constexpr const char* kBerlin = nullptr;
#else
constexpr const char* kTokyo = "Asia/Tokyo";
constexpr const char* kNewYork = "America/New_York";
constexpr const char* kBerlin = "Europe/Berlin";
#endif

struct ZoneForTest {
  explicit ZoneForTest(const char* tz) {
    const char* old = std::getenv("TZ");
    hadTz = old != nullptr;
    if (old) oldTz = old;
    SetTz(tz);
    refused = OpenClockZone(false);
  }
  ~ZoneForTest() {
    if (hadTz) {
      SetTz(oldTz.c_str());
    } else {
      SetTz(nullptr);
    }
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
    if (tz) {
      setenv("TZ", tz, 1);
    } else {
      unsetenv("TZ");
    }
#endif
  }
  bool hadTz = false;
  std::string oldTz;
};
