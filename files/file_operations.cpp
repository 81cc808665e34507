// The file layer's item operations, on disk and inside archives alike.
#include "files/archive.h"
#include "files/file_system.h"
#include "files/file_types.h"
#include "files/items.h"
#include "runtime/text.h"

Status FileGetInfo(PathSpec* base, Location location, EntryInfo* info, bool recogniseArchives) {
  OpenItem item;
  const Status status = item.AtLocation(base, location, false);
  return status != kOk ? status : item.GetInfo(info, recogniseArchives);
}

Status FileOpen(PathSpec* folder, Location location, bool forWriting, Stream** stream) {
  *stream = nullptr;
  OpenItem item;
  const Status status = item.AtLocation(folder, location, forWriting);
  return status != kOk ? status : item.Open(forWriting, stream);
}

Status FileCreate(PathSpec* folder, const EntryInfo& info) {
  OpenItem item;
  const Status status = item.InFolder(folder, info.name, true);
  return status != kOk ? status : item.Create(info);
}

Status FileDelete(PathSpec* folder, const char* name) {
  OpenItem item;
  const Status status = item.InFolder(folder, name, true);
  return status != kOk ? status : item.Delete();
}

Status FileRename(PathSpec* folder, const char* name, const EntryInfo& newInfo) {
  OpenItem item;
  const Status status = item.InFolder(folder, name, true);
  return status != kOk ? status : item.Rename(newInfo);
}

Status FileReadAll(PathSpec* base, Location location, uint32_t maximumSize, bool temporary, MemoryHandle* data) {
  *data = nullptr;
  Stream* stream = nullptr;
  Status status = FileOpen(base, location, false, &stream);
  if (status != kOk) return status;
  uint32_t length = 0;
  status = StreamGetLength(stream, &length);
  if (status == kOk && length > maximumSize) status = kErrMemory;
  UniqueHandle contents;
  if (status == kOk) {
    contents.reset(temporary ? HandleNewTemporary(length) : HandleNew(length));
    if (!contents) status = kErrMemory;
  }
  if (status == kOk) status = StreamReadAt(stream, 0, length, HandleData(contents.get()));
  StreamClose(stream);
  if (status == kOk) *data = contents.release();
  return status;
}

namespace {

// The info of an item that FileWriteAll creates: an archive when the data is one.
EntryInfo NewItemInfo(const char* name, FourCC type, FourCC creator, MemoryHandle data) {
  EntryInfo info{};
  TextCopy(info.name, name);
  info.readable = info.writable = 1;
  if (ArchiveIsValidBlock(data)) {
    info.container = info.isArchive = 1;
    info.type = type ? type : kArchiveMagic;
    info.creator = creator ? creator : kArchiveMagic;
    return info;
  }
  char decoded[kEscapedNameSize];
  ArchiveNameDecode(name, decoded);
  const FileType known = FileTypeForName(decoded, type);
  info.type = type ? type : known.type;
  info.creator = creator ? creator : known.creator;
  return info;
}

}  // namespace

Status FileWriteAll(PathSpec* folder, const char* name, bool replace, bool append, FourCC type, FourCC creator,
                    MemoryHandle data) {
  OpenItem item;
  Status status = item.InFolder(folder, name, true);
  if (status != kOk) return status;
  EntryInfo existing{};
  status = item.GetInfo(&existing, true);
  bool created = false;
  if (status == kOk) {
    if (!replace && !append) return kErrExists;
    if (existing.container) {
      status = item.Delete();
      if (status != kOk) return status;
      status = kErrFileNotFound;
    }
  }
  if (status == kErrFileNotFound) {
    status = item.Create(NewItemInfo(name, type, creator, data));
    created = status == kOk;
  }
  if (status != kOk) return status;

  Stream* stream = nullptr;
  status = item.Open(true, &stream);
  if (status != kOk) {
    if (created) item.Delete();
    return status;
  }
  uint32_t oldLength = 0;
  if (append && !created) status = StreamGetLength(stream, &oldLength);
  const uint32_t size = uint32_t(HandleGetSize(data));
  if (status == kOk && uint64_t(oldLength) + size > UINT32_MAX) status = kErrDiskFull;
  if (status == kOk) status = StreamSetLength(stream, oldLength + size);
  if (status == kOk) status = StreamWriteAt(stream, oldLength, size, HandleData(data));
  // A failed append keeps what the item held; a failed replacement leaves it empty.
  if (status != kOk && !created) StreamSetLength(stream, oldLength);
  StreamClose(stream);
  if (status != kOk && created) item.Delete();
  return status;
}
