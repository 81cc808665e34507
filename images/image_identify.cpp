// Recognition by content: the first bytes only, in a fixed order; the first test that passes decides.
#include <cstring>

#include "images/image_codecs.h"
#include "runtime/byte_order.h"

namespace {

struct Bytes {
  const uint8_t* data;
  uint32_t size;
  bool Has(uint32_t offset, uint32_t count) const { return offset <= size && count <= size - offset; }
  uint32_t Be16(uint32_t at) const { return GetBig16(data + at); }
  uint32_t Be32(uint32_t at) const { return GetBig32(data + at); }
  uint32_t Le16(uint32_t at) const { return GetLittle16(data + at); }
  uint32_t Le32(uint32_t at) const { return GetLittle32(data + at); }
  bool Is(uint32_t at, const char* text) const {
    const uint32_t n = uint32_t(std::strlen(text));
    return Has(at, n) && std::memcmp(data + at, text, n) == 0;
  }
};

bool IsBmp(const Bytes& b) {
  if (!b.Has(0, 14)) return false;
  const uint32_t fileSize = b.Le32(2);
  const bool header = (b.Is(0, "BM") && fileSize >= 55) || (b.Is(0, "BA") && fileSize >= 40);
  return header && (b.data[10] | b.data[11] | b.data[12] | b.data[13]) != 0;
}

bool IsGif(const Bytes& b) { return b.Is(0, "GIF87a") || b.Is(0, "GIF89a"); }

bool IsJpeg(const Bytes& b) {
  return b.Has(0, 11) && b.data[0] == 0xFF && b.data[2] == 0xFF && std::memcmp(b.data + 6, "JFIF", 5) == 0;
}

bool IsPng(const Bytes& b) { return b.Has(0, 4) && std::memcmp(b.data, "\x89PNG", 4) == 0; }

// A picture at `offset`: size, frame rectangle, zero padding, then the version opcode.
bool IsPictureAt(const Bytes& b, uint32_t offset) {
  uint32_t at = offset + 2;
  if (!b.Has(at, 8)) return false;
  const auto top = int16_t(b.Be16(at)), left = int16_t(b.Be16(at + 2));
  const auto bottom = int16_t(b.Be16(at + 4)), right = int16_t(b.Be16(at + 6));
  if (top >= bottom || left >= right) return false;
  at += 8;
  while (b.Has(at, 1) && b.data[at] == 0) ++at;
  if (!b.Has(at, 2) || b.data[at] != 0x11) return false;
  if (b.data[at + 1] == 1) return true;
  return b.data[at + 1] == 2 && b.Has(at + 2, 1) && b.data[at + 2] == 0xFF;
}

bool IsPict(const Bytes& all) {
  const Bytes window = {all.data, all.size >= 612 ? 612u : 16u};
  return IsPictureAt(window, 0) || (window.size > 512 && IsPictureAt(window, 512));
}

bool IsPattern(const Bytes& b) {
  if (!b.Has(0, 78)) return false;
  const uint32_t pixelSize = b.Be16(60);
  return b.Be16(0) == 1 && b.Be32(2) == 28 && b.Be32(6) >= 78 && b.Be32(50) == 0x00480000 &&
         b.Be32(54) == 0x00480000 &&
         (pixelSize == 1 || pixelSize == 2 || pixelSize == 4 || pixelSize == 8 || pixelSize == 16 ||
          pixelSize == 32);
}

bool IsTarga(const Bytes& b) {
  if (!b.Has(0, 18)) return false;
  const uint32_t mapType = b.data[1], imageType = b.data[2];
  const uint32_t firstEntry = b.Le16(3), mapLength = b.Le16(5), entrySize = b.data[7];
  const auto width = int16_t(b.Le16(12)), height = int16_t(b.Le16(14));
  const uint32_t depth = b.data[16], descriptor = b.data[17];
  if (mapType > 1) return false;
  const bool hasMap = mapType == 1;
  const bool mapped = imageType == 1 || imageType == 9;
  if (mapped) {
    if (!hasMap) return false;
  } else if (imageType == 3 || imageType == 11) {
    if (hasMap) return false;
  } else if (imageType != 2 && imageType != 10) {
    return false;
  }
  if (hasMap && firstEntry >= mapLength) return false;
  if (entrySize == 0 ? hasMap : !(hasMap && (entrySize == 15 || entrySize == 16 || entrySize == 24 || entrySize == 32)))
    return false;
  if (width < 0 || height < 0) return false;
  if (depth != 8 && depth != 16 && depth != 24 && depth != 32) return false;
  if (mapped && depth != 8) return false;
  return (descriptor & 0xC0) == 0;
}

}  // namespace

bool ImagePictureAt(const uint8_t* data, uint32_t size, uint32_t offset) {
  return IsPictureAt(Bytes{data, size}, offset);
}

FourCC ImageIdentify(MemoryHandle data) {
  if (!data) return 0;
  const Bytes all = {HandleData(data), uint32_t(HandleGetSize(data))};
  if (all.size >= 16) {
    const Bytes first = {all.data, 16};
    if (IsBmp(first)) return kImageBmp;
    if (IsGif(first)) return kImageGif;
    if (IsJpeg(first)) return kImageJpeg;
    if (IsPng(first)) return kImagePng;
    if (IsPict(all)) return kImagePict;
  }
  if (IsPattern(all)) return kImagePattern;
  if (IsTarga(all)) return kImageTarga;
  return 0;
}
