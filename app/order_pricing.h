// The price of an order: the count of copies as the buyer typed it, the quantity discount and the total,
// in whole cents, and the texts the pages and the order show for them. Nothing here touches a page, so
// the page side only reads the count and the CD choice and publishes the two texts.
#pragma once

#include <cstddef>
#include <cstdint>

constexpr uint32_t kPricePerCopyCents = 3000;
constexpr uint32_t kCdOfferCents = 500;
constexpr uint32_t kLargestCopyCount = 999999;

// "$30.00" needs 7 bytes; the largest amount of the form, "$2999997.00", 12.
constexpr size_t kMoneyTextSize = 16;

// A count is valid when it is 1 to 999999 digits' worth of copies with nothing after the digits; any
// other text, however long, counts as no copies.
struct CopyCount {
  uint32_t copies;  // 0 when not valid
  bool valid;
};
CopyCount CopyCountFromText(const char* text);

// Percent of the gross price taken off for that many copies (0 for no copies).
uint32_t QuantityDiscountPercent(uint32_t copies);

struct OrderTotals {
  bool valid;         // the count was valid; otherwise every amount is 0
  uint32_t copies;
  uint32_t gross;     // copies at the full price
  uint32_t discount;
  uint32_t total;     // gross less discount, plus the CD when it is ordered
};
OrderTotals OrderTotalsCompute(const char* countText, bool withCd);

// "$%ld.%.2ld" of whole dollars and cents.
void MoneyText(uint32_t cents, char* destination, size_t capacity);
// The discount as the form shows it: the amount, or "$0.00" for a count that is not valid.
void DiscountText(const OrderTotals& totals, char* destination, size_t capacity);
// The total as the form shows it: the amount, or "n/a" for a count that is not valid.
void TotalText(const OrderTotals& totals, char* destination, size_t capacity);
