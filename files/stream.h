// Streams: the byte streams on which all archive code runs. A stream is a disk file, a memory handle or
// an entry of an enclosing archive; each kind supplies the six operations. Reads are all-or-nothing:
// when fewer bytes are available than asked for, nothing is read and the position stays.
//
// Open streams are kept in one process-wide list (newest first) and carry a reference count, so that a
// second open of the same memory handle or archive entry shares the first stream.
#pragma once

#include <cstdint>

#include "runtime/memory.h"
#include "runtime/status.h"

struct Stream;

struct StreamOperations {
  Status (*read)(Stream* stream, uint32_t count, void* buffer);
  Status (*write)(Stream* stream, uint32_t count, const void* buffer);
  Status (*getLength)(Stream* stream, uint32_t* length);
  Status (*setLength)(Stream* stream, uint32_t length);
  Status (*getPosition)(Stream* stream, uint32_t* position);
  Status (*setPosition)(Stream* stream, uint32_t position);
  // Beyond the six: gives back what the kind holds (a disk file's handle) when the last reference goes.
  // May be none.
  void (*release)(Stream* stream);
  // Pushes written bytes to where they are kept for good; none when there is nothing to flush.
  Status (*flush)(Stream* stream);
};

enum class StreamKind : uint8_t { DiskFile, Memory, ArchiveEntry };

struct Stream {
  Stream* next;  // in the list of open streams
  const StreamOperations* operations;
  StreamKind kind;
  bool writable;
  uint32_t length;
  uint32_t position;
  uint32_t references;
  void* file;             // disk file: the system's file handle
  char* path;             // disk file: its full path (a fixed block, freed with the stream)
  MemoryHandle memory;    // memory stream: the handle it reads and writes; it stays with its owner
  Stream* enclosing;      // archive entry: the archive stream that holds the entry (one reference held)
  uint32_t entryIndex;    // archive entry: the index of its directory record
  MemoryHandle header;    // a stream that holds an archive: header block and directory, once loaded
  MemoryHandle directory;
};

// The six operations, dispatched on the stream's kind.
Status StreamRead(Stream* stream, uint32_t count, void* buffer);
Status StreamWrite(Stream* stream, uint32_t count, const void* buffer);
Status StreamGetLength(Stream* stream, uint32_t* length);
Status StreamSetLength(Stream* stream, uint32_t length);
Status StreamGetPosition(Stream* stream, uint32_t* position);
Status StreamSetPosition(Stream* stream, uint32_t position);

// Seek and transfer in one call.
Status StreamReadAt(Stream* stream, uint32_t position, uint32_t count, void* buffer);
Status StreamWriteAt(Stream* stream, uint32_t position, uint32_t count, const void* buffer);

// A new stream with one reference, put at the head of the list; none when memory runs out. Each kind's
// open function fills in its own fields.
Stream* StreamCreate(StreamKind kind, const StreamOperations* operations, bool writable);
// The open streams, newest first; walk on with stream->next.
Stream* StreamFirstOpen();
void StreamRetain(Stream* stream);
// Drops one reference. At zero the stream leaves the list, its kind releases what it holds, its
// archive handles are freed and its reference on an enclosing stream is dropped in turn.
void StreamClose(Stream* stream);
// An entry stream flushes the stream that encloses it, a memory stream has nothing to flush, a disk
// file flushes the system's buffers.
Status StreamFlush(Stream* stream);

// Generic operations for kinds that keep length and position in the record alone.
Status StreamGetLengthField(Stream* stream, uint32_t* length);
Status StreamGetPositionField(Stream* stream, uint32_t* position);
// Positions past the end are refused (-7210): nothing can be read there, and a write there would leave
// undefined bytes behind.
Status StreamSetPositionField(Stream* stream, uint32_t position);

// Runs an operation on a stream whose position callers must not see move: the position is put back
// afterwards (clamped to a length that shrank). A failure to put it back is reported only when the
// operation itself succeeded.
template <class Operation>
Status StreamKeepingPosition(Stream* stream, Operation operation) {
  uint32_t saved = 0;
  Status status = StreamGetPosition(stream, &saved);
  if (status != kOk) return status;
  status = operation();
  uint32_t length = 0;
  Status restored = StreamGetLength(stream, &length);
  if (restored == kOk) restored = StreamSetPosition(stream, saved < length ? saved : length);
  return status != kOk ? status : restored;
}
