#include "images/image_reading.h"

#include <cstring>

#include "graphics/colour_tables.h"

BuiltImage::~BuiltImage() { Discard(); }

Status BuiltImage::Make(const Rect& bounds, uint32_t format, const ColourTable* table, bool withMask) {
  Discard();
  image = PixmapNew(bounds, format, table);
  if (image && withMask) mask = PixmapNew(bounds, kPixelIndexed, &GreyColourTable());
  if (!image || (withMask && !mask)) {
    Discard();
    return kErrMemory;
  }
  const Status status = PixmapLock(image, mask, &access_);
  if (status != kOk) Discard();
  return status;
}

void BuiltImage::Discard() {
  PixmapDispose(image);
  PixmapDispose(mask);
  image = mask = nullptr;
}

Status BuiltImage::SetBounds(const Rect& bounds) {
  PixmapUnlock(image, mask);
  Status status = PixmapSetBounds(image, mask, bounds);
  const Status locked = PixmapLock(image, mask, &access_);
  return status != kOk ? status : locked;
}

void BuiltImage::HandOut(Pixmap** pixmap, Pixmap** maskOut) {
  PixmapUnlock(image, mask);
  *pixmap = image;
  if (maskOut) {
    *maskOut = mask;
  } else {
    PixmapDispose(mask);
  }
  image = mask = nullptr;
}

void BuiltImage::CopyRow(int32_t row, const uint8_t* pixels) {
  std::memcpy(Row(row), pixels, size_t(PixmapWidth(image)) * image->kind);
}

void BuiltImage::CopyMaskRow(int32_t row, const uint8_t* coverage) {
  std::memcpy(access_.maskBase + size_t(row) * access_.maskRowBytes, coverage, size_t(PixmapWidth(mask)));
}

void UnpackIndices(const uint8_t* packed, uint32_t bits, int32_t width, uint8_t* indices) {
  if (bits == 8) {
    std::memcpy(indices, packed, size_t(width));
    return;
  }
  const uint32_t perByte = 8 / bits, mask = (1u << bits) - 1;
  for (int32_t x = 0; x < width; ++x) {
    const uint32_t shift = 8 - bits * (uint32_t(x) % perByte + 1);
    indices[x] = uint8_t(packed[uint32_t(x) / perByte] >> shift & mask);
  }
}

bool ImageSizeFits(int64_t width, int64_t height, uint32_t bytesPerPixel) {
  if (width <= 0 || height <= 0 || width > INT32_MAX || height > INT32_MAX) return false;
  const int64_t rowBytes = (width * bytesPerPixel + 3) / 4 * 4;
  return rowBytes <= int64_t(kPixmapMaxBytes) / height;
}
