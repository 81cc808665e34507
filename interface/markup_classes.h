// The byte classes of the markup syntax, shared by the parser and the output escaping.
#pragma once

#include <array>
#include <cstdint>

enum : uint8_t {
  kMarkupName = 1,        // 0-9 A-Z a-z _
  kMarkupBlank = 2,       // TAB LF CR SPACE
  kMarkupSpecial = 4,     // opens a special tag: # $ ( * + = ? @ [ { ~
  kMarkupQuote = 8,       // " ' `
  kMarkupLiteral = 16,    // inside a stray quote, makes '>' literal: # $ & ( * + , ; = @ [ { |
  kMarkupControl = 32,    // 0x00-0x1F
  kMarkupHigh = 64,       // 0x7F-0xFF
};

constexpr std::array<uint8_t, 256> MakeMarkupClasses() {
  std::array<uint8_t, 256> bits = {};
  auto mark = [&bits](const char* set, uint8_t bit) {
    for (; *set; ++set) bits[uint8_t(*set)] |= bit;
  };
  for (int c = 0; c < 256; ++c) {
    if ((c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_')
      bits[c] |= kMarkupName;
    if (c < 0x20) bits[c] |= kMarkupControl;
    if (c >= 0x7F) bits[c] |= kMarkupHigh;
  }
  mark("\t\n\r ", kMarkupBlank);
  mark("#$(*+=?@[{~", kMarkupSpecial);
  mark("\"'`", kMarkupQuote);
  mark("#$&(*+,;=@[{|", kMarkupLiteral);
  return bits;
}

inline constexpr std::array<uint8_t, 256> kMarkupClasses = MakeMarkupClasses();

inline bool HasMarkupClass(uint8_t c, uint8_t classes) { return (kMarkupClasses[c] & classes) != 0; }
