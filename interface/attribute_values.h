// The value forms of attributes, read from an attribute's text: integers, rectangles, colours,
// booleans and alignments. Pure: no system calls.
#pragma once

#include <cstdint>

#include "graphics/graphics_types.h"

// An optional '-' and decimal digits; reading stops at the first other character (',' included). Text
// that starts with anything else reads as 0. Values beyond 32 bits are held at the nearest limit.
int32_t read_integer(const char* text);

// Four integers separated by ',': left, top, right, bottom. Within a field digits accumulate, a '-'
// before the first non-zero digit makes it negative and any other character (a blank) is skipped;
// missing fields are 0 and fields after the fourth are ignored. "119, 10, 119, 390" is a vertical line.
Rect read_rectangle(const char* text);

// Leading '#' characters are skipped; the rest must be 3 (RGB, each digit doubled) or 6 (RRGGBB)
// characters, a character that is no hexadecimal digit counting as 0. Any other length is no colour:
// false, and *colour is left alone. A colour read has alpha 255.
bool read_colour(const char* text, Colour* colour);

// True unless the text is "FALSE" or "NONE" in any letter case; an attribute written without a value
// (empty text) is true.
bool read_boolean(const char* text);

// "RIGHT" 1, "LEFT" -1, anything else 0 (centre); in any letter case.
int32_t read_alignment(const char* text);
