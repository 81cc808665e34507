// The rules the buyer's entries must pass before the walk goes on: a first and last name, an address of
// two lines or of 30 characters, an e-mail address with "@" or none, and the rule's own parts.
#include "app/entry_rules.h"

#include <gtest/gtest.h>

namespace {

TEST(EntryRules, TheNameNeedsAFirstAndALastName) {
  EXPECT_TRUE(EntryPasses("Ann Buyer", kNameRule));
  EXPECT_TRUE(EntryPasses("Ann Maria Buyer", kNameRule));
  EXPECT_FALSE(EntryPasses("Ann", kNameRule));
  EXPECT_FALSE(EntryPasses("", kNameRule));
}

TEST(EntryRules, AnAddressOfTwoLinesOrOfThirtyCharacters) {
  EXPECT_TRUE(EntryPasses("12 High Street\r\nSpringfield", kAddressLinesRule));
  EXPECT_TRUE(EntryPasses("12 High Street\nSpringfield", kAddressLinesRule));
  EXPECT_FALSE(EntryPasses("12 High Street, Springfield", kAddressLinesRule));
  EXPECT_FALSE(EntryPasses("", kAddressLinesRule));
  // One line only when it is long enough to be a whole address.
  EXPECT_FALSE(EntryPasses("12 High Street, Springfield 1", kAddressLengthRule));  // 29 characters
  EXPECT_TRUE(EntryPasses("12 High Street, Springfield 12", kAddressLengthRule));  // 30
}

TEST(EntryRules, AnEmailAddressHasAnAtSignOrIsLeftOut) {
  EXPECT_TRUE(EntryPasses("ann@example.com", kEmailRule));
  EXPECT_TRUE(EntryPasses("", kEmailRule));
  EXPECT_FALSE(EntryPasses("ann.example.com", kEmailRule));
}

TEST(EntryRules, LengthLimitsAndDigits) {
  const EntryRule code{nullptr, 3, 4, true};
  EXPECT_TRUE(EntryPasses("123", code));
  EXPECT_TRUE(EntryPasses("1234", code));
  EXPECT_FALSE(EntryPasses("12", code));
  EXPECT_FALSE(EntryPasses("12345", code));
  EXPECT_FALSE(EntryPasses("12a", code));
  EXPECT_FALSE(EntryPasses("1 2", code));
  // An empty set of required characters asks for none.
  EXPECT_TRUE(EntryPasses("abc", EntryRule{"", 0, 0, false}));
}

}  // namespace
