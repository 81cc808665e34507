#include "files/items.h"

#include "files/archive.h"
#include "files/disk_stream.h"
#include "files/file_types.h"
#include "files/path_open.h"
#include "files/path_parts.h"
#include "files/windows_errors.h"
#include "runtime/text.h"

namespace {

constexpr uint64_t kFileTimeAt1970 = 116444736000000000ull;  // 100 ns steps from 1601 to 1970

uint32_t SecondsSince1970(const FILETIME& time) {
  const uint64_t ticks = uint64_t(time.dwHighDateTime) << 32 | time.dwLowDateTime;
  if (ticks < kFileTimeAt1970) return 0;
  const uint64_t seconds = (ticks - kFileTimeAt1970) / 10000000;
  return seconds > UINT32_MAX ? UINT32_MAX : uint32_t(seconds);
}

// Items in a disk folder, "." and ".." not counted.
uint32_t CountFolderItems(const char* folder) {
  char pattern[MAX_PATH + 3];
  TextCopyBounded(pattern, folder, MAX_PATH);
  if (pattern[TextLength(pattern) - 1] != '\\') TextAppend(pattern, "\\");
  TextAppend(pattern, "*");
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA(pattern, &found);
  if (search == INVALID_HANDLE_VALUE) {
    GetLastError();
    return 0;
  }
  uint32_t count = 0;
  do {
    if (TextCompare(found.cFileName, ".") != 0 && TextCompare(found.cFileName, "..") != 0) ++count;
  } while (FindNextFileA(search, &found));
  GetLastError();
  FindClose(search);
  return count;
}

Status SetDiskSize(HANDLE file, uint32_t size) {
  LARGE_INTEGER distance;
  distance.QuadPart = size;
  return SetFilePointerEx(file, distance, nullptr, FILE_BEGIN) && SetEndOfFile(file) ? kOk : FileLastError();
}

}  // namespace

OpenItem::~OpenItem() {
  if (archive_) StreamClose(archive_);
  PathDispose(made_);
}

Status OpenItem::InFolder(PathSpec* folder, const char* name, bool forWriting) {
  folder_ = folder ? folder : FileLayerRoot();
  if (!folder_) return kErrState;
  char decoded[kEscapedNameSize];
  const Status status = ArchiveNameDecode(name, decoded);
  if (status != kOk) return status;
  if (!name[0] || TextLength(name) >= kEscapedNameSize) return kErrBadName;
  TextCopy(name_, name);
  return Enter(forWriting);
}

Status OpenItem::AtLocation(PathSpec* base, Location location, bool forWriting) {
  Status status = PathResolve(base, location, &made_, true);
  if (status != kOk) return status;
  folder_ = made_;
  if (!PathDropLast(made_, name_)) name_[0] = 0;  // a root: the record stays as it is
  return Enter(forWriting);
}

Status OpenItem::Enter(bool forWriting) {
  if (IsRoot()) return kOk;
  Status status = PathOpenFolder(folder_, forWriting, &archive_);
  if (status != kOk || archive_) return status;
  char decoded[kEscapedNameSize];
  status = ArchiveNameDecode(name_, decoded);
  if (status != kOk) return status;
  // A name decoded from "%2F" would be a separator on disk.
  if (TextFindAnyOf(decoded, "/")) return kErrBadName;
  PathDiskText(folder_, path_);
  if (path_[TextLength(path_) - 1] != '\\') TextAppend(path_, "\\");
  if (TextLength(path_) + TextLength(decoded) > MAX_PATH) return kErrBadName;
  TextAppend(path_, decoded);
  return kOk;
}

Status OpenItem::Exists() {
  if (IsRoot()) return kOk;
  if (archive_) {
    char decoded[kEscapedNameSize];
    ArchiveNameDecode(name_, decoded);
    return ArchiveFindEntry(archive_, decoded, nullptr, nullptr) ? kOk : kErrFileNotFound;
  }
  DWORD attributes = 0;
  return DiskAttributes(path_, &attributes);
}

Status OpenItem::GetInfo(EntryInfo* info, bool recogniseArchives) {
  *info = EntryInfo{};
  if (IsRoot() && folder_->mounted) {
    TextCopy(info->name, kMountedVolumeName);
    info->readable = 1;
    info->writable = folder_->mounted->writable;
    info->container = info->isArchive = 1;
    return kOk;
  }
  if (!archive_) return DiskInfo(info, recogniseArchives);
  const Status status = ArchiveGetEntryInfo(archive_, name_, info);
  if (status != kOk || folder_->mounted) return status;
  // Entries carry the times of the disk file that holds their archive.
  char holder[kDiskPathSize];
  PathDiskText(folder_, holder);
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (GetFileAttributesExA(holder, GetFileExInfoStandard, &data)) {
    info->created = SecondsSince1970(data.ftCreationTime);
    info->modified = SecondsSince1970(data.ftLastWriteTime);
  } else {
    GetLastError();
  }
  return kOk;
}

Status OpenItem::DiskInfo(EntryInfo* info, bool recogniseArchives) {
  char decoded[kEscapedNameSize];
  if (IsRoot()) {
    PathDiskText(folder_, path_);
    const char letter[] = {folder_->drive, 0};
    TextCopy(info->name, letter);
    TextCopy(decoded, letter);
  } else {
    TextCopy(info->name, name_);
    ArchiveNameDecode(name_, decoded);
  }
  WIN32_FILE_ATTRIBUTE_DATA data;
  {
    ErrorModeScope quiet(SEM_FAILCRITICALERRORS);
    if (!GetFileAttributesExA(path_, GetFileExInfoStandard, &data)) return FileLastError();
  }
  info->readable = !(data.dwFileAttributes & FILE_ATTRIBUTE_OFFLINE);
  info->writable = !(data.dwFileAttributes & FILE_ATTRIBUTE_READONLY);
  info->hidden = (data.dwFileAttributes & FILE_ATTRIBUTE_HIDDEN) != 0;
  if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
    info->container = 1;
    info->countOrSize = CountFolderItems(path_);
  } else if (ArchiveIsValidFile(path_, &info->countOrSize)) {
    info->isArchive = 1;
    info->container = recogniseArchives;
  } else {
    info->countOrSize = data.nFileSizeHigh ? UINT32_MAX : data.nFileSizeLow;
  }
  info->created = SecondsSince1970(data.ftCreationTime);
  info->modified = SecondsSince1970(data.ftLastWriteTime);
  const FileType type = FileTypeForName(decoded, 0);
  info->type = type.type;
  info->creator = type.creator;
  return kOk;
}

Status OpenItem::Create(const EntryInfo& info) {
  if (IsRoot()) return kErrExists;
  if (archive_) {
    EntryInfo named = info;
    TextCopy(named.name, name_);
    return ArchiveCreateEntry(archive_, named);
  }
  if (info.container && !info.isArchive) return CreateDirectoryA(path_, nullptr) ? kOk : FileLastError();
  HANDLE file = CreateFileA(path_, GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                            info.hidden ? FILE_ATTRIBUTE_HIDDEN : FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return FileLastError();
  Status status = info.container ? kOk : SetDiskSize(file, info.countOrSize);
  CloseHandle(file);
  if (status == kOk && info.container) {
    Stream* stream = nullptr;
    status = DiskStreamOpen(path_, true, &stream);
    if (status == kOk) {
      status = ArchiveFormat(stream, info.countOrSize);
      StreamClose(stream);
    }
  }
  // A file of the wrong size or an unformatted archive file is not what was asked for.
  if (status != kOk && !DeleteFileA(path_)) GetLastError();
  return status;
}

Status OpenItem::Delete() {
  if (IsRoot()) return kErrNotPermitted;
  if (archive_) return ArchiveDeleteEntry(archive_, name_);
  DWORD attributes = 0;
  const Status status = DiskAttributes(path_, &attributes);
  if (status != kOk) return status;
  const BOOL deleted = attributes & FILE_ATTRIBUTE_DIRECTORY ? RemoveDirectoryA(path_) : DeleteFileA(path_);
  return deleted ? kOk : FileLastError();
}

Status OpenItem::Rename(const EntryInfo& info) {
  if (IsRoot()) return kErrNotPermitted;
  if (archive_) return ArchiveSetEntryInfo(archive_, name_, info);
  OpenItem renamed;
  Status status = renamed.InFolder(folder_, info.name, true);
  if (status != kOk) return status;
  if (TextCompare(path_, renamed.path_) != 0 && !MoveFileA(path_, renamed.path_)) return FileLastError();
  DWORD attributes = 0;
  status = DiskAttributes(renamed.path_, &attributes);
  if (status != kOk) return status;
  attributes &= ~DWORD(FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_NORMAL);
  if (!info.writable) attributes |= FILE_ATTRIBUTE_READONLY;
  if (info.hidden) attributes |= FILE_ATTRIBUTE_HIDDEN;
  if (!attributes) attributes = FILE_ATTRIBUTE_NORMAL;
  return SetFileAttributesA(renamed.path_, attributes) ? kOk : FileLastError();
}

Status OpenItem::Open(bool forWriting, Stream** stream) {
  *stream = nullptr;
  if (IsRoot()) return kErrWholeVolume;
  if (archive_) return ArchiveOpenEntry(archive_, name_, forWriting, false, stream);
  return DiskStreamOpen(path_, forWriting, stream);
}
