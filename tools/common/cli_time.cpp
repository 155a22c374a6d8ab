#include "cli_time.h"

#include <cstdio>
#include <ctime>

// What is wrong with a value that is not shaped as a UTC second at all.
static const char kNotAUtcTime[] = "is not a UTC time of the form YYYY-MM-DDTHH:MM:SSZ";

// Days from 1970-01-01 to the given date of the proleptic Gregorian calendar.
static int64_t DaysFromCivil(int64_t year, int64_t month, int64_t day) {
  year -= month <= 2;
  int64_t era = year / 400;
  int64_t yearOfEra = year - era * 400;
  int64_t dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
  int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
  return era * 146097 + dayOfEra - 719468;
}

static bool ReadDigits(const std::string& text, size_t at, size_t width, int& value) {
  value = 0;
  for (size_t i = at; i < at + width; ++i) {
    if (text[i] < '0' || text[i] > '9') return false;
    value = value * 10 + (text[i] - '0');
  }
  return true;
}

bool ParseUtcSecond(const std::string& text, int64_t& unixSeconds, std::string& why) {
  int year, month, day, hour, minute, second;
  // Positions in YYYY-MM-DDTHH:MM:SSZ.
  bool shaped = text.size() == 20 && text[4] == '-' && text[7] == '-' && text[10] == 'T' &&
                text[13] == ':' && text[16] == ':' && text[19] == 'Z' &&
                ReadDigits(text, 0, 4, year) && ReadDigits(text, 5, 2, month) &&
                ReadDigits(text, 8, 2, day) && ReadDigits(text, 11, 2, hour) &&
                ReadDigits(text, 14, 2, minute) && ReadDigits(text, 17, 2, second);
  if (!shaped) {
    why = kNotAUtcTime;
    return false;
  }
  static const int kMonthDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
  int monthDays = month >= 1 && month <= 12 ? kMonthDays[month - 1] + (month == 2 && leap) : 0;
  if (month < 1 || month > 12 || day < 1 || day > monthDays || hour > 23 || minute > 59 ||
      second > 59) {
    why = "does not exist";
    return false;
  }
  if (year < 1970) {
    why = "is before 1970-01-01T00:00:00Z, where the die's clock starts";
    return false;
  }
  unixSeconds = DaysFromCivil(year, month, day) * 86400 + hour * 3600 + minute * 60 + second;
  return true;
}

bool ParseUtcSecondOrNow(const std::string& text, int64_t now, int64_t& unixSeconds,
                         std::string& why) {
  if (text == "now") {
    unixSeconds = now;
    return true;
  }
  if (ParseUtcSecond(text, unixSeconds, why)) return true;
  if (why == kNotAUtcTime) why = "is neither now nor a UTC time of the form YYYY-MM-DDTHH:MM:SSZ";
  return false;
}

int64_t UnixSecondsNow() {
#ifdef _WIN32
  // The 32-bit Windows runtime's plain time() stops at 2038; its 64-bit twin does not.
  return static_cast<int64_t>(_time64(nullptr));
#else
  return static_cast<int64_t>(std::time(nullptr));
#endif
}

// The date of a day counted from 1970-01-01 in the proleptic Gregorian calendar.
static void CivilFromDays(int64_t days, int64_t& year, int& month, int& day) {
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
