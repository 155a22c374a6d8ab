// The progress line's text for a fixed share of the work and a fixed time.
#include "census_progress.h"

#include <gtest/gtest.h>

#include "random_source.h"

namespace {

TEST(CensusProgress, ShowsTheShareTheRateAndTheTimeLeft) {
  EXPECT_EQ(ProgressLine(0.5, 2.0, kSeedSpace),
            "[###############...............]  50.0%  1,074 M seeds/s  2 s left ");
  EXPECT_EQ(ProgressLine(0.1, 1.0, 20000000),
            "[###...........................]  10.0%  2 M seeds/s  9 s left ");
  EXPECT_EQ(ProgressLine(0, 0, kSeedSpace),
            "[..............................]   0.0%  0 M seeds/s  0 s left ");
}

}  // namespace
