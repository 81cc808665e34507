#include <cstring>

#include "images/gif_lzw.h"
#include "runtime/memory.h"

namespace {

struct Decoder {
  ImageStream* input;
  uint32_t codeSize;
  uint32_t topSlot;
  uint32_t clearCode;
  uint32_t endCode;
  uint32_t firstFree;
  uint32_t slot;
  uint32_t bitsLeft;   // in the current byte
  uint32_t blockLeft;  // bytes left in the current data sub-block
  uint32_t currentByte;
  uint8_t block[255];
  uint32_t blockAt;
  uint16_t prefix[kGifCodeCount];
  uint8_t suffix[kGifCodeCount];
  uint8_t stack[kGifCodeCount];
};

Status NextByte(Decoder& d, uint32_t* byte) {
  if (d.blockLeft == 0) {
    uint8_t count = 0;
    Status status = ImageStreamReadByte(d.input, &count);
    if (status != kOk) return status;
    // The terminating empty block ends the data: codes still missing are data that ended early.
    if (count == 0) return kErrImageData;
    if ((status = ImageStreamRead(d.input, count, d.block)) != kOk) return status;
    d.blockLeft = count;
    d.blockAt = 0;
  }
  --d.blockLeft;
  *byte = d.block[d.blockAt++];
  return kOk;
}

Status ReadCode(Decoder& d, uint32_t* code) {
  uint32_t value = d.currentByte >> (8 - d.bitsLeft);
  uint32_t gathered = d.bitsLeft;
  while (gathered < d.codeSize) {
    const Status status = NextByte(d, &d.currentByte);
    if (status != kOk) return status;
    value |= d.currentByte << gathered;
    gathered += 8;
  }
  d.bitsLeft = gathered - d.codeSize;
  *code = value & ((1u << d.codeSize) - 1);
  return kOk;
}

Status WriteLine(GifLineWriter* w, const uint8_t* line) {
  if (w->rowsWritten >= w->height) return kErrImageData;
  if (w->interlaced && w->rowsWritten > 0) {
    w->row += kGifPassStep[w->pass];
    while (w->row >= w->height) {
      if (++w->pass >= 4) return kErrImageData;
      w->row = kGifPassStart[w->pass];
    }
  }
  const Status status = PixmapSetIndexRow(w->pixmap, nullptr, w->row, line);
  if (status != kOk) return status;
  if (!w->interlaced) ++w->row;
  ++w->rowsWritten;
  return kOk;
}

}  // namespace

GifLineWriter GifLineWriterFor(Pixmap* pixmap, bool interlaced) {
  GifLineWriter writer{};
  writer.pixmap = pixmap;
  writer.interlaced = interlaced;
  writer.width = PixmapWidth(pixmap);
  writer.height = PixmapHeight(pixmap);
  return writer;
}

Status GifDecodeImage(ImageStream* input, GifLineWriter* lines) {
  uint8_t minimum = 0;
  Status status = ImageStreamReadByte(input, &minimum);
  if (status != kOk) return status;
  if (minimum < 2 || minimum > 9) return kErrImageFormat;
  UniqueBlock<Decoder> decoder(static_cast<Decoder*>(BlockNewClear(sizeof(Decoder))));
  UniqueBlock<uint8_t> lineBlock(static_cast<uint8_t*>(BlockNewClear(size_t(lines->width) + 4)));
  if (!decoder || !lineBlock) return kErrMemory;
  Decoder& d = *decoder;
  uint8_t* line = lineBlock.get();
  d.input = input;
  d.codeSize = minimum + 1u;
  d.topSlot = 1u << d.codeSize;
  d.clearCode = 1u << minimum;
  d.endCode = d.clearCode + 1;
  d.firstFree = d.endCode + 1;
  d.slot = d.firstFree;

  uint32_t oldCode = 0, firstChar = 0, badCodes = 0;
  int32_t filled = 0;
  auto emit = [&](uint32_t pixel) -> Status {
    line[filled++] = uint8_t(pixel);
    if (filled < lines->width) return kOk;
    filled = 0;
    return WriteLine(lines, line);
  };

  for (;;) {
    uint32_t code = 0;
    if ((status = ReadCode(d, &code)) != kOk) break;
    if (code == d.endCode) break;
    if (code == d.clearCode) {
      d.codeSize = minimum + 1u;
      d.topSlot = 1u << d.codeSize;
      d.slot = d.firstFree;
      do {
        status = ReadCode(d, &code);
      } while (status == kOk && code == d.clearCode);
      if (status != kOk || code == d.endCode) break;
      if (code >= d.slot) code = 0;
      oldCode = firstChar = code;
      if ((status = emit(code)) != kOk) break;
      continue;
    }
    uint32_t c = code, depth = 0;
    if (c >= d.slot) {
      if (c > d.slot) ++badCodes;
      c = oldCode;
      d.stack[depth++] = uint8_t(firstChar);
    }
    // Bad codes can link the table into a cycle; a chain longer than the table is damaged data.
    while (c >= d.firstFree && depth < kGifCodeCount) {
      d.stack[depth++] = d.suffix[c];
      c = d.prefix[c];
    }
    if (depth >= kGifCodeCount) {
      status = kErrImageFormat;
      break;
    }
    d.stack[depth++] = uint8_t(c);
    if (d.slot < d.topSlot) {
      firstChar = c;
      d.suffix[d.slot] = uint8_t(c);
      d.prefix[d.slot] = uint16_t(oldCode);
      ++d.slot;
      oldCode = code;
    }
    if (d.slot >= d.topSlot && d.codeSize < 12) {
      d.topSlot <<= 1;
      ++d.codeSize;
    }
    while (depth > 0 && status == kOk) status = emit(d.stack[--depth]);
    if (status != kOk) break;
  }
  if (filled > 0) {
    std::memset(line + filled, 0, size_t(lines->width - filled));
    const Status written = WriteLine(lines, line);
    if (status == kOk) status = written;
  }
  if (status == kOk && badCodes > 0) status = kErrImageFormat;
  return status;
}
