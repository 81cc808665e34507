#include "runtime/text.h"

#include <cstring>

#include "runtime/memory.h"

namespace {

int Sign(int value) { return (value > 0) - (value < 0); }

template <uint8_t (*Change)(uint8_t)>
char* ChangeCopy(char* destination, const char* source, size_t size) {
  if (size == 0) return destination;
  size_t i = 0;
  for (; i + 1 < size && source[i]; ++i) destination[i] = char(Change(uint8_t(source[i])));
  destination[i] = '\0';
  return destination;
}

}  // namespace

size_t TextLength(const char* text) { return std::strlen(text); }

char* TextCopy(char* destination, const char* source) {
  return static_cast<char*>(std::memmove(destination, source, std::strlen(source) + 1));
}

char* TextCopyBounded(char* destination, const char* source, size_t size) {
  if (size == 0) return destination;
  const size_t length = strnlen(source, size - 1);
  std::memmove(destination, source, length);
  destination[length] = '\0';
  return destination;
}

char* TextAppend(char* destination, const char* source) {
  TextCopy(destination + std::strlen(destination), source);
  return destination;
}

char* TextAppendBounded(char* destination, const char* source, size_t size) {
  const size_t used = strnlen(destination, size);
  if (used + 1 >= size) return destination;
  TextCopyBounded(destination + used, source, size - used);
  return destination;
}

int TextCompare(const char* a, const char* b) { return Sign(std::strcmp(a, b)); }

int TextCompareBounded(const char* a, const char* b, size_t count) { return Sign(std::strncmp(a, b, count)); }

const char* TextFind(const char* text, const char* pattern) { return std::strstr(text, pattern); }

const char* TextFindAnyOf(const char* text, const char* set) {
  return std::strpbrk(text, set);
}

char* TextNextToken(char* text, char delimiter, char** saved) {
  char* start = text ? text : *saved;
  if (!start) return nullptr;
  char* end = delimiter ? std::strchr(start, delimiter) : nullptr;
  if (end) {
    *end = '\0';
    *saved = end + 1;
  } else {
    *saved = nullptr;  // the last token: the next call ends the walk
  }
  return start;
}

char* TextDuplicate(const char* text) {
  if (!text) return nullptr;
  const size_t size = std::strlen(text) + 1;
  auto* copy = static_cast<char*>(BlockNew(size));
  if (copy) std::memcpy(copy, text, size);
  return copy;
}

char* TextToUpper(char* text) {
  for (char* p = text; *p; ++p) *p = char(AsciiUpper(uint8_t(*p)));
  return text;
}

char* TextToLower(char* text) {
  for (char* p = text; *p; ++p) *p = char(AsciiLower(uint8_t(*p)));
  return text;
}

char* TextToUpperCopy(char* destination, const char* source, size_t size) {
  return ChangeCopy<AsciiUpper>(destination, source, size);
}

char* TextToLowerCopy(char* destination, const char* source, size_t size) {
  return ChangeCopy<AsciiLower>(destination, source, size);
}

uint8_t* TextToShort(uint8_t* destination, const char* text) {
  const size_t length = strnlen(text, kShortTextSize - 1);
  std::memmove(destination + 1, text, length);
  destination[0] = uint8_t(length);
  return destination;
}

char* ShortToText(char* destination, const uint8_t* text) {
  const size_t length = text[0];
  std::memmove(destination, text + 1, length);
  destination[length] = '\0';
  return destination;
}

char* ShortDropLength(uint8_t* text) {
  const size_t length = text[0];
  std::memmove(text, text + 1, length);
  text[length] = '\0';
  return reinterpret_cast<char*>(text);
}

uint32_t TextParseUnsigned(const char* text) {
  uint64_t value = 0;
  for (; *text >= '0' && *text <= '9'; ++text) {
    value = value * 10 + uint64_t(*text - '0');
    if (value > UINT32_MAX) value = UINT32_MAX;
  }
  return uint32_t(value);
}

char* UnsignedToText(char* destination, uint32_t value) {
  char digits[10];
  size_t count = 0;
  do {
    digits[count++] = char('0' + value % 10);
    value /= 10;
  } while (value);
  for (size_t i = 0; i < count; ++i) destination[i] = digits[count - 1 - i];
  destination[count] = '\0';
  return destination;
}
