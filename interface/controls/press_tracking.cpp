#include "interface/controls/press_tracking.h"

#include <windowsx.h>

namespace {

// How often the wait looks again at the capture and at the button itself: a release that went to
// another window (before the capture was set) would otherwise never be seen.
constexpr DWORD kRecheckMs = 100;

UINT ReleaseMessageOf(MouseButton button) {
  switch (button) {
    case kRightButton:
      return WM_RBUTTONUP;
    case kMiddleButton:
      return WM_MBUTTONUP;
    default:
      return WM_LBUTTONUP;
  }
}

int VirtualKeyOf(MouseButton button) {
  // The physical button: with swapped buttons the system reports the logical ones in messages.
  bool swapped = GetSystemMetrics(SM_SWAPBUTTON) != 0;
  switch (button) {
    case kRightButton:
      return swapped ? VK_LBUTTON : VK_RBUTTON;
    case kMiddleButton:
      return VK_MBUTTON;
    default:
      return swapped ? VK_RBUTTON : VK_LBUTTON;
  }
}

// A callback answer that lets the press go on.
Status Tolerated(Status answer) { return answer == kErrRefused ? kOk : answer; }

struct Press {
  HWND window;
  const PressTarget& target;
  bool shown = false;  // the pressed look is on screen
  bool inside = true;  // the pointer was on the target when last seen

  Status Notify(int32_t event) { return Tolerated(target.notify(target.context, event)); }

  Status Show(bool pressed) {
    Status status = target.show(target.context, pressed);
    if (status == kOk) shown = pressed;
    return status;
  }

  Status MovedTo(Point point) {
    bool now = target.contains(target.context, point);
    if (now == inside) return kOk;
    inside = now;
    Status status = Show(now);
    return status != kOk ? status : Notify(now ? kEventPressBack : kEventPressLeft);
  }

  // Whatever ended the press, the pressed look does not stay behind.
  void Restore() {
    if (shown) target.show(target.context, false);
  }
};

Point PointOf(const MSG& message, HWND window) {
  POINT point{GET_X_LPARAM(message.lParam), GET_Y_LPARAM(message.lParam)};
  if (message.hwnd != window) MapWindowPoints(message.hwnd, window, &point, 1);
  return Point{point.x, point.y};
}

// Waits for the release; 0 with *released set, or the first failure.
Status FollowPointer(Press& press, MouseButton button) {
  const UINT release = ReleaseMessageOf(button);
  for (;;) {
    MSG message;
    if (PeekMessageA(&message, nullptr, WM_MOUSEFIRST, WM_MOUSELAST, PM_REMOVE)) {
      if (message.message == WM_MOUSEMOVE || message.message == release) {
        Status status = press.MovedTo(PointOf(message, press.window));
        if (status != kOk || message.message == release) return status;
      }
      continue;  // other buttons do nothing while this one is held
    }
    // The window may be uncovered meanwhile; painting it shows the control's present look.
    if (PeekMessageA(&message, nullptr, WM_PAINT, WM_PAINT, PM_REMOVE)) {
      DispatchMessageA(&message);
      continue;
    }
    if (GetCapture() != press.window) {
      press.inside = false;
      return kOk;
    }
    DWORD woken = MsgWaitForMultipleObjects(0, nullptr, FALSE, kRecheckMs, QS_MOUSE | QS_PAINT | QS_SENDMESSAGE);
    if (woken == WAIT_TIMEOUT && (GetAsyncKeyState(VirtualKeyOf(button)) & 0x8000) == 0 &&
        !PeekMessageA(&message, nullptr, WM_MOUSEFIRST, WM_MOUSELAST, PM_NOREMOVE)) {
      POINT cursor;
      if (GetCursorPos(&cursor) && ScreenToClient(press.window, &cursor))
        return press.MovedTo(Point{cursor.x, cursor.y});
      press.inside = false;
      return kOk;
    }
  }
}

}  // namespace

Status track_press(HWND window, MouseButton button, const PressTarget& target, bool* triggered) {
  *triggered = false;
  Press press{window, target};
  Status status = press.Notify(kEventPressBegins);
  if (status == kOk) status = press.Show(true);
  if (status == kOk) {
    SetCapture(window);
    status = FollowPointer(press, button);
    if (GetCapture() == window) ReleaseCapture();
  }
  if (status == kOk) status = press.Notify(kEventPressEnds);
  if (status == kOk && press.shown) status = press.Show(false);
  press.Restore();
  if (status == kOk) *triggered = press.inside;
  return status;
}
