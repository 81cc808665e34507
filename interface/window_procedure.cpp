// The window procedure of the interface windows: one small function per message.
#include <algorithm>

#include "graphics/pixmap_device.h"
#include "interface/cursors.h"
#include "graphics/port_objects.h"
#include "interface/interface_window.h"
#include "runtime/platform.h"

namespace {

InterfaceWindow* WindowOf(HWND native) {
  auto* window = reinterpret_cast<InterfaceWindow*>(GetWindowLongPtrA(native, GWLP_USERDATA));
  return window && is_interface_open(window) && window->created && !window->destroying ? window : nullptr;
}

// The element of the top-level window or of a window nested in it that owns the native control.
Element* ControlOwner(InterfaceWindow* top, HWND control) {
  for (InterfaceWindow* window = first_open_window(); window; window = window->nextOpen) {
    if (top_window(window) != top) continue;
    for (Element* element = window->page.first; element; element = element->next) {
      bool owns = false;
      send_message(element, kMessageOwnsControl, reinterpret_cast<intptr_t>(control), &owns);
      if (owns) return element;
    }
  }
  return nullptr;
}

HBRUSH BrushOf(InterfaceWindow* top, const Colour& colour) {
  const COLORREF wanted = GdiColour(colour);
  for (size_t i = 0; i < top->brushCount; ++i)
    if (top->brushes[i].colour == wanted) return top->brushes[i].brush;
  HBRUSH brush = CreateSolidBrush(wanted);
  if (!brush) return static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
  if (top->brushCount == kControlBrushLimit) {
    DeleteObject(top->brushes[0].brush);
    std::copy(top->brushes + 1, top->brushes + kControlBrushLimit, top->brushes);
    --top->brushCount;
  }
  top->brushes[top->brushCount++] = {wanted, brush};
  return brush;
}

void OnPaint(InterfaceWindow* top) {
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(top->native, &paint);
  if (dc) paint_window(top, dc, paint.rcPaint);
  EndPaint(top->native, &paint);
}

// Only a key-down followed by its character makes a key event; Escape, Return and Alt shortcuts came
// through the pre-translation already when the program's loop offers it the messages.
bool OnKeyDown(InterfaceWindow* top, UINT message, WPARAM wParam, LPARAM lParam) {
  const UINT characterMessage = message == WM_KEYDOWN ? WM_CHAR : WM_SYSCHAR;
  MSG character;
  if (!PeekMessageA(&character, top->native, characterMessage, characterMessage, PM_REMOVE))
    return message == WM_KEYDOWN;  // system keys without a character (Alt+F4) go on to the system
  handle_key(top, make_key_event(uint32_t(wParam), uint8_t(character.wParam), lParam));
  return true;
}

void OnMouse(InterfaceWindow* top, UINT message, WPARAM wParam, LPARAM lParam) {
  const MouseEvent event = make_mouse_event(message, wParam, lParam);
  if (message == WM_MOUSEMOVE) return;
  if (Element* focused = top->focus.element) {
    InputResult result{};
    send_message(focused, kMessageMouseButton + int32_t(message - WM_MOUSEFIRST), reinterpret_cast<intptr_t>(&event),
                 &result);
    if (activate_taker(top, &result) != kOk || !is_interface_open(top) || result.taken) return;
  }
  const bool press = message == WM_LBUTTONDOWN || message == WM_RBUTTONDOWN || message == WM_MBUTTONDOWN ||
                     (event.modifiers & kModDoubleClick);
  if (!press) return;
  InputResult result{};
  if (dispatch_mouse(top, event, &result) == kOk) activate_taker(top, &result);
}

void OnCommand(InterfaceWindow* top, WPARAM wParam, LPARAM lParam) {
  // Notifications that arrive while a handler runs answer the engine's own doing (a value set, a
  // focus given): they are not the user's.
  HWND control = reinterpret_cast<HWND>(lParam);
  if (!control || handler_running()) return;
  Element* owner = ControlOwner(top, control);
  if (!owner) return;
  switch (HIWORD(wParam)) {
    case 0:  // a click of a button, or a choice in a list
    case 1:
      follow_link(owner->window, owner, nullptr);
      break;
    case EN_SETFOCUS:
      move_focus(top, owner);
      break;
    case EN_KILLFOCUS:
      if (top->focus.element == owner) move_focus(top, nullptr);
      break;
    case EN_CHANGE:
      handle_key(top, KeyEvent{});
      break;
  }
}

void OnActivate(InterfaceWindow* top, WPARAM wParam) {
  const bool active = LOWORD(wParam) != WA_INACTIVE;
  const uint32_t generation = top->pageGeneration;
  for (Element* element = top->page.first; element; element = element->next) {
    send_message(element, active ? kMessageActivate : kMessageDeactivate);
    if (top->pageGeneration != generation) return;
  }
  if (active) restore_focus(top);
}

bool OnSetCursor(InterfaceWindow* top, WPARAM wParam, LPARAM lParam) {
  if (reinterpret_cast<HWND>(wParam) != top->native || LOWORD(lParam) != HTCLIENT) return false;
  POINT point;
  GetCursorPos(&point);
  ScreenToClient(top->native, &point);
  const int32_t cursor = cursor_at(top, MouseEvent{{point.x, point.y}, WM_MOUSEMOVE, kNoButton, 0});
  set_cursor(cursor == kCursorNoPreference ? 0 : cursor);
  return true;
}

// The user cannot resize the window: it keeps the size the engine gave it.
void OnGetMinMaxInfo(InterfaceWindow* top, MINMAXINFO* info) {
  RECT frame;
  if (top->sizing || !GetWindowRect(top->native, &frame)) return;
  info->ptMinTrackSize = info->ptMaxTrackSize = POINT{frame.right - frame.left, frame.bottom - frame.top};
}

void OnSize(InterfaceWindow* top) {
  RECT client;
  if (!GetClientRect(top->native, &client)) return;
  top->bounds = {0, 0, client.right, client.bottom};
  if (!top->offscreen) return;
  PixmapDispose(top->offscreen);
  top->offscreen = PixmapNewForWindow(top->native, nullptr);
  request_redraw(top);
}

LRESULT OnControlColour(InterfaceWindow* top, UINT message, WPARAM wParam, LPARAM lParam) {
  Colour foreground = top->foreground, background = top->background;
  if (message != WM_CTLCOLORDLG) {
    if (Element* owner = ControlOwner(top, reinterpret_cast<HWND>(lParam))) {
      foreground = owner->window->foreground;
      background = owner->window->background;
      send_message(owner, kMessageGetForeColour, 0, &foreground);
      send_message(owner, kMessageGetBackColour, 0, &background);
    }
  }
  HDC dc = reinterpret_cast<HDC>(wParam);
  SetTextColor(dc, GdiColour(foreground));
  SetBkColor(dc, GdiColour(background));
  return reinterpret_cast<LRESULT>(BrushOf(top, background));
}

}  // namespace

void free_control_brushes(InterfaceWindow* top) {
  for (size_t i = 0; i < top->brushCount; ++i) DeleteObject(top->brushes[i].brush);
  top->brushCount = 0;
}

LRESULT CALLBACK interface_window_procedure(HWND native, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    const auto* creation = reinterpret_cast<const CREATESTRUCTA*>(lParam);
    SetWindowLongPtrA(native, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(creation->lpCreateParams));
  }
  InterfaceWindow* top = WindowOf(native);
  if (!top) return DefWindowProcA(native, message, wParam, lParam);
  switch (message) {
    case WM_PAINT:
      OnPaint(top);
      return 0;
    case WM_ERASEBKGND:
      return 1;  // the paint covers every pixel from the off-screen buffer
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
      if (OnKeyDown(top, message, wParam, lParam)) return 0;
      break;
    case WM_KEYUP:
    case WM_CHAR:
    case WM_DEADCHAR:
      return 0;
    case WM_MOUSEMOVE:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
    case WM_RBUTTONDBLCLK:
    case WM_MBUTTONDOWN:
    case WM_MBUTTONUP:
    case WM_MBUTTONDBLCLK:
      OnMouse(top, message, wParam, lParam);
      return 0;
    case WM_COMMAND:
      OnCommand(top, wParam, lParam);
      return 0;
    case WM_ACTIVATE:
      OnActivate(top, wParam);
      return 0;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
      return 0;
    case WM_SETCURSOR:
      if (OnSetCursor(top, wParam, lParam)) return TRUE;
      break;
    case WM_GETMINMAXINFO:
      OnGetMinMaxInfo(top, reinterpret_cast<MINMAXINFO*>(lParam));
      return 0;
    case WM_SIZE:
      OnSize(top);
      return 0;
    case WM_SYSCOMMAND:
      if ((wParam & 0xFFF0) != SC_CLOSE) break;
      close_interface(top);  // the close box
      return 0;
    case WM_CLOSE:
      close_interface(top);
      return 0;
    case WM_DESTROY:
      // Not the engine's doing: the native window is going whatever happens.
      top->nativeGone = true;
      close_interface(top);
      return 0;
    case WM_TIMER:
      PlatformRunIdle();
      return 0;
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLOREDIT:
      return OnControlColour(top, message, wParam, lParam);
  }
  return DefWindowProcA(native, message, wParam, lParam);
}
