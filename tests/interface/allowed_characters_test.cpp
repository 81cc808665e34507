// What an input field admits by its ALLOW attribute, typed and pasted.
#include <gtest/gtest.h>

#include <string>

#include "interface/controls/allowed_characters.h"

namespace {

std::string AllowedSet(const AllowedCharacters& allowed) {
  std::string set;
  for (int c = 0; c < 256; ++c)
    if (allowed.flags[c]) set += char(c);
  return set;
}

TEST(AllowedCharacters, WithoutAllowEveryByteValue) {
  AllowedCharacters allowed;
  read_allowed_characters(nullptr, &allowed);
  EXPECT_EQ(AllowedSet(allowed).size(), 256u);
  EXPECT_TRUE(character_admitted(allowed, 0xE9));  // é
  EXPECT_TRUE(character_admitted(allowed, 'x'));
}

TEST(AllowedCharacters, DigitsOnlyTakesDigitsAndEditingKeys) {
  AllowedCharacters allowed;
  read_allowed_characters("1234567890", &allowed);
  EXPECT_EQ(AllowedSet(allowed), "0123456789");
  EXPECT_TRUE(character_admitted(allowed, '7'));
  EXPECT_FALSE(character_admitted(allowed, 'a'));
  EXPECT_FALSE(character_admitted(allowed, ' '));
  EXPECT_FALSE(character_admitted(allowed, '-'));
  // Backspace, Ctrl+V and Ctrl+C, Return and DEL are commands to the field, not text.
  for (uint8_t command : {uint8_t(8), uint8_t(22), uint8_t(3), uint8_t('\r'), uint8_t(0x7F)})
    EXPECT_TRUE(character_admitted(allowed, command)) << int(command);
}

TEST(AllowedCharacters, OnlyTheAllowableSetCanBeAllowed) {
  AllowedCharacters allowed;
  read_allowed_characters("ab \t\xE9\x01`\"\\?~", &allowed);
  EXPECT_EQ(AllowedSet(allowed), " \"?\\`ab~");
  EXPECT_FALSE(character_admitted(allowed, 0xE9));
  // Every character of the allowable set can be allowed, and no other.
  read_allowed_characters(kAllowableCharacters, &allowed);
  EXPECT_EQ(AllowedSet(allowed).size(), sizeof kAllowableCharacters - 1);
  for (int c = 0x80; c < 256; ++c) EXPECT_FALSE(allowed.flags[c]) << c;
  // ALLOW written without a value allows no text at all.
  read_allowed_characters("", &allowed);
  EXPECT_EQ(AllowedSet(allowed), "");
}

TEST(AllowedCharacters, PastedTextKeepsWhatTheFieldAdmits) {
  AllowedCharacters allowed;
  read_allowed_characters("1234567890", &allowed);
  char text[] = "12a3\r\n4\x01\xE9 5\t";
  const size_t length = filter_pasted_text(allowed, text, sizeof text - 1);
  EXPECT_EQ(std::string(text, length), "123\r\n45\t");
  EXPECT_EQ(text[length], '\0');

  read_allowed_characters(nullptr, &allowed);
  char any[] = "Grüße\x02!";
  EXPECT_EQ(std::string(any, filter_pasted_text(allowed, any, sizeof any - 1)), "Grüße!");
}

}  // namespace
