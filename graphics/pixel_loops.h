// The copy loops of the general copy. One loop per transfer mode, source size, destination size and
// scaling, so that the inner loop has no format tests: the layouts within one size differ only in
// shifts, masks and factors, which the loops take as data.
#pragma once

#include <cstdint>

#include "graphics/pixel_format.h"

struct CopyJob {
  const uint8_t* source;       // the first source pixel of the copy
  uint32_t sourceRowBytes;
  const uint8_t* mask;         // the mask byte over that pixel, when the mode uses one
  uint32_t maskRowBytes;
  uint8_t* destination;        // the first destination pixel
  uint32_t destinationRowBytes;
  int32_t width;               // destination extent
  int32_t height;
  int32_t sourceHeight;        // source extent, for scaling
  const int32_t* columns;      // scaled loops: the source column of each destination column
  PixelFormat sourceFormat;
  PixelFormat destinationFormat;
  uint32_t sourceColours[256];       // indexed source: entries as 0xAARRGGBB
  uint32_t destinationColours[256];  // indexed destination
  const uint8_t* inverse;            // indexed destination: its inverse table
  uint32_t key;                      // mode 5: the raw source value left out, under keyMask
  uint32_t keyMask;
  uint32_t weight;                   // modes 3 and 4: the record's alpha as a weight of 0 to 256
};

using CopyLoop = void (*)(const CopyJob& job);

// An alpha or coverage of 0 to 255 as a blending weight of 0 to 256, so that 255 replaces outright.
inline int32_t AlphaWeight(uint32_t alpha) { return int32_t(alpha + (alpha >> 7)); }

// Destination kinds: 1 to 4 bytes per pixel, and kSameTable for indexed maps sharing the source's table
// identity, whose indices are copied without colour matching.
constexpr int kSameTable = 0;

// Loops for (mode, source bytes, destination kind, scaled), one file per group of modes; none when the
// group has no such loop.
CopyLoop SelectPlainLoop(uint32_t mode, int sourceBytes, int destinationKind, bool scaled);  // 0, 5
CopyLoop SelectBlendLoop(uint32_t mode, int sourceBytes, int destinationKind, bool scaled);  // 1 to 4
