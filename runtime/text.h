// Helpers for NUL-terminated texts and for length-prefixed ("short") texts: a first byte holding the
// length, 0 to 255, followed by that many bytes. Letter case means ASCII letters only.
#pragma once

#include <cstddef>
#include <cstdint>

constexpr size_t kShortTextSize = 256;  // a length-prefixed text with room for 255 bytes

size_t TextLength(const char* text);
char* TextCopy(char* destination, const char* source);
// Copies at most size - 1 bytes and always terminates (nothing is written for size 0).
char* TextCopyBounded(char* destination, const char* source, size_t size);
char* TextAppend(char* destination, const char* source);
// Appends while the whole stays below size - 1 bytes, then terminates.
char* TextAppendBounded(char* destination, const char* source, size_t size);

// -1, 0 or 1 by unsigned byte comparison.
int TextCompare(const char* a, const char* b);
int TextCompareBounded(const char* a, const char* b, size_t count);

const char* TextFind(const char* text, const char* pattern);
const char* TextFindAnyOf(const char* text, const char* set);
// Splits at the delimiter (replacing it by NUL); a text of none continues from *saved. Consecutive
// delimiters give empty tokens. None when the text is used up.
char* TextNextToken(char* text, char delimiter, char** saved);

// A copy in a fixed block of length + 1 bytes (free with BlockDispose), or none.
char* TextDuplicate(const char* text);

char* TextToUpper(char* text);
char* TextToLower(char* text);
char* TextToUpperCopy(char* destination, const char* source, size_t size);
char* TextToLowerCopy(char* destination, const char* source, size_t size);

// destination holds kShortTextSize bytes; longer texts are cut at 255 bytes.
uint8_t* TextToShort(uint8_t* destination, const char* text);
char* ShortToText(char* destination, const uint8_t* text);
char* ShortDropLength(uint8_t* text);

// ASCII-only letter case and hexadecimal digits, for byte-oriented scanners.
inline uint8_t AsciiUpper(uint8_t c) { return c >= 'a' && c <= 'z' ? uint8_t(c - 'a' + 'A') : c; }
inline uint8_t AsciiLower(uint8_t c) { return c >= 'A' && c <= 'Z' ? uint8_t(c - 'A' + 'a') : c; }
// 0 to 15, or -1 for a byte that is not a hexadecimal digit.
inline int HexDigitValue(uint8_t c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// Value of the leading decimal digits (0 when there are none); saturates at the largest 32-bit value.
uint32_t TextParseUnsigned(const char* text);
char* UnsignedToText(char* destination, uint32_t value);
