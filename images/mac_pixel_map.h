// The pixel-map record, colour table and pixel rows shared by Macintosh pictures and pixel patterns.
// Every field is big-endian; rectangles are four signed 16-bit numbers top, left, bottom, right.
#pragma once

#include <cstdint>

#include "images/image_reading.h"

// From the row bytes to the reserved field.
constexpr uint32_t kMacPixelMapSize = 46;
constexpr uint32_t kMacResolution = 0x00480000;  // 72 dpi in 16.16 fixed point
constexpr uint32_t kMacPixelMapFlag = 0x8000;    // in the row bytes: a pixel map, not a bitmap

struct MacPixelMap {
  uint32_t rowBytes;  // as stored, flags included
  Rect bounds;
  uint32_t version, packType, packSize, pixelType, pixelSize, componentCount, componentSize, planeBytes;
  uint32_t tableOffset;
  uint32_t RowLength() const { return rowBytes & 0x3FFF; }
  bool IsPixelMap() const { return (rowBytes & kMacPixelMapFlag) != 0; }
};

Rect MacRectGet(const uint8_t* bytes);
void MacRectPut(uint8_t* bytes, const Rect& rect);
MacPixelMap MacPixelMapGet(const uint8_t* bytes);
void MacPixelMapPut(uint8_t* bytes, const MacPixelMap& map);
// The header of a map written with one index byte (8), one 16-bit value (16) or one 32-bit value per
// pixel: pixel type, size and components as the formats define them, 72 dpi, everything else 0.
MacPixelMap MacPixelMapFor(uint32_t bytesPerPixel, int32_t width, int32_t height);
// How many bytes per pixel a map is written with: indices 1, 2-byte maps 2, the rest 4.
uint32_t MacBytesPerPixel(const Pixmap* pixmap);

// A colour table: seed, flags, size (entries - 1, at most 255, else -7302), then entries of value, red,
// green and blue as 16-bit numbers of which the high bytes count. Entries go to the slot of their
// value field unless `byPosition` or flag bit 15 says by position; slots at or past `slots` are
// dropped. `slots` 0 makes the table as long as the list.
Status MacColourTableRead(ImageStream* input, bool byPosition, uint32_t slots, ColourTable* table);
Status MacColourTableWrite(ImageStream* output, const ColourTable& table, uint32_t count);

// A row of pixels as stored: 1, 2, 4 or 8-bit indices, 16-bit x-rrrrr-ggggg-bbbbb values or 32-bit
// pad, red, green, blue; into the map's row through `indices` or `colours` (each width long).
Status MacRowToMap(BuiltImage* built, int32_t row, uint32_t pixelSize, const uint8_t* pixels, uint8_t* indices,
                   Colour* colours);
// The same the other way, for a map's row written with MacBytesPerPixel: the 32-bit values hold alpha
// where the pad is, and a 16-bit value's top bit says the pixel is not transparent.
Status MacRowFromMap(Pixmap* pixmap, int32_t row, uint32_t bytesPerPixel, uint8_t* pixels);
