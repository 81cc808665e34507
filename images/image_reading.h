// What the readers share: the maps under construction, handed out only when complete, and the pixel
// layouts that several formats store.
#pragma once

#include <cstdint>

#include "images/image_codecs.h"

// The maps a reader builds. Whatever it still holds when it goes out of scope is disposed of, so a
// failing reader never hands out half a picture.
class BuiltImage {
 public:
  BuiltImage() = default;
  ~BuiltImage();
  BuiltImage(const BuiltImage&) = delete;
  BuiltImage& operator=(const BuiltImage&) = delete;

  // Makes the map (and the mask, when `withMask`, an 8-bit grey map of the same bounds) and locks
  // them; -7004 when either cannot be had.
  Status Make(const Rect& bounds, uint32_t format, const ColourTable* table, bool withMask = false);
  // Drops the map and mask made so far (a picture that changes its mind about its size or depth).
  void Discard();
  // Gives the maps new bounds, scaling them when the size changes (the pixel-map layer's rule).
  Status SetBounds(const Rect& bounds);
  // Unlocks the maps and gives them to the caller's outputs; `maskOut` may be none.
  void HandOut(Pixmap** pixmap, Pixmap** maskOut);

  // Where a row of the locked map lies, for pixels already in the map's own memory layout.
  uint8_t* Row(int32_t row) const { return access_.base + size_t(row) * access_.rowBytes; }
  // A row of pixels already in the map's own memory layout, copied as it is.
  void CopyRow(int32_t row, const uint8_t* pixels);
  // A row of mask coverage bytes.
  void CopyMaskRow(int32_t row, const uint8_t* coverage);

  Pixmap* image = nullptr;
  Pixmap* mask = nullptr;

 private:
  PixmapAccess access_{};
};

// Pixels of 1, 2, 4 or 8 bits packed from the high bits of each byte down, as one index byte each.
void UnpackIndices(const uint8_t* packed, uint32_t bits, int32_t width, uint8_t* indices);

// A 5-bit channel as 8 bits: the top bits repeated below it.
inline uint8_t Expand5(uint32_t value) {
  value &= 31;
  return uint8_t(value << 3 | value >> 2);
}
// A 16-bit value x-rrrrr-ggggg-bbbbb as an opaque colour.
inline Colour Colour555(uint32_t value) {
  return Colour{255, Expand5(value >> 10), Expand5(value >> 5), Expand5(value)};
}
// The other way: bit 15 set when the colour is not transparent, then the top five bits of each channel.
inline uint32_t Value555(const Colour& colour) {
  return (colour.alpha ? 0x8000u : 0) | uint32_t(colour.red >> 3) << 10 | uint32_t(colour.green >> 3) << 5 |
         uint32_t(colour.blue >> 3);
}

// Whether a picture of this many pixels of `bytesPerPixel` fits in one pixel map.
bool ImageSizeFits(int64_t width, int64_t height, uint32_t bytesPerPixel);
