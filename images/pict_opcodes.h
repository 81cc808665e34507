// How much data follows each opcode of a picture, and which opcodes the reader refuses.
#pragma once

#include <cstdint>

#include "images/image_stream.h"

enum class PictRule : uint8_t {
  Bytes,         // a fixed count
  Handler,       // the reader reads the data itself
  WordLength,    // a u16 n, then n bytes
  LongLength,    // a u32 n, then n bytes
  RegionLength,  // a u16 n that counts itself, then n - 2 bytes
  TextAfter2,    // single bytes, the last a count n, then n bytes
  TextAfter3,
  TextAfter5,
  Comment,       // a u16 kind, a u16 n, then n bytes
};

struct PictOpcode {
  PictRule rule;
  uint16_t bytes;    // for PictRule::Bytes
  bool unsupported;  // drawing the reader cannot stand in for: the read is refused with -7003
};

PictOpcode PictOpcodeOf(uint32_t opcode);

// Moves past the opcode's data: -7301 for a length that cannot be, -7302 when the data ends first.
Status PictSkipData(ImageStream* input, const PictOpcode& opcode);
