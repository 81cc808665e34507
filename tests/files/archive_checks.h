// The validity check the archive tests make after their operations.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "files/archive.h"
#include "files/memory_stream.h"

// Loads a copy of an open archive's bytes afresh and compares it with what the archive holds in memory:
// both must agree, and every entry must lie inside the archive. The archive's position is kept.
inline ::testing::AssertionResult ReloadsTheSame(Stream* archive) {
  using ::testing::AssertionFailure;
  uint32_t length = 0;
  if (ArchiveLoadDirectory(archive) != kOk || StreamGetLength(archive, &length) != kOk) {
    return AssertionFailure() << "the archive does not load";
  }
  UniqueHandle copy(HandleNew(length));
  Stream* reloaded = nullptr;
  if (StreamKeepingPosition(archive, [&] { return StreamReadAt(archive, 0, length, HandleData(copy.get())); }) != kOk ||
      !ArchiveIsValidBlock(copy.get()) || MemoryStreamOpen(copy.get(), false, &reloaded) != kOk ||
      ArchiveLoadDirectory(reloaded) != kOk) {
    if (reloaded) StreamClose(reloaded);
    return AssertionFailure() << "its bytes are no valid archive";
  }
  auto bytes = [](MemoryHandle handle) {
    return std::string(reinterpret_cast<const char*>(HandleData(handle)), HandleGetSize(handle));
  };
  ::testing::AssertionResult result = ::testing::AssertionSuccess();
  if (bytes(reloaded->header) != bytes(archive->header)) result = AssertionFailure() << "header differs";
  if (bytes(reloaded->directory) != bytes(archive->directory)) result = AssertionFailure() << "directory differs";
  for (uint32_t i = 0; i < ArchiveCapacity(reloaded); ++i) {
    const ArchiveEntry entry = ArchiveRecord(reloaded, i);
    if (entry.name[0] && uint64_t(entry.offset) + entry.size > length) {
      result = AssertionFailure() << entry.name << " lies outside the archive";
    }
  }
  StreamClose(reloaded);
  return result;
}
