// Fuzz target: path texts resolved against a mounted archive. The input is a path text up to its first
// NUL; the bytes after the NUL, when there are any, are the archive to mount, else a built-in one with
// nested archives and names that need escapes. The text is resolved from the volume's root and from a
// nested archive inside it, with and without its last component tested. A resolved path must print as
// a text that resolves again to the same path, and its parent must be the text without the last
// component; the last component passes the test exactly when the archive has that entry (looked up
// here entry by entry); and no path record, stream or volume may be left behind.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "files/archive.h"
#include "files/archive_names.h"
#include "files/memory_stream.h"
#include "files/paths.h"

namespace {

constexpr char kRoot[] = "/_Virtual_";

void Check(bool condition) {
  if (!condition) std::abort();
}

Status AddEntry(Stream* archive, const char* escaped, bool container, const char* data) {
  EntryInfo info{};
  std::strcpy(info.name, escaped);
  info.readable = info.writable = 1;
  info.container = container;
  Status status = ArchiveCreateEntry(archive, info);
  Stream* entry = nullptr;
  if (status == kOk && data) status = ArchiveOpenEntry(archive, escaped, true, false, &entry);
  if (status == kOk && data) status = StreamWrite(entry, uint32_t(std::strlen(data)), data);
  if (entry) StreamClose(entry);
  return status;
}

Status OpenNested(Stream* archive, const char* escaped, Stream** nested) {
  return ArchiveOpenEntry(archive, escaped, true, true, nested);
}

// The archive mounted when the input brings none: entries at three levels, names with "/" and "%" and
// a blank in them, and an entry that is no archive although it says so.
MemoryHandle BuiltInArchive() {
  MemoryHandle bytes = HandleNew(0);
  Stream* root = nullptr;
  Stream *inner = nullptr, *more = nullptr;
  Status status = bytes ? MemoryStreamOpen(bytes, true, &root) : kErrMemory;
  if (status == kOk) status = ArchiveFormat(root, 4);
  if (status == kOk) status = AddEntry(root, "classic.iml", false, "<INTERFACE>");
  if (status == kOk) status = AddEntry(root, "a%2Fb", false, "slash");
  if (status == kOk) status = AddEntry(root, "50%25 off.txt", false, "percent");
  if (status == kOk) status = AddEntry(root, "inner", true, nullptr);
  if (status == kOk) status = OpenNested(root, "inner", &inner);
  if (status == kOk) status = AddEntry(inner, "deep.txt", false, "deep");
  if (status == kOk) status = AddEntry(inner, "more", true, nullptr);
  if (status == kOk) status = OpenNested(inner, "more", &more);
  if (status == kOk) status = AddEntry(more, "x", false, "x");
  if (status == kOk) status = AddEntry(root, "fake", true, nullptr);
  Stream* fake = nullptr;
  if (status == kOk) status = ArchiveOpenEntry(root, "fake", true, false, &fake);
  if (status == kOk) status = StreamWriteAt(fake, 0, 4, "CHNX");
  for (Stream* stream : {fake, more, inner, root}) {
    if (stream) StreamClose(stream);
  }
  Check(status == kOk);
  return bytes;
}

std::string TextOf(const PathSpec* path) {
  char text[1 << 15];
  Check(PathToText(path, text, sizeof text) == kOk);
  return text;
}

// The components of a printed path on the volume, in escaped form.
std::vector<std::string> ComponentsOf(const std::string& text) {
  std::vector<std::string> components;
  for (size_t at = sizeof kRoot - 1; at < text.size();) {
    const size_t end = text.find('/', at + 1);
    components.push_back(text.substr(at + 1, end == std::string::npos ? std::string::npos : end - at - 1));
    at = end == std::string::npos ? text.size() : end;
  }
  return components;
}

// Whether the archive has the item that the components name: each but the last opened as a nested
// archive, the last one looked up. The root of the volume always exists.
bool ItemExists(Stream* volume, const std::vector<std::string>& components) {
  if (components.empty()) return true;
  Stream* current = volume;
  StreamRetain(current);
  bool found = true;
  for (size_t i = 0; found && i + 1 < components.size(); ++i) {
    Stream* nested = nullptr;
    found = ArchiveOpenEntry(current, components[i].c_str(), false, true, &nested) == kOk;
    StreamClose(current);
    current = nested;
  }
  if (found) {
    char name[kEscapedNameSize];
    found = ArchiveLoadDirectory(current) == kOk && ArchiveNameDecode(components.back().c_str(), name) == kOk &&
            ArchiveFindEntry(current, name, nullptr, nullptr);
  }
  if (current) StreamClose(current);
  return found;
}

void ResolveFrom(PathSpec* base, Stream* volume, const char* text) {
  PathSpec* missing = nullptr;
  const Status status = PathResolve(base, text, &missing, true);
  Check(status <= 0 && (status == kOk) == (missing != nullptr));
  PathSpec* tested = nullptr;
  const Status testedStatus = PathResolve(base, text, &tested, false);
  if (status != kOk) {
    Check(testedStatus == status);
    return;
  }
  const std::string printed = TextOf(missing);
  Check(printed.compare(0, sizeof kRoot - 1, kRoot) == 0);
  const std::vector<std::string> components = ComponentsOf(printed);
  Check((testedStatus == kOk) == ItemExists(volume, components));
  if (tested) Check(TextOf(tested) == printed);

  // The printed text leads to the same place.
  PathSpec* again = nullptr;
  Check(PathResolve(base, printed.c_str(), &again, true) == kOk && TextOf(again) == printed);
  // Its parent is the text without the last component; the volume's root has none.
  PathSpec* parent = nullptr;
  const Status up = PathResolve(missing, kLocationParent, &parent, true);
  if (components.empty()) {
    Check(up == kErrPathNotFound);
  } else {
    Check(up == kOk && TextOf(parent) == printed.substr(0, printed.size() - components.back().size() - 1));
  }
  PathDispose(parent);
  PathDispose(again);
  PathDispose(tested);
  PathDispose(missing);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > 8192) return 0;
  static MemoryHandle builtIn = BuiltInArchive();
  const char* text = reinterpret_cast<const char*>(data);
  const size_t textLength = strnlen(text, size);
  const std::string path(text, textLength);
  UniqueHandle bytes(textLength + 1 < size ? HandleNewFromData(data + textLength + 1, size - textLength - 1)
                                           : HandleDuplicate(builtIn));
  if (!bytes) return 0;

  PathSpec* volume = nullptr;
  Check(PathMountBlock(bytes.get(), false, &volume) == kOk);
  Stream* archive = volume->mounted;
  ResolveFrom(volume, archive, path.c_str());
  PathSpec* inner = nullptr;
  if (PathResolve(volume, "inner", &inner, false) == kOk) ResolveFrom(inner, archive, path.c_str());
  PathDispose(inner);
  PathDispose(volume);
  Check(!PathFirstLive() && !StreamFirstOpen() && !VolumeFirstMounted());
  return 0;
}
