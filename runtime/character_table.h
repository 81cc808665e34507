// The characters the system can tell apart in its three 8-bit encodings, with their markup entity names.
#pragma once

#include <cstddef>
#include <cstdint>

// One character: its code point, its byte in ISO-8859-1, Windows-1252 and MacRoman (0 where that
// encoding has none), and its entity name (empty where it has none).
struct CharacterRow {
  uint16_t codePoint;
  uint8_t iso;
  uint8_t windows;
  uint8_t mac;
  char entity[7];
};
static_assert(sizeof(CharacterRow) == 12);

// Row 0 is all zero and stands for "no character". Then amp, lt, gt, quot; the characters Windows-1252
// puts in 0x80-0x9F; U+00A0 to U+00FF; and the characters only MacRoman has, in MacRoman byte order.
constexpr size_t kCharacterRowCount = 153;
extern const CharacterRow kCharacterTable[kCharacterRowCount];
