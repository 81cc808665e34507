// Opening and closing interface windows: top-level ones with a native window of their own, and the
// nested ones of FRAME elements, which share their top-level window's.
#include <algorithm>

#include "graphics/pixmap_device.h"
#include "interface/interface_window.h"
#include "interface/variables.h"
#include "runtime/memory.h"
#include "runtime/text.h"

namespace {

constexpr UINT_PTR kIdleTimer = 1;
constexpr UINT kIdleTimerMs = 100;
// Where a window waits until it is sized to its interface and centred.
constexpr RECT kOffScreen{32000, 32000, 32300, 32400};

DWORD StyleFor(const char* title, bool closeBox) {
  const DWORD kind = (title && *title) || closeBox ? WS_CAPTION | WS_SYSMENU : WS_POPUP | WS_BORDER;
  return kind | WS_CLIPCHILDREN;
}

// Sizes the client area to the interface's rectangle; centred on the desktop's work area, or where it is.
Status PlaceWindow(InterfaceWindow* window, bool centre) {
  const Rect& size = window->interfaceRect;
  RECT frame{0, 0, std::max<LONG>(size.right - size.left, 1), std::max<LONG>(size.bottom - size.top, 1)};
  const DWORD style = DWORD(GetWindowLongA(window->native, GWL_STYLE));
  if (!AdjustWindowRectEx(&frame, style, FALSE, DWORD(GetWindowLongA(window->native, GWL_EXSTYLE))))
    return kErrNativeWindow;
  RECT desk;
  if (!SystemParametersInfoA(SPI_GETWORKAREA, 0, &desk, 0)) desk = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  const LONG width = frame.right - frame.left, height = frame.bottom - frame.top;
  const LONG x = desk.left + (desk.right - desk.left - width) / 2, y = desk.top + (desk.bottom - desk.top - height) / 2;
  window->sizing = true;
  const BOOL moved = SetWindowPos(window->native, nullptr, x, y, width, height,
                                  SWP_NOZORDER | SWP_NOACTIVATE | (centre ? 0 : SWP_NOMOVE));
  window->sizing = false;
  return moved ? kOk : kErrNativeWindow;
}

Status CreateNative(InterfaceWindow* window, const char* title, bool closeBox, const Rect* placement) {
  const DWORD style = StyleFor(title, closeBox);
  RECT frame = kOffScreen;
  if (placement) {
    frame = {placement->left, placement->top, placement->right, placement->bottom};
    if (!AdjustWindowRectEx(&frame, style, FALSE, 0)) return kErrNativeWindow;
  }
  window->native = CreateWindowExA(0, closeBox ? "interface_tool_closebox" : "interface_tool", title ? title : "",
                                   style, frame.left, frame.top, frame.right - frame.left, frame.bottom - frame.top,
                                   nullptr, nullptr, GetModuleHandleA(nullptr), window);
  if (!window->native) return kErrNativeWindow;
  window->created = true;
  RECT client;
  GetClientRect(window->native, &client);
  window->bounds = {0, 0, client.right, client.bottom};
  if (PortOpenWindow(window->native, false, &window->port) != kOk) return kErrMemory;
  window->offscreen = PixmapNewForWindow(window->native, nullptr);
  if (!window->offscreen) return kErrMemory;
  // The engine's idle routine runs from here while the program waits for messages.
  SetTimer(window->native, kIdleTimer, kIdleTimerMs, nullptr);
  return kOk;
}

}  // namespace

InterfaceWindow* new_window_record(InterfaceWindow* parent, InterfaceCallback callback, void* userData) {
  auto* window = static_cast<InterfaceWindow*>(BlockNewClear(sizeof(InterfaceWindow)));
  if (!window) return nullptr;
  window->parent = parent;
  window->callback = callback;
  window->userData = userData;
  window->visible = window->enabled = true;
  clear_interface(window);
  list_window(window);
  return window;
}

void free_window_record(InterfaceWindow* window) {
  unlist_window(window);
  BlockDispose(window);
}

Status open_interface(const char* title, bool closeBox, bool show, const Rect* placement, PathSpec* folder,
                      const char* file, const char* interfaceName, const char* pageName, InterfaceCallback callback,
                      void* userData, InterfaceWindow** out) {
  *out = nullptr;
  Status status = start_interface_engine();
  if (status != kOk) return status;
  InterfaceWindow* window = new_window_record(nullptr, callback, userData);
  if (!window) return kErrMemory;
  window->autoPlaced = placement == nullptr;
  status = CreateNative(window, title, closeBox, placement);
  if (status == kOk) status = send_event(window, kEventWindowMade, nullptr, nullptr);
  if (status == kOk) status = load_interface(window, folder, file, interfaceName, pageName);
  if (status == kOk && window->autoPlaced) status = PlaceWindow(window, true);
  if (status == kOk && !is_interface_open(window)) status = kErrState;  // closed by the page program
  if (status != kOk) {
    close_interface(window);
    return status;
  }
  if (show) {
    ShowWindow(window->native, SW_SHOW);
    UpdateWindow(window->native);
  }
  *out = window;
  return kOk;
}

Status reload_interface(InterfaceWindow* window, PathSpec* folder, const char* file, const char* interfaceName) {
  if (!is_interface_open(window) || window->parent) return kErrState;
  // The names may point into the window's own fields, which the emptying clears.
  char fileCopy[kNameFieldSize * 2], interfaceCopy[kNameFieldSize];
  TextCopyBounded(fileCopy, file ? file : "", sizeof fileCopy);
  TextCopyBounded(interfaceCopy, interfaceName ? interfaceName : "", sizeof interfaceCopy);
  Status status = load_interface(window, nullptr, nullptr, nullptr, nullptr);
  if (status != kOk || window->currentPage) return status;  // an error, or the page program kept its page
  // No element holds a picture any more; those the file names are read afresh.
  free_images(window);
  status = load_interface(window, folder, fileCopy, interfaceCopy, nullptr);
  if (status == kOk) status = PlaceWindow(window, false);
  return status;
}

Status open_nested_interface(InterfaceWindow* parent, Element* frame, const Rect& bounds, const char* file,
                             const char* pageName, InterfaceWindow** out) {
  *out = nullptr;
  InterfaceWindow* window = new_window_record(parent, parent->callback, parent->userData);
  if (!window) return kErrMemory;
  InterfaceWindow* top = top_window(parent);
  window->frame = frame;
  window->bounds = bounds;
  window->native = top->native;
  window->port = top->port;
  window->created = true;
  Status status = send_event(window, kEventWindowMade, nullptr, nullptr);
  if (status == kOk) status = load_interface(window, parent->folder, file, parent->interfaceName, pageName);
  if (status != kOk) {
    close_interface(window);
    return status;
  }
  *out = window;
  return kOk;
}

void close_interface(InterfaceWindow* window) {
  if (!is_interface_open(window) || window->destroying) return;
  window->destroying = true;
  const bool topLevel = window->parent == nullptr;
  if (topLevel && window->created && !window->nativeGone) ShowWindow(window->native, SW_HIDE);
  if (window->currentPage) send_page_event(window, kEventPageLeaving, nullptr);
  send_event(window, kEventClosing, nullptr, nullptr);
  clear_interface(window);
  // Nested windows go with the page that holds their FRAME; any left over go now.
  for (InterfaceWindow* other = first_open_window(); other;) {
    InterfaceWindow* next = other->nextOpen;
    if (other->parent == window && !other->destroying) {
      close_interface(other);
      next = first_open_window();
    }
    other = next;
  }
  free_table(window->variables);
  free_element_classes(window);
  if (topLevel) {
    free_images(window);
    free_control_brushes(window);
    PixmapDispose(window->offscreen);
    PortClose(window->port);
    if (window->created && !window->nativeGone) {
      KillTimer(window->native, kIdleTimer);
      SetWindowLongPtrA(window->native, GWLP_USERDATA, 0);
      DestroyWindow(window->native);
    }
  }
  free_window_record(window);
}
