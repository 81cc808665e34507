// Clocks, calendar time and the sleep that keeps the program responsive.
#pragma once

#include <cstddef>
#include <cstdint>

#include "runtime/status.h"

struct WorkerThread;

// Milliseconds and microseconds from the performance counter, corrected so that they never drift more
// than half a second from the system tick count. Safe from any thread.
int64_t ClockMilliseconds();
int64_t ClockMicroseconds();

uint32_t ClockTicks();  // the system tick count
constexpr uint32_t ClockTicksPerSecond() { return 1000; }

// Whole seconds since the platform started; the first reading after start-up is 1.
uint32_t ClockSecondsSinceStart();
// Called by the platform's start-up: makes the current moment second 1.
void ClockSetStartBase();

// Seconds since 1970-01-01 00:00 of the local or the UTC calendar time.
int64_t TimeLocalSeconds();
int64_t TimeUtcSeconds();
// The current time zone's name in the working 8-bit encoding; -7000 when it cannot be had.
Status TimeZoneName(char* destination, size_t capacity);

// Waits the given milliseconds (measured on ClockMilliseconds) in alertable sleeps of at most 50 ms,
// running the platform's idle routines before each of them. 0 returns at once.
void SleepMilliseconds(uint32_t milliseconds);
constexpr uint32_t kSleepSliceMs = 50;

// While a housekeeping worker is attached, every clock reading re-arms it with a 4000 ms wait, so it
// wakes only after four seconds without a reading. Detaching waits until no reading still uses it.
constexpr uint32_t kHousekeepingWaitMs = 4000;
void ClockAttachHousekeeper(WorkerThread* worker);
void ClockDetachHousekeeper();
