#include "app/archive_listing.h"

#include <windows.h>

#include "files/archive.h"
#include "files/archive_names.h"
#include "runtime/format.h"
#include "runtime/text.h"

namespace {

void WriteLine(const char* line) {
  HANDLE output = GetStdHandle(STD_OUTPUT_HANDLE);
  DWORD written = 0;
  if (output == nullptr || output == INVALID_HANDLE_VALUE ||
      !WriteFile(output, line, DWORD(TextLength(line)), &written, nullptr)) {
    OutputDebugStringA(line);
  }
}

}  // namespace

Status ListPageArchive(Volume* volume) {
  Stream* archive = nullptr;
  const Status status = VolumeGetArchive(volume, &archive);
  if (status != kOk) return status;
  char line[512];
  uint32_t used = 0;
  const uint32_t capacity = ArchiveCapacity(archive);
  for (uint32_t i = 0; i < capacity; ++i) {
    const ArchiveEntry entry = ArchiveRecord(archive, i);
    if (!entry.name[0]) continue;
    ++used;
    char name[kEscapedNameSize];
    ArchiveNameEncode(entry.name, name);
    const char type[5] = {char(entry.type >> 24), char(entry.type >> 16), char(entry.type >> 8), char(entry.type), 0};
    FormatText(line, sizeof line, "%s  flags %lu  offset %lu  size %lu  type %s\r\n", name, entry.flags,
               entry.offset, entry.size, type);
    WriteLine(line);
  }
  FormatText(line, sizeof line, "%lu entries in the page archive of volume %lu\r\n", used, volume->number);
  WriteLine(line);
  return kOk;
}
