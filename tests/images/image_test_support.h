// Image data for tests, made here rather than by the codecs under test.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "runtime/memory.h"

using Bytes = std::vector<uint8_t>;

inline UniqueHandle HandleOf(const Bytes& bytes) { return UniqueHandle(HandleNewFromData(bytes.data(), bytes.size())); }
inline Bytes BytesOf(MemoryHandle handle) { return Bytes(HandleData(handle), HandleData(handle) + HandleGetSize(handle)); }

inline void Append(Bytes& bytes, const std::string& text) { bytes.insert(bytes.end(), text.begin(), text.end()); }
inline void AppendLe16(Bytes& bytes, uint32_t value) {
  bytes.push_back(uint8_t(value));
  bytes.push_back(uint8_t(value >> 8));
}

// GIF image data written code by code, with the code width following the decoder's table as the
// format defines it, packed least significant bit first into sub-blocks.
class LzwCodes {
 public:
  explicit LzwCodes(uint32_t minimumCodeSize) : minimum_(minimumCodeSize) { Reset(); }

  LzwCodes& Clear() {
    Put(1u << minimum_);
    Reset();
    return *this;
  }
  LzwCodes& Code(uint32_t code) {
    Put(code);
    if (first_) {
      first_ = false;
      return *this;
    }
    if (slot_ < top_) ++slot_;
    if (slot_ >= top_ && size_ < 12) top_ <<= 1, ++size_;
    return *this;
  }
  LzwCodes& Literals(const Bytes& pixels) {
    for (uint8_t p : pixels) Code(p);
    return *this;
  }
  LzwCodes& End() {
    Put((1u << minimum_) + 1);
    return *this;
  }
  // The minimum code size byte, the sub-blocks and (when `terminate`) the empty block.
  Bytes Data(bool terminate = true) const {
    Bytes data = {uint8_t(minimum_)};
    Bytes packed = packed_;
    if (bits_ > 0) packed.push_back(uint8_t(accumulator_));
    for (size_t at = 0; at < packed.size(); at += 255) {
      const size_t n = packed.size() - at < 255 ? packed.size() - at : 255;
      data.push_back(uint8_t(n));
      data.insert(data.end(), packed.begin() + long(at), packed.begin() + long(at + n));
    }
    if (terminate) data.push_back(0);
    return data;
  }

 private:
  void Reset() {
    size_ = minimum_ + 1;
    top_ = 1u << size_;
    slot_ = (1u << minimum_) + 2;
    first_ = true;
  }
  void Put(uint32_t code) {
    accumulator_ |= code << bits_;
    bits_ += size_;
    while (bits_ >= 8) {
      packed_.push_back(uint8_t(accumulator_));
      accumulator_ >>= 8;
      bits_ -= 8;
    }
  }
  uint32_t minimum_, size_ = 0, top_ = 0, slot_ = 0;
  bool first_ = true;
  uint32_t accumulator_ = 0, bits_ = 0;
  Bytes packed_;
};

// A GIF file around one or more images.
struct GifFile {
  Bytes bytes;
  GifFile(const char* signature, uint32_t width, uint32_t height, uint32_t globalBits, uint8_t background) {
    Append(bytes, signature);
    AppendLe16(bytes, width);
    AppendLe16(bytes, height);
    bytes.push_back(globalBits ? uint8_t(0x80 | (globalBits - 1)) : 0);
    bytes.push_back(background);
    bytes.push_back(0);
    if (globalBits) AppendGreys(1u << globalBits);
  }
  void AppendGreys(uint32_t count) {
    for (uint32_t i = 0; i < count; ++i) bytes.insert(bytes.end(), {uint8_t(i), uint8_t(i), uint8_t(i)});
  }
  GifFile& Control(uint8_t flags, uint8_t index) {
    bytes.insert(bytes.end(), {0x21, 0xF9, 4, flags, 0, 0, index, 0});
    return *this;
  }
  GifFile& Image(uint32_t width, uint32_t height, const Bytes& data, uint32_t localBits = 0, bool interlaced = false) {
    bytes.push_back(',');
    AppendLe16(bytes, 0);
    AppendLe16(bytes, 0);
    AppendLe16(bytes, width);
    AppendLe16(bytes, height);
    bytes.push_back(uint8_t((localBits ? 0x80 | (localBits - 1) : 0) | (interlaced ? 0x40 : 0)));
    if (localBits) AppendGreys(1u << localBits);
    bytes.insert(bytes.end(), data.begin(), data.end());
    return *this;
  }
  GifFile& Trailer() {
    bytes.push_back(';');
    return *this;
  }
};

// PNG files made with libpng directly, with the chunks a test asks for.
struct PngShape {
  uint32_t width = 1, height = 1;
  int depth = 8, colourType = 0;
  bool interlaced = false;
  std::vector<Bytes> rows;                // packed as the file stores them
  std::vector<std::array<uint8_t, 3>> palette;
  Bytes transparentAlphas;                // palette images
  int transparentGrey = -1;               // grey images
  struct { uint32_t x = 0, y = 0; int unit = -1; } physical;
  struct { int32_t x = 0, y = 0; int unit = -1; } offset;
  double gamma = 0;
  bool srgb = false;
  bool background = false;
  uint16_t backgroundRed = 0, backgroundGreen = 0, backgroundBlue = 0, backgroundGrey = 0;
};
Bytes MakePng(const PngShape& shape);
