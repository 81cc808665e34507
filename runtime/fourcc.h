// Four-character codes: four characters in a 32-bit value, the first in the most significant byte.
#pragma once

#include <cstdint>

using FourCC = uint32_t;

constexpr FourCC MakeFourCC(char a, char b, char c, char d) {
  return (FourCC(uint8_t(a)) << 24) | (FourCC(uint8_t(b)) << 16) | (FourCC(uint8_t(c)) << 8) | FourCC(uint8_t(d));
}

// "CHNK" -> 'CHNK'; the literal must have exactly four characters.
constexpr FourCC MakeFourCC(const char (&text)[5]) { return MakeFourCC(text[0], text[1], text[2], text[3]); }
