// Pricing of an order: the count as typed, the discount steps and the texts the form shows. Expected
// amounts are worked out by hand from the price list: $30.00 a copy, $5.00 for the CD, and 10, 20, 30, 40
// and 50 percent off from 10, 20, 50, 100 and 200 copies.
#include "app/order_pricing.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct Shown {
  std::string discount;
  std::string total;
};

Shown Show(const char* count, bool withCd = false) {
  const OrderTotals totals = OrderTotalsCompute(count, withCd);
  char discount[kMoneyTextSize];
  char total[kMoneyTextSize];
  DiscountText(totals, discount, sizeof discount);
  TotalText(totals, total, sizeof total);
  return {discount, total};
}

void ExpectShown(const char* count, bool withCd, const char* discount, const char* total) {
  const Shown shown = Show(count, withCd);
  EXPECT_EQ(shown.discount, discount) << "count \"" << count << "\"";
  EXPECT_EQ(shown.total, total) << "count \"" << count << "\"";
}

TEST(OrderPricing, EachSideOfEveryDiscountStep) {
  struct Case {
    const char* count;
    const char* discount;
    const char* total;
  };
  const Case cases[] = {
      {"1", "$0.00", "$30.00"},         {"9", "$0.00", "$270.00"},
      {"10", "$30.00", "$270.00"},      {"19", "$57.00", "$513.00"},
      {"20", "$120.00", "$480.00"},     {"49", "$294.00", "$1176.00"},
      {"50", "$450.00", "$1050.00"},    {"99", "$891.00", "$2079.00"},
      {"100", "$1200.00", "$1800.00"},  {"199", "$2388.00", "$3582.00"},
      {"200", "$3000.00", "$3000.00"},
  };
  for (const Case& c : cases) ExpectShown(c.count, false, c.discount, c.total);
}

TEST(OrderPricing, TheCdIsAddedAfterTheDiscount) {
  ExpectShown("1", true, "$0.00", "$35.00");
  ExpectShown("10", true, "$30.00", "$275.00");
  ExpectShown("200", true, "$3000.00", "$3005.00");
}

TEST(OrderPricing, TheFormFollowsACountTypedKeyByKey) {
  ExpectShown("1", false, "$0.00", "$30.00");
  ExpectShown("12", false, "$36.00", "$324.00");
  ExpectShown("120", false, "$1440.00", "$2160.00");
}

TEST(OrderPricing, TheLargestCountIsPricedWithoutOverflow) {
  // 50 % of 999999 copies: the product of percent and gross price does not fit in 32 bits.
  const OrderTotals totals = OrderTotalsCompute("999999", false);
  ASSERT_TRUE(totals.valid);
  EXPECT_EQ(totals.gross, 2999997000u);
  EXPECT_EQ(totals.discount, 1499998500u);
  EXPECT_EQ(totals.total, 1499998500u);
  ExpectShown("999999", true, "$14999985.00", "$14999990.00");
}

TEST(OrderPricing, CountsThatAreNotValidShowNoAmounts) {
  for (const char* count : {"", "0", "000", "1000000", "12a", "1 2", " 5", "-5", "+5", "5.0",
                            "123456789012345678901234567890", "4294967296", "4294967301"}) {
    const CopyCount parsed = CopyCountFromText(count);
    EXPECT_FALSE(parsed.valid) << "count \"" << count << "\"";
    EXPECT_EQ(parsed.copies, 0u) << "count \"" << count << "\"";
    ExpectShown(count, false, "$0.00", "n/a");
    ExpectShown(count, true, "$0.00", "n/a");  // the CD alone makes no order
  }
}

TEST(OrderPricing, LeadingZerosDoNotChangeTheCount) {
  EXPECT_EQ(CopyCountFromText("0010").copies, 10u);
  ExpectShown("0010", false, "$30.00", "$270.00");
  // Length alone does not make a count too large: the value does.
  EXPECT_EQ(CopyCountFromText("000000000000000000000000000012").copies, 12u);
  EXPECT_EQ(CopyCountFromText("999999").copies, 999999u);
}

TEST(OrderPricing, MoneyTextsHaveTwoDigitsOfCents) {
  char text[kMoneyTextSize];
  MoneyText(0, text, sizeof text);
  EXPECT_STREQ(text, "$0.00");
  MoneyText(5, text, sizeof text);
  EXPECT_STREQ(text, "$0.05");
  MoneyText(1250, text, sizeof text);
  EXPECT_STREQ(text, "$12.50");
  MoneyText(UINT32_MAX, text, sizeof text);
  EXPECT_STREQ(text, "$42949672.95");
}

TEST(OrderPricing, DiscountPercentsByCount) {
  EXPECT_EQ(QuantityDiscountPercent(0), 0u);
  EXPECT_EQ(QuantityDiscountPercent(9), 0u);
  EXPECT_EQ(QuantityDiscountPercent(10), 10u);
  EXPECT_EQ(QuantityDiscountPercent(19), 10u);
  EXPECT_EQ(QuantityDiscountPercent(20), 20u);
  EXPECT_EQ(QuantityDiscountPercent(49), 20u);
  EXPECT_EQ(QuantityDiscountPercent(50), 30u);
  EXPECT_EQ(QuantityDiscountPercent(99), 30u);
  EXPECT_EQ(QuantityDiscountPercent(100), 40u);
  EXPECT_EQ(QuantityDiscountPercent(199), 40u);
  EXPECT_EQ(QuantityDiscountPercent(200), 50u);
  EXPECT_EQ(QuantityDiscountPercent(UINT32_MAX), 50u);
}

}  // namespace
