// The LZW encoder: a hashed dictionary of 5003 entries, codes of up to 12 bits, sub-blocks of 254
// bytes.
#include "images/gif_lzw.h"
#include "runtime/memory.h"

namespace {

constexpr int32_t kHashSize = 5003;
constexpr int32_t kHashShift = 4;
constexpr uint32_t kBlockBytes = 254;

struct Encoder {
  ImageStream* output;
  Status status;
  uint32_t initialBits;
  uint32_t bits;
  uint32_t maxCode;  // the largest code of the current width
  uint32_t clearCode;
  uint32_t endCode;
  uint32_t nextFree;
  bool clearPending;
  uint32_t accumulator;
  uint32_t accumulated;
  uint8_t block[256];
  uint32_t blockCount;
  int32_t keys[kHashSize];
  uint16_t codes[kHashSize];
};

uint32_t MaxCodeFor(uint32_t bits) { return bits >= 12 ? kGifCodeCount : (1u << bits) - 1; }

void FlushBlock(Encoder& e) {
  if (e.blockCount == 0 || e.status != kOk) return;
  const uint8_t count = uint8_t(e.blockCount);
  e.status = ImageStreamWriteByte(e.output, count);
  if (e.status == kOk) e.status = ImageStreamWrite(e.output, e.blockCount, e.block);
  e.blockCount = 0;
}

void AddByte(Encoder& e, uint8_t byte) {
  e.block[e.blockCount++] = byte;
  if (e.blockCount >= kBlockBytes) FlushBlock(e);
}

void Output(Encoder& e, uint32_t code) {
  e.accumulator |= code << e.accumulated;
  e.accumulated += e.bits;
  while (e.accumulated >= 8) {
    AddByte(e, uint8_t(e.accumulator));
    e.accumulator >>= 8;
    e.accumulated -= 8;
  }
  if (e.nextFree > e.maxCode || e.clearPending) {
    if (e.clearPending) {
      e.bits = e.initialBits;
      e.clearPending = false;
    } else {
      ++e.bits;
    }
    e.maxCode = MaxCodeFor(e.bits);
  }
  if (code == e.endCode) {
    while (e.accumulated > 0) {
      AddByte(e, uint8_t(e.accumulator));
      e.accumulator >>= 8;
      e.accumulated = e.accumulated > 8 ? e.accumulated - 8 : 0;
    }
    FlushBlock(e);
  }
}

void ClearTable(Encoder& e) {
  for (int32_t& key : e.keys) key = -1;
  e.nextFree = e.clearCode + 2;
  e.clearPending = true;
  Output(e, e.clearCode);
}

// Pixels in the order they are written: rows top to bottom, in the four passes when interlaced.
class PixelOrder {
 public:
  PixelOrder(Pixmap* pixmap, bool interlaced)
      : pixmap_(pixmap), interlaced_(interlaced), width_(PixmapWidth(pixmap)), height_(PixmapHeight(pixmap)) {}

  // False at the end.
  bool Next(uint8_t* index, Status* status) {
    if (y_ >= height_) return false;
    *status = PixmapGetPixelIndex(pixmap_, nullptr, nullptr, x_, y_, index);
    if (++x_ < width_) return true;
    x_ = 0;
    if (!interlaced_) {
      ++y_;
      return true;
    }
    y_ += kGifPassStep[pass_];
    while (y_ >= height_ && pass_ < 3) y_ = kGifPassStart[++pass_];
    return true;
  }

 private:
  Pixmap* pixmap_;
  bool interlaced_;
  int32_t width_, height_;
  int32_t x_ = 0, y_ = 0, pass_ = 0;
};

}  // namespace

Status GifEncodeImage(ImageStream* output, Pixmap* pixmap, uint32_t minimumCodeSize, bool interlaced) {
  Status status = ImageStreamWriteByte(output, uint8_t(minimumCodeSize));
  if (status != kOk) return status;
  UniqueBlock<Encoder> encoder(static_cast<Encoder*>(BlockNewClear(sizeof(Encoder))));
  if (!encoder) return kErrMemory;
  Encoder& e = *encoder;
  e.output = output;
  e.initialBits = minimumCodeSize + 1;
  e.bits = e.initialBits;
  e.maxCode = MaxCodeFor(e.bits);
  e.clearCode = 1u << minimumCodeSize;
  e.endCode = e.clearCode + 1;
  e.nextFree = e.clearCode + 2;
  for (int32_t& key : e.keys) key = -1;
  Output(e, e.clearCode);

  PixelOrder pixels(pixmap, interlaced);
  uint8_t first = 0;
  if (!pixels.Next(&first, &status) || status != kOk) return status;
  uint32_t prefix = first;
  uint8_t c = 0;
  while (e.status == kOk && pixels.Next(&c, &status)) {
    if (status != kOk) return status;
    const int32_t key = int32_t((uint32_t(c) << 12) + prefix);
    int32_t i = int32_t((uint32_t(c) << kHashShift) ^ prefix);
    if (e.keys[i] == key) {
      prefix = e.codes[i];
      continue;
    }
    if (e.keys[i] >= 0) {
      const int32_t step = i == 0 ? 1 : kHashSize - i;
      bool found = false;
      do {
        if ((i -= step) < 0) i += kHashSize;
        if (e.keys[i] == key) {
          found = true;
          break;
        }
      } while (e.keys[i] > 0);
      if (found) {
        prefix = e.codes[i];
        continue;
      }
    }
    Output(e, prefix);
    prefix = c;
    if (e.nextFree < kGifCodeCount) {
      e.codes[i] = uint16_t(e.nextFree++);
      e.keys[i] = key;
    } else {
      ClearTable(e);
    }
  }
  Output(e, prefix);
  Output(e, e.endCode);
  if (e.status != kOk) return e.status;
  return ImageStreamWriteByte(output, 0);
}
