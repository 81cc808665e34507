#include "app/card_checks.h"

#include <cstddef>

#include "runtime/clock_math.h"

namespace {

constexpr size_t kFewestCardDigits = 12;
constexpr size_t kMostCardDigits = 19;

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsDateSeparator(char c) { return c == '.' || c == '/' || c == '-'; }

// Adds a digit to a number that stops growing past any value the checks accept.
uint32_t AppendDigit(uint32_t value, char digit) {
  return value >= 100000 ? value : value * 10 + uint32_t(digit - '0');
}

}  // namespace

bool CardNumberIsValid(const char* text) {
  char digits[kMostCardDigits];
  size_t count = 0;
  for (; *text; ++text) {
    if (!IsDigit(*text)) continue;
    if (count == kMostCardDigits) return false;
    digits[count++] = *text;
  }
  if (count < kFewestCardDigits) return false;
  // From the digit next to the check digit leftward, every second digit is doubled.
  uint32_t sum = 0;
  for (size_t i = 1; i < count; ++i) {
    uint32_t digit = uint32_t(digits[count - 1 - i] - '0');
    if (i % 2 == 1) {
      digit *= 2;
      if (digit > 9) digit -= 9;  // the sum of its two decimal digits
    }
    sum += digit;
  }
  const uint32_t checkDigit = uint32_t(digits[count - 1] - '0');
  return (sum + 9) / 10 * 10 - sum == checkDigit;
}

bool CardExpiryIsValidAt(const char* text, int64_t nowLocalSeconds) {
  uint32_t month = 0;
  uint32_t year = 0;
  bool separatorSeen = false;
  bool yearHasDigits = false;
  for (; *text; ++text) {
    if (IsDateSeparator(*text)) {
      separatorSeen = true;
      year = 0;
      yearHasDigits = false;
    } else if (IsDigit(*text)) {
      if (separatorSeen) {
        year = AppendDigit(year, *text);
        yearHasDigits = true;
      } else {
        month = AppendDigit(month, *text);
      }
    }
  }
  if (!separatorSeen || !yearHasDigits || month < 1 || month > 12) return false;
  if (year < 50) {
    year += 2000;
  } else if (year < 100) {
    year += 1900;
  } else if (year < 1970 || year > 2050) {
    return false;
  }
  // Valid until midnight at the start of the month after the expiry month.
  const int limitYear = int(month == 12 ? year + 1 : year);
  const int limitMonth = month == 12 ? 1 : int(month) + 1;
  return nowLocalSeconds < CalendarSecondsSince1970(limitYear, limitMonth, 1, 0, 0, 0);
}
