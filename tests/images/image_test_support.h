// Image data for tests, made here rather than by the codecs under test; reading and writing through the
// dispatchers; the page archive's pictures.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

#include "images/image.h"
#include "tests/graphics/pixmap_test_support.h"

using Bytes = std::vector<uint8_t>;

inline UniqueHandle HandleOf(const Bytes& bytes) { return UniqueHandle(HandleNewFromData(bytes.data(), bytes.size())); }
inline Bytes BytesOf(MemoryHandle h) { return Bytes(HandleData(h), HandleData(h) + HandleGetSize(h)); }

struct Decoded {
  Status status;
  UniquePixmap pixmap, mask;
  MaskDescriptor descriptor;
  ImageInfo info;
};

inline Decoded Decode(const Bytes& bytes, bool wantMask = true) {
  Decoded d{};
  Pixmap *pixmap = nullptr, *mask = nullptr;
  d.status = ImageRead(HandleOf(bytes).get(), &pixmap, wantMask ? &mask : nullptr, &d.descriptor, &d.info);
  d.pixmap.reset(pixmap);
  d.mask.reset(mask);
  return d;
}

// The whole file; none when the writer fails, as it then must.
inline Bytes Encode(Pixmap* pixmap, Pixmap* mask, const MaskDescriptor* descriptor, FourCC format,
                    bool interlaced = false, Status expected = kOk) {
  ImageInfo info{};
  ImageInfoReset(&info);
  info.format = format;
  info.interlaced = interlaced;
  MemoryHandle encoded = nullptr;
  EXPECT_EQ(ImageWrite(pixmap, mask, descriptor, &info, &encoded), expected);
  UniqueHandle owned(encoded);
  return encoded ? BytesOf(encoded) : Bytes{};
}

// 0xAARRGGBB as a viewer shows the pixel: every transparent pixel is 0. A direct map without a mask is
// opaque; a key index hides its pixels.
inline uint32_t Shown(Pixmap* pixmap, Pixmap* mask, const MaskDescriptor* descriptor, int32_t x, int32_t y) {
  Colour c{};
  EXPECT_EQ(PixmapGetPixelColour(pixmap, mask, x, y, &c), kOk);
  if (pixmap->kind > 1 && !mask) c.alpha = 255;
  if (descriptor && descriptor->mode == kTransferKeyColour && pixmap->kind == 1 &&
      IndexAt(pixmap, x, y) == descriptor->alphaOrIndex)
    c.alpha = 0;
  return c.alpha == 0 ? 0 : ColourToArgb(c);
}

// Numbers appended in a fixed byte order, `count` bytes of them.
inline void AppendLittle(Bytes& bytes, uint64_t value, int count) {
  for (int i = 0; i < count; ++i) bytes.push_back(i < 8 ? uint8_t(value >> (8 * i)) : 0);
}
inline void AppendBig(Bytes& bytes, uint64_t value, int count) {
  for (int i = count - 1; i >= 0; --i) bytes.push_back(i < 8 ? uint8_t(value >> (8 * i)) : 0);
}
inline void Append(Bytes& bytes, const Bytes& more) { bytes.insert(bytes.end(), more.begin(), more.end()); }

// The GIF and PNG pictures of the page archive.
inline std::vector<std::filesystem::path> PagePictures() {
#ifdef _WIN32
  const std::filesystem::path folder = "Z:" SKYWARD_PAGES_DIR;
#else
  const std::filesystem::path folder = SKYWARD_PAGES_DIR;
#endif
  std::vector<std::filesystem::path> pictures;
  for (const auto& entry : std::filesystem::directory_iterator(folder))
    if (entry.path().extension() == ".gif" || entry.path().extension() == ".png") pictures.push_back(entry.path());
  return pictures;
}
inline Bytes FileBytes(const std::filesystem::path& path) {
  std::ifstream file(path, std::ios::binary);
  return Bytes{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

// GIF image data written code by code (kClear and kEnd stand for those codes), the code width following
// the decoder's table as the format defines it, packed least significant bit first into sub-blocks;
// then, when `terminate`, the empty block.
constexpr uint32_t kClear = ~0u, kEnd = ~1u;
inline Bytes Lzw(uint32_t minimum, const std::vector<uint32_t>& codes, bool terminate = true) {
  Bytes data = {uint8_t(minimum)}, packed;
  uint32_t size = minimum + 1, top = 1u << size, slot = top / 2 + 2, accumulator = 0, bits = 0;
  bool first = true;
  for (uint32_t code : codes) {
    accumulator |= (code == kClear ? 1u << minimum : code == kEnd ? (1u << minimum) + 1 : code) << bits;
    for (bits += size; bits >= 8; bits -= 8, accumulator >>= 8) packed.push_back(uint8_t(accumulator));
    if (code == kClear) {
      size = minimum + 1, top = 1u << size, slot = (1u << minimum) + 2, first = true;
    } else if (code != kEnd && !std::exchange(first, false)) {
      if (slot < top) ++slot;
      if (slot >= top && size < 12) top <<= 1, ++size;
    }
  }
  if (bits > 0) packed.push_back(uint8_t(accumulator));
  for (size_t at = 0; at < packed.size(); at += 255) {
    data.push_back(uint8_t(std::min<size_t>(packed.size() - at, 255)));
    data.insert(data.end(), packed.begin() + long(at), packed.begin() + long(at + data.back()));
  }
  if (terminate) data.push_back(0);
  return data;
}

// A GIF file around one or more images; colour tables are grey ramps.
struct GifFile {
  Bytes bytes;
  GifFile(const char* signature, uint32_t width, uint32_t height, uint32_t globalBits, uint8_t background) {
    bytes.assign(signature, signature + 6);
    Le16(width), Le16(height);
    bytes.insert(bytes.end(), {uint8_t(globalBits ? 0x80 | (globalBits - 1) : 0), background, 0});
    Greys(globalBits);
  }
  void Le16(uint32_t value) { bytes.insert(bytes.end(), {uint8_t(value), uint8_t(value >> 8)}); }
  void Greys(uint32_t bits) {
    for (uint32_t i = 0; bits && i < 1u << bits; ++i) bytes.insert(bytes.end(), {uint8_t(i), uint8_t(i), uint8_t(i)});
  }
  GifFile& Control(uint8_t flags, uint8_t index) {
    bytes.insert(bytes.end(), {0x21, 0xF9, 4, flags, 0, 0, index, 0});
    return *this;
  }
  GifFile& Image(uint32_t width, uint32_t height, const Bytes& data, uint32_t localBits = 0, bool interlaced = false) {
    bytes.insert(bytes.end(), {',', 0, 0, 0, 0});
    Le16(width), Le16(height);
    bytes.push_back(uint8_t((localBits ? 0x80 | (localBits - 1) : 0) | (interlaced ? 0x40 : 0)));
    Greys(localBits);
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
  std::vector<Bytes> rows;  // packed as the file stores them
  std::vector<std::array<uint8_t, 3>> palette;
  Bytes transparentAlphas;  // palette images
  int transparentGrey = -1;  // grey images
  struct { uint32_t x = 0, y = 0; int unit = -1; } physical;
  struct { int32_t x = 0, y = 0; int unit = -1; } offset;
  double gamma = 0;
  bool srgb = false;
  int backgroundGrey = -1;
};
Bytes MakePng(const PngShape& shape);
