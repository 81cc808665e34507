#include "files/stream.h"

namespace {

Stream* gOpenStreams = nullptr;  // newest first

void Unlink(Stream* stream) {
  for (Stream** link = &gOpenStreams; *link; link = &(*link)->next) {
    if (*link == stream) {
      *link = stream->next;
      return;
    }
  }
}

}  // namespace

Status StreamRead(Stream* stream, uint32_t count, void* buffer) {
  return stream->operations->read(stream, count, buffer);
}

Status StreamWrite(Stream* stream, uint32_t count, const void* buffer) {
  return stream->operations->write(stream, count, buffer);
}

Status StreamGetLength(Stream* stream, uint32_t* length) { return stream->operations->getLength(stream, length); }

Status StreamSetLength(Stream* stream, uint32_t length) { return stream->operations->setLength(stream, length); }

Status StreamGetPosition(Stream* stream, uint32_t* position) {
  return stream->operations->getPosition(stream, position);
}

Status StreamSetPosition(Stream* stream, uint32_t position) {
  return stream->operations->setPosition(stream, position);
}

Status StreamReadAt(Stream* stream, uint32_t position, uint32_t count, void* buffer) {
  const Status status = StreamSetPosition(stream, position);
  return status != kOk ? status : StreamRead(stream, count, buffer);
}

Status StreamWriteAt(Stream* stream, uint32_t position, uint32_t count, const void* buffer) {
  const Status status = StreamSetPosition(stream, position);
  return status != kOk ? status : StreamWrite(stream, count, buffer);
}

Stream* StreamCreate(StreamKind kind, const StreamOperations* operations, bool writable) {
  auto* stream = static_cast<Stream*>(BlockNewClear(sizeof(Stream)));
  if (!stream) return nullptr;
  stream->kind = kind;
  stream->operations = operations;
  stream->writable = writable;
  stream->references = 1;
  stream->next = gOpenStreams;
  gOpenStreams = stream;
  return stream;
}

Stream* StreamFirstOpen() { return gOpenStreams; }

void StreamRetain(Stream* stream) { ++stream->references; }

void StreamClose(Stream* stream) {
  while (stream && --stream->references == 0) {
    Unlink(stream);
    if (stream->operations->release) stream->operations->release(stream);
    HandleDispose(stream->header);
    HandleDispose(stream->directory);
    BlockDispose(stream->path);
    Stream* enclosing = stream->enclosing;
    BlockDispose(stream);
    stream = enclosing;
  }
}

Status StreamFlush(Stream* stream) {
  if (stream->kind == StreamKind::ArchiveEntry) return StreamFlush(stream->enclosing);
  return stream->operations->flush ? stream->operations->flush(stream) : kOk;
}

Status StreamGetLengthField(Stream* stream, uint32_t* length) {
  *length = stream->length;
  return kOk;
}

Status StreamGetPositionField(Stream* stream, uint32_t* position) {
  *position = stream->position;
  return kOk;
}

Status StreamSetPositionField(Stream* stream, uint32_t position) {
  uint32_t length = 0;
  const Status status = StreamGetLength(stream, &length);
  if (status != kOk) return status;
  if (position > length) return kErrPastEnd;
  stream->position = position;
  return kOk;
}
