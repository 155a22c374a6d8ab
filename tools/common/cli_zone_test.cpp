// The zone the programs open from TZ: the values this system's C library reads, by their names,
// and those it would read as UTC without a word, refused. What the zone makes of local times
// across the changes of the clocks is held in cli_time_test.
#include "cli_zone.h"

#include <gtest/gtest.h>

#include <string>

#include "zone_for_test.h"

namespace {

TEST(ClockZone, OpensTheZoneTzNamesAndRefusesOneItDoesNot) {
  const struct {
    const char* tz;
    const char* name;
    int offset;  // at 2026-12-07T04:05:06Z
  } good[] = {
#ifdef _WIN32
      {"JST-9", "JST-9", 32400},
      {"NPT-5:45", "NPT-5:45", 20700},
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
    int offset = 1;
    EXPECT_TRUE(ClockZoneOffset(1796616306, offset) && offset == c.offset) << c.tz;
  }
#ifdef _WIN32
  const char* kRefused[] = {"garbage", "JST", "JST-9JDT1"};
  EXPECT_EQ(ZoneForTest("Asia/Tokyo").refused,
            "TZ 'Asia/Tokyo' is not a zone the Windows runtime reads: it takes three letters and "
            "the hours west of UTC, as JST-9 or EST5EDT; unset TZ to use the zone set in Windows");
#else
  const char* kRefused[] = {"Asia", "garbage", "JST", "EST5EDT,M3.2.0"};
  EXPECT_EQ(ZoneForTest("Asia/Tokio").refused,
            "TZ 'Asia/Tokio' names no time zone: there is no zone file "
            "'/usr/share/zoneinfo/Asia/Tokio', and it is no rule such as JST-9");
  EXPECT_EQ(ZoneForTest(":JST-9").refused,
            "TZ ':JST-9' names no time zone: there is no zone file '/usr/share/zoneinfo/JST-9'");
#endif
  for (const char* tz : kRefused) {
    EXPECT_EQ(ZoneForTest(tz).refused.rfind(std::string("TZ '") + tz + "' ", 0), 0u) << tz;
  }
}

}  // namespace
