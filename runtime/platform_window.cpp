#include "runtime/platform_window.h"

#include "runtime/clock.h"
#include "runtime/format.h"
#include "runtime/platform.h"

namespace {

constexpr wchar_t kWindowClass[] = L"PLATFORM_WINDOW_CLASS";

struct HandlerEntry {
  UINT message;
  PlatformMessageHandler handler;
};

HandlerEntry gHandlers[kPlatformMessageHandlerLimit];
size_t gHandlerCount = 0;

// The platform's own window and what its class holds.
HWND gOwnWindow = nullptr;
HCURSOR gClassCursor = nullptr;

PlatformMessageHandler HandlerFor(UINT message) {
  for (size_t i = 0; i < gHandlerCount; ++i)
    if (gHandlers[i].message == message) return gHandlers[i].handler;
  return nullptr;
}

LRESULT CALLBACK PlatformWindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_ENDSESSION && wParam != 0) {
    PlatformHandlerScope scope;
    PlatformStop();
    return 0;
  }
  if (PlatformMessageHandler handler = HandlerFor(message)) {
    PlatformHandlerScope scope;
    return handler(window, message, wParam, lParam);
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

// A console's window belongs to another process and has no known class, so it is found by its title:
// give the console a title that no other window has and look for a window with exactly that title.
HWND FindConsoleWindow() {
  char saved[1024] = "";
  GetConsoleTitleA(saved, sizeof saved);
  char blanks[256];
  FillMemory(blanks, 255, ' ');
  blanks[255] = '\0';
  char unique[sizeof saved + sizeof blanks + 16];
  FormatText(unique, sizeof unique, "%s%s%ud", saved, blanks, uint32_t(ClockMicroseconds()));
  if (!SetConsoleTitleA(unique)) return nullptr;  // no console at all
  HWND found = nullptr;
  for (int attempt = 0; attempt < 10 && !found; ++attempt) {
    if (attempt > 0) Sleep(20);  // the console may take a moment to show the new title
    found = FindWindowA(nullptr, unique);
  }
  SetConsoleTitleA(saved);
  return found;
}

void UnregisterOwnClass(HINSTANCE module) {
  UnregisterClassW(kWindowClass, module);
  if (gClassCursor) DestroyCursor(gClassCursor);
  gClassCursor = nullptr;
}

HWND CreateOwnWindow() {
  HINSTANCE module = GetModuleHandleW(nullptr);
  gClassCursor = CopyCursor(LoadCursorA(nullptr, IDC_ARROW));
  WNDCLASSEXW windowClass = {};
  windowClass.cbSize = sizeof windowClass;
  windowClass.lpfnWndProc = PlatformWindowProcedure;
  windowClass.hInstance = module;
  windowClass.hCursor = gClassCursor;
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  windowClass.lpszClassName = kWindowClass;
  if (!RegisterClassExW(&windowClass)) {
    UnregisterOwnClass(module);
    return nullptr;
  }
  // Titled with the executable's file name, so that the user can tell whose window it is.
  wchar_t path[MAX_PATH];
  const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
  const wchar_t* title = path;
  for (DWORD i = 0; i < length; ++i)
    if (path[i] == L'\\') title = path + i + 1;
  if (length == 0 || length == MAX_PATH) title = L"";
  HWND window = CreateWindowExW(0, kWindowClass, title, 0, 32000, 32000, 100, 100, nullptr, nullptr, module, nullptr);
  if (!window) UnregisterOwnClass(module);
  return window;
}

}  // namespace

Status PlatformWindowObtain(HWND* window) {
  // With no application in front the desktop itself may be the foreground: not a window to own dialogs.
  *window = GetForegroundWindow();
  if (*window == GetDesktopWindow()) *window = nullptr;
  if (!*window) *window = FindConsoleWindow();
  if (!*window) *window = gOwnWindow = CreateOwnWindow();
  return *window ? kOk : kErrSystem;
}

HWND PlatformWindowRelease(HWND window) {
  gHandlerCount = 0;
  if (!window || window != gOwnWindow) return nullptr;
  if (GetWindowThreadProcessId(window, nullptr) != GetCurrentThreadId()) return window;
  DestroyWindow(window);
  UnregisterOwnClass(GetModuleHandleW(nullptr));
  gOwnWindow = nullptr;
  return nullptr;
}

Status PlatformSetMessageHandler(UINT message, PlatformMessageHandler handler) {
  for (size_t i = 0; i < gHandlerCount; ++i) {
    if (gHandlers[i].message != message) continue;
    if (handler)
      gHandlers[i].handler = handler;
    else
      gHandlers[i] = gHandlers[--gHandlerCount];
    return kOk;
  }
  if (!handler) return kOk;
  if (gHandlerCount == kPlatformMessageHandlerLimit) return kErrArgument;
  gHandlers[gHandlerCount++] = {message, handler};
  return kOk;
}
