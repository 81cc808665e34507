// Raw pixels of 1 to 4 bytes in the machine's (little-endian) order.
#pragma once

#include <cstdint>
#include <cstring>

template <int kBytes>
inline uint32_t PixelLoad(const uint8_t* p) {
  if constexpr (kBytes == 1) {
    return *p;
  } else if constexpr (kBytes == 2) {
    uint16_t v;
    std::memcpy(&v, p, 2);
    return v;
  } else if constexpr (kBytes == 3) {
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16;
  } else {
    uint32_t v;
    std::memcpy(&v, p, 4);
    return v;
  }
}

template <int kBytes>
inline void PixelStore(uint8_t* p, uint32_t v) {
  if constexpr (kBytes == 1) {
    *p = uint8_t(v);
  } else if constexpr (kBytes == 2) {
    const uint16_t w = uint16_t(v);
    std::memcpy(p, &w, 2);
  } else if constexpr (kBytes == 3) {
    p[0] = uint8_t(v), p[1] = uint8_t(v >> 8), p[2] = uint8_t(v >> 16);
  } else {
    std::memcpy(p, &v, 4);
  }
}

// For the few places that are not per-pixel loops.
inline uint32_t PixelLoadAny(const uint8_t* p, uint32_t bytes) {
  switch (bytes) {
    case 1: return PixelLoad<1>(p);
    case 2: return PixelLoad<2>(p);
    case 3: return PixelLoad<3>(p);
    default: return PixelLoad<4>(p);
  }
}
inline void PixelStoreAny(uint8_t* p, uint32_t bytes, uint32_t v) {
  switch (bytes) {
    case 1: PixelStore<1>(p, v); break;
    case 2: PixelStore<2>(p, v); break;
    case 3: PixelStore<3>(p, v); break;
    default: PixelStore<4>(p, v); break;
  }
}
