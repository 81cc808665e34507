// The plain types of the graphics layer, shared with the modules that never touch the system's drawing
// interface (pixel maps in memory, image codecs).
#pragma once

#include <cstdint>

// Four bytes in this order. Colours the layer produces carry alpha 255.
struct Colour {
  uint8_t alpha;
  uint8_t red;
  uint8_t green;
  uint8_t blue;

  bool operator==(const Colour&) const = default;
};

// In a port's logical coordinates (pixels); right and bottom are exclusive.
struct Rect {
  int32_t left;
  int32_t top;
  int32_t right;
  int32_t bottom;

  bool operator==(const Rect&) const = default;
};

struct Point {
  int32_t x;
  int32_t y;

  bool operator==(const Point&) const = default;
};

constexpr Rect kWholePlane{INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX};

// An 8 x 8 one-bit pattern: eight rows of two bytes, the first byte holding the row's eight pixels
// (leftmost in the top bit). A 0 bit draws in the foreground colour, a 1 bit in the background colour,
// so the all-zero pattern is solid foreground.
struct Pattern {
  uint8_t rows[16];

  bool operator==(const Pattern&) const = default;
};

constexpr Pattern kSolidPattern{};

// A colour table of an 8-bit pixel map: the count of entries in use, then 256 colours (1028 bytes).
struct ColourTable {
  uint32_t count;
  Colour entries[256];
};
static_assert(sizeof(ColourTable) == 1028);
