// The program's start-up and clean-up, run on modules with page archives of every kind: this test
// program's own resource (larger than the program accepts), a module whose archive is damaged, and the
// program itself.
#include "app/order_program.h"

#include <gtest/gtest.h>

#include "app/page_archive.h"
#include "files/resource_load.h"
#include "files/stream.h"
#include "files/volumes.h"
#include "runtime/platform.h"
#include "runtime/value_table.h"
#include "tests/app/data_module.h"

namespace {

int gBeeps = 0;
void CountBeep() { ++gBeeps; }

class OrderProgramTest : public ::testing::Test {
 protected:
  void SetUp() override {
    gBeeps = 0;
    // The layers stay started between runs; what they make once is not the run's to clean up.
    ASSERT_EQ(PlatformStart(), kOk);
    liveHandles_ = HandleTableGetInfo().live;
    liveTables_ = live_table_count();
  }
  // Everything the run made is gone again: volume, streams, handles and the order form table.
  void ExpectCleanedUp() {
    EXPECT_EQ(VolumeFirstMounted(), nullptr);
    EXPECT_EQ(StreamFirstOpen(), nullptr);
    EXPECT_EQ(HandleTableGetInfo().live, liveHandles_);
    EXPECT_EQ(live_table_count(), liveTables_);
  }
  uint32_t liveHandles_ = 0;
  size_t liveTables_ = 0;
};

TEST_F(OrderProgramTest, AnOversizedPageArchiveFailsStartUpWithABeep) {
  HMODULE self = GetModuleHandleA(nullptr);
  EXPECT_EQ(OrderRun({self, CountBeep}), kErrMemory);
  EXPECT_EQ(gBeeps, 1);
  ExpectCleanedUp();
  // One byte more than the limit is what made it fail.
  MemoryHandle block = nullptr;
  EXPECT_EQ(ResourceLoadBlock(self, 1001, kPageArchiveResourceType, 0, UINT32_MAX, 1, &block), kErrFileNotFound);
  ASSERT_EQ(ResourceLoadBlock(self, kPageArchiveResourceId, kPageArchiveResourceType, 0, kPageArchiveMaximumSize + 1,
                              1, &block), kOk);
  EXPECT_EQ(HandleGetSize(block), kPageArchiveMaximumSize + 1);
  HandleDispose(block);
}

TEST_F(OrderProgramTest, AFailureAfterMountingStillUnmountsAndReleases) {
  DataModule damaged("damaged_pages.dll");
  ASSERT_NE(damaged.get(), nullptr);
  EXPECT_EQ(OrderRun({damaged.get(), CountBeep}), kErrDamagedArchive);
  EXPECT_EQ(gBeeps, 1);
  ExpectCleanedUp();
}

TEST_F(OrderProgramTest, TheProgramsOwnArchiveStartsAndEndsWithoutABeep) {
  DataModule program(SKYWARD_ORDER_PROGRAM);
  ASSERT_NE(program.get(), nullptr);
  EXPECT_EQ(OrderRun({program.get(), CountBeep}), kOk);
  EXPECT_EQ(gBeeps, 0);
  ExpectCleanedUp();
}

}  // namespace
