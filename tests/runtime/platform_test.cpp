#include "runtime/platform.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "runtime/clock.h"
#include "runtime/encodings.h"
#include "runtime/value_table.h"
#include "tests/runtime/process_counts.h"

namespace {

constexpr wchar_t kOwnClass[] = L"PLATFORM_WINDOW_CLASS";

std::string gCalls;

template <char Name>
void Record() { gCalls += Name; }

void StopAgainAndRecord() {
  PlatformStop();  // does nothing while the platform stops: the routines behind this one run after it
  gCalls += 's';
}

bool OwnClassRegistered() {
  WNDCLASSEXW windowClass = {};
  windowClass.cbSize = sizeof windowClass;
  return GetClassInfoExW(GetModuleHandleW(nullptr), kOwnClass, &windowClass);
}

// The platform makes a window of its own only when there is no foreground window to borrow.
bool WillMakeItsOwnWindow() {
  HWND foreground = GetForegroundWindow();
  return !foreground || foreground == GetDesktopWindow();
}

class Platform : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_FALSE(PlatformIsStarted());
    gCalls.clear();
  }
  void TearDown() override { PlatformStop(); }
};

TEST_F(Platform, StartAndStopLeaveNoThreadHandleWindowOrTableBehind) {
  if (!WillMakeItsOwnWindow()) GTEST_SKIP() << "another window is in the foreground";
  // The first window of a process opens what the window system keeps for the whole process.
  ASSERT_EQ(PlatformStart(), kOk);
  PlatformStop();
  const ProcessCounts before = ProcessCounts::Before();
  const size_t tables = live_table_count();

  // (SCOPED_TRACE is avoided here: its first use starts a thread of the test framework's own.)
  for (int round = 0; round < 3; ++round) {
    ASSERT_EQ(PlatformStart(), kOk) << "round " << round;
    EXPECT_EQ(ClockSecondsSinceStart(), 1u);
    const ProcessCounts running = ProcessCounts::Now();
    EXPECT_EQ(running.threads, before.threads + 1) << "the housekeeper, round " << round;
    EXPECT_EQ(FindWindowW(kOwnClass, nullptr), PlatformWindow());
    EXPECT_EQ(live_table_count(), tables + 2);  // the encoding alias and entity tables
    EXPECT_EQ(EntityToByte("&eacute;"), 0xE9);

    EXPECT_EQ(PlatformStart(), kOk);  // already running: nothing more is made
    EXPECT_EQ(ProcessCounts::Now(), running) << "round " << round;

    PlatformStop();
    EXPECT_FALSE(PlatformIsStarted());
    EXPECT_EQ(PlatformWindow(), nullptr);
    EXPECT_EQ(ProcessCounts::Now(), before) << "round " << round;
    EXPECT_FALSE(OwnClassRegistered());
    EXPECT_EQ(live_table_count(), tables);
  }
}

TEST_F(Platform, ExitRoutinesRunOnceEvenWhenOneStopsThePlatformAgain) {
  ASSERT_EQ(PlatformStart(), kOk);
  ASSERT_EQ(PlatformAtExit(Record<'a'>), kOk);
  ASSERT_EQ(PlatformAtExit(StopAgainAndRecord), kOk);
  ASSERT_EQ(PlatformAtExit(Record<'b'>), kOk);
  PlatformStop();
  EXPECT_EQ(gCalls, "bsa");
  EXPECT_FALSE(PlatformIsStarted());

  ASSERT_EQ(PlatformAtExit(Record<'c'>), kOk);
  PlatformStop();  // a second stop does nothing
  EXPECT_EQ(gCalls, "bsa");
  ASSERT_EQ(PlatformStart(), kOk);  // the routine waits for the next stop
  PlatformStop();
  EXPECT_EQ(gCalls, "bsac");
}

LRESULT DoubleInHandler(HWND, UINT, WPARAM wParam, LPARAM) { return PlatformInHandler() ? wParam * 2 : 1; }

TEST_F(Platform, ItsOwnWindowIsHiddenPassesMessagesToHandlersAndEndsWithTheSession) {
  if (!WillMakeItsOwnWindow()) GTEST_SKIP() << "another window is in the foreground";
  ASSERT_EQ(PlatformStart(), kOk);
  HWND window = PlatformWindow();
  ASSERT_NE(window, nullptr);
  EXPECT_FALSE(IsWindowVisible(window));
  const UINT message = WM_APP + 7;
  EXPECT_EQ(SendMessageW(window, message, 21, 0), 0);  // no handler: the default procedure
  ASSERT_EQ(PlatformSetMessageHandler(message, DoubleInHandler), kOk);
  EXPECT_EQ(SendMessageW(window, message, 21, 0), 42);
  EXPECT_FALSE(PlatformInHandler());

  // The end of the session stops the platform; an aborted end does not.
  ASSERT_EQ(PlatformAtExit(Record<'x'>), kOk);
  SendMessageW(window, WM_ENDSESSION, FALSE, 0);
  EXPECT_TRUE(PlatformIsStarted());
  SendMessageW(window, WM_ENDSESSION, TRUE, 0);
  EXPECT_FALSE(PlatformIsStarted());
  EXPECT_EQ(gCalls, "x");
  EXPECT_FALSE(IsWindow(window));

  ASSERT_EQ(PlatformStart(), kOk);  // the handlers went with the old window
  EXPECT_EQ(SendMessageW(PlatformWindow(), message, 5, 0), 0);
}

TEST_F(Platform, BorrowsTheForegroundWindow) {
  // Stands in for another program's window. Not shown: without a window manager Wine takes two seconds
  // to destroy a shown window, and a hidden one can be brought to the foreground as well.
  HWND foreground = CreateWindowExA(0, "STATIC", "another program", WS_OVERLAPPEDWINDOW, 10, 10, 200, 100,
                                    nullptr, nullptr, nullptr, nullptr);
  SetForegroundWindow(foreground);
  if (GetForegroundWindow() != foreground) {
    DestroyWindow(foreground);
    GTEST_SKIP() << "this display does not give the window the foreground";
  }
  ASSERT_EQ(PlatformStart(), kOk);
  EXPECT_EQ(PlatformWindow(), foreground);
  EXPECT_FALSE(OwnClassRegistered());
  PlatformStop();
  EXPECT_TRUE(IsWindow(foreground));  // not the platform's to destroy
  DestroyWindow(foreground);
}

TEST(PlatformDeathTest, AFatalExceptionOrExitStillRunsTheExitRoutines) {
  const auto start = [] {
    PlatformStart();
    PlatformAtExit([] {
      std::fputs("exit routines ran\n", stderr);
      std::fflush(stderr);
    });
  };
  EXPECT_EXIT((start(), RaiseException(0xE0000001, EXCEPTION_NONCONTINUABLE, 0, nullptr)),
              [](int code) { return code != 0; }, "exit routines ran");
  EXPECT_EXIT((start(), std::exit(3)), ::testing::ExitedWithCode(3), "exit routines ran");
}

}  // namespace
