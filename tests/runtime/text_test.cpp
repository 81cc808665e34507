#include "runtime/text.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "runtime/memory.h"

namespace {

TEST(TextCopying, BoundedCopyAndAppendAlwaysTerminate) {
  char buffer[8];
  EXPECT_STREQ(TextCopyBounded(buffer, "abcdefghij", sizeof buffer), "abcdefg");
  EXPECT_STREQ(TextCopyBounded(buffer, "ab", sizeof buffer), "ab");
  EXPECT_STREQ(TextAppendBounded(buffer, "cdefghij", sizeof buffer), "abcdefg");
  EXPECT_STREQ(TextAppendBounded(buffer, "x", sizeof buffer), "abcdefg");  // already full

  buffer[0] = 'Q';
  TextCopyBounded(buffer, "abc", 0);
  EXPECT_EQ(buffer[0], 'Q');

  char whole[16] = "ab";
  EXPECT_STREQ(TextAppend(whole, "cd"), "abcd");
  EXPECT_STREQ(TextCopy(whole, "xyz"), "xyz");
  EXPECT_EQ(TextLength(whole), 3u);
}

TEST(TextComparing, UnsignedBytesAndExactCase) {
  EXPECT_EQ(TextCompare("abc", "abc"), 0);
  EXPECT_EQ(TextCompare("abc", "abd"), -1);
  EXPECT_EQ(TextCompare("abd", "abc"), 1);
  EXPECT_EQ(TextCompare("\xE9", "z"), 1);  // bytes above 127 sort after ASCII
  EXPECT_EQ(TextCompare("ABC", "abc"), -1);
  EXPECT_EQ(TextCompare("ab", "abc"), -1);
  EXPECT_EQ(TextCompareBounded("abcX", "abcY", 3), 0);
  EXPECT_EQ(TextCompareBounded("abcX", "abcY", 4), -1);
}

TEST(TextSearching, FindAndFindAnyOf) {
  const char* text = "user@example.com";
  EXPECT_EQ(TextFind(text, "example"), text + 5);
  EXPECT_EQ(TextFind(text, "missing"), nullptr);
  EXPECT_EQ(TextFindAnyOf(text, ".@"), text + 4);
  EXPECT_EQ(TextFindAnyOf(text, "#!"), nullptr);
}

TEST(TextTokens, SplitsInPlaceAndContinuesFromTheSavedPosition) {
  char text[] = "a/bc//d";
  char* saved = nullptr;
  EXPECT_STREQ(TextNextToken(text, '/', &saved), "a");
  EXPECT_STREQ(TextNextToken(nullptr, '/', &saved), "bc");
  EXPECT_STREQ(TextNextToken(nullptr, '/', &saved), "");
  EXPECT_STREQ(TextNextToken(nullptr, '/', &saved), "d");
  EXPECT_EQ(TextNextToken(nullptr, '/', &saved), nullptr);
  EXPECT_EQ(TextNextToken(nullptr, '/', &saved), nullptr);
  EXPECT_EQ(std::memcmp(text, "a\0bc\0\0d", 8), 0);
}

TEST(TextCase, OnlyAsciiLettersChange) {
  char text[] = "Order \xC9t\xE9 #1";
  EXPECT_STREQ(TextToUpper(text), "ORDER \xC9T\xE9 #1");
  EXPECT_STREQ(TextToLower(text), "order \xC9t\xE9 #1");
  char buffer[5];
  EXPECT_STREQ(TextToUpperCopy(buffer, "skyward", sizeof buffer), "SKYW");
  EXPECT_STREQ(TextToLowerCopy(buffer, "AB", sizeof buffer), "ab");
}

TEST(TextDuplicates, LiveInAFixedBlock) {
  UniqueBlock<char> copy(TextDuplicate("classic.iml"));
  ASSERT_TRUE(copy);
  EXPECT_STREQ(copy.get(), "classic.iml");
  EXPECT_EQ(TextDuplicate(nullptr), nullptr);
}

TEST(ShortTexts, LengthPrefixedConversions) {
  uint8_t shortText[kShortTextSize];
  TextToShort(shortText, "index.iml");
  EXPECT_EQ(shortText[0], 9);
  EXPECT_EQ(std::memcmp(shortText + 1, "index.iml", 9), 0);

  char text[kShortTextSize];
  EXPECT_STREQ(ShortToText(text, shortText), "index.iml");
  EXPECT_STREQ(ShortDropLength(shortText), "index.iml");

  const std::string longText(300, 'q');
  TextToShort(shortText, longText.c_str());
  EXPECT_EQ(shortText[0], 255);
  EXPECT_EQ(std::string(ShortToText(text, shortText)), std::string(255, 'q'));
}

TEST(TextNumbers, ParseAndPrintUnsigned) {
  EXPECT_EQ(TextParseUnsigned("1234abc"), 1234u);
  EXPECT_EQ(TextParseUnsigned("abc"), 0u);
  EXPECT_EQ(TextParseUnsigned(""), 0u);
  EXPECT_EQ(TextParseUnsigned(" 12"), 0u);
  EXPECT_EQ(TextParseUnsigned("4294967295"), 4294967295u);
  EXPECT_EQ(TextParseUnsigned("99999999999999999999"), 4294967295u);

  char buffer[12];
  EXPECT_STREQ(UnsignedToText(buffer, 0), "0");
  EXPECT_STREQ(UnsignedToText(buffer, 1000), "1000");
  EXPECT_STREQ(UnsignedToText(buffer, 4294967295u), "4294967295");
}

}  // namespace
