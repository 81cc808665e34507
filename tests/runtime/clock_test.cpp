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

TEST(Sleep, ZeroReturnsAtOnceWithoutIdling) {
  ASSERT_EQ(PlatformAddIdle(RecordSlice), kOk);
  gSliceStarts.clear();
  gRecordSlices = true;
  SleepMilliseconds(0);
  gRecordSlices = false;
  EXPECT_TRUE(gSliceStarts.empty());
}

TEST(Sleep, WaitsTheWholeTimeInSlicesOfAtMostFiftyMilliseconds) {
  ASSERT_EQ(PlatformAddIdle(RecordSlice), kOk);
  gSliceStarts.clear();
  gRecordSlices = true;
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
    const int64_t slice = gSliceStarts[i] - gSliceStarts[i - 1];
    slices += std::to_string(slice) + " ";
    longest = std::max(longest, slice);
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

int gIdleDepth = 0;
int gIdleDeepest = 0;
int gIdleCalls = 0;
bool gSleepWhileIdle = false;
void SleepingIdle() {
  if (!gSleepWhileIdle) return;
  ++gIdleCalls;
  gIdleDeepest = std::max(gIdleDeepest, ++gIdleDepth);
  SleepMilliseconds(30);  // runs the idle routines again, but not this one
  --gIdleDepth;
}

TEST(Sleep, AnIdleRoutineThatSleepsIsNotReentered) {
  ASSERT_EQ(PlatformAddIdle(SleepingIdle), kOk);
  gSleepWhileIdle = true;
  SleepMilliseconds(200);
  gSleepWhileIdle = false;
  EXPECT_EQ(gIdleDeepest, 1);
  EXPECT_GE(gIdleCalls, 2);  // and it ran again once its first call was over
}

TEST(Clock, FollowsTheTickCountAndAgreesWithItself) {
  const int64_t ms = ClockMilliseconds();
  const int64_t us = ClockMicroseconds();
  EXPECT_GE(us / 1000, ms);
  EXPECT_LT(us / 1000 - ms, 50);

  const uint32_t ticks = ClockTicks();
  int64_t previous = ClockMilliseconds();
  const int64_t first = previous;
  for (int i = 0; i < 10000; ++i) {
    const int64_t now = ClockMilliseconds();
    ASSERT_GE(now, previous);
    previous = now;
  }
  Sleep(200);
  const int64_t clockAdvance = ClockMilliseconds() - first;
  const int64_t tickAdvance = ClockTicks() - ticks;
  EXPECT_GE(clockAdvance, 150);
  EXPECT_LT(std::abs(clockAdvance - tickAdvance), 100);
  EXPECT_EQ(ClockTicksPerSecond(), 1000u);
}

TEST(CalendarTime, MatchesTheSystemTime) {
  const int64_t utc = TimeUtcSeconds();
  const int64_t library = std::time(nullptr);
  EXPECT_LE(std::abs(utc - library), 2);

  TIME_ZONE_INFORMATION zone;
  const DWORD which = GetTimeZoneInformation(&zone);
  const LONG bias = zone.Bias + (which == TIME_ZONE_ID_DAYLIGHT ? zone.DaylightBias : zone.StandardBias);
  EXPECT_LE(std::abs(TimeLocalSeconds() - (TimeUtcSeconds() - bias * 60)), 2);
}

TEST(CalendarTime, TimeZoneNameIsCutToTheRoomGiven) {
  char full[64];
  ASSERT_EQ(TimeZoneName(full, sizeof full), kOk);
  EXPECT_GT(std::strlen(full), 0u);
  char cut[4];
  ASSERT_EQ(TimeZoneName(cut, sizeof cut), kOk);
  EXPECT_EQ(std::string(cut), std::string(full).substr(0, 3));
  EXPECT_EQ(TimeZoneName(cut, 0), kErrArgument);
}

}  // namespace
