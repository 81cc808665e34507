// Entry streams: a stream over the data of one archive entry, read and written through the stream of
// the enclosing archive. The entry's offset is read afresh from the directory on every access, so a
// move of its data by the space manager is seen at once.
#include "files/archive_layout.h"
#include "files/archive_names.h"
#include "runtime/text.h"

using namespace archive_layout;

namespace {

uint8_t* EntryRecord(Stream* entry) { return RecordBytes(entry->enclosing, entry->entryIndex); }
uint32_t EntryOffset(Stream* entry) { return GetBig32(EntryRecord(entry) + kOffset); }

Status Read(Stream* entry, uint32_t count, void* buffer) {
  if (uint64_t(entry->position) + count > entry->length) return kErrPastEnd;
  Stream* archive = entry->enclosing;
  const Status status = StreamKeepingPosition(
      archive, [&] { return StreamReadAt(archive, EntryOffset(entry) + entry->position, count, buffer); });
  if (status == kOk) entry->position += count;
  return status;
}

Status SetLength(Stream* entry, uint32_t length) {
  if (!entry->writable) return kErrNotPermitted;
  Stream* archive = entry->enclosing;
  uint32_t offset = 0;
  Status status = ArchiveResizeBlock(archive, EntryOffset(entry), entry->length, length, &offset);
  if (status != kOk) return status;
  uint8_t* record = EntryRecord(entry);
  PutBig32(record + kOffset, offset);
  PutBig32(record + kSize, length);
  status = StreamKeepingPosition(archive, [&] { return WriteRecord(archive, entry->entryIndex); });
  if (status != kOk) return status;
  entry->length = length;
  if (entry->position > length) entry->position = length;
  return kOk;
}

Status Write(Stream* entry, uint32_t count, const void* buffer) {
  if (!entry->writable) return kErrNotPermitted;
  const uint64_t end = uint64_t(entry->position) + count;
  if (end > UINT32_MAX) return kErrMemory;
  if (end > entry->length) {
    const Status status = SetLength(entry, uint32_t(end));
    if (status != kOk) return status;
  }
  Stream* archive = entry->enclosing;
  const Status status = StreamKeepingPosition(
      archive, [&] { return StreamWriteAt(archive, EntryOffset(entry) + entry->position, count, buffer); });
  if (status == kOk) entry->position = uint32_t(end);
  return status;
}

const StreamOperations kEntryOperations = {
    Read, Write, StreamGetLengthField, SetLength, StreamGetPositionField, StreamSetPositionField, nullptr, nullptr,
};

Status OpenEntry(Stream* archive, const char* escapedName, bool forWriting, bool loadAsArchive, Stream** out) {
  char name[kEscapedNameSize];
  Status status = ArchiveNameDecode(escapedName, name);
  if (status == kOk) status = EnsureLoaded(archive);
  if (status != kOk) return status;
  uint32_t index = 0;
  ArchiveEntry record{};
  if (!name[0] || !ArchiveFindEntry(archive, name, &index, &record)) return kErrFileNotFound;
  if (!(record.flags & kEntryReadable)) return kErrNotPermitted;
  if (forWriting && (!archive->writable || !(record.flags & kEntryWritable))) return kErrNotPermitted;
  return OpenEntryAt(archive, index, loadAsArchive, out);
}

}  // namespace

Stream* archive_layout::FindOpenEntry(Stream* archive, uint32_t index) {
  for (Stream* open = StreamFirstOpen(); open; open = open->next) {
    if (open->kind == StreamKind::ArchiveEntry && open->enclosing == archive && open->entryIndex == index) {
      return open;
    }
  }
  return nullptr;
}

Status archive_layout::OpenEntryAt(Stream* archive, uint32_t index, bool loadAsArchive, Stream** out) {
  const ArchiveEntry record = DecodeRecord(RecordBytes(archive, index));
  uint32_t archiveLength = 0;
  Status status = StreamGetLength(archive, &archiveLength);
  if (status != kOk) return status;
  // An entry must lie inside its archive; one that does not would be read or written past the end.
  if ((record.offset == 0 && record.size != 0) || uint64_t(record.offset) + record.size > archiveLength) {
    return kErrDamagedArchive;
  }
  Stream* entry = FindOpenEntry(archive, index);
  if (entry) {
    StreamRetain(entry);
    // The archive stream may have been reopened for writing since (a shared disk file).
    if (archive->writable) entry->writable = true;
  } else {
    entry = StreamCreate(StreamKind::ArchiveEntry, &kEntryOperations, archive->writable);
    if (!entry) return kErrMemory;
    StreamRetain(archive);
    entry->enclosing = archive;
    entry->entryIndex = index;
    entry->length = record.size;
  }
  if (loadAsArchive) {
    status = ArchiveLoadDirectory(entry);
    if (status != kOk) {
      StreamClose(entry);
      return status;
    }
  }
  *out = entry;
  return kOk;
}

Status archive_layout::DecodeStoredName(const char* escaped, char* name) {
  const Status status = ArchiveNameDecode(escaped, name);
  if (status != kOk) return status;
  return name[0] && TextLength(name) < kArchiveNameSize ? kOk : kErrBadName;
}

Status ArchiveOpenEntry(Stream* archive, const char* name, bool forWriting, bool loadAsArchive, Stream** entry) {
  *entry = nullptr;
  return StreamKeepingPosition(archive, [&] { return OpenEntry(archive, name, forWriting, loadAsArchive, entry); });
}
