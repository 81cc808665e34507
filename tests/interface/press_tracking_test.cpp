// Press tracking on a real window: the mouse messages it follows are posted to the window's queue
// before the press starts, as the system would queue them while the button is held.
#include "interface/controls/press_tracking.h"

#include <gtest/gtest.h>

#include <vector>

#include "tests/graphics/surfaces.h"

namespace {

const Rect kTarget{10, 10, 50, 50};

// Records what the press did, in order: events as their codes, looks as "shown" entries.
struct Recorder {
  std::vector<int32_t> events;
  std::vector<bool> looks;
  int32_t failOnEvent = -1;
  Status failure = kOk;
  Status answer = kOk;  // every other event's answer
  HWND stealCaptureTo = nullptr;
};

bool Contains(void* context, Point point) {
  auto* recorder = static_cast<Recorder*>(context);
  if (recorder->stealCaptureTo) SetCapture(recorder->stealCaptureTo);
  return point.x >= kTarget.left && point.x < kTarget.right && point.y >= kTarget.top && point.y < kTarget.bottom;
}

Status Show(void* context, bool pressed) {
  static_cast<Recorder*>(context)->looks.push_back(pressed);
  return kOk;
}

Status Notify(void* context, int32_t event) {
  auto* recorder = static_cast<Recorder*>(context);
  recorder->events.push_back(event);
  return event == recorder->failOnEvent ? recorder->failure : recorder->answer;
}

class PressTrackingTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ShowWindow(window_.handle(), SW_SHOWNOACTIVATE);
    MSG message;  // whatever showing queued, the pointer's moves included
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
  }
  void Post(UINT message, int x, int y) { PostMessageA(window_.handle(), message, 0, MAKELPARAM(x, y)); }
  Status Track(bool* triggered, MouseButton button = kLeftButton) {
    PressTarget target{&recorder_, Contains, Show, Notify};
    return track_press(window_.handle(), button, target, triggered);
  }

  TestWindow window_;
  Recorder recorder_;
};

TEST_F(PressTrackingTest, LeavingComingBackAndReleasingOnTheTargetTriggers) {
  Post(WM_MOUSEMOVE, 20, 20);  // still inside: nothing changes
  Post(WM_MOUSEMOVE, 80, 20);
  Post(WM_MOUSEMOVE, 90, 30);  // still outside
  Post(WM_MOUSEMOVE, 30, 30);
  Post(WM_LBUTTONUP, 30, 30);
  bool triggered = false;
  ASSERT_EQ(Track(&triggered), kOk);
  EXPECT_TRUE(triggered);
  EXPECT_EQ(recorder_.events, (std::vector<int32_t>{kEventPressBegins, kEventPressLeft, kEventPressBack, kEventPressEnds}));
  EXPECT_EQ(recorder_.looks, (std::vector<bool>{true, false, true, false}));
  EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(PressTrackingTest, ReleasingOffTheTargetDoesNotTriggerAndShowsTheRestingLookOnce) {
  Post(WM_MOUSEMOVE, 80, 20);
  Post(WM_LBUTTONUP, 80, 20);
  bool triggered = true;
  ASSERT_EQ(Track(&triggered), kOk);
  EXPECT_FALSE(triggered);
  EXPECT_EQ(recorder_.events, (std::vector<int32_t>{kEventPressBegins, kEventPressLeft, kEventPressEnds}));
  EXPECT_EQ(recorder_.looks, (std::vector<bool>{true, false}));
}

TEST_F(PressTrackingTest, AReleaseJumpingOutsideIsSeenAtTheReleasePoint) {
  Post(WM_LBUTTONUP, 120, 70);  // no move before it
  bool triggered = true;
  ASSERT_EQ(Track(&triggered), kOk);
  EXPECT_FALSE(triggered);
  EXPECT_EQ(recorder_.events, (std::vector<int32_t>{kEventPressBegins, kEventPressLeft, kEventPressEnds}));
}

TEST_F(PressTrackingTest, OnlyTheReleaseOfThePressedButtonEndsThePress) {
  Post(WM_LBUTTONUP, 80, 20);  // not the pressed button: ending here would be off the target
  Post(WM_RBUTTONDOWN, 20, 20);
  Post(WM_RBUTTONUP, 20, 20);
  bool triggered = false;
  ASSERT_EQ(Track(&triggered, kRightButton), kOk);
  EXPECT_TRUE(triggered);
  EXPECT_EQ(recorder_.events, (std::vector<int32_t>{kEventPressBegins, kEventPressEnds}));
}

TEST_F(PressTrackingTest, RefusalsGoOnButAFailedEventEndsThePressAtOnceWithTheRestingLook) {
  recorder_.answer = kErrRefused;
  Post(WM_MOUSEMOVE, 80, 20);
  Post(WM_MOUSEMOVE, 20, 20);
  Post(WM_LBUTTONUP, 20, 20);
  bool triggered = false;
  ASSERT_EQ(Track(&triggered), kOk);
  EXPECT_TRUE(triggered);

  recorder_ = Recorder{};
  recorder_.failOnEvent = kEventPressBack;
  recorder_.failure = kErrNotFound;
  Post(WM_MOUSEMOVE, 80, 20);
  Post(WM_MOUSEMOVE, 20, 20);
  Post(WM_LBUTTONUP, 20, 20);
  ASSERT_EQ(Track(&triggered), kErrNotFound);
  EXPECT_FALSE(triggered);
  EXPECT_EQ(recorder_.events, (std::vector<int32_t>{kEventPressBegins, kEventPressLeft, kEventPressBack}));
  EXPECT_EQ(recorder_.looks, (std::vector<bool>{true, false, true, false}));
  EXPECT_EQ(GetCapture(), nullptr);
  MSG message;
  while (PeekMessageA(&message, nullptr, WM_MOUSEFIRST, WM_MOUSELAST, PM_REMOVE)) {
  }

  recorder_ = Recorder{};
  recorder_.failOnEvent = kEventPressBegins;
  recorder_.failure = kErrSystem;
  ASSERT_EQ(Track(&triggered), kErrSystem);
  EXPECT_TRUE(recorder_.looks.empty()) << "nothing was shown pressed, so nothing is restored";
}

TEST_F(PressTrackingTest, LosingTheCaptureEndsThePressOffTheTarget) {
  TestWindow other;
  recorder_.stealCaptureTo = other.handle();
  Post(WM_MOUSEMOVE, 20, 20);
  bool triggered = true;
  ASSERT_EQ(Track(&triggered), kOk);
  EXPECT_FALSE(triggered);
  EXPECT_EQ(recorder_.events, (std::vector<int32_t>{kEventPressBegins, kEventPressEnds}));
  EXPECT_EQ(recorder_.looks, (std::vector<bool>{true, false}));
  ReleaseCapture();
}

TEST_F(PressTrackingTest, AReleaseThatNeverArrivesIsTakenFromTheButtonAndThePointer) {
  // No message at all: the button is up (nobody holds it), so the press ends where the pointer is.
  POINT inside{30, 30};
  ClientToScreen(window_.handle(), &inside);
  SetCursorPos(inside.x, inside.y);
  MSG message;
  while (PeekMessageA(&message, nullptr, WM_MOUSEFIRST, WM_MOUSELAST, PM_REMOVE)) {
  }
  bool triggered = false;
  ASSERT_EQ(Track(&triggered), kOk);
  EXPECT_TRUE(triggered);
  EXPECT_EQ(recorder_.events, (std::vector<int32_t>{kEventPressBegins, kEventPressEnds}));
}

}  // namespace
