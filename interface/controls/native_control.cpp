#include "interface/controls/native_control.h"

#include "interface/element_support.h"
#include "runtime/text.h"

namespace {

// The first characters of a text that a native control shows.
struct NativeText {
  char text[kNativeTextLimit + 1];
  explicit NativeText(const char* source) { TextCopyBounded(text, source ? source : "", sizeof text); }
};

}  // namespace

Status native_control_create(const ElementContext& context, const char* windowClass, const char* text,
                             DWORD style, const Rect& rect, HWND* control) {
  NativeText label(text);
  *control = CreateWindowExA(0, windowClass, label.text, style, rect.left, rect.top, rect.right - rect.left,
                             rect.bottom - rect.top, context.window, nullptr, GetModuleHandleA(nullptr), nullptr);
  if (*control) {
    // The window's own font rather than the system's bold one, like a dialog's controls.
    SendMessageA(*control, WM_SETFONT, WPARAM(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
    return kOk;
  }
  GetLastError();
  return kErrNativeWindow;
}

Status native_control_draw(const ElementContext& context, HWND control, const Rect& rect) {
  if (!control) return kOk;
  if (context.dc == context.windowDc) {
    SendMessageA(control, WM_PAINT, 0, 0);
    return kOk;
  }
  // Printed into a context of its own at the device origin, then copied to its place: controls clip
  // their painting to their client rectangle in device units, which a moved origin would cut short.
  const int width = rect.right - rect.left, height = rect.bottom - rect.top;
  if (width <= 0 || height <= 0) return kOk;
  HDC memory = CreateCompatibleDC(context.dc);
  HBITMAP bitmap = memory ? CreateCompatibleBitmap(context.dc, width, height) : nullptr;
  HGDIOBJ previous = bitmap ? SelectObject(memory, bitmap) : nullptr;
  Status status = kErrMemory;
  // The page under the control first, for the parts a control leaves unpainted.
  if (previous && BitBlt(memory, 0, 0, width, height, context.dc, rect.left, rect.top, SRCCOPY)) {
    SendMessageA(control, WM_PRINT, WPARAM(memory), PRF_CHECKVISIBLE | PRF_CLIENT);
    if (BitBlt(context.dc, rect.left, rect.top, width, height, memory, 0, 0, SRCCOPY)) status = kOk;
  }
  if (status != kOk) GetLastError();
  if (previous) SelectObject(memory, previous);
  if (bitmap) DeleteObject(bitmap);
  if (memory) DeleteDC(memory);
  return status;
}

Status native_control_move(HWND control, const Rect& rect) {
  if (!control || MoveWindow(control, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, TRUE))
    return kOk;
  GetLastError();
  return kErrNativeWindow;
}

Status native_control_set_text(HWND control, const char* text) {
  if (!control) return kOk;
  NativeText label(text);
  if (SetWindowTextA(control, label.text)) return kOk;
  GetLastError();
  return kErrNativeWindow;
}

void native_control_update_enabling(HWND control, bool windowActive, bool enabled) {
  if (control) EnableWindow(control, windowActive && enabled && interface_accepts_input());
}

bool native_control_hit(const ElementContext& context, HWND control, const Point& point) {
  return control && IsWindowVisible(control) && ChildWindowFromPoint(context.window, POINT{point.x, point.y}) == control;
}

void native_control_flash(HWND control) {
  SendMessageA(control, BM_SETSTATE, TRUE, 0);
  UpdateWindow(control);
  // A plain sleep: nothing else of the interface may run while the handler is in the middle of this.
  Sleep(kShortcutFlashMs);
  SendMessageA(control, BM_SETSTATE, FALSE, 0);
  UpdateWindow(control);
}

Status title_store(MemoryHandle title, const char* text) {
  Status status = HandleSetSize(title, 0);
  return status == kOk ? text_buffer_append(title, text ? text : "") : status;
}
