// The card checks: the Luhn checksum on published test card numbers, and the expiry date against a
// fixed "now".
#include "app/card_checks.h"

#ifdef _WIN32
#include <windows.h>
#endif

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "runtime/clock_math.h"

namespace {

TEST(CardNumber, PublishedTestNumbersPassWithBlanksAndDashes) {
  for (const char* number : {
           "4111111111111111",       // VISA
           "4111 1111 1111 1111",
           "4111-1111-1111-1111",
           "4012 8888 8888 1881",    // VISA
           "5555 5555 5555 4444",    // Mastercard
           "3782 822463 10005",      // American Express, 15 digits
           "6011-1111-1111-1117",    // Discover
           "3530 1113 3330 0000",    // JCB
           " 4111 - 1111 - 1111 - 1111 ",
       }) {
    EXPECT_TRUE(CardNumberIsValid(number)) << number;
  }
}

TEST(CardNumber, OneWrongDigitIsCaught) {
  EXPECT_FALSE(CardNumberIsValid("4111 1111 1111 1112"));  // the check digit
  EXPECT_FALSE(CardNumberIsValid("4111 1111 1111 1121"));  // a doubled position
  EXPECT_FALSE(CardNumberIsValid("4111 1111 1111 2111"));  // a plain position
  EXPECT_FALSE(CardNumberIsValid("3782 822463 10006"));
  EXPECT_FALSE(CardNumberIsValid("5555 5555 5555 4445"));
}

TEST(CardNumber, TextsThatAreNoCardNumber) {
  EXPECT_FALSE(CardNumberIsValid(""));
  EXPECT_FALSE(CardNumberIsValid(" - - "));
  EXPECT_FALSE(CardNumberIsValid("card"));
  // The checksum alone passes these; a card number has 12 to 19 digits.
  EXPECT_FALSE(CardNumberIsValid("0"));
  EXPECT_FALSE(CardNumberIsValid("18"));
  EXPECT_FALSE(CardNumberIsValid("00000000000"));
  EXPECT_TRUE(CardNumberIsValid("000000000000"));
  EXPECT_FALSE(CardNumberIsValid("0000 4111 1111 1111 1111"));  // 20 digits
  EXPECT_TRUE(CardNumberIsValid("000 4111 1111 1111 1111"));    // 19
  // A long text does not run past the digits kept.
  EXPECT_FALSE(CardNumberIsValid(std::string(5000, '4').c_str()));
}

int64_t At(int year, int month, int day, int hour = 0, int minute = 0, int second = 0) {
  return CalendarSecondsSince1970(year, month, day, hour, minute, second);
}

TEST(CardExpiry, TwoDigitYearsAreInTheCenturyTheCardCanBeFrom) {
  const int64_t now = At(2025, 6, 15, 12);
  EXPECT_TRUE(CardExpiryIsValidAt("12/49", now));   // December 2049
  EXPECT_FALSE(CardExpiryIsValidAt("1/50", now));   // January 1950
  EXPECT_FALSE(CardExpiryIsValidAt("12/99", now));  // December 1999
  EXPECT_TRUE(CardExpiryIsValidAt("12/49", At(2049, 12, 31, 23, 59, 59)));
  EXPECT_FALSE(CardExpiryIsValidAt("12/49", At(2050, 1, 1)));
  EXPECT_TRUE(CardExpiryIsValidAt("1/50", At(1950, 1, 31, 23, 59, 59)));
}

TEST(CardExpiry, FourDigitYearsFrom1970To2050) {
  const int64_t now = At(2025, 6, 15, 12);
  EXPECT_TRUE(CardExpiryIsValidAt("6/2025", now));
  EXPECT_TRUE(CardExpiryIsValidAt("12/2050", now));
  EXPECT_FALSE(CardExpiryIsValidAt("1/2051", now));
  EXPECT_FALSE(CardExpiryIsValidAt("1/100", now));
  EXPECT_FALSE(CardExpiryIsValidAt("1/1969", At(1960, 1, 1)));
  EXPECT_TRUE(CardExpiryIsValidAt("1/1970", At(1960, 1, 1)));
}

TEST(CardExpiry, ValidThroughTheLastDayOfItsMonth) {
  EXPECT_TRUE(CardExpiryIsValidAt("06/25", At(2025, 6, 30, 23, 59, 59)));
  EXPECT_FALSE(CardExpiryIsValidAt("06/25", At(2025, 7, 1)));
  EXPECT_TRUE(CardExpiryIsValidAt("2.24", At(2024, 2, 29, 23, 59, 59)));  // a leap year's February
  EXPECT_FALSE(CardExpiryIsValidAt("2.24", At(2024, 3, 1)));
  EXPECT_TRUE(CardExpiryIsValidAt("12-25", At(2025, 12, 31, 23, 59, 59)));  // into the next year
  EXPECT_FALSE(CardExpiryIsValidAt("12-25", At(2026, 1, 1)));
}

TEST(CardExpiry, EachSeparatorStartsTheYearAfresh) {
  // January 2027: not February, and not the year 2.
  EXPECT_TRUE(CardExpiryIsValidAt("1-2-27", At(2027, 1, 31, 23, 59, 59)));
  EXPECT_FALSE(CardExpiryIsValidAt("1-2-27", At(2027, 2, 1)));
  EXPECT_TRUE(CardExpiryIsValidAt("12 / 49", At(2025, 6, 15)));  // blanks are passed over
}

TEST(CardExpiry, MalformedDates) {
  const int64_t now = At(2025, 6, 15, 12);
  for (const char* text : {"", "1230", "13/30", "0/30", "/30", "12/", "1-2-", "12", "ab/cd",
                           "99999999999999999999/30", "12/99999999999999999999", "4294967308/30"}) {
    EXPECT_FALSE(CardExpiryIsValidAt(text, now)) << text;
  }
}

#ifdef _WIN32
TEST(CardExpiry, ThePublicCheckUsesTheLocalTimeNow) {
  // Years whose answer cannot change while this program is in use.
  EXPECT_TRUE(CardExpiryIsValid("12/49"));
  EXPECT_FALSE(CardExpiryIsValid("1/50"));
  // The month of the local time now is still valid; the one before it is not.
  SYSTEMTIME now;
  GetLocalTime(&now);
  char text[16];
  snprintf(text, sizeof text, "%d/%d", now.wMonth, now.wYear);
  EXPECT_TRUE(CardExpiryIsValid(text)) << text;
  snprintf(text, sizeof text, "%d/%d", now.wMonth == 1 ? 12 : now.wMonth - 1, now.wMonth == 1 ? now.wYear - 1 : now.wYear);
  EXPECT_FALSE(CardExpiryIsValid(text)) << text;
}
#endif

}  // namespace
