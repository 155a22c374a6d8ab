#include "cli_time.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(UtcSecond, ReadsUtcSecondsAndRejectsDaysThatDoNotExist) {
  const struct {
    const char* text;
    int64_t seconds;
  } good[] = {{"1970-01-01T00:00:00Z", 0},
              {"2026-12-07T04:05:06Z", 1796616306},
              {"2000-02-29T23:59:59Z", 951868799},
              {"2038-01-19T03:14:08Z", 2147483648},
              {"9999-12-31T23:59:59Z", 253402300799}};
  for (const auto& c : good) {
    int64_t seconds = -1;
    std::string why;
    EXPECT_TRUE(ParseUtcSecond(c.text, seconds, why)) << c.text << ": " << why;
    EXPECT_EQ(seconds, c.seconds) << c.text;
    EXPECT_EQ(UtcText(c.seconds), c.text) << "written back as read";
  }
  for (const char* bad : {"2023-02-29T00:00:00Z", "2100-02-29T00:00:00Z", "2026-04-31T00:00:00Z",
                          "2026-13-01T00:00:00Z", "2026-00-10T00:00:00Z", "2026-01-00T00:00:00Z",
                          "2026-01-01T24:00:00Z", "2026-01-01T00:60:00Z", "2026-01-01T00:00:60Z"}) {
    int64_t seconds;
    std::string why;
    EXPECT_FALSE(ParseUtcSecond(bad, seconds, why)) << bad;
    EXPECT_EQ(why, "does not exist") << bad;
  }
  for (const char* bad : {"", "2026-12-07", "2026-12-07T04:05:06", "2026-12-07 04:05:06Z",
                          "2026-12-07T04:05:06+00:00", "2026-1-07T04:05:06Z",
                          "x026-12-07T04:05:06Z", "1969-12-31T23:59:59Z"}) {
    int64_t seconds;
    std::string why;
    EXPECT_FALSE(ParseUtcSecond(bad, seconds, why)) << bad;
  }
}

// "now" is the second given, the one the program read as it started; anything else reads as a
// UTC second, and a value of neither kind says so.
TEST(UtcSecond, ReadsNowAsTheSecondGiven) {
  int64_t seconds = -1;
  std::string why;
  EXPECT_TRUE(ParseUtcSecondOrNow("now", 1796616306, seconds, why));
  EXPECT_EQ(seconds, 1796616306);
  EXPECT_TRUE(ParseUtcSecondOrNow("2038-01-19T03:14:08Z", 1796616306, seconds, why));
  EXPECT_EQ(seconds, 2147483648);
  for (const char* bad : {"NOW", "now ", "", "today"}) {
    EXPECT_FALSE(ParseUtcSecondOrNow(bad, 0, seconds, why)) << bad;
    EXPECT_EQ(why, "is neither now nor a UTC time of the form YYYY-MM-DDTHH:MM:SSZ") << bad;
  }
  EXPECT_FALSE(ParseUtcSecondOrNow("2023-02-29T00:00:00Z", 0, seconds, why));
  EXPECT_EQ(why, "does not exist");
  // The clock as the program reads it: past 2026-12-07, the day these tools were written.
  EXPECT_GT(UnixSecondsNow(), 1796601600);
}

}  // namespace
