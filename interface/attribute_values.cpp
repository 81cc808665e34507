#include "interface/attribute_values.h"

#include "runtime/text.h"

namespace {

int32_t Clamped(int64_t value) {
  return value > INT32_MAX ? INT32_MAX : value < INT32_MIN ? INT32_MIN : int32_t(value);
}

// Digits accumulate up to a bound past which the clamp decides anyway, so that no number overflows.
int64_t Accumulate(int64_t value, uint8_t digit) {
  return value > int64_t(INT32_MAX) + 1 ? value : value * 10 + (digit - '0');
}

bool IsDigit(uint8_t c) { return c >= '0' && c <= '9'; }

bool EqualsUpper(const char* text, const char* upper) {
  for (; *text && *upper; ++text, ++upper)
    if (AsciiUpper(uint8_t(*text)) != uint8_t(*upper)) return false;
  return *text == *upper;
}

}  // namespace

int32_t read_integer(const char* text) {
  const auto* p = reinterpret_cast<const uint8_t*>(text);
  const bool negative = *p == '-';
  if (negative) ++p;
  int64_t value = 0;
  for (; IsDigit(*p); ++p) value = Accumulate(value, *p);
  return Clamped(negative ? -value : value);
}

Rect read_rectangle(const char* text) {
  int32_t fields[4] = {};
  const auto* p = reinterpret_cast<const uint8_t*>(text);
  for (int field = 0; field < 4 && *p; ++field) {
    int64_t value = 0;
    bool negative = false;
    for (; *p && *p != ','; ++p) {
      if (IsDigit(*p)) value = Accumulate(value, *p);
      else if (*p == '-' && value == 0) negative = true;
    }
    fields[field] = Clamped(negative ? -value : value);
    if (*p == ',') ++p;
  }
  return Rect{fields[0], fields[1], fields[2], fields[3]};
}

bool read_colour(const char* text, Colour* colour) {
  while (*text == '#') ++text;
  const size_t length = TextLength(text);
  if (length != 3 && length != 6) return false;
  uint8_t channels[3];
  for (int i = 0; i < 3; ++i) {
    auto digit = [](char c) {
      const int value = HexDigitValue(uint8_t(c));
      return uint8_t(value < 0 ? 0 : value);
    };
    channels[i] = length == 3 ? uint8_t(digit(text[i]) * 17) : uint8_t(digit(text[2 * i]) * 16 + digit(text[2 * i + 1]));
  }
  *colour = Colour{255, channels[0], channels[1], channels[2]};
  return true;
}

bool read_boolean(const char* text) { return !EqualsUpper(text, "FALSE") && !EqualsUpper(text, "NONE"); }

int32_t read_alignment(const char* text) {
  if (EqualsUpper(text, "RIGHT")) return 1;
  if (EqualsUpper(text, "LEFT")) return -1;
  return 0;
}
