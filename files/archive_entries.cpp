// Creating, deleting, renaming and querying archive entries.
#include <cstring>

#include "files/archive_layout.h"
#include "files/archive_names.h"
#include "files/file_types.h"
#include "runtime/text.h"

using namespace archive_layout;

namespace {

uint32_t FlagsOf(const EntryInfo& info) {
  return (info.readable ? kEntryReadable : 0) | (info.writable ? kEntryWritable : 0) |
         (info.container ? kEntryContainer : 0) | (info.hidden ? kEntryHidden : 0);
}

// Decodes the name and loads the directory of an archive that is about to change.
Status PrepareChange(Stream* archive, const char* escaped, char* name) {
  Status status = ArchiveNameDecode(escaped, name);
  if (status == kOk) status = EnsureLoaded(archive);
  if (status == kOk && !archive->writable) status = kErrNotPermitted;
  return status;
}

// A full directory doubles (an empty one gets the default capacity). In place when it is the last
// block; otherwise it moves to the end and its old place is zeroed. Gives the first new record.
Status GrowDirectory(Stream* archive, uint32_t* index) {
  const uint32_t count = HeaderField(archive, kRecordCount);
  const uint32_t recordSize = HeaderField(archive, kRecordSize);
  const uint32_t oldOffset = HeaderField(archive, kDirectoryOffset);
  const uint32_t oldSize = count * recordSize;
  const uint64_t newCount = count ? uint64_t(count) * 2 : kArchiveDefaultCapacity;
  if (newCount * recordSize > kLargestDirectory) return kErrMemory;
  const uint32_t newSize = uint32_t(newCount * recordSize);

  uint32_t newOffset = 0;
  Status status = ArchiveResizeBlock(archive, oldOffset, oldSize, newSize, &newOffset);
  if (status != kOk) return status;
  SetHeaderField(archive, kDirectoryOffset, newOffset);
  status = WriteHeaderBlock(archive);
  if (status == kOk) status = HandleSetSize(archive->directory, newSize);
  if (status != kOk) return status;
  BytesZero(HandleData(archive->directory) + oldSize, newSize - oldSize);
  status = StreamWriteAt(archive, newOffset, newSize, HandleData(archive->directory));
  if (status != kOk) return status;
  SetHeaderField(archive, kRecordCount, uint32_t(newCount));
  status = WriteHeaderBlock(archive);
  if (status == kOk && newOffset != oldOffset) status = WriteZeros(archive, oldOffset, oldSize);
  if (status == kOk) *index = count;
  return status;
}

Status DeleteEntry(Stream* archive, const char* name) {
  uint32_t index = 0;
  ArchiveEntry entry{};
  if (!name[0] || !ArchiveFindEntry(archive, name, &index, &entry)) return kErrFileNotFound;
  if (FindOpenEntry(archive, index)) return kErrBusy;
  BytesZero(RecordBytes(archive, index), HeaderField(archive, kRecordSize));
  Status status = WriteRecord(archive, index);
  uint32_t unused = 0;
  if (status == kOk) status = ArchiveResizeBlock(archive, entry.offset, entry.size, 0, &unused);
  return status;
}

Status CreateEntry(Stream* archive, const char* name, const EntryInfo& info) {
  if (ArchiveFindEntry(archive, name, nullptr, nullptr)) return kErrExists;
  uint32_t index = 0;
  if (!ArchiveFindEntry(archive, "", &index, nullptr)) {
    const Status status = GrowDirectory(archive, &index);
    if (status != kOk) return status;
  }
  ArchiveEntry entry{};
  TextCopyBounded(entry.name, name, sizeof entry.name);
  entry.flags = FlagsOf(info);
  entry.type = info.type;
  EncodeRecord(entry, RecordBytes(archive, index));
  Status status = WriteRecord(archive, index);
  if (status != kOk || !info.container) return status;

  Stream* nested = nullptr;
  status = OpenEntryAt(archive, index, false, &nested);
  if (status != kOk) return status;
  status = ArchiveFormat(nested, info.countOrSize);
  StreamClose(nested);
  if (status != kOk) DeleteEntry(archive, name);  // an unformatted container would read as damaged
  return status;
}

Status SetEntryInfo(Stream* archive, const char* oldName, const char* newName, const EntryInfo& info) {
  uint32_t index = 0;
  ArchiveEntry entry{};
  if (!oldName[0] || !ArchiveFindEntry(archive, oldName, &index, &entry)) return kErrFileNotFound;
  if (std::strcmp(oldName, newName) != 0 && ArchiveFindEntry(archive, newName, nullptr, nullptr)) return kErrExists;
  std::memset(entry.name, 0, sizeof entry.name);
  TextCopyBounded(entry.name, newName, sizeof entry.name);
  entry.flags = (FlagsOf(info) & ~kEntryContainer) | (entry.flags & kEntryContainer);
  entry.type = info.type ? info.type : FileTypeForName(newName, entry.type).type;
  EncodeRecord(entry, RecordBytes(archive, index));
  return WriteRecord(archive, index);
}

Status CountUsedEntries(Stream* archive, uint32_t index, uint32_t* used) {
  Stream* nested = nullptr;
  const Status status = OpenEntryAt(archive, index, true, &nested);
  if (status != kOk) return status;
  *used = 0;
  for (uint32_t i = 0, count = ArchiveCapacity(nested); i < count; ++i) {
    if (RecordBytes(nested, i)[kName]) ++*used;
  }
  StreamClose(nested);
  return kOk;
}

Status GetEntryInfo(Stream* archive, const char* name, EntryInfo* info) {
  uint32_t index = 0;
  ArchiveEntry entry{};
  if (!name[0] || !ArchiveFindEntry(archive, name, &index, &entry)) return kErrFileNotFound;
  *info = EntryInfo{};
  ArchiveNameEncode(entry.name, info->name);
  info->readable = (entry.flags & kEntryReadable) != 0;
  info->writable = (entry.flags & kEntryWritable) != 0;
  info->container = info->isArchive = (entry.flags & kEntryContainer) != 0;
  info->hidden = (entry.flags & kEntryHidden) != 0;
  info->countOrSize = entry.size;
  if (info->isArchive) {
    const Status status = CountUsedEntries(archive, index, &info->countOrSize);
    if (status != kOk) return status;
  }
  // Times belong to the disk file that holds an archive; an archive in memory has none.
  info->type = entry.type;
  info->creator = FileTypeForType(entry.type).creator;
  return kOk;
}

}  // namespace

Status ArchiveCreateEntry(Stream* archive, const EntryInfo& info) {
  char name[kEscapedNameSize];
  Status status = PrepareChange(archive, info.name, name);
  if (status == kOk) status = DecodeStoredName(info.name, name);
  if (status != kOk) return status;
  return StreamKeepingPosition(archive, [&] { return CreateEntry(archive, name, info); });
}

Status ArchiveDeleteEntry(Stream* archive, const char* escaped) {
  char name[kEscapedNameSize];
  const Status status = PrepareChange(archive, escaped, name);
  if (status != kOk) return status;
  return StreamKeepingPosition(archive, [&] { return DeleteEntry(archive, name); });
}

Status ArchiveSetEntryInfo(Stream* archive, const char* oldEscaped, const EntryInfo& info) {
  char oldName[kEscapedNameSize];
  char newName[kEscapedNameSize];
  Status status = PrepareChange(archive, oldEscaped, oldName);
  if (status == kOk) status = DecodeStoredName(info.name, newName);
  if (status != kOk) return status;
  return StreamKeepingPosition(archive, [&] { return SetEntryInfo(archive, oldName, newName, info); });
}

Status ArchiveGetEntryInfo(Stream* archive, const char* escaped, EntryInfo* info) {
  char name[kEscapedNameSize];
  Status status = ArchiveNameDecode(escaped, name);
  if (status == kOk) status = EnsureLoaded(archive);
  if (status != kOk) return status;
  return StreamKeepingPosition(archive, [&] { return GetEntryInfo(archive, name, info); });
}
