#include "runtime/clock.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cstring>
#include <ctime>
#include <string>
#include <vector>

#include "runtime/platform_routines.h"

namespace {

// Idle routines stay registered for the life of the process, so each does its work only while its
// test wants it.
std::vector<int64_t> gSliceStarts;
bool gRecordSlices = false;
void RecordSlice() {
  if (gRecordSlices) gSliceStarts.push_back(ClockMilliseconds());
}

TEST(Sleep, WaitsTheWholeTimeInSlicesOfAtMostFiftyMilliseconds) {
  ASSERT_EQ(PlatformAddIdle(RecordSlice), kOk);
  gRecordSlices = true;
  SleepMilliseconds(0);
  EXPECT_TRUE(gSliceStarts.empty());  // at once, without a slice

  const int64_t start = ClockMilliseconds();
  SleepMilliseconds(120);
  const int64_t end = ClockMilliseconds();
  gRecordSlices = false;
  EXPECT_GE(end - start, 120);
  // The idle routines run before every slice, so their calls mark where each slice began.
  ASSERT_GE(gSliceStarts.size(), 3u);
  gSliceStarts.push_back(end);
  std::string slices;
  int64_t longest = 0;
  for (size_t i = 1; i < gSliceStarts.size(); ++i) {
    slices += std::to_string(gSliceStarts[i] - gSliceStarts[i - 1]) + " ";
    longest = std::max(longest, gSliceStarts[i] - gSliceStarts[i - 1]);
  }
  RecordProperty("slices", slices);
  // A slice asks for at most 50 ms; the margin is only for a busy machine waking the thread late.
  EXPECT_LT(longest, 50 + 100) << slices;
}

bool gApcDelivered = false;
void CALLBACK DeliverApc(ULONG_PTR) { gApcDelivered = true; }

TEST(Sleep, IsAlertable) {
  ASSERT_TRUE(QueueUserAPC(DeliverApc, GetCurrentThread(), 0));
  SleepMilliseconds(60);
  EXPECT_TRUE(gApcDelivered);
}

TEST(Clock, FollowsTheTickCountAndAgreesWithItself) {
  const int64_t ms = ClockMilliseconds();
  const int64_t us = ClockMicroseconds();
  EXPECT_GE(us / 1000, ms);
  EXPECT_LT(us / 1000 - ms, 50);

  const uint32_t ticks = ClockTicks();
  const int64_t first = ClockMilliseconds();
  Sleep(200);
  const int64_t clockAdvance = ClockMilliseconds() - first;
  EXPECT_GE(clockAdvance, 150);
  EXPECT_LT(std::abs(clockAdvance - int64_t(ClockTicks() - ticks)), 100);
}

TEST(CalendarTime, MatchesTheSystemTime) {
  EXPECT_LE(std::abs(TimeUtcSeconds() - int64_t(std::time(nullptr))), 2);
  char zone[64];
  ASSERT_EQ(TimeZoneName(zone, sizeof zone), kOk);
  EXPECT_GT(std::strlen(zone), 0u);
}

}  // namespace
