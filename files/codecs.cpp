#include "files/codecs.h"

#include "files/codec_methods.h"

using namespace codec_methods;

namespace {

enum class Direction { Compress, Expand };

// The codec that does the work for a requested code, or 0 when the code is refused.
FourCC MethodFor(FourCC codec, Direction direction) {
  switch (codec) {
    case kCodecNone:
    case kCodecZlib:
    case kCodecPack:
    case kCodecPackWords:
      return codec;
    case kCodecAny:
    case kCodecBest:
      return direction == Direction::Compress ? kCodecZlib : 0;
    case kCodecFast:
      return direction == Direction::Compress ? kCodecPack : 0;
    default:
      return 0;
  }
}

Status Run(FourCC method, Direction direction, const uint8_t* input, size_t length, MemoryHandle output) {
  const bool compress = direction == Direction::Compress;
  switch (method) {
    case kCodecZlib:
      return compress ? ZlibCompress(input, length, output) : ZlibExpand(input, length, output);
    case kCodecPack:
    case kCodecPackWords: {
      const size_t unit = method == kCodecPack ? 1 : 2;
      return compress ? RunLengthCompress(input, length, unit, output) : RunLengthExpand(input, length, unit, output);
    }
    default:
      return kErrUnsupported;
  }
}

Status Transform(MemoryHandle handle, FourCC codec, CodecInfo* info, Direction direction) {
  if (HandleIsLocked(handle)) return kErrState;
  const size_t inputSize = HandleGetSize(handle);
  const FourCC method = inputSize == 0 ? kCodecNone : MethodFor(codec, direction);
  if (!method) return kErrUnsupported;

  const uint32_t inputCrc = info ? Crc32(HandleData(handle), inputSize) : 0;
  uint32_t outputCrc = inputCrc;
  size_t outputSize = inputSize;
  if (method != kCodecNone) {
    UniqueHandle output(HandleNew(0));
    if (!output) return kErrMemory;
    Status status;
    {
      HandleLockScope lock(handle);
      status = Run(method, direction, HandleData(handle), inputSize, output.get());
    }
    if (status == kOk) status = HandleCopy(handle, output.get());
    if (status != kOk) return status;
    outputSize = HandleGetSize(handle);
    if (info) outputCrc = Crc32(HandleData(handle), outputSize);
  }
  if (info) {
    const bool compress = direction == Direction::Compress;
    *info = CodecInfo{};
    info->tag = kCodecInfoTag;
    info->codec = method;
    info->expandedSize = uint32_t(compress ? inputSize : outputSize);
    info->expandedCrc = compress ? inputCrc : outputCrc;
    info->compressedSize = uint32_t(compress ? outputSize : inputSize);
    info->compressedCrc = compress ? outputCrc : inputCrc;
  }
  return kOk;
}

}  // namespace

Status CompressBlock(MemoryHandle handle, FourCC codec, CodecInfo* info) {
  return Transform(handle, codec, info, Direction::Compress);
}

Status ExpandBlock(MemoryHandle handle, FourCC codec, CodecInfo* info) {
  return Transform(handle, codec, info, Direction::Expand);
}
