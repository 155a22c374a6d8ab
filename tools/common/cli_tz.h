// The TZ variable as this system's C library reads it: which values name a zone, and the zone the
// library then holds, with the name a heading gives it. On Linux TZ names a file of the time-zone
// database or is a POSIX rule; on Windows only the runtime's own form is read, and unset, the zone
// set in Windows.
#pragma once

#include <string>

// "" when the C library reads `value` as a zone, else one line saying that it names none.
std::string RefusedTz(const std::string& value);

// The zone the C library holds, read from `tz` (TZ's value, already checked; null when unset), or
// else the system's.
struct TzRules {
  bool keepsUtc = false;   // UTC's time all year
  bool oneOffset = false;  // the same offset, `offset`, every year: the library need not be asked
  int offset = 0;          // seconds east of UTC
  std::string name;        // as a heading shows it; on Windows in the ANSI code page
  std::string nameInUtf8;  // the same in UTF-8, as JSON carries text
};
TzRules ReadTzRules(const char* tz);
