// Integers stored in a fixed byte order, whatever the machine's: file headers, directory records and
// image descriptors are read and written through these.
#pragma once

#include <cstdint>

inline uint32_t GetBig16(const uint8_t* bytes) { return uint32_t(bytes[0]) << 8 | bytes[1]; }
inline uint32_t GetBig32(const uint8_t* bytes) { return GetBig16(bytes) << 16 | GetBig16(bytes + 2); }
inline uint32_t GetLittle16(const uint8_t* bytes) { return uint32_t(bytes[1]) << 8 | bytes[0]; }
inline uint32_t GetLittle32(const uint8_t* bytes) { return GetLittle16(bytes + 2) << 16 | GetLittle16(bytes); }

inline void PutBig32(uint8_t* bytes, uint32_t value) {
  bytes[0] = uint8_t(value >> 24);
  bytes[1] = uint8_t(value >> 16);
  bytes[2] = uint8_t(value >> 8);
  bytes[3] = uint8_t(value);
}

inline void PutBig16(uint8_t* bytes, uint32_t value) {
  bytes[0] = uint8_t(value >> 8);
  bytes[1] = uint8_t(value);
}

inline void PutLittle16(uint8_t* bytes, uint32_t value) {
  bytes[0] = uint8_t(value);
  bytes[1] = uint8_t(value >> 8);
}

inline void PutLittle32(uint8_t* bytes, uint32_t value) {
  PutLittle16(bytes, value);
  PutLittle16(bytes + 2, value >> 16);
}
