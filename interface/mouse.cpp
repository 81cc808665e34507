// Mouse input: events from native mouse messages, presses dispatched to the element under the pointer
// (later elements lie on top), and the cursor an element asks for.
#include "interface/interface_window.h"

namespace {

MouseButton ButtonOf(UINT message) {
  switch (message) {
    case WM_LBUTTONDOWN: case WM_LBUTTONUP: case WM_LBUTTONDBLCLK: return kLeftButton;
    case WM_RBUTTONDOWN: case WM_RBUTTONUP: case WM_RBUTTONDBLCLK: return kRightButton;
    case WM_MBUTTONDOWN: case WM_MBUTTONUP: case WM_MBUTTONDBLCLK: return kMiddleButton;
    default: return kNoButton;
  }
}

}  // namespace

MouseEvent make_mouse_event(UINT message, WPARAM wParam, LPARAM lParam) {
  MouseEvent event{{int16_t(LOWORD(lParam)), int16_t(HIWORD(lParam))}, message, ButtonOf(message), 0};
  if (wParam & MK_SHIFT) event.modifiers |= kModShift;
  if (wParam & MK_CONTROL) event.modifiers |= kModControl;
  if (GetKeyState(VK_MENU) & 0x8000) event.modifiers |= kModAlt;
  if (GetSystemMetrics(SM_SWAPBUTTON)) event.modifiers |= kModButtonsSwapped;
  if (wParam & MK_LBUTTON) event.modifiers |= kModLeftButton;
  if (wParam & MK_RBUTTON) event.modifiers |= kModRightButton;
  if (wParam & MK_MBUTTON) event.modifiers |= kModMiddleButton;
  if (message == WM_LBUTTONDBLCLK || message == WM_RBUTTONDBLCLK || message == WM_MBUTTONDBLCLK)
    event.modifiers |= kModDoubleClick;
  return event;
}

Status dispatch_mouse(InterfaceWindow* window, const MouseEvent& event, InputResult* result) {
  Element* element = element_under(window, event.point);
  if (!element) return kOk;
  result->window = window;
  result->element = element;
  return send_message(element, kMessageMouseDown, reinterpret_cast<intptr_t>(&event), result);
}

int32_t cursor_at(InterfaceWindow* window, const MouseEvent& event) {
  int32_t cursor = kCursorNoPreference;
  if (Element* element = element_under(window, event.point))
    send_message(element, kMessageCursorQuery, reinterpret_cast<intptr_t>(&event), &cursor);
  return cursor;
}
