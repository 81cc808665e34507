#include "interface/markup_escapes.h"

#include "interface/markup_classes.h"
#include "runtime/encodings.h"
#include "runtime/format.h"
#include "runtime/text.h"

namespace {

bool IsDigit(uint8_t c) { return c >= '0' && c <= '9'; }

// The number in text[start, start + count); -1 unless every byte is a digit of the base.
int NumberAt(const char* text, size_t start, size_t count, int base) {
  int value = 0;
  for (size_t i = start; i < start + count; ++i) {
    const uint8_t c = uint8_t(text[i]);
    const int digit = base == 10 ? (IsDigit(c) ? c - '0' : -1) : HexDigitValue(c);
    if (digit < 0) return -1;
    value = value * base + digit;
  }
  return value;
}

uint8_t LowByte(int value) {
  const uint8_t byte = uint8_t(value & 0xFF);
  return byte ? byte : ' ';
}

// The byte an '&' reference at text[0] stands for, and its length; 0 when it stays as written.
size_t DecodeReference(const char* text, size_t length, uint8_t* byte) {
  size_t semicolon = 1;
  while (semicolon <= 7 && semicolon < length && text[semicolon] != ';' && text[semicolon] != '&') ++semicolon;
  if (semicolon > 7 || semicolon >= length || text[semicolon] != ';') return 0;
  if (text[1] == '#') {
    int value = -1;
    if (semicolon == 4) value = NumberAt(text, 2, 2, 10);
    else if (semicolon == 7 && text[2] == 'u') value = NumberAt(text, 3, 4, 10);
    if (value < 0) return 0;
    *byte = LowByte(value);
    return semicolon + 1;
  }
  *byte = EntityToByte(text, semicolon + 1);
  return *byte ? semicolon + 1 : 0;
}

size_t DecodePercent(const char* text, size_t length, uint8_t* byte) {
  int value = -1;
  if (length >= 3 && (value = NumberAt(text, 1, 2, 16)) >= 0) {
    *byte = LowByte(value);
    return 3;
  }
  if (length >= 6 && text[1] == 'u' && (value = NumberAt(text, 2, 4, 16)) >= 0) {
    *byte = LowByte(value);
    return 6;
  }
  return 0;
}

template <size_t (*Decode)(const char*, size_t, uint8_t*)>
size_t DecodeInPlace(char* text, size_t length, char marker) {
  size_t out = 0;
  for (size_t i = 0; i < length;) {
    uint8_t byte = 0;
    const size_t used = text[i] == marker ? Decode(text + i, length - i, &byte) : 0;
    if (used) {
      text[out++] = char(byte);
      i += used;
    } else {
      text[out++] = text[i++];
    }
  }
  return out;
}

// The escape for one byte in `buffer`, or 0 when the byte stands for itself.
size_t EscapeByte(uint8_t c, EscapeMode mode, bool escapeBlanks, char* buffer) {
  const uint8_t classes = kMarkupClasses[c];
  if (mode == EscapeMode::kPercent) {
    const bool escape = (classes & (kMarkupControl | kMarkupHigh)) || c == '%' || c == '\'' || c == '"' ||
                        c == '<' || c == '>' ||
                        (escapeBlanks && (classes & kMarkupBlank));
    if (!escape) return 0;
    FormatText(buffer, 8, "%%%2.2X", c);
    return 3;
  }
  if (classes & kMarkupControl) {
    if (c == '\t' || c == '\n' || c == '\r') return 0;
  } else if (!(classes & kMarkupHigh) && c != '&' && c != '<' && c != '>') {
    return 0;
  }
  const char* named = c == '&' ? "&amp;" : c == '<' ? "&lt;" : c == '>' ? "&gt;" : c == 0xA0 ? "&nbsp;"
                    : c == 0xA9 ? "&copy;" : c == 0xAE ? "&reg;" : nullptr;
  if (named) return TextLength(TextCopy(buffer, named));
  // The reader takes two decimal digits, or 'u' and four: "&#07;", "&#u0233;".
  FormatText(buffer, 12, c < 100 ? "&#%2.2u;" : "&#u%4.4u;", c);
  return TextLength(buffer);
}

}  // namespace

size_t DecodeEntities(char* text, size_t length) { return DecodeInPlace<DecodeReference>(text, length, '&'); }

size_t DecodePercentEscapes(char* text, size_t length) {
  return DecodeInPlace<DecodePercent>(text, length, '%');
}

size_t EscapeForOutput(const char* text, size_t length, EscapeMode mode, bool escapeBlanks, char* out,
                       size_t capacity) {
  size_t needed = 0;
  for (size_t i = 0; i < length; ++i) {
    char buffer[16];
    size_t size = EscapeByte(uint8_t(text[i]), mode, escapeBlanks, buffer);
    if (size == 0) buffer[size++] = text[i];
    for (size_t j = 0; j < size; ++j, ++needed)
      if (needed + 1 < capacity) out[needed] = buffer[j];
  }
  if (capacity) out[needed < capacity ? needed : capacity - 1] = '\0';
  return needed;
}
