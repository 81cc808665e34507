// Display controls kept for the boxes of the next page. A page change would otherwise destroy every
// rich-edit control of the old page and make the new page's afresh; under Wine, making, destroying and
// moving windows took most of a change's time. A spare stays a hidden child of its window, with the
// box procedure still over it, so it goes when the window goes and leaves the list then. Interface
// thread only, like every element call.
#include "interface/controls/textbox.h"

namespace {

struct Spare {
  HWND control;
  HWND parent;
  DWORD style;      // the style the control was made with
  WNDPROC ownProc;  // the control class's procedure
  int32_t width;
  int32_t height;
};

// Enough for the display boxes of any two pages of the shipped set; more are destroyed.
constexpr size_t kSpareLimit = 16;
Spare gSpares[kSpareLimit];
size_t gSpareCount = 0;

size_t IndexOf(HWND control) {
  size_t i = 0;
  while (i < gSpareCount && gSpares[i].control != control) ++i;
  return i;
}

void Remove(size_t index) { gSpares[index] = gSpares[--gSpareCount]; }

// A spare of the window and style, one of the wanted size when there is one (it need not be moved: a
// display control is never shown, only its size counts).
size_t Choose(HWND parent, DWORD style, int32_t width, int32_t height) {
  size_t chosen = gSpareCount;
  for (size_t i = 0; i < gSpareCount; ++i) {
    const Spare& spare = gSpares[i];
    if (spare.parent != parent || spare.style != style) continue;
    if (spare.width == width && spare.height == height) return i;
    if (chosen == gSpareCount) chosen = i;
  }
  return chosen;
}

}  // namespace

HWND textbox_take_spare(HWND parent, DWORD style, const Rect& placed, WNDPROC* ownProc) {
  const int32_t width = placed.right - placed.left, height = placed.bottom - placed.top;
  const size_t index = Choose(parent, style, width, height);
  if (index == gSpareCount) return nullptr;
  // Still listed while it is made ready, so that these messages reach the control's own procedure.
  const Spare spare = gSpares[index];
  if (spare.width != width || spare.height != height)
    SetWindowPos(spare.control, nullptr, placed.left, placed.top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
  SendMessageA(spare.control, EM_SETREADONLY, FALSE, 0);
  SetWindowTextA(spare.control, "");
  Remove(index);
  *ownProc = spare.ownProc;
  return spare.control;
}

bool textbox_keep_spare(HWND control, DWORD style, WNDPROC ownProc) {
  HWND parent = GetParent(control);
  RECT size;
  if (gSpareCount == kSpareLimit || !parent || !ownProc || !GetClientRect(control, &size)) return false;
  SetWindowLongPtrA(control, GWLP_USERDATA, 0);
  gSpares[gSpareCount++] = {control, parent, style, ownProc, size.right, size.bottom};
  return true;
}

LRESULT textbox_spare_procedure(HWND control, UINT message, WPARAM wParam, LPARAM lParam) {
  const size_t index = IndexOf(control);
  if (index == gSpareCount) return DefWindowProcA(control, message, wParam, lParam);
  const WNDPROC own = gSpares[index].ownProc;
  if (message == WM_NCDESTROY) Remove(index);
  return CallWindowProcA(own, control, message, wParam, lParam);
}
