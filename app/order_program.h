// The order program from start-up to clean-up, apart from the process entry so that tests can run it
// on another module's resources and watch the failure signal.
#pragma once

#include <windows.h>

#include "runtime/status.h"

struct OrderEnvironment {
  HMODULE module;   // whose resources hold the page archive
  void (*beep)();   // the signal of a failed run: MessageBeep(0) in the program
};

// Starts the layers, loads and mounts the page archive, runs, and cleans up; returns the exit code.
// Every code other than 0 and -7007 (cancelled by the user) is signalled with one beep after clean-up.
Status OrderRun(const OrderEnvironment& environment);
