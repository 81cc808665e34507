#include "runtime/clock_math.h"

int64_t CounterToUnits(int64_t counter, int64_t frequency, int64_t units) {
  if (frequency == units) return counter;
  // frequency and units are at most a few GHz, so remainder * units stays far below 2^63.
  return counter / frequency * units + counter % frequency * units / frequency;
}

int64_t ClockCorrectionUpdate(ClockCorrection& state, uint32_t tickMs, int64_t counterMs) {
  if (state.primed) {
    // Unsigned subtraction keeps the tick advance right across the tick count's wrap.
    const int64_t tickAdvance = uint32_t(tickMs - state.lastTick);
    const int64_t counterAdvance = counterMs - state.lastCounterMs;
    const int64_t difference = tickAdvance - counterAdvance;
    if (difference < -500 || difference > 500) state.correctionMs += difference;
  }
  state.primed = true;
  state.lastTick = tickMs;
  state.lastCounterMs = counterMs;
  return state.correctionMs;
}

int64_t CalendarSecondsSince1970(int year, int month, int day, int hour, int minute, int second) {
  // Days from the civil calendar, counting years from March so that the leap day comes last.
  const int64_t y = month <= 2 ? int64_t(year) - 1 : year;
  const int64_t era = (y >= 0 ? y : y - 399) / 400;
  const int64_t yearOfEra = y - era * 400;
  const int64_t dayOfYear = (153 * (month > 2 ? month - 3 : month + 9) + 2) / 5 + day - 1;
  const int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
  const int64_t days = era * 146097 + dayOfEra - 719468;
  return days * 86400 + int64_t(hour) * 3600 + int64_t(minute) * 60 + second;
}
