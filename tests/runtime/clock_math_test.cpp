#include "runtime/clock_math.h"

#include <gtest/gtest.h>

namespace {

TEST(ClockMath, CounterConversionIsExactAndFreeOfOverflow) {
  // A 10 MHz counter after 30 days: counter * 1000000 would not fit in 64 bits.
  EXPECT_EQ(CounterToUnits(25920000000123LL, 10000000, 1000000), 2592000000012LL);
  // An odd frequency: the fraction of a second is not lost or rounded up.
  EXPECT_EQ(CounterToUnits(3579546789772LL, 3579545, 1000), 1000000499LL);
}

TEST(ClockMath, CorrectionJumpsOnlyWhenCounterAndTicksDisagreeByMoreThanHalfASecond) {
  ClockCorrection state;
  uint32_t tick = 0xFFFFFF00u;  // wraps on the way: no disagreement
  int64_t counter = 70000;
  EXPECT_EQ(ClockCorrectionUpdate(state, tick, counter), 0);
  // Feeds readings that advanced by the given amounts and returns the corrected counter reading.
  const auto advance = [&](uint32_t tickMs, int64_t counterMs) {
    tick += tickMs;
    counter += counterMs;
    return counter + ClockCorrectionUpdate(state, tick, counter);
  };
  EXPECT_EQ(advance(0x164, 0x164), 70000 + 0x164);
  EXPECT_EQ(advance(600, 100), 70456);  // disagreements up to 500 ms either way are left alone
  EXPECT_EQ(advance(100, 600), 71056);
  EXPECT_EQ(advance(100, 700), 71156);  // the counter ran 600 ms ahead: the reading follows the ticks
  EXPECT_EQ(advance(601, 100), 71757);  // it lagged by 501: the same, and the corrections add up
  EXPECT_EQ(state.correctionMs, -99);
  EXPECT_EQ(advance(50, 50), 71807);
}

TEST(ClockMath, CalendarSecondsSince1970) {
  EXPECT_EQ(CalendarSecondsSince1970(1969, 12, 31, 23, 59, 59), -1);
  EXPECT_EQ(CalendarSecondsSince1970(2000, 3, 1, 0, 0, 0), 951868800);      // 2000 is leap
  EXPECT_EQ(CalendarSecondsSince1970(2038, 1, 19, 3, 14, 8), 2147483648LL);  // past 32 signed bits
  EXPECT_EQ(CalendarSecondsSince1970(2100, 3, 1, 0, 0, 0), 4107542400LL);    // 2100 is not
}

}  // namespace
