#include "runtime/text.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(Texts, BoundedCopiesTerminateAndComparisonsUseUnsignedBytes) {
  char buffer[8];
  EXPECT_STREQ(TextCopyBounded(buffer, "abcdefghij", sizeof buffer), "abcdefg");
  EXPECT_STREQ(TextCopyBounded(buffer, "ab", sizeof buffer), "ab");
  EXPECT_STREQ(TextAppendBounded(buffer, "cdefghij", sizeof buffer), "abcdefg");
  EXPECT_STREQ(TextAppendBounded(buffer, "x", sizeof buffer), "abcdefg");  // already full
  TextCopyBounded(buffer, "abc", 0);
  EXPECT_STREQ(buffer, "abcdefg");
  EXPECT_STREQ(TextToUpperCopy(buffer, "sky\xE9rd", 5), "SKY\xE9");  // ASCII letters only

  EXPECT_EQ(TextCompare("\xE9", "z"), 1);  // bytes above 127 sort after ASCII
  EXPECT_EQ(TextCompare("ab", "abc"), -1);
  EXPECT_EQ(TextCompareBounded("abcX", "abcY", 3), 0);
  EXPECT_EQ(TextCompareBounded("abcX", "abcY", 4), -1);
}

TEST(Texts, TokensShortTextsAndNumbers) {
  char text[] = "a/bc//d";
  char* saved = nullptr;
  std::string tokens;
  for (char* token = TextNextToken(text, '/', &saved); token; token = TextNextToken(nullptr, '/', &saved))
    tokens += std::string(token) + "|";
  EXPECT_EQ(tokens, "a|bc||d|");
  EXPECT_EQ(TextNextToken(nullptr, '/', &saved), nullptr);

  uint8_t shortText[kShortTextSize];
  char copy[kShortTextSize];
  TextToShort(shortText, "index.iml");
  EXPECT_STREQ(ShortToText(copy, shortText), "index.iml");
  TextToShort(shortText, std::string(300, 'q').c_str());
  EXPECT_EQ(shortText[0], 255);
  EXPECT_EQ(std::string(ShortToText(copy, shortText)), std::string(255, 'q'));

  EXPECT_EQ(TextParseUnsigned("1234abc"), 1234u);
  EXPECT_EQ(TextParseUnsigned(" 12"), 0u);
  EXPECT_EQ(TextParseUnsigned("99999999999999999999"), 4294967295u);
  EXPECT_STREQ(UnsignedToText(copy, 0), "0");
  EXPECT_STREQ(UnsignedToText(copy, 4294967295u), "4294967295");
}

}  // namespace
