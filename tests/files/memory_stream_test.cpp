#include "files/memory_stream.h"

#include <gtest/gtest.h>

#include <string>

#include "files/archive.h"
#include "files/archive_mount.h"

namespace {

std::string Contents(MemoryHandle handle) {
  return std::string(reinterpret_cast<const char*>(HandleData(handle)), HandleGetSize(handle));
}

class MemoryStreamTest : public ::testing::Test {
 protected:
  void TearDown() override { EXPECT_EQ(StreamFirstOpen(), nullptr) << "a stream was left open"; }
};

TEST_F(MemoryStreamTest, OneStreamPerHandleWithReadsAllOrNothing) {
  UniqueHandle handle(HandleNewFromData("0123456789", 10));
  Stream* stream = nullptr;
  Stream* again = nullptr;
  ASSERT_EQ(MemoryStreamOpen(handle.get(), false, &stream), kOk);
  ASSERT_EQ(MemoryStreamOpen(handle.get(), true, &again), kOk);
  EXPECT_EQ(again, stream);
  StreamClose(again);
  EXPECT_FALSE(stream->writable) << "a shared stream keeps its first flag";
  char buffer[8] = "xxxxxxx";
  ASSERT_EQ(StreamSetPosition(stream, 6), kOk);
  EXPECT_EQ(StreamRead(stream, 5, buffer), kErrPastEnd);
  EXPECT_EQ(std::string(buffer), "xxxxxxx");
  EXPECT_EQ(stream->position, 6u);
  ASSERT_EQ(StreamRead(stream, 4, buffer), kOk);
  EXPECT_EQ(std::string(buffer, 4), "6789");
  EXPECT_EQ(StreamSetPosition(stream, 11), kErrPastEnd) << "no position past the end";
  EXPECT_EQ(StreamWrite(stream, 1, "x"), kErrNotPermitted);
  EXPECT_EQ(StreamSetLength(stream, 2), kErrNotPermitted);
  StreamClose(stream);
  EXPECT_EQ(Contents(handle.get()), "0123456789") << "the handle outlives its stream";
}

TEST_F(MemoryStreamTest, WritesAndLengthChangesResizeTheHandle) {
  UniqueHandle handle(HandleNew(0));
  Stream* stream = nullptr;
  ASSERT_EQ(MemoryStreamOpen(handle.get(), true, &stream), kOk);
  ASSERT_EQ(StreamWrite(stream, 5, "hello"), kOk);
  ASSERT_EQ(StreamWriteAt(stream, 3, 4, "p me"), kOk);
  EXPECT_EQ(Contents(handle.get()), "help me");
  ASSERT_EQ(StreamSetLength(stream, 4), kOk);
  EXPECT_EQ(stream->position, 4u) << "the position follows a shorter length";
  ASSERT_EQ(StreamSetLength(stream, 6), kOk);
  EXPECT_EQ(Contents(handle.get()), std::string("help\0\0", 6)) << "a longer length adds zeros";
  {
    HandleLockScope locked(handle.get());
    EXPECT_EQ(StreamWriteAt(stream, 6, 1, "x"), kErrState) << "a locked handle cannot grow";
    ASSERT_EQ(StreamWriteAt(stream, 0, 1, "H"), kOk) << "but can be written inside";
  }
  // The owner may resize the handle: the stream follows.
  ASSERT_EQ(StreamSetPosition(stream, 5), kOk);
  ASSERT_EQ(HandleSetSize(handle.get(), 2), kOk);
  char buffer[4];
  EXPECT_EQ(StreamRead(stream, 1, buffer), kErrPastEnd);
  ASSERT_EQ(StreamWrite(stream, 1, "!"), kOk);
  EXPECT_EQ(Contents(handle.get()), std::string("He\0\0\0!", 6)) << "the gap is zeroed";
  StreamClose(stream);
}

TEST_F(MemoryStreamTest, MountedVolumesAreNumberedAndCheckedOnFirstAccess) {
  UniqueHandle empty(HandleNew(0)), damaged(HandleNewFromData("not an archive at all", 21)), other(HandleNew(0));
  Volume* first = nullptr;
  Volume* second = nullptr;
  ASSERT_EQ(ArchiveMountBlock(empty.get(), true, &first), kOk);
  EXPECT_TRUE(ArchiveIsValidBlock(empty.get()));
  EXPECT_EQ(Contents(empty.get()).size(), 820u) << "an empty handle gets an archive of 10 records";
  ASSERT_EQ(ArchiveMountBlock(damaged.get(), true, &second), kOk);
  EXPECT_EQ(VolumeFindMounted(2), second);
  Stream* archive = nullptr;
  EXPECT_EQ(VolumeGetArchive(second, &archive), kErrDamagedArchive);
  ASSERT_EQ(VolumeUnmount(first), kOk);
  EXPECT_EQ(VolumeUnmount(first), kErrNoVolume);
  ASSERT_EQ(ArchiveMountBlock(other.get(), true, &first), kOk);
  EXPECT_EQ(first->number, 1u) << "the lowest free number";
  ASSERT_EQ(VolumeGetArchive(first, &archive), kOk);
  EXPECT_EQ(ArchiveCapacity(archive), 10u);
  for (Volume* volume : {first, second}) ASSERT_EQ(VolumeUnmount(volume), kOk);
  EXPECT_EQ(VolumeFirstMounted(), nullptr);
  EXPECT_EQ(Contents(empty.get()).size(), 820u) << "the handle stays with its owner";

  UniqueHandle readOnly(HandleNew(0));
  EXPECT_EQ(ArchiveMountBlock(readOnly.get(), false, &first), kErrNotPermitted) << "cannot format read-only";
  EXPECT_EQ(VolumeFirstMounted(), nullptr);
}

}  // namespace
