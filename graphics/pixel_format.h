// Pixel format codes and the channel layout each one stands for.
//
// Small codes are depths; larger ones are four hexadecimal digits with the bit counts of alpha, red,
// green and blue, the top bit marking the layouts that keep alpha last.
#pragma once

#include <cstdint>

enum : uint32_t {
  kPixelIndexed = 8,
  kPixel555 = 0x555,
  kPixel565 = 0x565,
  kPixel1555 = 0x1555,
  kPixel4444 = 0x4444,
  kPixel4444AlphaLast = 0x80004444,
  kPixel888 = 0x888,
  kPixel32 = 32,
  kPixel8888 = 0x8888,
  kPixel8888Rgba = 0x80008888,  // bytes red, green, blue, alpha in memory
};

struct PixelChannel {
  uint8_t bits;
  uint8_t shift;     // position of the channel's lowest bit
  uint16_t mask;     // 2^bits - 1
  uint16_t factor;   // 65535 / (2^bits - 1): (value * factor) >> 8 is the 8-bit value
};

struct PixelFormat {
  uint32_t code;
  uint8_t bytesPerPixel;  // 1 indexed, 2, 3 or 4 direct
  PixelChannel alpha;
  PixelChannel red;
  PixelChannel green;
  PixelChannel blue;
};

// False for a code that names no supported format.
bool PixelFormatDescribe(uint32_t code, PixelFormat* format);

// The table identity of a direct format: its bit counts as four hexadecimal digits, the top bit set for
// the alpha-last layouts.
uint32_t PixelFormatIdentity(const PixelFormat& format);

inline bool PixelFormatHasAlpha(const PixelFormat& format) { return format.alpha.bits > 0; }

// A pixel of a direct format to and from 8-bit channels packed as 0xAARRGGBB. Unpacking expands every
// channel to 8 bits (alpha 255 when the format has none); packing drops low bits and fills alpha.
inline uint32_t ChannelExpand(const PixelChannel& channel, uint32_t raw) {
  return (((raw >> channel.shift) & channel.mask) * channel.factor) >> 8;
}
inline uint32_t PixelUnpack(const PixelFormat& format, uint32_t raw) {
  const uint32_t alpha = format.alpha.bits ? ChannelExpand(format.alpha, raw) : 255;
  return alpha << 24 | ChannelExpand(format.red, raw) << 16 | ChannelExpand(format.green, raw) << 8 |
         ChannelExpand(format.blue, raw);
}
inline uint32_t ChannelReduce(const PixelChannel& channel, uint32_t value8) {
  return (value8 >> (8 - channel.bits)) << channel.shift;
}
inline uint32_t PixelPack(const PixelFormat& format, uint32_t argb) {
  return (uint32_t(format.alpha.mask) << format.alpha.shift) | ChannelReduce(format.red, (argb >> 16) & 255) |
         ChannelReduce(format.green, (argb >> 8) & 255) | ChannelReduce(format.blue, argb & 255);
}
