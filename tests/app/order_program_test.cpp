// The program's start-up and clean-up, run on modules with page archives of every kind: this test
// program's own resource (larger than the program accepts), a module whose archive is damaged, and the
// program itself.
#include "app/order_program.h"

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>

#include "app/page_archive.h"
#include "files/resource_load.h"
#include "files/stream.h"
#include "files/volumes.h"
#include "interface/variables.h"
#include "runtime/platform.h"
#include "runtime/value_table.h"

namespace {

int gBeeps = 0;
void CountBeep() { ++gBeeps; }

// A module beside this test program, or relative to it, loaded for its resources only.
struct DataModule {
  explicit DataModule(const char* relativePath) {
    char path[MAX_PATH];
    std::string full(path, GetModuleFileNameA(nullptr, path, MAX_PATH));
    full = full.substr(0, full.find_last_of('\\') + 1) + relativePath;
    module = LoadLibraryExA(full.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  }
  ~DataModule() {
    if (module) FreeLibrary(module);
  }
  HMODULE get() const { return module; }
  HMODULE module;
};

// Presses the close box of the program's window once it is shown, as the user would.
class CloseWhenShown {
 public:
  CloseWhenShown()
      : thread_([this] {
          for (int i = 0; i < 6000 && !stop_; ++i) {
            HWND window = FindWindowA("interface_tool_closebox", "Register Skyward");
            if (window && IsWindowVisible(window)) {
              shown_ = true;
              PostMessageA(window, WM_SYSCOMMAND, SC_CLOSE, 0);
              return;
            }
            Sleep(10);
          }
        }) {}
  ~CloseWhenShown() {
    stop_ = true;
    thread_.join();
  }
  bool shown() const { return shown_; }

 private:
  std::atomic<bool> stop_{false}, shown_{false};
  std::thread thread_;
};

class OrderProgramTest : public ::testing::Test {
 protected:
  void SetUp() override {
    gBeeps = 0;
    // The layers stay started between runs; what they make once is not the run's to clean up.
    ASSERT_EQ(PlatformStart(), kOk);
    liveHandles_ = HandleTableGetInfo().live;
    liveTables_ = live_table_count();
  }
  // Everything the run made is gone again: volume, streams, handles and the order form table. The
  // variables the pages show stay with the interface engine until it stops.
  void ExpectCleanedUp() {
    free_process_variables();
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

TEST_F(OrderProgramTest, TheProgramShowsItsWindowAndTheCloseBoxEndsItWithoutABeep) {
  DataModule program(SKYWARD_ORDER_PROGRAM);
  ASSERT_NE(program.get(), nullptr);
  CloseWhenShown user;
  EXPECT_EQ(OrderRun({program.get(), CountBeep}), kOk);
  EXPECT_TRUE(user.shown());
  EXPECT_EQ(gBeeps, 0);
  EXPECT_STREQ(get_variable(nullptr, "PRODUCT"), "Skyward");
  EXPECT_STREQ(get_variable(nullptr, "TIER"), "Skyward");
  EXPECT_STREQ(get_variable(nullptr, "PLATFORM"), "Windows");
  EXPECT_STREQ(get_variable(nullptr, "PRICE"), "30.00");
  EXPECT_STREQ(get_variable(nullptr, "UPGRADE"), "");
  EXPECT_STREQ(get_variable(nullptr, "UPGRADE_PRICE"), "");
  // The string table as shipped has no summary: the pages keep their own text.
  EXPECT_EQ(get_variable(nullptr, "PRICE_SUMMARY"), nullptr);
  ExpectCleanedUp();
}

TEST_F(OrderProgramTest, ASellersPriceSummaryIsShownThroughItsVariable) {
  DataModule priced("priced_pages.dll");
  ASSERT_NE(priced.get(), nullptr);
  CloseWhenShown user;
  EXPECT_EQ(OrderRun({priced.get(), CountBeep}), kOk);
  EXPECT_STREQ(get_variable(nullptr, "PRICE_SUMMARY"), "Ten copies for the price of eight.");
  ExpectCleanedUp();
}

}  // namespace
