#include "runtime/clock.h"

#include <windows.h>

#include <atomic>

#include "runtime/clock_math.h"
#include "runtime/platform_routines.h"
#include "runtime/text.h"
#include "runtime/worker.h"

namespace {

struct ClockState {
  bool initialised = false;
  int64_t frequency = 0;  // 0: no performance counter, the tick count alone
  ClockCorrection correction;
};

SRWLOCK gClockLock = SRWLOCK_INIT;
ClockState gClock;
std::atomic<int64_t> gStartBaseMs{0};

std::atomic<WorkerThread*> gHousekeeper{nullptr};
std::atomic<int> gRearming{0};

struct CounterReading {
  int64_t milliseconds;
  int64_t microseconds;
};

CounterReading ReadCorrected() {
  AcquireSRWLockExclusive(&gClockLock);
  if (!gClock.initialised) {
    LARGE_INTEGER frequency;
    gClock.frequency = QueryPerformanceFrequency(&frequency) && frequency.QuadPart > 0 ? frequency.QuadPart : 0;
    gClock.initialised = true;
  }
  const uint32_t tick = GetTickCount();
  CounterReading reading;
  LARGE_INTEGER counter;
  if (gClock.frequency != 0 && QueryPerformanceCounter(&counter)) {
    reading.milliseconds = CounterToUnits(counter.QuadPart, gClock.frequency, 1000);
    reading.microseconds = CounterToUnits(counter.QuadPart, gClock.frequency, 1000000);
  } else {
    reading.milliseconds = tick;
    reading.microseconds = int64_t(tick) * 1000;
  }
  const int64_t correction = ClockCorrectionUpdate(gClock.correction, tick, reading.milliseconds);
  ReleaseSRWLockExclusive(&gClockLock);
  reading.milliseconds += correction;
  reading.microseconds += correction * 1000;
  return reading;
}

void RearmHousekeeper() {
  // The count tells ClockDetachHousekeeper that a reading may still be using the worker; it is raised
  // before the worker is looked at, so a detach that saw it at zero is never raced.
  gRearming.fetch_add(1);
  if (WorkerThread* worker = gHousekeeper.load()) WorkerSetWait(worker, kHousekeepingWaitMs);
  gRearming.fetch_sub(1);
}

}  // namespace

int64_t ClockMilliseconds() {
  const int64_t value = ReadCorrected().milliseconds;
  RearmHousekeeper();
  return value;
}

int64_t ClockMicroseconds() {
  const int64_t value = ReadCorrected().microseconds;
  RearmHousekeeper();
  return value;
}

uint32_t ClockTicks() { return GetTickCount(); }

void ClockSetStartBase() { gStartBaseMs = ClockMilliseconds() - 1000; }

uint32_t ClockSecondsSinceStart() { return uint32_t((ClockMilliseconds() - gStartBaseMs) / 1000); }

namespace {

int64_t SecondsOf(const SYSTEMTIME& time) {
  return CalendarSecondsSince1970(time.wYear, time.wMonth, time.wDay, time.wHour, time.wMinute, time.wSecond);
}

}  // namespace

int64_t TimeLocalSeconds() {
  SYSTEMTIME time;
  GetLocalTime(&time);
  return SecondsOf(time);
}

int64_t TimeUtcSeconds() {
  SYSTEMTIME time;
  GetSystemTime(&time);
  return SecondsOf(time);
}

Status TimeZoneName(char* destination, size_t capacity) {
  if (!destination || capacity == 0) return kErrArgument;
  destination[0] = '\0';
  TIME_ZONE_INFORMATION zone;
  const DWORD which = GetTimeZoneInformation(&zone);
  if (which == TIME_ZONE_ID_INVALID) return kErrSystem;
  const WCHAR* name = which == TIME_ZONE_ID_DAYLIGHT ? zone.DaylightName : zone.StandardName;
  // The names hold at most 32 characters; one without a byte in the working encoding becomes '?'.
  char converted[sizeof zone.StandardName];
  if (!WideCharToMultiByte(1252, 0, name, -1, converted, sizeof converted, nullptr, nullptr)) return kErrSystem;
  TextCopyBounded(destination, converted, capacity);
  return kOk;
}

void SleepMilliseconds(uint32_t milliseconds) {
  if (milliseconds == 0) return;
  const int64_t start = ClockMilliseconds();
  for (;;) {
    const int64_t elapsed = ClockMilliseconds() - start;
    if (elapsed >= milliseconds) return;
    PlatformRunIdle();
    const int64_t left = milliseconds - elapsed;
    SleepEx(DWORD(left < kSleepSliceMs ? left : kSleepSliceMs), TRUE);
  }
}

void ClockAttachHousekeeper(WorkerThread* worker) {
  gHousekeeper = worker;
  RearmHousekeeper();
}

void ClockDetachHousekeeper() {
  gHousekeeper = nullptr;
  while (gRearming.load() != 0) SwitchToThread();
}
