#include "runtime/memory.h"
#include "runtime/growing_handle.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

std::string Contents(MemoryHandle handle) {
  return std::string(reinterpret_cast<const char*>(HandleData(handle)), HandleGetSize(handle));
}

UniqueHandle MakeHandle(const std::string& text) {
  return UniqueHandle(HandleNewFromData(text.data(), text.size()));
}

TEST(Handles, LockedHandleRefusesEveryChangeAndTheScopeRestoresTheLock) {
  UniqueHandle handle = MakeHandle("abcdef");
  {
    HandleLockScope outer(handle.get());
    { HandleLockScope inner(handle.get()); }  // leaves the outer lock in place
    EXPECT_EQ(HandleSetSize(handle.get(), 100), kErrState);
    EXPECT_EQ(HandleAppendData(handle.get(), "x", 1), kErrState);
    EXPECT_EQ(HandleInsertData(handle.get(), "x", 1), kErrState);
    EXPECT_EQ(HandleSetData(handle.get(), "x", 1), kErrState);
    EXPECT_EQ(HandleReplaceRange(handle.get(), 0, 1, "xy", 2), kErrState);
    EXPECT_EQ(Contents(handle.get()), "abcdef");
  }
  EXPECT_FALSE(HandleIsLocked(handle.get()));
  ASSERT_EQ(HandleSetSize(handle.get(), 100000), kOk);
  EXPECT_EQ(std::memcmp(HandleData(handle.get()), "abcdef", 6), 0);
  ASSERT_EQ(HandleSetSize(handle.get(), 2), kOk);
  EXPECT_EQ(Contents(handle.get()), "ab");
}

TEST(Handles, ReplaceInsertAppendAndCopy) {
  UniqueHandle handle = MakeHandle("0123456789");
  EXPECT_EQ(HandleReplaceRange(handle.get(), 2, 3, "abcdef", 6), kOk);  // grow
  EXPECT_EQ(Contents(handle.get()), "01abcdef56789");
  EXPECT_EQ(HandleReplaceRange(handle.get(), 2, 6, "Z", 1), kOk);  // shrink
  EXPECT_EQ(Contents(handle.get()), "01Z56789");
  EXPECT_EQ(HandleReplaceRange(handle.get(), 8, 0, "!", 1), kOk);  // at the very end
  EXPECT_EQ(HandleReplaceRange(handle.get(), 8, 2, "x", 1), kErrState);
  EXPECT_EQ(HandleReplaceRange(handle.get(), 10, 0, "x", 1), kErrState);
  EXPECT_EQ(HandleReplaceRange(handle.get(), 1, SIZE_MAX, "x", 1), kErrState);  // no wrap-around
  EXPECT_EQ(HandleInsertData(handle.get(), "<", 1), kOk);
  EXPECT_EQ(Contents(handle.get()), "<01Z56789!");

  UniqueHandle copy(HandleDuplicate(handle.get()));
  ASSERT_TRUE(copy);
  EXPECT_EQ(HandleAppendHandle(copy.get(), handle.get()), kOk);
  EXPECT_EQ(Contents(copy.get()), "<01Z56789!<01Z56789!");
  EXPECT_EQ(HandleCopy(handle.get(), copy.get()), kOk);
  EXPECT_EQ(Contents(handle.get()), Contents(copy.get()));
}

TEST(Handles, OwnBytesSurviveTheResizeThatMovesThem) {
  UniqueHandle handle = MakeHandle("abc");
  for (int i = 0; i < 12; ++i) ASSERT_EQ(HandleAppendHandle(handle.get(), handle.get()), kOk);
  ASSERT_EQ(HandleGetSize(handle.get()), 3u << 12);
  for (size_t i = 0; i < HandleGetSize(handle.get()); ++i) ASSERT_EQ(HandleData(handle.get())[i], "abc"[i % 3]);

  UniqueHandle text = MakeHandle("0123456789");
  ASSERT_EQ(HandleSetData(text.get(), HandleData(text.get()) + 5, 5), kOk);
  ASSERT_EQ(HandleInsertData(text.get(), HandleData(text.get()), 5), kOk);
  EXPECT_EQ(Contents(text.get()), "5678956789");
}

// Built piece by piece after what the handle held: every byte kept through the growth, records
// reached as the last written, and the handle cut to what was written at the end.
TEST(Handles, AGrowingHandleKeepsEveryPieceAndIsCutToThemAtTheEnd) {
  UniqueHandle handle(HandleNew(0));
  ASSERT_EQ(HandleSetData(handle.get(), "head:", 5), kOk);
  std::string expected = "head:";
  {
    GrowingHandle growing(handle.get());
    EXPECT_EQ(growing.Used(), 5u);
    for (int i = 0; i < 3000; ++i) {
      const std::string piece = std::to_string(i) + (i % 7 ? "," : ";\n");
      if (i % 2) {
        ASSERT_EQ(growing.Append(piece.data(), piece.size()), kOk);
      } else {
        char* room = growing.Room(piece.size() + 10);  // more room than is used
        ASSERT_NE(room, nullptr);
        std::memcpy(room, piece.data(), piece.size());
        growing.Advance(piece.size());
      }
      expected += piece;
      ASSERT_GE(HandleGetSize(handle.get()), growing.Used());
    }
    EXPECT_EQ(growing.Used(), expected.size());
    const uint32_t record = 0xA1B2C3D4;
    ASSERT_EQ(growing.Append(&record, sizeof record), kOk);
    growing.Last<uint32_t>() += 1;
    ASSERT_EQ(growing.Finish(), kOk);
    expected.append(reinterpret_cast<const char*>(&record), sizeof record);
    expected[expected.size() - 4] = char(0xD5);  // the low byte, first in memory
  }
  ASSERT_EQ(HandleGetSize(handle.get()), expected.size());
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(HandleData(handle.get())), expected.size()), expected);
}

TEST(HandleTable, The257thLiveHandleMakesASecondBlock) {
  UniqueHandle anchor(HandleNew(1));  // makes sure there is a first block to fill
  const HandleTableInfo before = HandleTableGetInfo();
  std::vector<UniqueHandle> handles;
  // Fill every free record of the existing blocks; no block may be added for them.
  for (uint32_t i = before.live; i < before.records; ++i) handles.emplace_back(HandleNew(1));
  EXPECT_EQ(HandleTableGetInfo().blocks, before.blocks);

  handles.emplace_back(HandleNew(1));
  ASSERT_TRUE(handles.back());
  const HandleTableInfo grown = HandleTableGetInfo();
  EXPECT_EQ(grown.blocks, before.blocks + 1);
  EXPECT_EQ(grown.records, before.records + kRecordsPerMasterBlock);
  for (size_t i = 0; i + 1 < handles.size(); ++i) ASSERT_NE(handles[i]->block, handles.back()->block);

  // A freed record is reused before anything new is made.
  MasterRecord* freed = handles.back().get();
  handles.back().reset();
  handles.back().reset(HandleNew(1));
  EXPECT_EQ(handles.back().get(), freed);
}

TEST(HandleTable, DamagedRecordStopsAllocation) {
  UniqueHandle handle = MakeHandle("x");
  handle->guard = 0x12345678;
  EXPECT_EQ(HandleCheckAll(nullptr), kErrSystem);
  EXPECT_EQ(HandleNew(4), nullptr);
  handle->guard = kHandleGuard;
  EXPECT_EQ(HandleCheckAll(nullptr), kOk);
}

TEST(Memory, SizeZeroDisposingTwiceClearingAndOverlappingMoves) {
  MemoryHandle handle = HandleNew(0);
  ASSERT_TRUE(handle);
  EXPECT_EQ(*reinterpret_cast<void**>(handle), handle->data);  // the data pointer comes first, never none
  EXPECT_NE(handle->data, nullptr);
  HandleDispose(handle);
  HandleDispose(handle);
  HandleDispose(nullptr);
  EXPECT_EQ(HandleCheckAll(nullptr), kOk);
  EXPECT_EQ(HandleCheckAll(handle), kErrSystem);  // no longer a live handle
  UniqueHandle clear(HandleNewClear(64));
  EXPECT_EQ(Contents(clear.get()), std::string(64, '\0'));
  UniqueBlock<uint8_t> block(static_cast<uint8_t*>(BlockNewClear(32)));
  EXPECT_EQ(std::string(reinterpret_cast<char*>(block.get()), 32), std::string(32, '\0'));

  char text[] = "0123456789";
  BytesMove(text + 2, text, 5);  // forward overlap
  EXPECT_STREQ(text, "0101234789");
  BytesCopy(text, text + 3, 5);  // backward overlap
  EXPECT_STREQ(text, "1234734789");
}

}  // namespace
