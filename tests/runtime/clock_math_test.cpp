#include "runtime/clock_math.h"

#include <gtest/gtest.h>

namespace {

TEST(CounterConversion, ExactAndFreeOfOverflow) {
  EXPECT_EQ(CounterToUnits(123456789, 1000, 1000), 123456789);
  // A 10 MHz counter after 30 days: counter * 1000000 would not fit in 64 bits.
  EXPECT_EQ(CounterToUnits(25920000000123LL, 10000000, 1000000), 2592000000012LL);
  EXPECT_EQ(CounterToUnits(25920000000123LL, 10000000, 1000), 2592000000LL);
  // An odd frequency: the fraction of a second is not lost or rounded up.
  EXPECT_EQ(CounterToUnits(3579546789772LL, 3579545, 1000), 1000000499LL);
}

// Feeds the correction readings that advanced by the given amounts, as the clock does, and returns
// the corrected millisecond reading.
struct Readings {
  ClockCorrection state;
  uint32_t tick;
  int64_t counter;

  Readings(uint32_t startTick, int64_t startCounter) : tick(startTick), counter(startCounter) {
    EXPECT_EQ(ClockCorrectionUpdate(state, tick, counter), 0);
  }
  int64_t Advance(uint32_t tickMs, int64_t counterMs) {
    tick += tickMs;
    counter += counterMs;
    return counter + ClockCorrectionUpdate(state, tick, counter);
  }
};

TEST(ClockCorrection, JumpsOnlyWhenCounterAndTicksDisagreeByMoreThanHalfASecond) {
  Readings clock(5000, 70000);
  EXPECT_EQ(clock.Advance(100, 100), 70100);
  // Disagreements up to 500 ms either way are left alone.
  EXPECT_EQ(clock.Advance(600, 100), 70200);
  EXPECT_EQ(clock.Advance(100, 600), 70800);
  // The counter ran 600 ms ahead of the tick count: the reading follows the ticks.
  EXPECT_EQ(clock.Advance(100, 700), 70900);
  // It lagged by 501: the same, and the corrections add up.
  EXPECT_EQ(clock.Advance(601, 100), 71501);
  EXPECT_EQ(clock.state.correctionMs, -99);
  EXPECT_EQ(clock.Advance(50, 50), 71551);
}

TEST(ClockCorrection, TheTickCountWrappingIsNoDisagreement) {
  Readings clock(0xFFFFFF00u, 1000);
  EXPECT_EQ(clock.Advance(0x164, 0x164), 1000 + 0x164);
}

TEST(Calendar, SecondsSince1970) {
  EXPECT_EQ(CalendarSecondsSince1970(1970, 1, 1, 0, 0, 0), 0);
  EXPECT_EQ(CalendarSecondsSince1970(1969, 12, 31, 23, 59, 59), -1);
  EXPECT_EQ(CalendarSecondsSince1970(2000, 3, 1, 0, 0, 0), 951868800);         // 2000 is leap
  EXPECT_EQ(CalendarSecondsSince1970(2024, 2, 29, 12, 34, 56), 1709210096);
  EXPECT_EQ(CalendarSecondsSince1970(2038, 1, 19, 3, 14, 8), 2147483648LL);    // past 32 signed bits
  EXPECT_EQ(CalendarSecondsSince1970(2100, 3, 1, 0, 0, 0), 4107542400LL);      // 2100 is not
}

}  // namespace
