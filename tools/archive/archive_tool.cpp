#include "tools/archive/archive_tool.h"

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstring>

#include "files/archive.h"
#include "files/archive_names.h"
#include "files/file_types.h"
#include "files/memory_stream.h"
#include "tools/common/tool_files.h"

namespace {

const char* Explain(Status status) {
  switch (status) {
    case kErrMemory: return "not enough memory";
    case kErrBadName: return "the name cannot be stored in an archive";
    case kErrFileNotFound: return "no such entry";
    case kErrExists: return "an entry of that name exists already";
    case kErrDamagedArchive: return "this is not a page archive, or it is damaged";
    case kErrNotPermitted: return "the entry may not be read";
    case kErrPastEnd: return "the archive ends too early";
    default: return "archive error";
  }
}

int Fail(FILE* err, const std::string& subject, const char* problem) {
  std::fprintf(err, "skyward-archive: %s: %s\n", subject.c_str(), problem);
  return 1;
}

int Fail(FILE* err, const std::string& subject, Status status) {
  std::fprintf(err, "skyward-archive: %s: %s (status %d)\n", subject.c_str(), Explain(status), int(status));
  return 1;
}

// An archive file opened read-only over a copy of its bytes.
class OpenArchive {
 public:
  ~OpenArchive() {
    if (stream_) StreamClose(stream_);
  }
  int Open(const std::string& path, FILE* err) {
    if (!ReadFile(path, &bytes_)) return Fail(err, path, std::strerror(errno));
    Status status = MemoryStreamOpen(bytes_.get(), false, &stream_);
    if (status == kOk) status = ArchiveLoadDirectory(stream_);
    return status == kOk ? 0 : Fail(err, path, status);
  }
  Stream* stream() const { return stream_; }

 private:
  UniqueHandle bytes_;
  Stream* stream_ = nullptr;
};

std::string TypeText(FourCC type) {
  std::string text;
  for (int shift = 24; shift >= 0; shift -= 8) {
    const char c = char(type >> shift);
    text += c >= 0x20 && c < 0x7F ? c : '?';
  }
  return text;
}

std::string EscapedName(const char* name) {
  char escaped[kEscapedNameSize];
  ArchiveNameEncode(name, escaped);
  return escaped;
}

int CollectFiles(const std::string& folder, std::vector<std::string>* names, FILE* err) {
  DIR* directory = opendir(folder.c_str());
  if (!directory) return Fail(err, folder, std::strerror(errno));
  int result = 0;
  while (const dirent* item = readdir(directory)) {
    if (item->d_name[0] == '.') continue;
    const std::string path = folder + "/" + item->d_name;
    struct stat info {};
    if (stat(path.c_str(), &info) != 0) {
      result = Fail(err, path, std::strerror(errno));
    } else if (!S_ISREG(info.st_mode)) {
      result = Fail(err, path, "not a plain file; only the files of the folder itself are packed");
    } else {
      names->push_back(item->d_name);
    }
  }
  closedir(directory);
  // Strings compare as unsigned bytes: the same order on every machine, whatever the locale.
  std::sort(names->begin(), names->end());
  return result;
}

Status AddEntry(Stream* archive, const std::string& name, MemoryHandle data) {
  EntryInfo info{};
  ArchiveNameEncode(name.c_str(), info.name);
  info.readable = info.writable = 1;
  info.type = FileTypeForName(name.c_str(), 0).type;
  Status status = ArchiveCreateEntry(archive, info);
  Stream* entry = nullptr;
  if (status == kOk) status = ArchiveOpenEntry(archive, info.name, true, false, &entry);
  if (status == kOk) status = StreamWrite(entry, uint32_t(HandleGetSize(data)), HandleData(data));
  if (entry) StreamClose(entry);
  return status;
}

}  // namespace

int PackFolder(const std::string& folder, const std::string& archivePath, uint32_t limit, FILE* out, FILE* err) {
  std::vector<std::string> names;
  if (CollectFiles(folder, &names, err) != 0) return 1;
  if (names.empty()) return Fail(err, folder, "there are no files to pack");
  if (names.size() > kArchiveMaximumCapacity) return Fail(err, folder, "more than 1000 files; an archive holds at most 1000");

  UniqueHandle bytes(HandleNew(0));
  Stream* archive = nullptr;
  if (!bytes || MemoryStreamOpen(bytes.get(), true, &archive) != kOk) return Fail(err, archivePath, kErrMemory);
  struct Closer {
    Stream* stream;
    ~Closer() { StreamClose(stream); }
  } closer{archive};

  Status status = ArchiveFormat(archive, uint32_t(names.size()));
  if (status != kOk) return Fail(err, archivePath, status);
  for (const std::string& name : names) {
    if (name.size() >= kArchiveNameSize) return Fail(err, name, "the name is longer than 63 bytes");
    UniqueHandle data;
    if (!ReadFile(folder + "/" + name, &data)) return Fail(err, folder + "/" + name, std::strerror(errno));
    if (HandleGetSize(bytes.get()) + HandleGetSize(data.get()) > limit) {
      std::fprintf(err,
                   "skyward-archive: %s: the archive would be larger than %u bytes when %s is added; "
                   "the program does not load a page archive that large. Make the pictures smaller or "
                   "leave files out.\n",
                   archivePath.c_str(), unsigned(limit), name.c_str());
      return 1;
    }
    status = AddEntry(archive, name, data.get());
    if (status != kOk) return Fail(err, name, status);
  }
  if (!WriteFile(archivePath, HandleData(bytes.get()), HandleGetSize(bytes.get()))) {
    return Fail(err, archivePath, std::strerror(errno));
  }
  std::fprintf(out, "%s: %zu entries, %zu bytes\n", archivePath.c_str(), names.size(), HandleGetSize(bytes.get()));
  return 0;
}

int ListArchive(const std::string& archivePath, FILE* out, FILE* err) {
  OpenArchive archive;
  if (archive.Open(archivePath, err) != 0) return 1;
  std::fprintf(out, "%-40s %5s %10s %10s  %s\n", "name", "flags", "offset", "size", "type");
  uint32_t used = 0;
  for (uint32_t i = 0, count = ArchiveCapacity(archive.stream()); i < count; ++i) {
    const ArchiveEntry entry = ArchiveRecord(archive.stream(), i);
    if (!entry.name[0]) continue;
    ++used;
    std::fprintf(out, "%-40s %5u %10u %10u  %s\n", EscapedName(entry.name).c_str(), unsigned(entry.flags),
                 unsigned(entry.offset), unsigned(entry.size), TypeText(entry.type).c_str());
  }
  std::fprintf(out, "%u entries in %u records\n", unsigned(used), unsigned(ArchiveCapacity(archive.stream())));
  return 0;
}

int ExtractArchive(const std::string& archivePath, const std::string& folder, const std::vector<std::string>& names,
                   FILE* out, FILE* err) {
  OpenArchive archive;
  if (archive.Open(archivePath, err) != 0) return 1;
  std::vector<std::string> wanted = names;
  if (wanted.empty()) {
    for (uint32_t i = 0, count = ArchiveCapacity(archive.stream()); i < count; ++i) {
      const ArchiveEntry entry = ArchiveRecord(archive.stream(), i);
      if (entry.name[0]) wanted.push_back(EscapedName(entry.name));
    }
  }
  if (mkdir(folder.c_str(), 0777) != 0 && errno != EEXIST) return Fail(err, folder, std::strerror(errno));
  int result = 0;
  for (const std::string& name : wanted) {
    char stored[kEscapedNameSize];
    if (ArchiveNameDecode(name.c_str(), stored) != kOk) {
      result = Fail(err, name, kErrBadName);
      continue;
    }
    const std::string fileName = EscapedName(stored);  // never holds a "/"
    if (fileName == "." || fileName == "..") {
      result = Fail(err, name, "this name cannot be a file name");
      continue;
    }
    Stream* entry = nullptr;
    Status status = ArchiveOpenEntry(archive.stream(), name.c_str(), false, false, &entry);
    UniqueHandle data;
    if (status == kOk) {
      data.reset(HandleNew(entry->length));
      status = data ? StreamRead(entry, entry->length, HandleData(data.get())) : kErrMemory;
      StreamClose(entry);
    }
    if (status != kOk) {
      result = Fail(err, name, status);
    } else if (!WriteFile(folder + "/" + fileName, HandleData(data.get()), HandleGetSize(data.get()))) {
      result = Fail(err, folder + "/" + fileName, std::strerror(errno));
    } else {
      std::fprintf(out, "%s\n", fileName.c_str());
    }
  }
  return result;
}
