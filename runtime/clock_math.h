// The arithmetic behind the clocks, kept apart from the readings so that it can be fed any readings:
// converting performance-counter values, keeping the counter-based clock in step with the tick count,
// and counting calendar seconds since 1970.
#pragma once

#include <cstdint>

// Converts a counter value to units (1000 for milliseconds, 1000000 for microseconds) without the
// overflow of counter * units, which a counter running at 10 MHz reaches after about ten days.
int64_t CounterToUnits(int64_t counter, int64_t frequency, int64_t units);

// The counter and the tick count run on different oscillators, and either may jump (a changed tick
// rate, a counter that runs fast on some machines). Each reading compares how far the two advanced
// since the previous reading; a disagreement of more than half a second is taken to be the counter's
// fault and is added to the correction, so the corrected clock follows the tick count.
struct ClockCorrection {
  bool primed = false;
  uint32_t lastTick = 0;        // tick count (milliseconds, wraps after 49.7 days)
  int64_t lastCounterMs = 0;    // counter converted to milliseconds, uncorrected
  int64_t correctionMs = 0;     // accumulated
};

// Feeds one pair of readings taken together and returns the correction in milliseconds to add to
// this reading.
int64_t ClockCorrectionUpdate(ClockCorrection& state, uint32_t tickMs, int64_t counterMs);

// Seconds from 1970-01-01 00:00 to the given calendar time (month 1 to 12, day 1 to 31).
int64_t CalendarSecondsSince1970(int year, int month, int day, int hour, int minute, int second);
