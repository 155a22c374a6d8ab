// The zone the programs open from TZ, and what it makes of local times across the changes of
// the clocks.
#include "cli_zone.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "zone_for_test.h"

namespace {

// 2026-12-07T04:05:06Z, the second the tools were written in.
constexpr int64_t kWritten = 1796616306;

TEST(ClockZone, OpensTheZoneTzNamesAndRefusesOneItDoesNot) {
  const struct {
    const char* tz;
    const char* name;
    int offset;  // at kWritten
  } good[] = {
#ifdef _WIN32
      {"JST-9", "JST-9", 32400},
      {"EST5EDT", "EST5EDT", -18000},
      {"NPT-5:45", "NPT-5:45", 20700},
      {"XYZ+0:30", "XYZ+0:30", -1800},
      {"UTC", "UTC", 0},
#else
      {"Asia/Tokyo", "Asia/Tokyo", 32400},
      {":America/New_York", "America/New_York", -18000},
      {"/usr/share/zoneinfo/Asia/Kathmandu", "Asia/Kathmandu", 20700},
      {"<-0030>0:30", "<-0030>0:30", -1800},
      {"EST5EDT,M3.2.0/2,M11.1.0", "EST5EDT,M3.2.0/2,M11.1.0", -18000},
      {"Etc/UTC", "UTC", 0},
      {"", "UTC", 0},
#endif
  };
  for (const auto& c : good) {
    ZoneForTest zone(c.tz);
    EXPECT_EQ(zone.refused, "") << c.tz;
    EXPECT_EQ(ClockZoneName(), c.name) << c.tz;
    EXPECT_EQ(ClockZoneIsUtc(), c.offset == 0) << c.tz;
    int offset = 1;
    EXPECT_TRUE(ClockZoneOffset(kWritten, offset)) << c.tz;
    EXPECT_EQ(offset, c.offset) << c.tz;
  }
  const struct {
    const char* tz;
    const char* refused;
  } bad[] = {
#ifdef _WIN32
      {"Asia/Tokyo",
       "TZ 'Asia/Tokyo' is not a zone the Windows runtime reads: it takes three letters and the "
       "hours west of UTC, as JST-9 or EST5EDT; unset TZ to use the zone set in Windows"},
      {"garbage", nullptr},
      {"JST", nullptr},
      {"JST-9JDT1", nullptr},
#else
      {"Asia/Tokio",
       "TZ 'Asia/Tokio' names no time zone: there is no zone file "
       "'/usr/share/zoneinfo/Asia/Tokio', and it is no rule such as JST-9"},
      {":JST-9",
       "TZ ':JST-9' names no time zone: there is no zone file '/usr/share/zoneinfo/JST-9'"},
      {"Asia", nullptr},
      {"garbage", nullptr},
      {"JST", nullptr},
      {"EST5EDT,M3.2.0", nullptr},
#endif
  };
  for (const auto& c : bad) {
    ZoneForTest zone(c.tz);
    if (c.refused) {
      EXPECT_EQ(zone.refused, c.refused);
    } else {
      EXPECT_EQ(zone.refused.rfind(std::string("TZ '") + c.tz + "' ", 0), 0u) << zone.refused;
    }
  }
  // --utc asks the C library nothing, whatever TZ says.
  ZoneForTest zone(kTokyo);
  EXPECT_EQ(OpenClockZone(true), "");
  EXPECT_EQ(ClockZoneName(), "UTC");
  int offset = 1;
  EXPECT_TRUE(ClockZoneOffset(kWritten, offset));
  EXPECT_EQ(offset, 0);
}

// One change of the clocks: the seconds before and after it, and the local times around it.
struct Change {
  const char* place;
  const char* tz;
  int64_t at;  // the first second after the change
  int before, after;
};

void ExpectLocalTimesAround(const Change& change) {
  ZoneForTest zone(change.tz);
  ASSERT_EQ(zone.refused, "");
  int offset = 0;
  EXPECT_TRUE(ClockZoneOffset(change.at - 1, offset) && offset == change.before) << change.place;
  EXPECT_TRUE(ClockZoneOffset(change.at, offset) && offset == change.after) << change.place;
  // The hour the clocks jump over, or go over twice, runs from `from` to `to` on them: the second
  // before it, and its end, read once each.
  int64_t from = change.at + std::min(change.before, change.after);
  int64_t to = change.at + std::max(change.before, change.after);
  LocalReading reading = ReadLocalTime(from - 1);
  EXPECT_EQ(reading.kind, LocalReading::kOnce) << change.place;
  EXPECT_EQ(reading.first, from - 1 - change.before) << change.place;
  reading = ReadLocalTime(to);
  EXPECT_EQ(reading.kind, LocalReading::kOnce) << change.place;
  EXPECT_EQ(reading.first, to - change.after) << change.place;
  // Half an hour into it.
  int64_t between = from + 1800;
  reading = ReadLocalTime(between);
  EXPECT_EQ(reading.offsetBefore, change.before) << change.place;
  EXPECT_EQ(reading.offsetAfter, change.after) << change.place;
  if (change.after > change.before) {
    EXPECT_EQ(reading.kind, LocalReading::kSkipped) << change.place;
    EXPECT_EQ(reading.first, change.at) << change.place;
  } else {
    EXPECT_EQ(reading.kind, LocalReading::kTwice) << change.place;
    EXPECT_EQ(reading.first, between - change.before) << change.place;
    EXPECT_EQ(reading.later, between - change.after) << change.place;
  }
}

TEST(ClockZone, ReadsLocalTimesAcrossBothChangesOfNewYorksYear) {
  // 2026: 02:00 EST jumps to 03:00 EDT on March 8th, 02:00 EDT goes back to 01:00 EST on
  // November 1st.
  ExpectLocalTimesAround({"New York, March", kNewYork, 1772953200, -18000, -14400});
  ExpectLocalTimesAround({"New York, November", kNewYork, 1793512800, -14400, -18000});
  // Tokyo keeps +09:00 all year: a time that summer time moves elsewhere reads once.
  ZoneForTest zone(kTokyo);
  LocalReading reading = ReadLocalTime(1774746000 + 9 * 3600);
  EXPECT_EQ(reading.kind, LocalReading::kOnce);
  EXPECT_EQ(reading.first, 1774746000);
}

TEST(ClockZone, ReadsLocalTimesAcrossBothChangesOfBerlinsYear) {
  if (!kBerlin) {
    GTEST_SKIP() << "the Windows runtime's TZ knows summer time only by the rules of the United "
                    "States: Berlin's changes are held here on Linux, and on Windows under Wine "
                    "through the zone set in Windows (vorel_pick_command_line)";
  }
  // 2026: 02:00 jumps to 03:00 on March 29th, 03:00 goes back to 02:00 on October 25th.
  ExpectLocalTimesAround({"Berlin, March", kBerlin, 1774746000, 3600, 7200});
  ExpectLocalTimesAround({"Berlin, October", kBerlin, 1792890000, 7200, 3600});
  // São Paulo, 2018: its clocks jumped over midnight, from 00:00 to 01:00 on November 4th.
  ExpectLocalTimesAround({"Sao Paulo, November", "America/Sao_Paulo", 1541300400, -10800, -7200});
}

}  // namespace
