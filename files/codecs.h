// Compressing and expanding the contents of a memory handle in place, by codec code: "none", "zlib",
// and the run-length codecs "pack" (on bytes) and "PACK" (on 16-bit units). On failure the handle's
// contents are unchanged. An empty handle is always processed as "none".
#pragma once

#include <cstdint>

#include "runtime/fourcc.h"
#include "runtime/memory.h"
#include "runtime/status.h"

constexpr FourCC kCodecNone = MakeFourCC("none");
constexpr FourCC kCodecZlib = MakeFourCC("zlib");
constexpr FourCC kCodecPack = MakeFourCC("pack");
constexpr FourCC kCodecPackWords = MakeFourCC("PACK");
// Accepted when compressing only: "****" and "best" mean zlib, "fast" means "pack".
constexpr FourCC kCodecAny = MakeFourCC("****");
constexpr FourCC kCodecBest = MakeFourCC("best");
constexpr FourCC kCodecFast = MakeFourCC("fast");

constexpr FourCC kCodecInfoTag = MakeFourCC("sqsh");

// What a transformation did, in the machine's byte order. CRCs are the CRC-32 of zlib.
struct CodecInfo {
  FourCC tag;      // "sqsh"
  FourCC codec;    // the codec actually used
  uint32_t expandedSize;
  uint32_t expandedCrc;
  uint32_t compressedSize;
  uint32_t compressedCrc;
  uint32_t reserved[2];
};
static_assert(sizeof(CodecInfo) == 32);

// -7002 for a locked handle or bad data, -7003 for a codec that is not supported, -7004 without memory.
Status CompressBlock(MemoryHandle handle, FourCC codec, CodecInfo* info);
Status ExpandBlock(MemoryHandle handle, FourCC codec, CodecInfo* info);
