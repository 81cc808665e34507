#include "runtime/format.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

namespace {

template <class... Args>
std::string Format(const char* format, const Args&... args) {
  char buffer[512];
  return FormatText(buffer, sizeof buffer, format, args...);
}

TEST(FormatNumbers, PrecisionPadsDigitsWithZeros) {
  EXPECT_EQ(Format("%2.2lX", 10), "0A");
  EXPECT_EQ(Format("%.4ld", 7), "0007");
  EXPECT_EQ(Format("%.*ld", 2, 5), "05");
  EXPECT_EQ(Format("$%ld.%.2ld", 30, 0), "$30.00");
  EXPECT_EQ(Format("#%2.2lX#%2.2lX#%2.2lX", 255, 0, 16), "#FF#00#10");
}

TEST(FormatNumbers, SignStandsBeforeThePaddedField) {
  EXPECT_EQ(Format("%5d", -42), "-   42");
  EXPECT_EQ(Format("%05d", -42), "-00042");
  EXPECT_EQ(Format("%+5d", 42), "+   42");
  EXPECT_EQ(Format("%5d", 42), "   42");
  EXPECT_EQ(Format("%-5d|", 42), "   42|");  // numbers are always right-aligned
}

TEST(FormatNumbers, PlusFlagSignsOnlyNonZeroNonNegativeValues) {
  EXPECT_EQ(Format("%+d", 0), "0");
  EXPECT_EQ(Format("%+d", 3), "+3");
  EXPECT_EQ(Format("%+u", 3u), "+3");
  EXPECT_EQ(Format("%+d", -3), "-3");
}

TEST(FormatNumbers, PrecisionZeroOnZero) {
  EXPECT_EQ(Format("[%.0d]", 0), "[0]");
  EXPECT_EQ(Format("[% .0d]", 0), "[ ]");
  EXPECT_EQ(Format("[% .0d]", 7), "[7]");
  EXPECT_EQ(Format("[%.d]", 0), "[0]");  // a bare "." means precision 0
}

TEST(FormatNumbers, LengthLettersChooseTheArgumentWidth) {
  EXPECT_EQ(Format("%hd", 65535), "-1");
  EXPECT_EQ(Format("%hu", -1), "65535");
  EXPECT_EQ(Format("%hx", 0x12345), "2345");
  EXPECT_EQ(Format("%d", int64_t(0x100000005)), "5");  // no length letter: 32 bits
  EXPECT_EQ(Format("%lu", -1), "4294967295");
  EXPECT_EQ(Format("%ld", 0xFFFFFFFFu), "-1");
  EXPECT_EQ(Format("%lld", INT64_MIN), "-9223372036854775808");
  EXPECT_EQ(Format("%qu", UINT64_MAX), "18446744073709551615");
  EXPECT_EQ(Format("%LX", int64_t(-1)), "FFFFFFFFFFFFFFFF");
  EXPECT_EQ(Format("%d", INT32_MIN), "-2147483648");
}

TEST(FormatNumbers, Bases) {
  EXPECT_EQ(Format("%o %x %X %u", 8, 255, 255, 0), "10 ff FF 0");
  EXPECT_EQ(Format("%*d", 4, 7), "   7");
  EXPECT_EQ(Format("%0*X", 4, 0xAB), "00AB");
}

TEST(FormatTexts, WidthIsAnExactFieldSize) {
  EXPECT_EQ(Format("%3s", "abcdef"), "abc");
  EXPECT_EQ(Format("%5s|", "ab"), "   ab|");
  EXPECT_EQ(Format("%-5s|", "ab"), "ab   |");
  EXPECT_EQ(Format("%*s|", 4, "ab"), "  ab|");
  EXPECT_EQ(Format("%-3s|", "abcdef"), "abc|");
}

TEST(FormatTexts, PrecisionShorterThanTextKeepsTheFieldLength) {
  EXPECT_EQ(Format("%.2s|", "abcd"), "  ab|");
  EXPECT_EQ(Format("%-.2s|", "abcd"), "ab  |");
  EXPECT_EQ(Format("%6.2s|", "abcd"), "    ab|");
  EXPECT_EQ(Format("%.9s|", "abcd"), "abcd|");
}

TEST(FormatTexts, MissingAndLengthPrefixedTexts) {
  const char* none = nullptr;
  EXPECT_EQ(Format("%s", none), "<NULL>");
  EXPECT_EQ(Format("%s", nullptr), "<NULL>");
  const unsigned char prefixed[] = "\x03" "abcdef";
  EXPECT_EQ(Format("[%#s]", prefixed), "[abc]");
  EXPECT_EQ(Format("[%#5s]", prefixed), "[  abc]");
  EXPECT_EQ(Format("[%#s]", none), "[]");
  char buffer[] = "mutable";
  EXPECT_EQ(Format("%s", buffer), "mutable");
}

TEST(FormatDirectives, UnknownConversionIsCopiedAndFormattingGoesOn) {
  EXPECT_EQ(Format("a%yb%d", 5), "a%yb5");
  EXPECT_EQ(Format("%-08.3y|"), "%-08.3y|");
  EXPECT_EQ(Format("100%%"), "100%");
  EXPECT_EQ(Format("tail%"), "tail%");
  EXPECT_EQ(Format("tail%5l"), "tail%5l");
  EXPECT_EQ(Format("%hhd", 1), "%hhd");  // "hh" is not a length
}

TEST(FormatDirectives, CharactersPointersAndCounts) {
  EXPECT_EQ(Format("%c%5c%.0c", 'A', 'B', 'C'), "ABC");
  EXPECT_EQ(Format("%p", reinterpret_cast<void*>(uintptr_t(0x1234))), "0x00001234");
  EXPECT_EQ(Format("%p", reinterpret_cast<void*>(uintptr_t(0xABCDEF12u))), "0xABCDEF12");
  int32_t count = -1;
  EXPECT_EQ(Format("ab%ncd", &count), "abcd");
  EXPECT_EQ(count, 2);
}

TEST(FormatDirectives, MissingArgumentsReadAsZeroAndNoText) {
  EXPECT_EQ(Format("%d|%s|%x", 1), "1|<NULL>|0");
}

TEST(FormatCapacity, EveryCharacterCountsAndTheTextIsTerminated) {
  char buffer[16];
  EXPECT_STREQ(FormatText(buffer, 4, "abcdef"), "abc");
  EXPECT_STREQ(FormatText(buffer, 3, "%d", 12345), "12");
  EXPECT_STREQ(FormatText(buffer, 5, "ab%5s", "xyz"), "ab  ");
  EXPECT_STREQ(FormatText(buffer, 4, "%5d", -1), "-  ");
  EXPECT_STREQ(FormatText(buffer, 1, "abc"), "");

  buffer[0] = 'Z';
  FormatText(buffer, 0, "abc");
  EXPECT_EQ(buffer[0], 'Z');  // nowhere to put even the NUL

  int32_t count = -1;
  FormatText(buffer, 3, "abcd%n", &count);
  EXPECT_EQ(count, -1);  // formatting stopped when the room ran out
}

TEST(FormatCapacity, WritesNothingPastTheCapacity) {
  char buffer[12];
  memset(buffer, '#', sizeof buffer);
  FormatText(buffer, 6, "%s%d%s", "abc", 12345, "def");
  EXPECT_STREQ(buffer, "abc12");
  EXPECT_EQ(buffer[6], '#');
}

TEST(FormatUnbounded, HasNoLimit) {
  std::string expected(600, 'x');
  char buffer[700];
  EXPECT_EQ(std::string(FormatTextUnbounded(buffer, "%s%d", expected.c_str(), 42)), expected + "42");
}

}  // namespace
