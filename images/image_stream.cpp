#include "images/image_stream.h"

ImageStream ImageStreamOver(MemoryHandle data) {
  return ImageStream{data, data ? uint32_t(HandleGetSize(data)) : 0, 0};
}

Status ImageStreamRead(ImageStream* stream, uint32_t count, void* buffer) {
  if (count == 0) return kOk;
  if (count > stream->size - stream->position) return kErrImageData;
  BytesCopy(buffer, HandleData(stream->data) + stream->position, count);
  stream->position += count;
  return kOk;
}

Status ImageStreamReadByte(ImageStream* stream, uint8_t* byte) {
  if (stream->position >= stream->size) return kErrImageData;
  *byte = HandleData(stream->data)[stream->position++];
  return kOk;
}

const uint8_t* ImageStreamTake(ImageStream* stream, uint32_t count) {
  if (count > stream->size - stream->position) return nullptr;
  const uint8_t* bytes = HandleData(stream->data) + stream->position;
  stream->position += count;
  return bytes;
}

Status ImageStreamSkip(ImageStream* stream, uint32_t count) {
  if (count > stream->size - stream->position) return kErrImageData;
  stream->position += count;
  return kOk;
}

Status ImageStreamSeek(ImageStream* stream, uint32_t position) {
  if (position > stream->size) return kErrImageData;
  stream->position = position;
  return kOk;
}

Status ImageStreamWrite(ImageStream* stream, uint32_t count, const void* buffer) {
  if (count > UINT32_MAX - stream->size) return kErrMemory;
  const Status status = HandleAppendData(stream->data, buffer, count);
  if (status != kOk) return kErrMemory;
  stream->size += count;
  return kOk;
}

Status ImageStreamWriteByte(ImageStream* stream, uint8_t byte) { return ImageStreamWrite(stream, 1, &byte); }

void ImageStreamReset(ImageStream* stream) {
  HandleSetSize(stream->data, 0);
  stream->size = 0;
  stream->position = 0;
}

ImageStream* ImageStreamNewOutput() {
  auto* stream = static_cast<ImageStream*>(BlockNewClear(sizeof(ImageStream)));
  if (!stream) return nullptr;
  stream->data = HandleNew(0);
  if (!stream->data) {
    BlockDispose(stream);
    return nullptr;
  }
  return stream;
}

MemoryHandle ImageStreamDetach(ImageStream* stream) {
  MemoryHandle data = stream->data;
  BlockDispose(stream);
  return data;
}

void ImageStreamDispose(ImageStream* stream) {
  if (!stream) return;
  HandleDispose(stream->data);
  BlockDispose(stream);
}
