// The codecs behind CompressBlock and ExpandBlock. Each reads its input bytes and builds the result in
// the output handle, which starts empty; the caller owns both. Internal to the codec code.
#pragma once

#include <cstddef>
#include <cstdint>

#include "runtime/memory.h"
#include "runtime/status.h"

namespace codec_methods {

// The size a growing output takes on when it needs `needed` bytes: at least twice its current size, in
// steps of 4096 bytes. Growing by a fixed step instead copies the output over and over: a few kilobytes
// of zlib data that expand to megabytes would take minutes.
size_t GrownSize(size_t current, size_t needed);

// A growing output (see GrownSize); `used` counts the bytes written.
class Output {
 public:
  explicit Output(MemoryHandle handle) : handle_(handle) {}
  Status Append(const void* bytes, size_t count);
  Status AppendRepeated(const uint8_t* unit, size_t unitSize, size_t times);
  // Makes room for at least `count` more bytes and gives where they go.
  Status Reserve(size_t count, uint8_t** where);
  void Advance(size_t count) { used_ += count; }
  size_t used() const { return used_; }
  // Cuts the handle to the bytes written.
  Status Finish() { return HandleSetSize(handle_, used_); }

 private:
  MemoryHandle handle_;
  size_t used_ = 0;
};

// unit is 1 ("pack") or 2 ("PACK").
Status RunLengthCompress(const uint8_t* input, size_t length, size_t unit, MemoryHandle output);
Status RunLengthExpand(const uint8_t* input, size_t length, size_t unit, MemoryHandle output);

Status ZlibCompress(const uint8_t* input, size_t length, MemoryHandle output);
Status ZlibExpand(const uint8_t* input, size_t length, MemoryHandle output);
uint32_t Crc32(const uint8_t* bytes, size_t length);

}  // namespace codec_methods
