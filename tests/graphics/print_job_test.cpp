// The print jobs' abort procedure: whatever waits for the thread's windows is dispatched while the
// printer driver works, and printing goes on. (Printing itself runs against a real printer queue in
// the order tests.) Wine calls the procedure from StartDoc only; Windows also while the page spools.
#include <gtest/gtest.h>

#include "graphics/print_job.h"

namespace {

int gReceived = 0;
LRESULT CALLBACK Receiver(HWND window, UINT message, WPARAM w, LPARAM l) {
  if (message == WM_APP) ++gReceived;
  return DefWindowProcA(window, message, w, l);
}

TEST(PrintAbortProcTest, DispatchesWaitingMessagesAndLeavesTheQuitToTheProgram) {
  WNDCLASSA windowClass = {};
  windowClass.lpfnWndProc = Receiver;
  windowClass.hInstance = GetModuleHandleA(nullptr);
  windowClass.lpszClassName = "print_abort_receiver";
  RegisterClassA(&windowClass);
  HWND receiver = CreateWindowA("print_abort_receiver", "", 0, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
  ASSERT_NE(receiver, nullptr);
  gReceived = 0;
  PostMessageA(receiver, WM_APP, 0, 0);
  PostMessageA(receiver, WM_APP, 0, 0);
  EXPECT_TRUE(PrintAbortProc(nullptr, 0));
  EXPECT_EQ(gReceived, 2);

  // A quit asked for meanwhile still reaches the program's own loop, with its code.
  PostQuitMessage(7);
  PostMessageA(receiver, WM_APP, 0, 0);
  EXPECT_TRUE(PrintAbortProc(nullptr, 0));
  EXPECT_EQ(gReceived, 3);
  MSG quit;
  ASSERT_TRUE(PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
  EXPECT_EQ(quit.wParam, 7u);
  DestroyWindow(receiver);
}

TEST(PrintJobTest, APortThatIsNoJobsIsRefused) {
  EXPECT_EQ(PrintJobClose(nullptr, false), kErrState);
  EXPECT_EQ(PrintJobOpenCount(), 0);
}

}  // namespace
