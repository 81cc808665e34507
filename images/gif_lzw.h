// The GIF image data: variable-length LZW codes of up to 12 bits, least significant bit first, in data
// sub-blocks of up to 255 bytes.
#pragma once

#include <cstdint>

#include "graphics/pixmap.h"
#include "images/image_stream.h"

// Codes of up to 12 bits.
constexpr uint32_t kGifCodeCount = 4096;

// The four passes of an interlaced image: the first row of each pass and the step between its rows.
constexpr int32_t kGifPassStart[4] = {0, 4, 2, 1};
constexpr int32_t kGifPassStep[4] = {8, 8, 4, 2};

// Places decoded lines into the pixel map, in interlace order when asked.
struct GifLineWriter {
  Pixmap* pixmap;
  uint8_t interlaced;
  uint8_t pass;  // 0 to 3
  int32_t width;
  int32_t height;
  int32_t row;
  int32_t rowsWritten;
};

GifLineWriter GifLineWriterFor(Pixmap* pixmap, bool interlaced);

// Reads the minimum code size (2 to 9, else -7301) and the codes up to the end code, and hands each
// line to the writer. A code beyond the next free slot is counted and decoding goes on; the result is
// then -7301. Data that ends early gives -7302 after the partial line was written.
Status GifDecodeImage(ImageStream* input, GifLineWriter* lines);

// Writes the minimum code size, the codes of every pixel (rows top to bottom, in interlace order when
// asked) and the zero-length block that ends the data.
Status GifEncodeImage(ImageStream* output, Pixmap* pixmap, uint32_t minimumCodeSize, bool interlaced);
