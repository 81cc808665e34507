// The window procedure put under a text box's native control. An input field admits only the
// characters of its ALLOW set, whether typed or pasted, and keeps out Escape, and Return from a
// single-line field (they belong to the page's KEYS buttons); a display box's control never paints
// itself, since the box draws its text onto the page.
#include "interface/controls/textbox.h"

#include <cstring>

namespace {

TextBox* BoxOf(HWND control) {
  return textbox_record(reinterpret_cast<MemoryHandle>(GetWindowLongPtrA(control, GWLP_USERDATA)));
}

// The clipboard's text filtered, replacing the selection as one step the user can undo.
void Paste(HWND control, const TextBox* box) {
  if (!IsClipboardFormatAvailable(CF_TEXT) || !OpenClipboard(control)) return;
  HANDLE data = GetClipboardData(CF_TEXT);
  const char* source = data ? static_cast<const char*>(GlobalLock(data)) : nullptr;
  char* text = nullptr;
  size_t length = 0;
  bool refused = false;
  if (source) {
    const size_t sourceLength = strnlen(source, GlobalSize(data));
    text = static_cast<char*>(BlockNew(sourceLength + 1));
    if (text) {
      BytesCopy(text, source, sourceLength);
      length = filter_pasted_text(box->allowed, text, sourceLength);
      refused = length != sourceLength;
    }
    GlobalUnlock(data);
  }
  CloseClipboard();
  if (text && length > 0) SendMessageA(control, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(text));
  BlockDispose(text);
  if (refused) MessageBeep(MB_OK);
}

LRESULT CALLBACK ControlProc(HWND control, UINT message, WPARAM wParam, LPARAM lParam) {
  TextBox* box = BoxOf(control);
  if (!box || !box->controlProc) return textbox_spare_procedure(control, message, wParam, lParam);
  const WNDPROC own = box->controlProc;
  if (!box->editable) {
    if (message == WM_PAINT) {
      ValidateRect(control, nullptr);
      return 0;
    }
    if (message == WM_ERASEBKGND) return 1;
    return CallWindowProcA(own, control, message, wParam, lParam);
  }
  if (message == WM_CHAR) {
    const uint8_t c = uint8_t(wParam);
    // The page acts on these keys (KEYS="-", and KEYS="+" from a single-line field): no beep, and no
    // closing of the window, which a multi-line edit control may ask for on Escape.
    if (c == 0x1B || (c == '\r' && box->singleLine)) return 0;
    if (!character_admitted(box->allowed, c)) {
      MessageBeep(MB_OK);
      return 0;
    }
  }
  if (message == WM_PASTE) {
    Paste(control, box);
    return 0;
  }
  return CallWindowProcA(own, control, message, wParam, lParam);
}

}  // namespace

void textbox_attach_spare(TextBox* box, MemoryHandle instance, WNDPROC ownProc) {
  box->controlProc = ownProc;
  SetWindowLongPtrA(box->control, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(instance));
}

void textbox_subclass_control(TextBox* box, MemoryHandle instance) {
  SetWindowLongPtrA(box->control, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(instance));
  box->controlProc =
      reinterpret_cast<WNDPROC>(SetWindowLongPtrA(box->control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(ControlProc)));
}
