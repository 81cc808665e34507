// The checks a card payment must pass before the order goes on: the number's checksum and the expiry
// date. Pure: the current time is a parameter of the expiry test, so that it can be fixed.
#pragma once

#include <cstdint>

// The Luhn checksum over the digits of the text; blanks, dashes and any other characters are skipped.
// Card numbers have 12 to 19 digits, and a text with fewer or more is refused as well.
bool CardNumberIsValid(const char* text);

// Month, a separator ('.', '/' or '-'; each one starts the year afresh) and year: two-digit years below
// 50 are in this century, 50 to 99 in the last one, four-digit years 1970 to 2050. The card is valid up
// to the end of the last day of its month, local time.
bool CardExpiryIsValidAt(const char* text, int64_t nowLocalSeconds);
// The same against the local time now.
bool CardExpiryIsValid(const char* text);
