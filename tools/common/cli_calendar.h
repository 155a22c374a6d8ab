// The calendar both command-line programs count in: dates of the proleptic Gregorian calendar
// as days from 1970-01-01, and a count of seconds as a date and a time of day. Pure arithmetic:
// which zone a count of seconds is in is its caller's business.
#pragma once

#include <cstdint>

constexpr int64_t kSecondsPerDay = 86400;

// A date and a time of day, as a clock shows it.
struct CivilTime {
  int64_t year = 1970;
  int month = 1, day = 1, hour = 0, minute = 0, second = 0;
};

// Whether the date exists: a month from 1 to 12 and a day that month has.
bool DateExists(int64_t year, int month, int day);

// Days from 1970-01-01 to the date, and back.
int64_t DaysFromCivil(int64_t year, int month, int day);
void CivilFromDays(int64_t days, int64_t& year, int& month, int& day);

// Seconds from 1970-01-01 00:00:00 to the date and time on the same clock, and back.
int64_t SecondsFromCivil(const CivilTime& time);
CivilTime CivilFromSeconds(int64_t seconds);
