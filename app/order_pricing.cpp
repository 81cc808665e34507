#include "app/order_pricing.h"

#include "runtime/format.h"
#include "runtime/text.h"

namespace {

struct DiscountStep {
  uint32_t fromCopies;
  uint32_t percent;
};
// Largest step first: the first step the count reaches gives the discount.
constexpr DiscountStep kDiscountSteps[] = {{200, 50}, {100, 40}, {50, 30}, {20, 20}, {10, 10}};

}  // namespace

CopyCount CopyCountFromText(const char* text) {
  // The reader saturates, so a run of digits of any length stays above the largest count.
  const uint32_t copies = TextParseUnsigned(text);
  const char* rest = text;
  while (*rest >= '0' && *rest <= '9') ++rest;
  if (copies == 0 || copies > kLargestCopyCount || *rest != '\0') return {0, false};
  return {copies, true};
}

uint32_t QuantityDiscountPercent(uint32_t copies) {
  for (const DiscountStep& step : kDiscountSteps) {
    if (copies >= step.fromCopies) return step.percent;
  }
  return 0;
}

OrderTotals OrderTotalsCompute(const char* countText, bool withCd) {
  const CopyCount count = CopyCountFromText(countText);
  if (!count.valid) return {false, 0, 0, 0, 0};
  const uint32_t gross = count.copies * kPricePerCopyCents;  // at most 2999997000: fits
  // percent x gross passes 32 bits from about 72000 copies at 20 %, so the product is taken in 64.
  const uint32_t discount = uint32_t((uint64_t(QuantityDiscountPercent(count.copies)) * gross + 50) / 100);
  const uint32_t total = gross - discount + (withCd ? kCdOfferCents : 0);
  return {true, count.copies, gross, discount, total};
}

void MoneyText(uint32_t cents, char* destination, size_t capacity) {
  FormatText(destination, capacity, "$%ld.%.2ld", cents / 100, cents % 100);
}

void DiscountText(const OrderTotals& totals, char* destination, size_t capacity) {
  MoneyText(totals.valid ? totals.discount : 0, destination, capacity);
}

void TotalText(const OrderTotals& totals, char* destination, size_t capacity) {
  if (totals.valid) {
    MoneyText(totals.total, destination, capacity);
  } else {
    TextCopyBounded(destination, "n/a", capacity);
  }
}
