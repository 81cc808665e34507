// Fuzz target: chunk archives from any bytes. The input is mounted as a volume and, when it is a valid
// archive, also written into a container entry of a fresh archive and opened there, so that nested
// archives are reached from every input. In each place every record is listed and every entry read
// (nested archives a few levels down) and compared with the bytes its record points at; then entries
// are created, written, grown, shrunk, renamed and deleted as the input's last bytes choose. After each
// change of an archive whose blocks do not overlap, its bytes must load again to the same header and
// directory, and every entry must hold what was written to it. No stream may stay open at the end.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "files/archive.h"
#include "files/archive_mount.h"
#include "files/archive_names.h"
#include "files/memory_stream.h"

namespace {

using Bytes = std::string;
using Model = std::map<std::string, Bytes>;  // decoded name -> the entry's data

constexpr int kDeepest = 3;         // nested archives explored below the top
constexpr int kChangesPerArchive = 4;

void Check(bool condition) {
  if (!condition) std::abort();
}

// The input's last bytes, taken round and round, choose the changes.
class Choices {
 public:
  Choices(const uint8_t* data, size_t size) : data_(data + (size > 16 ? size - 16 : 0)), size_(size < 16 ? size : 16) {}
  uint32_t Next(uint32_t bound) {
    if (!size_ || !bound) return 0;
    const uint32_t value = data_[at_ % size_] + 7u * uint32_t(at_ / size_);  // another value each round
    ++at_;
    return value % bound;
  }
  // A data size: mostly small, sometimes more than one 32768-byte copy piece.
  uint32_t Size() { return Next(8) == 0 ? 33000 + Next(8000) : Next(300); }

 private:
  const uint8_t* data_;
  size_t size_;
  size_t at_ = 0;
};

// The format read here, apart from the archive code, from bytes that passed its validity test.
uint32_t Big32(const Bytes& bytes, uint64_t at) {
  const auto* b = reinterpret_cast<const uint8_t*>(bytes.data()) + at;
  return uint32_t(b[0]) << 24 | uint32_t(b[1]) << 16 | uint32_t(b[2]) << 8 | b[3];
}

struct Layout {
  uint32_t headerSize, directoryOffset, recordSize, count;
};

Layout LayoutOf(const Bytes& bytes) { return {Big32(bytes, 4), Big32(bytes, 8), Big32(bytes, 12), Big32(bytes, 16)}; }

struct Raw {
  Bytes name;  // up to its NUL
  bool terminated;
  uint32_t flags, offset, size;
};

Raw RecordAt(const Bytes& bytes, const Layout& layout, uint32_t index) {
  const uint64_t at = layout.directoryOffset + uint64_t(index) * layout.recordSize;
  const char* name = bytes.data() + at;
  const size_t length = strnlen(name, 64);
  return {Bytes(name, length), length < 64, Big32(bytes, at + 64), Big32(bytes, at + 68), Big32(bytes, at + 72)};
}

bool Inside(const Raw& raw, size_t length) {
  return (raw.offset != 0 || raw.size == 0) && uint64_t(raw.offset) + raw.size <= length;
}

Bytes Escaped(const std::string& name) {
  char escaped[kEscapedNameSize];
  ArchiveNameEncode(name.c_str(), escaped);
  return escaped;
}

Bytes StreamBytes(Stream* stream) {
  uint32_t length = 0;
  Check(StreamGetLength(stream, &length) == kOk);
  Bytes bytes(length, '\0');
  Check(StreamKeepingPosition(stream, [&] { return StreamReadAt(stream, 0, length, bytes.data()); }) == kOk);
  return bytes;
}

// The whole data of an entry, or the status that refused it.
Status ReadEntry(Stream* archive, const std::string& name, Bytes* data) {
  Stream* entry = nullptr;
  const Status status = ArchiveOpenEntry(archive, Escaped(name).c_str(), false, false, &entry);
  if (status != kOk) return status;
  data->assign(entry->length, '\0');
  Check(StreamRead(entry, entry->length, data->data()) == kOk);
  char beyond = 0;
  Check(StreamRead(entry, 1, &beyond) == kErrPastEnd);
  StreamClose(entry);
  return kOk;
}

void Explore(Stream* archive, int depth);

// One used record: opened by its name and read, compared with the bytes its record points at.
void ExploreEntry(Stream* archive, const Bytes& bytes, const Layout& layout, const ArchiveEntry& record, int depth) {
  const Bytes escaped = Escaped(record.name);
  char decoded[kEscapedNameSize];
  Check(ArchiveNameDecode(escaped.c_str(), decoded) == kOk);
  uint32_t index = 0;
  Bytes data;
  const Status status = ReadEntry(archive, record.name, &data);
  if (!ArchiveFindEntry(archive, decoded, &index, nullptr)) {  // a name the escaped form cannot reach
    Check(status == kErrFileNotFound);
    return;
  }
  const Raw raw = RecordAt(bytes, layout, index);  // the first record of that name
  if (!(raw.flags & kEntryReadable)) {
    Check(status == kErrNotPermitted);
    return;
  }
  if (!Inside(raw, bytes.size())) {
    Check(status == kErrDamagedArchive);
    return;
  }
  Check(status == kOk && data == bytes.substr(raw.offset, raw.size));

  EntryInfo info{};
  const Status described = ArchiveGetEntryInfo(archive, escaped.c_str(), &info);
  if (!(raw.flags & kEntryContainer)) {
    Check(described == kOk && info.countOrSize == raw.size && !info.isArchive);
    return;
  }
  Stream* nested = nullptr;
  const Status opened = ArchiveOpenEntry(archive, escaped.c_str(), false, true, &nested);
  Check((opened == kOk) == (described == kOk) || opened == kErrMemory || described == kErrMemory);
  if (opened != kOk) return;
  if (depth < kDeepest) Explore(nested, depth + 1);
  StreamClose(nested);
}

// Every record as the archive code lists it and as the bytes hold it, and every entry read.
void Explore(Stream* archive, int depth) {
  const Bytes bytes = StreamBytes(archive);
  uint32_t count = 0;
  const bool valid = ArchiveIsValidStream(archive, &count);
  const Status loaded = ArchiveLoadDirectory(archive);
  Check(valid == (loaded == kOk) || loaded == kErrMemory);
  if (loaded != kOk) return;
  const Layout layout = LayoutOf(bytes);
  Check(ArchiveCapacity(archive) == layout.count && count == layout.count);
  for (uint32_t i = 0; i < layout.count; ++i) {
    const Raw raw = RecordAt(bytes, layout, i);
    const ArchiveEntry record = ArchiveRecord(archive, i);
    Check(raw.name.substr(0, 63) == record.name && raw.flags == record.flags && raw.offset == record.offset &&
          raw.size == record.size);
    if (record.name[0]) ExploreEntry(archive, bytes, layout, record, depth);
  }
}

// An archive in which a change of one entry must leave everything else alone: its blocks (header block,
// directory, the data of each entry) lie inside it without overlapping; every entry is readable, found
// by its own name, and has no offset when it is empty, as this code writes them. Records may be larger
// than 80 bytes, but a directory of records of more than 4096 would grow past what the archive allows.
// Fills the model and the names of entries that are not writable.
bool IsSound(Stream* archive, Model* model, std::set<std::string>* readOnly) {
  model->clear();
  readOnly->clear();
  const Bytes bytes = StreamBytes(archive);
  const Layout layout = LayoutOf(bytes);
  std::vector<std::pair<uint64_t, uint64_t>> blocks = {{0, layout.headerSize}};
  blocks.emplace_back(layout.directoryOffset, layout.directoryOffset + uint64_t(layout.recordSize) * layout.count);
  bool sound = layout.recordSize <= 4096;
  for (uint32_t i = 0; sound && i < layout.count; ++i) {
    const Raw raw = RecordAt(bytes, layout, i);
    if (raw.name.empty()) continue;
    char decoded[kEscapedNameSize];
    sound = raw.terminated && (raw.flags & kEntryReadable) && Inside(raw, bytes.size()) &&
            (raw.size != 0 || raw.offset == 0) && !model->count(raw.name) &&
            ArchiveNameDecode(Escaped(raw.name).c_str(), decoded) == kOk && raw.name == decoded;
    if (!sound) break;
    (*model)[raw.name] = bytes.substr(raw.offset, raw.size);
    if (!(raw.flags & kEntryWritable)) readOnly->insert(raw.name);
    if (raw.size) blocks.emplace_back(raw.offset, uint64_t(raw.offset) + raw.size);
  }
  std::sort(blocks.begin(), blocks.end());
  for (size_t i = 1; sound && i < blocks.size(); ++i) {
    sound = blocks[i].first >= blocks[i - 1].second || blocks[i].first == blocks[i].second;
  }
  if (!sound) {
    model->clear();
    readOnly->clear();
  }
  return sound;
}

// The archive's bytes load afresh to the header and directory it holds, and its entries are the model's.
void CheckAgainstModel(Stream* archive, const Model& model, bool onlyThese) {
  UniqueHandle copy;
  {
    const Bytes bytes = StreamBytes(archive);
    copy.reset(HandleNewFromData(bytes.data(), bytes.size()));
  }
  Check(copy && ArchiveIsValidBlock(copy.get()));
  Stream* reloaded = nullptr;
  Check(MemoryStreamOpen(copy.get(), false, &reloaded) == kOk && ArchiveLoadDirectory(reloaded) == kOk);
  auto same = [](MemoryHandle a, MemoryHandle b) {
    return HandleGetSize(a) == HandleGetSize(b) && std::memcmp(HandleData(a), HandleData(b), HandleGetSize(a)) == 0;
  };
  Check(same(reloaded->header, archive->header) && same(reloaded->directory, archive->directory));
  size_t used = 0;
  for (uint32_t i = 0; i < ArchiveCapacity(reloaded); ++i) used += ArchiveRecord(reloaded, i).name[0] != 0;
  Check(!onlyThese || used == model.size());
  for (const auto& [name, expected] : model) {
    Bytes data;
    Check(ReadEntry(reloaded, name, &data) == kOk && data == expected);
  }
  StreamClose(reloaded);
}

Status CreateEntry(Stream* archive, const std::string& name, bool container, uint32_t capacity) {
  EntryInfo info{};
  std::strcpy(info.name, Escaped(name).c_str());
  info.readable = info.writable = 1;
  info.container = container;
  info.countOrSize = capacity;
  info.type = MakeFourCC(container ? "CHNK" : "TEXT");
  return ArchiveCreateEntry(archive, info);
}

// Opens the entry for writing and runs the change on its stream.
template <class Change>
Status WithEntry(Stream* archive, const std::string& name, Change change) {
  Stream* entry = nullptr;
  Status status = ArchiveOpenEntry(archive, Escaped(name).c_str(), true, false, &entry);
  if (status != kOk) return status;
  status = change(entry);
  StreamClose(entry);
  return status;
}

Bytes Filler(uint32_t size, uint32_t seed) {
  Bytes data(size, '\0');
  for (uint32_t i = 0; i < size; ++i) data[i] = char(i * 131 + seed + i / 251);
  return data;
}

// A few changes chosen by the input. In a sound archive each must succeed and the model follows it;
// otherwise they run only to show that nothing breaks.
void Change(Stream* archive, Choices& choices) {
  if (ArchiveLoadDirectory(archive) != kOk || !archive->writable) return;
  Model model;
  std::set<std::string> readOnly;  // entries without the writable flag
  const bool sound = IsSound(archive, &model, &readOnly);
  for (int step = 0; step < kChangesPerArchive; ++step) {
    // A name that exists when there is one, or a new one.
    std::string name = "new" + std::to_string(choices.Next(4));
    if (sound && !model.empty() && choices.Next(4)) {
      auto it = model.begin();
      std::advance(it, choices.Next(uint32_t(model.size())));
      name = it->first;
    } else if (!sound && ArchiveCapacity(archive)) {
      const ArchiveEntry record = ArchiveRecord(archive, choices.Next(ArchiveCapacity(archive)));
      if (record.name[0]) name = record.name;
    }
    const bool exists = model.count(name) != 0;
    const bool writable = exists && !readOnly.count(name);
    Bytes data = exists ? model[name] : Bytes();
    const uint32_t size = choices.Size();
    Status status = kOk;
    Status expected = kOk;
    switch (choices.Next(6)) {
      case 0: {  // create and write
        const Bytes written = Filler(size, step);
        status = CreateEntry(archive, name, false, 0);
        if (status == kOk) status = WithEntry(archive, name, [&](Stream* e) {
          return StreamWriteAt(e, 0, size, written.data());
        });
        if (exists) {
          expected = kErrExists;
        } else {
          model[name] = written;
        }
        break;
      }
      case 1:    // grow: an entry with data behind it moves to the end
      case 2: {  // overwrite a part, perhaps past the end
        const uint32_t length = uint32_t(data.size());
        const uint32_t at = choices.Next(2) ? length : choices.Next(length + 1);
        const Bytes written = Filler(size, step + 50);
        status = WithEntry(archive, name, [&](Stream* e) { return StreamWriteAt(e, at, size, written.data()); });
        if (!writable) {
          expected = exists ? kErrNotPermitted : kErrFileNotFound;
        } else {
          if (data.size() < at + size) data.resize(at + size);
          data.replace(at, size, written);
          model[name] = data;
        }
        break;
      }
      case 3: {  // shrink or extend with zeros
        const uint32_t length = exists ? choices.Next(uint32_t(data.size()) + 1) : 0;
        status = WithEntry(archive, name, [&](Stream* e) { return StreamSetLength(e, length); });
        if (!writable) {
          expected = exists ? kErrNotPermitted : kErrFileNotFound;
        } else {
          data.resize(length);
          model[name] = data;
        }
        break;
      }
      case 4:
        status = ArchiveDeleteEntry(archive, Escaped(name).c_str());
        if (!exists) {
          expected = kErrFileNotFound;
        } else {
          model.erase(name);
          readOnly.erase(name);
        }
        break;
      case 5: {  // rename, or make a nested archive and write into it
        if (exists) {
          EntryInfo info{};
          std::strcpy(info.name, ("renamed" + std::to_string(step)).c_str());
          info.readable = info.writable = 1;
          status = ArchiveSetEntryInfo(archive, Escaped(name).c_str(), info);
          if (name != info.name && model.count(info.name)) {
            expected = kErrExists;
          } else {  // the same name may stay; the entry is writable now
            model.erase(name);
            readOnly.erase(name);
            model[info.name] = data;
          }
          break;
        }
        status = CreateEntry(archive, name, true, choices.Next(12));
        Stream* nested = nullptr;
        if (status == kOk) status = ArchiveOpenEntry(archive, Escaped(name).c_str(), true, true, &nested);
        if (status == kOk) status = CreateEntry(nested, "inside", false, 0);
        const Bytes written = Filler(size, step + 90);
        if (status == kOk) status = WithEntry(nested, "inside", [&](Stream* e) {
          return StreamWriteAt(e, 0, size, written.data());
        });
        if (status == kOk && sound) {
          CheckAgainstModel(nested, Model{{"inside", written}}, true);
          model[name] = StreamBytes(nested);
        }
        if (nested) StreamClose(nested);
        break;
      }
    }
    if (!sound) continue;
    Check(status == expected);
    CheckAgainstModel(archive, model, true);
  }
}

// The input nested in a container entry of a fresh archive, between two entries that must not change.
void ExploreNested(const uint8_t* data, size_t size, Choices& choices) {
  UniqueHandle outerBytes(HandleNew(0));
  Stream* outer = nullptr;
  Check(outerBytes && MemoryStreamOpen(outerBytes.get(), true, &outer) == kOk);
  Check(ArchiveFormat(outer, 3) == kOk);
  const Bytes before = Filler(100, 1), after = Filler(200, 2);
  Check(CreateEntry(outer, "before", false, 0) == kOk && CreateEntry(outer, "inner", true, 1) == kOk &&
        CreateEntry(outer, "after", false, 0) == kOk);
  Check(WithEntry(outer, "before", [&](Stream* e) { return StreamWrite(e, 100, before.data()); }) == kOk);
  Check(WithEntry(outer, "inner", [&](Stream* e) {
          Status status = StreamSetLength(e, uint32_t(size));
          return status == kOk ? StreamWriteAt(e, 0, uint32_t(size), data) : status;
        }) == kOk);
  Check(WithEntry(outer, "after", [&](Stream* e) { return StreamWrite(e, 200, after.data()); }) == kOk);

  Stream* inner = nullptr;
  Check(ArchiveOpenEntry(outer, "inner", true, true, &inner) == kOk);
  Explore(inner, 1);
  Change(inner, choices);
  StreamClose(inner);
  CheckAgainstModel(outer, Model{{"before", before}, {"after", after}}, false);
  StreamClose(outer);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > (1u << 20)) return 0;
  UniqueHandle bytes(HandleNewFromData(data, size));
  if (!bytes) return 0;
  Choices choices(data, size);
  const bool valid = ArchiveIsValidBlock(bytes.get());

  Volume* volume = nullptr;
  Check(ArchiveMountBlock(bytes.get(), true, &volume) == kOk);
  Stream* archive = nullptr;
  const Status status = VolumeGetArchive(volume, &archive);
  Check((status == kOk) == (valid || size == 0) || status == kErrMemory);
  if (status == kOk) {
    Explore(archive, 0);
    Change(archive, choices);
  }
  Check(VolumeUnmount(volume) == kOk);
  Check(StreamFirstOpen() == nullptr);

  if (valid) ExploreNested(data, size, choices);
  Check(StreamFirstOpen() == nullptr);
  return 0;
}
