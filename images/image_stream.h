// The byte stream the image readers read from and the writers write to: a memory handle, its size and
// a read position. Reads are all-or-nothing.
#pragma once

#include <cstdint>

#include "runtime/memory.h"
#include "runtime/status.h"

struct ImageStream {
  MemoryHandle data;
  uint32_t size;
  uint32_t position;
};

// A stream over the caller's bytes, at position 0.
ImageStream ImageStreamOver(MemoryHandle data);
// -7302 and nothing moves when fewer than `count` bytes are left; 0 bytes always succeed.
Status ImageStreamRead(ImageStream* stream, uint32_t count, void* buffer);
Status ImageStreamReadByte(ImageStream* stream, uint8_t* byte);
// The next `count` bytes where they lie, without a copy (the caller keeps the handle locked), or none
// and nothing moves when fewer are left.
const uint8_t* ImageStreamTake(ImageStream* stream, uint32_t count);
// Moves on by `count` bytes; -7302 and nothing moves when fewer are left.
Status ImageStreamSkip(ImageStream* stream, uint32_t count);
// Moves to `position`; -7302 and nothing moves when it lies past the end.
Status ImageStreamSeek(ImageStream* stream, uint32_t position);
// Appends; -7004 when the handle cannot grow.
Status ImageStreamWrite(ImageStream* stream, uint32_t count, const void* buffer);
Status ImageStreamWriteByte(ImageStream* stream, uint8_t byte);
void ImageStreamReset(ImageStream* stream);

// The writers' stream: a small block of its own over a new empty handle, so that the handle can be
// handed on alone. None when memory runs out.
ImageStream* ImageStreamNewOutput();
// Gives the handle to the caller and frees the stream.
MemoryHandle ImageStreamDetach(ImageStream* stream);
// Frees the stream and its handle.
void ImageStreamDispose(ImageStream* stream);
