// Character escapes of the markup: decoding as the parser reads text and attribute values, and
// escaping for output (links handed to the system, and the markup writer).
#pragma once

#include <cstddef>
#include <cstdint>

// Decodes in place and returns the new length. Text: "&name;" (see EntityToByte), "&#NN;" and
// "&#uNNNN;" (decimal, low byte). Attribute values: "%XX" and "%uXXXX" (hexadecimal, low byte).
// Anything else stays as written; a reference that decodes to byte 0 gives a blank.
size_t DecodeEntities(char* text, size_t length);
size_t DecodePercentEscapes(char* text, size_t length);

enum class EscapeMode {
  kPercent,  // control bytes, '%', '\'', '"', '<', '>', 0x7F-0xFF (and blanks on request) -> "%XX"
  kEntity,   // control bytes but TAB LF CR, '&', '<', '>', 0x7F-0xFF -> "&amp;", "&#NN;", ...
};

// Writes the escaped bytes to `out` (capacity bytes, always NUL-terminated when capacity > 0) and
// returns the length the whole result needs, without the NUL; a result that does not fit is cut.
size_t EscapeForOutput(const char* text, size_t length, EscapeMode mode, bool escapeBlanks, char* out,
                       size_t capacity);
