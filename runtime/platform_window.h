// The platform window: which one it is, the platform's own window class and its window procedure.
// Used by the platform's start-up and shutdown only.
#pragma once

#include <windows.h>

#include "runtime/status.h"

// The foreground window, else the console's window, else a new hidden window of the class
// "PLATFORM_WINDOW_CLASS". -7000 when that cannot be made.
Status PlatformWindowObtain(HWND* window);

// Destroys the platform's own window and unregisters its class when called on the thread that made it
// (elsewhere the window is kept, and a later start uses it again); a foreign window is only forgotten.
// Clears the message handlers. Returns the window that stays, or none.
HWND PlatformWindowRelease(HWND window);

// Counts the calling thread's turns inside the platform's own handlers.
void PlatformHandlerEnter();
void PlatformHandlerLeave();

class PlatformHandlerScope {
 public:
  PlatformHandlerScope() { PlatformHandlerEnter(); }
  ~PlatformHandlerScope() { PlatformHandlerLeave(); }
  PlatformHandlerScope(const PlatformHandlerScope&) = delete;
  PlatformHandlerScope& operator=(const PlatformHandlerScope&) = delete;
};
