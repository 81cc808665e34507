#include "graphics/pixel_format.h"

namespace {

PixelChannel Channel(uint8_t bits, uint8_t shift) {
  PixelChannel channel{};
  channel.bits = bits;
  channel.shift = bits ? shift : 0;
  channel.mask = uint16_t((1u << bits) - 1);
  channel.factor = bits ? uint16_t(65535u / channel.mask) : 0;
  return channel;
}

// Bit counts and lowest bit positions of alpha, red, green and blue.
struct Layout {
  uint32_t code;
  uint8_t bytes;
  uint8_t bits[4];
  uint8_t shifts[4];
};

constexpr Layout kLayouts[] = {
    {kPixelIndexed, 1, {0, 0, 0, 0}, {0, 0, 0, 0}},
    {15, 2, {0, 5, 5, 5}, {0, 10, 5, 0}},
    {kPixel555, 2, {0, 5, 5, 5}, {0, 10, 5, 0}},
    {16, 2, {0, 5, 6, 5}, {0, 11, 5, 0}},
    {kPixel565, 2, {0, 5, 6, 5}, {0, 11, 5, 0}},
    {kPixel1555, 2, {1, 5, 5, 5}, {15, 10, 5, 0}},
    {kPixel4444, 2, {4, 4, 4, 4}, {12, 8, 4, 0}},
    {kPixel4444AlphaLast, 2, {4, 4, 4, 4}, {0, 12, 8, 4}},
    {24, 3, {0, 8, 8, 8}, {0, 16, 8, 0}},
    {kPixel888, 3, {0, 8, 8, 8}, {0, 16, 8, 0}},
    {kPixel32, 4, {0, 8, 8, 8}, {0, 16, 8, 0}},
    {kPixel8888, 4, {8, 8, 8, 8}, {24, 16, 8, 0}},
    {kPixel8888Rgba, 4, {8, 8, 8, 8}, {24, 0, 8, 16}},
};

}  // namespace

bool PixelFormatDescribe(uint32_t code, PixelFormat* format) {
  for (const Layout& layout : kLayouts) {
    if (layout.code != code) continue;
    format->code = code;
    format->bytesPerPixel = layout.bytes;
    format->alpha = Channel(layout.bits[0], layout.shifts[0]);
    format->red = Channel(layout.bits[1], layout.shifts[1]);
    format->green = Channel(layout.bits[2], layout.shifts[2]);
    format->blue = Channel(layout.bits[3], layout.shifts[3]);
    return true;
  }
  return false;
}

uint32_t PixelFormatIdentity(const PixelFormat& format) {
  const uint32_t digits = uint32_t(format.alpha.bits) << 12 | uint32_t(format.red.bits) << 8 |
                          uint32_t(format.green.bits) << 4 | format.blue.bits;
  return (format.code & 0x80000000u) | digits;
}
