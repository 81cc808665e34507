// Checks shared by the archive tests.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "files/archive.h"
#include "files/memory_stream.h"

// The whole contents of a stream; its position is kept.
inline UniqueHandle StreamContents(Stream* stream) {
  uint32_t length = 0;
  EXPECT_EQ(StreamGetLength(stream, &length), kOk);
  UniqueHandle contents(HandleNew(length));
  EXPECT_EQ(StreamKeepingPosition(stream, [&] { return StreamReadAt(stream, 0, length, HandleData(contents.get())); }),
            kOk);
  return contents;
}

// Loads a copy of an open archive's bytes afresh and compares it with what the archive holds in memory:
// both must agree, and every entry must lie inside the archive.
inline ::testing::AssertionResult ReloadsTheSame(Stream* archive) {
  if (ArchiveLoadDirectory(archive) != kOk) return ::testing::AssertionFailure() << "the archive does not load";
  UniqueHandle copy = StreamContents(archive);
  if (!ArchiveIsValidBlock(copy.get())) return ::testing::AssertionFailure() << "the bytes are no valid archive";
  Stream* reloaded = nullptr;
  if (MemoryStreamOpen(copy.get(), false, &reloaded) != kOk || ArchiveLoadDirectory(reloaded) != kOk) {
    if (reloaded) StreamClose(reloaded);
    return ::testing::AssertionFailure() << "the bytes do not load";
  }
  auto bytes = [](MemoryHandle handle) {
    return std::string(reinterpret_cast<const char*>(HandleData(handle)), HandleGetSize(handle));
  };
  ::testing::AssertionResult result = ::testing::AssertionSuccess();
  if (bytes(reloaded->header) != bytes(archive->header)) result = ::testing::AssertionFailure() << "header differs";
  if (bytes(reloaded->directory) != bytes(archive->directory)) {
    result = ::testing::AssertionFailure() << "directory differs";
  }
  for (uint32_t i = 0; i < ArchiveCapacity(reloaded); ++i) {
    const ArchiveEntry entry = ArchiveRecord(reloaded, i);
    if (entry.name[0] && uint64_t(entry.offset) + entry.size > HandleGetSize(copy.get())) {
      result = ::testing::AssertionFailure() << entry.name << " lies outside the archive";
    }
  }
  StreamClose(reloaded);
  return result;
}
