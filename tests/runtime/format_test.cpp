#include "runtime/format.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>

namespace {

template <class... Args>
std::string Format(const char* format, const Args&... args) {
  char buffer[512];
  return FormatText(buffer, sizeof buffer, format, args...);
}

TEST(FormatNumbers, PrecisionWidthBasesAndLengths) {
  EXPECT_EQ(Format("$%ld.%.2ld", 30, 0), "$30.00");
  EXPECT_EQ(Format("#%2.2lX#%2.2lX#%2.2lX", 255, 0, 16), "#FF#00#10");
  EXPECT_EQ(Format("%.*ld|%*d|%0*X|%o %x %u", 2, 5, 4, 7, 4, 0xAB, 8, 255, 0), "05|   7|00AB|10 ff 0");
  EXPECT_EQ(Format("[%.0d][% .0d][% .0d][%.d]", 0, 0, 7, 0), "[0][ ][7][0]");  // a bare "." is precision 0
  // No length letter and "l" take 32 bits, "h" 16, "ll", "q" and "L" 64, whatever the argument's type.
  EXPECT_EQ(Format("%hd %hu %hx", 65535, -1, 0x12345), "-1 65535 2345");
  EXPECT_EQ(Format("%d %lu %ld %d", int64_t(0x100000005), -1, 0xFFFFFFFFu, INT32_MIN), "5 4294967295 -1 -2147483648");
  EXPECT_EQ(Format("%lld %qu", INT64_MIN, UINT64_MAX), "-9223372036854775808 18446744073709551615");
  EXPECT_EQ(Format("%LX", int64_t(-1)), "FFFFFFFFFFFFFFFF");
}

TEST(FormatNumbers, SignStandsBeforeThePaddedField) {
  EXPECT_EQ(Format("%5d", -42), "-   42");
  EXPECT_EQ(Format("%05d", -42), "-00042");
  EXPECT_EQ(Format("%+5d", 42), "+   42");
  EXPECT_EQ(Format("%-5d|", 42), "   42|");  // numbers are always right-aligned
  EXPECT_EQ(Format("%+d %+d %+u %+X %+o", 0, -3, 3u, 10u, 8u), "0 -3 +3 +A +10");  // values above zero
}

TEST(FormatTexts, WidthIsAnExactFieldSizeMissingAndLengthPrefixedTexts) {
  EXPECT_EQ(Format("%3s|%-3s|", "abcdef", "abcdef"), "abc|abc|");
  EXPECT_EQ(Format("%5s|%-5s|%*s|", "ab", "ab", 4, "ab"), "   ab|ab   |  ab|");
  EXPECT_EQ(Format("%.2s|%-.2s|%6.2s|%.9s|", "abcd", "abcd", "abcd", "abcd"), "  ab|ab  |    ab|abcd|");
  const char* none = nullptr;
  EXPECT_EQ(Format("%s|%s", none, nullptr), "<NULL>|<NULL>");
  const unsigned char prefixed[] = "\x03" "abcdef";
  EXPECT_EQ(Format("[%#s][%#5s][%#s]", prefixed, prefixed, none), "[abc][  abc][]");
}

TEST(FormatDirectives, UnknownOnesAreCopiedAndCharactersPointersCountsAndMissingArguments) {
  EXPECT_EQ(Format("a%yb%d|%-08.3y|100%%|%hhd|tail%5l", 5, 1), "a%yb5|%-08.3y|100%|%hhd|tail%5l");
  EXPECT_EQ(Format("%d|%s|%x", 1), "1|<NULL>|0");
  EXPECT_EQ(Format("%c%5c%.0c", 'A', 'B', 'C'), "ABC");
  EXPECT_EQ(Format("%p", reinterpret_cast<void*>(uintptr_t(0xABCD12))), "0x00ABCD12");
  int32_t count = -1;
  EXPECT_EQ(Format("ab%ncd", &count), "abcd");
  EXPECT_EQ(count, 2);
}

TEST(FormatCapacity, EveryCharacterCountsAndNothingIsWrittenPastIt) {
  char buffer[16];
  EXPECT_STREQ(FormatText(buffer, 3, "%d", 12345), "12");
  EXPECT_STREQ(FormatText(buffer, 5, "ab%5s", "xyz"), "ab  ");
  EXPECT_STREQ(FormatText(buffer, 4, "%5d", -1), "-  ");
  EXPECT_STREQ(FormatText(buffer, 1, "abc"), "");
  buffer[0] = 'Z';
  FormatText(buffer, 0, "abc");
  EXPECT_EQ(buffer[0], 'Z');  // nowhere to put even the NUL

  std::memset(buffer, '#', sizeof buffer);
  FormatText(buffer, 6, "%s%d%s", "abc", 12345, "def");
  EXPECT_STREQ(buffer, "abc12");
  EXPECT_EQ(buffer[6], '#');
  int32_t count = -1;
  FormatText(buffer, 3, "abcd%n", &count);
  EXPECT_EQ(count, -1);  // formatting stopped when the room ran out
}

}  // namespace
