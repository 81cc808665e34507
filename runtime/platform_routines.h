// The platform's two routine lists: exit routines, run once in reverse order of registration when the
// platform stops, and idle routines, run while the program waits. Every layer registers its release
// routine here at start-up. The lists are plain data, so pure modules can register too.
#pragma once

#include <cstddef>

#include "runtime/status.h"

using PlatformRoutine = void (*)();

constexpr size_t kPlatformRoutineLimit = 50;

// Registering a routine that is already listed keeps one entry; a full list gives -7001.
Status PlatformAtExit(PlatformRoutine routine);
Status PlatformAddIdle(PlatformRoutine routine);

// Calls each idle routine in registration order, skipping one that is already running, so that an idle
// routine that sleeps does not re-enter itself.
void PlatformRunIdle();

// Calls the exit routines in reverse order of registration, removing each from the list before it is
// called (a routine may register others; they run in the same pass).
void PlatformRunExitRoutines();
