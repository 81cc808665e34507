#include "runtime/clock.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <numeric>
#include <ctime>
#include <string>
#include <vector>

#include "runtime/platform_routines.h"

namespace {

// Idle routines stay registered for the life of the process, so this one records only while the test
// wants it.
std::vector<int64_t> gSliceStarts;
bool gRecordSlices = false;
void RecordSlice() {
  if (gRecordSlices) gSliceStarts.push_back(ClockMilliseconds());
}

bool gApcDelivered = false;
void CALLBACK DeliverApc(ULONG_PTR) { gApcDelivered = true; }

TEST(Sleep, WaitsTheWholeTimeByTheClockAlertablyInSlicesOfAtMostFiftyMilliseconds) {
  ASSERT_EQ(PlatformAddIdle(RecordSlice), kOk);
  gRecordSlices = true;
  SleepMilliseconds(0);
  EXPECT_TRUE(gSliceStarts.empty());  // at once, without a slice

  ASSERT_TRUE(QueueUserAPC(DeliverApc, GetCurrentThread(), 0));
  const uint32_t ticks = ClockTicks();
  const int64_t start = ClockMilliseconds();
  SleepMilliseconds(120);
  const int64_t end = ClockMilliseconds();
  gRecordSlices = false;
  EXPECT_TRUE(gApcDelivered);
  EXPECT_GE(end - start, 120);
  // The clocks agree with the tick count, with each other and with the C library's time.
  EXPECT_LT(std::abs(end - start - int64_t(ClockTicks() - ticks)), 50);
  const int64_t now = ClockMilliseconds();
  const int64_t microsecondsAhead = ClockMicroseconds() - now * 1000;
  EXPECT_TRUE(microsecondsAhead >= 0 && microsecondsAhead < 50000) << microsecondsAhead;
  EXPECT_LE(std::abs(TimeUtcSeconds() - int64_t(std::time(nullptr))), 2);
  // The idle routines run before every slice, so their calls mark where each slice began.
  ASSERT_GE(gSliceStarts.size(), 3u);
  gSliceStarts.push_back(end);
  std::adjacent_difference(gSliceStarts.begin(), gSliceStarts.end(), gSliceStarts.begin());
  const std::string slices = testing::PrintToString(gSliceStarts);
  RecordProperty("slices", slices);
  // A slice asks for at most 50 ms; the margin is only for a busy machine waking the thread late.
  EXPECT_LT(*std::max_element(gSliceStarts.begin() + 1, gSliceStarts.end()), 50 + 100) << slices;
}

// An idle routine that sleeps runs the idle routines again from inside its own slices.
int gSleepyCalls = 0, gSleepyDepth = 0, gSleepyMaxDepth = 0;
bool gSleepyArmed = false;
void SleepyIdle() {
  if (!gSleepyArmed) return;
  ++gSleepyCalls;
  gSleepyMaxDepth = std::max(gSleepyMaxDepth, ++gSleepyDepth);
  SleepMilliseconds(60);
  --gSleepyDepth;
}

TEST(Sleep, AnIdleRoutineThatSleepsIsNotReentered) {
  ASSERT_EQ(PlatformAddIdle(SleepyIdle), kOk);
  gSleepyArmed = true;
  SleepMilliseconds(120);
  gSleepyArmed = false;
  EXPECT_GE(gSleepyCalls, 1);
  EXPECT_EQ(gSleepyMaxDepth, 1);
}

}  // namespace
