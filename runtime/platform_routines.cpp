#include "runtime/platform_routines.h"

namespace {

struct IdleEntry {
  PlatformRoutine routine;
  bool running;
};

PlatformRoutine gExitRoutines[kPlatformRoutineLimit];
size_t gExitCount = 0;
IdleEntry gIdleRoutines[kPlatformRoutineLimit];
size_t gIdleCount = 0;

}  // namespace

Status PlatformAtExit(PlatformRoutine routine) {
  if (!routine) return kErrArgument;
  for (size_t i = 0; i < gExitCount; ++i)
    if (gExitRoutines[i] == routine) return kOk;
  if (gExitCount == kPlatformRoutineLimit) return kErrArgument;
  gExitRoutines[gExitCount++] = routine;
  return kOk;
}

Status PlatformAddIdle(PlatformRoutine routine) {
  if (!routine) return kErrArgument;
  for (size_t i = 0; i < gIdleCount; ++i)
    if (gIdleRoutines[i].routine == routine) return kOk;
  if (gIdleCount == kPlatformRoutineLimit) return kErrArgument;
  gIdleRoutines[gIdleCount++] = {routine, false};
  return kOk;
}

void PlatformRunIdle() {
  for (size_t i = 0; i < gIdleCount; ++i) {
    IdleEntry& entry = gIdleRoutines[i];
    if (entry.running) continue;
    entry.running = true;
    entry.routine();
    entry.running = false;
  }
}

void PlatformRunExitRoutines() {
  while (gExitCount > 0) {
    PlatformRoutine routine = gExitRoutines[--gExitCount];
    routine();
  }
}
