// Formatting, validating and loading archives, and the loaded directory.
#include <cstring>

#include "files/archive_layout.h"

using namespace archive_layout;

bool archive_layout::HeaderIsValid(const uint8_t* header, uint32_t length) {
  if (length < kArchiveHeaderSize || GetBig32(header + kMagic) != kArchiveMagic) return false;
  const uint32_t headerSize = GetBig32(header + kHeaderSize);
  const uint32_t directoryOffset = GetBig32(header + kDirectoryOffset);
  const uint64_t directorySize = uint64_t(GetBig32(header + kRecordSize)) * GetBig32(header + kRecordCount);
  // Beyond the basic test: records shorter than their fields would be read past their end, a header
  // block longer than the archive cannot be loaded, and a directory inside the header block would be
  // overwritten each time the header is saved.
  return headerSize >= kArchiveHeaderSize && headerSize <= length &&
         GetBig32(header + kRecordSize) >= kArchiveRecordSize && directoryOffset >= headerSize &&
         uint64_t(length) >= directoryOffset + directorySize;
}

ArchiveEntry archive_layout::DecodeRecord(const uint8_t* bytes) {
  ArchiveEntry entry{};
  std::memcpy(entry.name, bytes + kName, kArchiveNameSize);
  entry.name[kArchiveNameSize - 1] = 0;
  entry.flags = GetBig32(bytes + kFlags);
  entry.offset = GetBig32(bytes + kOffset);
  entry.size = GetBig32(bytes + kSize);
  entry.type = GetBig32(bytes + kType);
  return entry;
}

void archive_layout::EncodeRecord(const ArchiveEntry& entry, uint8_t* bytes) {
  std::memcpy(bytes + kName, entry.name, kArchiveNameSize);
  PutBig32(bytes + kFlags, entry.flags);
  PutBig32(bytes + kOffset, entry.offset);
  PutBig32(bytes + kSize, entry.size);
  PutBig32(bytes + kType, entry.type);
}

Status archive_layout::WriteHeaderBlock(Stream* archive) {
  return StreamWriteAt(archive, 0, uint32_t(HandleGetSize(archive->header)), HandleData(archive->header));
}

Status archive_layout::WriteRecord(Stream* archive, uint32_t index) {
  const uint32_t recordSize = HeaderField(archive, kRecordSize);
  return StreamWriteAt(archive, HeaderField(archive, kDirectoryOffset) + index * recordSize, recordSize,
                       RecordBytes(archive, index));
}

Status archive_layout::WriteZeros(Stream* stream, uint32_t offset, uint32_t count) {
  if (count == 0) return kOk;
  const uint32_t piece = count < kCopyPiece ? count : kCopyPiece;
  UniqueBlock<uint8_t> zeros(static_cast<uint8_t*>(BlockNewClear(piece)));
  if (!zeros) return kErrMemory;
  Status status = StreamSetPosition(stream, offset);
  for (uint32_t done = 0; status == kOk && done < count; done += piece) {
    status = StreamWrite(stream, count - done < piece ? count - done : piece, zeros.get());
  }
  return status;
}

Status archive_layout::EnsureLoaded(Stream* archive) {
  return archive->directory ? kOk : ArchiveLoadDirectory(archive);
}

Status ArchiveFormat(Stream* stream, uint32_t capacity) {
  if (capacity < 1 || capacity > kArchiveMaximumCapacity) capacity = kArchiveDefaultCapacity;
  // Whatever was loaded describes the old contents.
  HandleDispose(stream->header);
  HandleDispose(stream->directory);
  stream->header = stream->directory = nullptr;
  return StreamKeepingPosition(stream, [&] {
    uint8_t header[kArchiveHeaderSize];
    PutBig32(header + kMagic, kArchiveMagic);
    PutBig32(header + kHeaderSize, kArchiveHeaderSize);
    PutBig32(header + kDirectoryOffset, kArchiveHeaderSize);
    PutBig32(header + kRecordSize, kArchiveRecordSize);
    PutBig32(header + kRecordCount, capacity);
    const uint32_t directorySize = kArchiveRecordSize * capacity;
    Status status = StreamSetLength(stream, kArchiveHeaderSize + directorySize);
    if (status == kOk) status = StreamWriteAt(stream, 0, kArchiveHeaderSize, header);
    if (status == kOk) status = WriteZeros(stream, kArchiveHeaderSize, directorySize);
    return status;
  });
}

Status ArchiveLoadDirectory(Stream* stream) {
  if (stream->directory) return kOk;
  return StreamKeepingPosition(stream, [&] {
    uint32_t length = 0;
    Status status = StreamGetLength(stream, &length);
    if (status != kOk) return status;
    if (length < kArchiveHeaderSize) return Status(kErrDamagedArchive);
    uint8_t header[kArchiveHeaderSize];
    status = StreamReadAt(stream, 0, kArchiveHeaderSize, header);
    if (status != kOk) return status;
    if (!HeaderIsValid(header, length)) return Status(kErrDamagedArchive);

    const uint32_t headerSize = GetBig32(header + kHeaderSize);
    const uint32_t directorySize = GetBig32(header + kRecordSize) * GetBig32(header + kRecordCount);
    UniqueHandle headerBlock(HandleNew(headerSize));
    UniqueHandle directory(HandleNew(directorySize));
    if (!headerBlock || !directory) return Status(kErrMemory);
    status = StreamReadAt(stream, 0, headerSize, HandleData(headerBlock.get()));
    if (status == kOk) {
      status = StreamReadAt(stream, GetBig32(header + kDirectoryOffset), directorySize, HandleData(directory.get()));
    }
    if (status != kOk) return status;
    stream->header = headerBlock.release();
    stream->directory = directory.release();
    return Status(kOk);
  });
}

bool ArchiveIsValidBlock(MemoryHandle handle) {
  const size_t size = HandleGetSize(handle);
  return size >= kArchiveHeaderSize && HeaderIsValid(HandleData(handle), uint32_t(size));
}

bool ArchiveIsValidStream(Stream* stream, uint32_t* entryCount) {
  uint8_t header[kArchiveHeaderSize];
  uint32_t length = 0;
  const Status status = StreamKeepingPosition(stream, [&] {
    const Status got = StreamGetLength(stream, &length);
    if (got != kOk) return got;
    return length < kArchiveHeaderSize ? Status(kErrDamagedArchive) : StreamReadAt(stream, 0, sizeof header, header);
  });
  if (status != kOk || !HeaderIsValid(header, length)) return false;
  if (entryCount) *entryCount = GetBig32(header + kRecordCount);
  return true;
}

uint32_t ArchiveCapacity(Stream* archive) {
  return EnsureLoaded(archive) == kOk ? HeaderField(archive, kRecordCount) : 0;
}

ArchiveEntry ArchiveRecord(Stream* archive, uint32_t index) {
  if (index >= ArchiveCapacity(archive)) return ArchiveEntry{};
  return DecodeRecord(RecordBytes(archive, index));
}

bool ArchiveFindEntry(Stream* archive, const char* name, uint32_t* index, ArchiveEntry* entry) {
  const uint32_t count = ArchiveCapacity(archive);
  for (uint32_t i = 0; i < count; ++i) {
    const uint8_t* record = RecordBytes(archive, i);
    // Stored names hold at most 63 bytes: a longer name cannot match.
    if (std::strncmp(reinterpret_cast<const char*>(record + kName), name, kArchiveNameSize) != 0) continue;
    if (std::strlen(name) >= kArchiveNameSize) continue;
    if (index) *index = i;
    if (entry) *entry = DecodeRecord(record);
    return true;
  }
  return false;
}
