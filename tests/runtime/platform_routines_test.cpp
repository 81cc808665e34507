#include "runtime/platform_routines.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>

namespace {

std::string gCalls;

template <char Name>
void Record() { gCalls += Name; }

class PlatformRoutines : public ::testing::Test {
 protected:
  void SetUp() override {
    PlatformRunExitRoutines();  // start from an empty exit list
    gCalls.clear();
  }
  void TearDown() override { PlatformRunExitRoutines(); }
};

TEST_F(PlatformRoutines, ExitRoutinesRunOnceInReverseOrder) {
  ASSERT_EQ(PlatformAtExit(Record<'a'>), kOk);
  ASSERT_EQ(PlatformAtExit(Record<'b'>), kOk);
  ASSERT_EQ(PlatformAtExit(Record<'a'>), kOk);  // already listed: one entry
  ASSERT_EQ(PlatformAtExit(Record<'c'>), kOk);
  PlatformRunExitRoutines();
  EXPECT_EQ(gCalls, "cba");
  PlatformRunExitRoutines();
  EXPECT_EQ(gCalls, "cba");
}

void RegistersAnother() {
  gCalls += 'r';
  PlatformAtExit(Record<'n'>);
}

TEST_F(PlatformRoutines, ARoutineRegisteredDuringTheRunStillRuns) {
  ASSERT_EQ(PlatformAtExit(Record<'a'>), kOk);
  ASSERT_EQ(PlatformAtExit(RegistersAnother), kOk);
  PlatformRunExitRoutines();
  EXPECT_EQ(gCalls, "rna");
}

// Fifty distinct routines, made from one template.
template <size_t... I>
bool RegisterFifty(std::index_sequence<I...>) {
  return ((PlatformAtExit(Record<char(I + 1)>) == kOk) && ...);
}

TEST_F(PlatformRoutines, TheFiftyFirstExitRoutineIsRefused) {
  ASSERT_TRUE(RegisterFifty(std::make_index_sequence<kPlatformRoutineLimit>()));
  EXPECT_EQ(PlatformAtExit(Record<'z'>), kErrArgument);
  EXPECT_EQ(PlatformAtExit(Record<char(1)>), kOk);  // a duplicate is still accepted
  PlatformRunExitRoutines();
  EXPECT_EQ(gCalls.size(), kPlatformRoutineLimit);
}

int gIdleDepth = 0;
int gIdleMaxDepth = 0;
void NestingIdle() {
  ++gIdleDepth;
  if (gIdleDepth > gIdleMaxDepth) gIdleMaxDepth = gIdleDepth;
  PlatformRunIdle();  // like an idle routine that sleeps, which runs the idle routines again
  --gIdleDepth;
}

TEST_F(PlatformRoutines, AnIdleRoutineIsNotReentered) {
  ASSERT_EQ(PlatformAddIdle(NestingIdle), kOk);
  ASSERT_EQ(PlatformAddIdle(NestingIdle), kOk);
  PlatformRunIdle();
  EXPECT_EQ(gIdleMaxDepth, 1);
  PlatformRunIdle();  // and it runs again once the first call is over
  EXPECT_EQ(gIdleDepth, 0);
}

}  // namespace
