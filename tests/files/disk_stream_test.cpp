// Disk streams: the read, write, extend, truncate and roll-back rules, and sharing. Run under Wine.
#include "files/disk_stream.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "tests/files/scratch_folder.h"

namespace {

class DiskStreamTest : public ::testing::Test {
 protected:
  void SetUp() override { scratch_.Put("data.bin", "0123456789"); }
  void TearDown() override { EXPECT_EQ(StreamFirstOpen(), nullptr) << "a stream was left open"; }

  std::string path() const { return scratch_ / "data.bin"; }
  ScratchFolder scratch_;
};

TEST_F(DiskStreamTest, ReadsAreAllOrNothingAndWritesExtend) {
  Stream* stream = nullptr;
  ASSERT_EQ(DiskStreamOpen(path().c_str(), true, &stream), kOk);
  char buffer[16] = {};
  ASSERT_EQ(StreamSetPosition(stream, 8), kOk);
  EXPECT_EQ(StreamRead(stream, 3, buffer), kErrPastEnd);
  EXPECT_EQ(stream->position, 8u);
  ASSERT_EQ(StreamRead(stream, 2, buffer), kOk);
  EXPECT_EQ(std::string(buffer, 2), "89");

  ASSERT_EQ(StreamWriteAt(stream, 8, 4, "abcd"), kOk);
  EXPECT_EQ(stream->length, 12u);
  ASSERT_EQ(StreamSetLength(stream, 5), kOk);
  EXPECT_EQ(stream->position, 5u);
  ASSERT_EQ(StreamSetLength(stream, 7), kOk);
  EXPECT_EQ(StreamFlush(stream), kOk);
  StreamClose(stream);
  EXPECT_EQ(scratch_.Get("data.bin"), std::string("01234\0\0", 7));
}

TEST_F(DiskStreamTest, AWriteFailingHalfWayLeavesTheOldLength) {
  // The bytes to write run into a page that cannot be read: the file is extended first, then the
  // write fails part of the way.
  SYSTEM_INFO system;
  GetSystemInfo(&system);
  auto* pages = static_cast<char*>(VirtualAlloc(nullptr, 2 * system.dwPageSize, MEM_COMMIT, PAGE_READWRITE));
  ASSERT_NE(pages, nullptr);
  DWORD old = 0;
  ASSERT_TRUE(VirtualProtect(pages + system.dwPageSize, system.dwPageSize, PAGE_NOACCESS, &old));
  char* bytes = pages + system.dwPageSize - 6;
  std::memcpy(bytes, "abcdef", 6);

  Stream* stream = nullptr;
  ASSERT_EQ(DiskStreamOpen(path().c_str(), true, &stream), kOk);
  ASSERT_EQ(StreamSetPosition(stream, 8), kOk);
  EXPECT_NE(StreamWrite(stream, 4096, bytes), kOk);
  EXPECT_EQ(stream->length, 10u);
  EXPECT_EQ(stream->position, 8u);
  WIN32_FILE_ATTRIBUTE_DATA data;
  ASSERT_TRUE(GetFileAttributesExA(path().c_str(), GetFileExInfoStandard, &data));
  EXPECT_EQ(data.nFileSizeLow, 10u);
  // The stream goes on working where it was.
  ASSERT_EQ(StreamWrite(stream, 4, "wxyz"), kOk);
  StreamClose(stream);
  VirtualFree(pages, 0, MEM_RELEASE);
  EXPECT_EQ(scratch_.Get("data.bin"), "01234567wxyz");
}

TEST_F(DiskStreamTest, OpensAreSharedAndReopenedForWriting) {
  Stream* reader = nullptr;
  ASSERT_EQ(DiskStreamOpen(path().c_str(), false, &reader), kOk);
  EXPECT_EQ(StreamWrite(reader, 1, "x"), kErrNotPermitted);
  // Others may read, not write, while it is open.
  EXPECT_EQ(CreateFileA(path().c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0,
                        nullptr),
            INVALID_HANDLE_VALUE);
  std::string otherCase = path();
  for (char& c : otherCase) c = char(std::toupper(static_cast<unsigned char>(c)));
  Stream* writer = nullptr;
  ASSERT_EQ(DiskStreamOpen(otherCase.c_str(), true, &writer), kOk);
  EXPECT_EQ(writer, reader);
  ASSERT_EQ(StreamWriteAt(writer, 0, 1, "X"), kOk);
  StreamClose(writer);
  StreamClose(reader);
  EXPECT_EQ(scratch_.Get("data.bin"), "X123456789");

  // While someone else keeps writers out, the stream cannot be reopened for writing; the shared
  // reader stays usable.
  HANDLE guard = CreateFileA(path().c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(guard, INVALID_HANDLE_VALUE);
  ASSERT_EQ(DiskStreamOpen(path().c_str(), false, &reader), kOk);
  EXPECT_EQ(DiskStreamOpen(path().c_str(), true, &writer), kErrBusy);
  CloseHandle(guard);
  char byte = 0;
  EXPECT_EQ(StreamReadAt(reader, 9, 1, &byte), kOk);
  EXPECT_EQ(byte, '9');
  StreamClose(reader);

  EXPECT_EQ(DiskStreamOpen((scratch_ / "absent").c_str(), false, &reader), kErrFileNotFound);
  EXPECT_EQ(DiskStreamOpen((scratch_ / "absent\\x").c_str(), false, &reader), kErrPathNotFound);
  EXPECT_EQ(DiskStreamOpen(scratch_.path().c_str(), false, &reader), kErrNotPermitted);
}

}  // namespace
