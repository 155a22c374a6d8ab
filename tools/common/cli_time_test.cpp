// Times as the programs read and show them, in zones the tests name.
#include "cli_time.h"

#include <gtest/gtest.h>

#include <string>

#include "zone_for_test.h"

namespace {

// The time read, or -1 with why not.
int64_t Read(const std::string& text, TimeRole role, std::string& why) {
  int64_t seconds = -1;
  return ReadTime(text, role, 0, seconds, why) ? seconds : -1;
}

int64_t Read(const std::string& text, TimeRole role = TimeRole::kAt) {
  std::string why;
  int64_t seconds = Read(text, role, why);
  EXPECT_EQ(why, "") << text;
  return seconds;
}

std::string WhyNot(const std::string& text, TimeRole role = TimeRole::kAt) {
  std::string why;
  EXPECT_EQ(Read(text, role, why), -1) << text;
  return why;
}

// The second the tools were written in, 2026-12-07T04:05:06Z, written every way a person may.
TEST(ReadTime, ReadsOneSecondWrittenEveryWay) {
  ZoneForTest zone(kTokyo);
  for (const char* text :
       {"2026-12-07 13:05:06", "2026-12-07T13:05:06", "2026-12-07t13:05:06",
        "2026-12-07T13:05:06+09:00", "2026-12-07T04:05:06Z", "2026-12-07T04:05:06z",
        "2026-12-07T04:05:06-00:00", "2026-12-07T03:35:06-00:30", "2026-12-07T09:50:06+05:45",
        "2026-12-07T04:49:36+00:44:30"}) {
    EXPECT_EQ(Read(text), 1796616306) << text;
  }
  EXPECT_EQ(Read("2026-12-07 13:05"), 1796616300) << "seconds left out are 0";
  EXPECT_EQ(Read("2026-12-07T04:05Z"), 1796616300);
  std::string why;
  EXPECT_EQ(Read("now", TimeRole::kFrom, why), 0) << "now is the second given";
  EXPECT_EQ(ShownSecond(1796616306), "2026-12-07T13:05:06+09:00");
  EXPECT_EQ(ShownOffset(1796616306), "+09:00");
  EXPECT_EQ(UtcText(1796616306), "2026-12-07T04:05:06Z");
}

TEST(ReadTime, RefusesTimesThatDoNotExistOrLieOutsideTheDiesClock) {
  // In UTC, as before any zone is opened.
  for (const char* text :
       {"2023-02-29T00:00:00Z", "2100-02-29 00:00", "2026-04-31T00:00:00Z", "2026-13-01T00:00:00Z",
        "2026-00-10T00:00:00Z", "2026-01-00", "2026-01-01T24:00:00Z", "2026-01-01T00:60:00Z",
        "2026-01-01T00:00:60Z", "2026-01-01T00:00:00+24:00", "2026-01-01T00:00:00-09:60"}) {
    EXPECT_EQ(WhyNot(text, TimeRole::kFrom), "does not exist") << text;
  }
  EXPECT_EQ(Read("2000-02-29T23:59:59Z"), 951868799);
  EXPECT_EQ(Read("2038-01-19 03:14:08"), 2147483648);
  EXPECT_EQ(Read("1970-01-01T00:00:00Z"), 0);
  EXPECT_EQ(Read("9999-12-31T23:59:59Z"), kLastSecond);
  EXPECT_EQ(Read("10000-01-01T08:59:59+09:00"), kLastSecond) << "the same second, as Tokyo has it";
  const char kBefore[] = "is before 1970-01-01T00:00:00Z, where the die's clock starts";
  const char kAfter[] = "is after 9999-12-31T23:59:59Z, the last second read here";
  EXPECT_EQ(WhyNot("1969-12-31T23:59:59Z"), kBefore);
  EXPECT_EQ(WhyNot("1970-01-01T08:59:59+09:00"), kBefore);
  EXPECT_EQ(WhyNot("10000-01-01T00:00:00Z"), kAfter);
  EXPECT_EQ(Read("9999-12-31", TimeRole::kTo), kLastSecond) << "its last second is the last read";
  EXPECT_EQ(WhyNot("9999-12-31T23:59:59-00:30"), kAfter);
}

// A value that is no time at all is told what a time looks like there: --from and --to also
// take a date alone, --at does not.
TEST(ReadTime, NamesTheFormsAValueIsNotOf) {
  const std::string kTimes =
      "a time such as 2026-12-07 13:05:06 (local), 2026-12-07T04:05:06Z or "
      "2026-12-07T13:05:06+09:00";
  for (const char* text :
       {"", "NOW", "now ", "today", "2026-12-07T04:05:06+0900", "2026-1-07T04:05:06Z",
        "x026-12-07T04:05:06Z", "02026-12-07T04:05:06Z", "2026-12-07T", "2026-12-07T04:05:06ZZ",
        "2026-12-07 04:05:06 ", "2026-12-07T4:05:06Z", "2026-12-07T04:05:06+9:00", "2026-12-07Z"}) {
    EXPECT_EQ(WhyNot(text), "is not now or " + kTimes) << text;
    EXPECT_EQ(WhyNot(text, TimeRole::kTo), "is not now, a date such as 2027-01-01, or " + kTimes)
        << text;
  }
  EXPECT_EQ(WhyNot("2026-12-07"), "is a whole day: give a time of day too, as '2026-12-07 21:00'");
}

// --from 2027-01-01 --to 2027-12-31 is the year where the user is.
TEST(ReadTime, TakesADateAloneAsTheFirstOrLastSecondOfThatLocalDay) {
  EXPECT_EQ(Read("2027-01-01", TimeRole::kFrom), 1798761600) << "in UTC";
  EXPECT_EQ(Read("2027-12-31", TimeRole::kTo), 1830297599) << "in UTC";
  ZoneForTest zone(kTokyo);
  EXPECT_EQ(Read("2027-01-01", TimeRole::kFrom), 1798729200) << "2026-12-31T15:00:00Z";
  EXPECT_EQ(Read("2027-12-31", TimeRole::kTo), 1830265199) << "2027-12-31T14:59:59Z";
}

// One change of New York's clocks, and the seconds just around it.
void ExpectTheSecondsAround(int64_t change, const char* lastBefore, const char* firstAfter) {
  EXPECT_EQ(ShownSecond(change - 1), lastBefore);
  EXPECT_EQ(ShownSecond(change), firstAfter);
  EXPECT_EQ(Read(lastBefore), change - 1) << "read back";
  EXPECT_EQ(Read(firstAfter), change) << "read back";
}

TEST(ReadTime, RefusesATimeNewYorksClocksSkipOrGoOverTwice) {
  ZoneForTest zone(kNewYork);
  const std::string name = ClockZoneName();
  ExpectTheSecondsAround(1772953200, "2026-03-08T01:59:59-05:00", "2026-03-08T03:00:00-04:00");
  EXPECT_EQ(Read("2026-03-08 01:59:59"), 1772953199);
  EXPECT_EQ(Read("2026-03-08 03:00:00"), 1772953200);
  EXPECT_EQ(WhyNot("2026-03-08 02:30:00"),
            "does not exist in " + name +
                ": its clocks jump from 2026-03-08 02:00:00 to 03:00:00 (-05:00 to -04:00)");
  ExpectTheSecondsAround(1793512800, "2026-11-01T01:59:59-04:00", "2026-11-01T01:00:00-05:00");
  EXPECT_EQ(Read("2026-11-01 00:59:59"), 1793512800 - 3601) << "before the hour gone over twice";
  EXPECT_EQ(Read("2026-11-01 02:00:00"), 1793512800 + 3600) << "after it";
  EXPECT_EQ(WhyNot("2026-11-01 01:30"),
            "happens twice in " + name +
                ": give 2026-11-01T01:30:00-04:00 (the first) or 2026-11-01T01:30:00-05:00 (the "
                "second)");
  EXPECT_EQ(Read("2026-11-01T01:30:00-04:00"), 1793511000);
  EXPECT_EQ(Read("2026-11-01T01:30:00-05:00"), 1793514600);
  EXPECT_EQ(Read("2026-11-01", TimeRole::kTo), 1793595599) << "a day of 25 hours";
}

TEST(ReadTime, RefusesATimeBerlinsClocksSkipOrGoOverTwice) {
  if (!kBerlin) {
    GTEST_SKIP() << "the Windows runtime's TZ knows summer time only by the rules of the United "
                    "States: Berlin is held here on Linux, and on Windows under Wine through the "
                    "zone set in Windows (vorel_pick_command_line)";
  }
  {
    ZoneForTest zone(kBerlin);
    ExpectTheSecondsAround(1774746000, "2026-03-29T01:59:59+01:00", "2026-03-29T03:00:00+02:00");
    EXPECT_EQ(Read("2026-03-29 01:59:59"), 1774745999);
    EXPECT_EQ(Read("2026-03-29 03:00:00"), 1774746000);
    EXPECT_EQ(WhyNot("2026-03-29 02:30:00"),
              "does not exist in Europe/Berlin: its clocks jump from 2026-03-29 02:00:00 to "
              "03:00:00 (+01:00 to +02:00)");
    ExpectTheSecondsAround(1792890000, "2026-10-25T02:59:59+02:00", "2026-10-25T02:00:00+01:00");
    EXPECT_EQ(Read("2026-10-25 01:59:59"), 1792889999 - 3600);
    EXPECT_EQ(Read("2026-10-25 03:00:00"), 1792890000 + 3600);
    EXPECT_EQ(WhyNot("2026-10-25 02:30:00"),
              "happens twice in Europe/Berlin: give 2026-10-25T02:30:00+02:00 (the first) or "
              "2026-10-25T02:30:00+01:00 (the second)");
    EXPECT_EQ(Read("2026-03-29", TimeRole::kTo), 1774821599) << "a day of 23 hours";
  }
  // São Paulo's clocks jumped over midnight: November 4th, 2018 began at 01:00.
  ZoneForTest zone("America/Sao_Paulo");
  EXPECT_EQ(Read("2018-11-04", TimeRole::kFrom), 1541300400);
  EXPECT_EQ(Read("2018-11-03", TimeRole::kTo), 1541300399);
}

// Past about the year 3000 the Windows runtime gives no local time: a zone of one offset all
// year needs none, but in one with summer time a local time is refused there, and such a second
// is shown in UTC.
TEST(ReadTime, ReadsFarSecondsWhereTheSystemGivesThem) {
  const int64_t far = Read("3005-07-01T12:00:00Z");
  {
    ZoneForTest zone(kTokyo);
    EXPECT_EQ(Read("3005-07-01 21:00"), far);
    EXPECT_EQ(ShownSecond(far), "3005-07-01T21:00:00+09:00");
  }
  ZoneForTest zone(kNewYork);
#ifdef _WIN32
  EXPECT_EQ(WhyNot("3005-07-01 08:00"),
            "has no local time that this system gives in EST5EDT: write it with Z or an offset");
  EXPECT_EQ(ShownSecond(far), "3005-07-01T12:00:00Z");
  EXPECT_EQ(ShownOffset(far), "");
#else
  EXPECT_EQ(Read("3005-07-01 08:00"), far);
  EXPECT_EQ(ShownSecond(far), "3005-07-01T08:00:00-04:00");
#endif
}

// Z where the zone is UTC itself; an offset, "+00:00" too, wherever it is not; past 9999 in
// Tokyo, a year of five digits.
TEST(ShownSecond, WritesZOnlyWhereTheZoneIsUtc) {
  EXPECT_EQ(ShownSecond(2147483648), "2038-01-19T03:14:08Z") << "no zone opened yet";
  EXPECT_EQ(ShownOffset(2147483648), "+00:00");
  EXPECT_EQ(ShownSecond(kLastSecond), "9999-12-31T23:59:59Z");
  {
    ZoneForTest zone(kTokyo);
    EXPECT_EQ(ShownSecond(kLastSecond), "10000-01-01T08:59:59+09:00");
    EXPECT_EQ(OpenClockZone(true), "") << "--utc";
    EXPECT_EQ(ShownSecond(1796616306), "2026-12-07T04:05:06Z");
  }
#ifdef _WIN32
  ZoneForTest zone("GMT0BST");
#else
  ZoneForTest zone("Europe/London");
#endif
  EXPECT_EQ(ShownSecond(1796616306), "2026-12-07T04:05:06+00:00") << "London's winter";
}

}  // namespace
