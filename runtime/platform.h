// The platform layer: brought up before anything else runs, and taken down once at the end. Every
// other layer's start-up calls PlatformStart (which does nothing when the platform already runs) and
// registers its release routine with PlatformAtExit.
#pragma once

#include <windows.h>

#include <cstdint>

#include "runtime/platform_routines.h"
#include "runtime/status.h"

// -7004 when a resource cannot be had, -7000 when no platform window can be had; a failed start leaves
// nothing behind. 0 when already started.
Status PlatformStart();
// Runs the exit routines (last registered first), stops the workers and releases what PlatformStart
// made. Runs once: later calls do nothing until the next start. Also runs at process exit, at the end of
// the session and after a fatal exception.
void PlatformStop();
bool PlatformIsStarted();

// A window the system can own dialogs with and that receives session messages: the foreground window
// at start-up, else the console's window, else a hidden window of the platform's own. None while the
// platform is stopped.
HWND PlatformWindow();

// Handlers for messages to the platform's own window; a handler of none removes the entry. -7001 when
// the list of 50 is full.
using PlatformMessageHandler = LRESULT (*)(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
constexpr size_t kPlatformMessageHandlerLimit = 50;
Status PlatformSetMessageHandler(UINT message, PlatformMessageHandler handler);

// True in code that runs inside the platform's own handlers (window procedure, console and exception
// handlers), where showing dialogs or waiting on the interface thread is not safe.
bool PlatformInHandler();

// Replaces the random seed and returns the previous one.
uint32_t RandomSetSeed(uint32_t seed);
