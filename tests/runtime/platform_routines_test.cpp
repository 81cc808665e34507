#include "runtime/platform_routines.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>

namespace {

std::string gCalls;

template <char Name>
void Record() { gCalls += Name; }

void RegistersAnother() {
  gCalls += 'r';
  PlatformAtExit(Record<'n'>);
}

// Fifty distinct routines, made from one template.
template <size_t... I>
bool RegisterFifty(std::index_sequence<I...>) {
  return ((PlatformAtExit(Record<char(I + 1)>) == kOk) && ...);
}

TEST(PlatformRoutines, ExitRoutinesRunOnceLastFirstAndTheFiftyFirstIsRefused) {
  PlatformRunExitRoutines();  // start from an empty exit list
  gCalls.clear();
  ASSERT_EQ(PlatformAtExit(Record<'a'>), kOk);
  ASSERT_EQ(PlatformAtExit(RegistersAnother), kOk);
  ASSERT_EQ(PlatformAtExit(Record<'a'>), kOk);  // already listed: one entry
  ASSERT_EQ(PlatformAtExit(Record<'c'>), kOk);
  PlatformRunExitRoutines();
  EXPECT_EQ(gCalls, "crna");  // one registered during the run still runs
  PlatformRunExitRoutines();
  EXPECT_EQ(gCalls, "crna");

  gCalls.clear();
  ASSERT_TRUE(RegisterFifty(std::make_index_sequence<kPlatformRoutineLimit>()));
  EXPECT_EQ(PlatformAtExit(Record<'z'>), kErrArgument);
  EXPECT_EQ(PlatformAtExit(Record<char(1)>), kOk);  // a duplicate is still accepted
  PlatformRunExitRoutines();
  EXPECT_EQ(gCalls.size(), kPlatformRoutineLimit);
}

int gIdleCalls = 0;
int gIdleDepth = 0;
int gIdleMaxDepth = 0;
void NestingIdle() {
  ++gIdleCalls;
  gIdleMaxDepth = std::max(gIdleMaxDepth, ++gIdleDepth);
  PlatformRunIdle();  // like an idle routine that sleeps, which runs the idle routines again
  --gIdleDepth;
}

TEST(PlatformRoutines, AnIdleRoutineIsNotReentered) {
  ASSERT_EQ(PlatformAddIdle(NestingIdle), kOk);
  ASSERT_EQ(PlatformAddIdle(NestingIdle), kOk);
  PlatformRunIdle();
  PlatformRunIdle();  // and it runs again once the first call is over
  EXPECT_EQ(gIdleCalls, 2);
  EXPECT_EQ(gIdleMaxDepth, 1);
}

}  // namespace
