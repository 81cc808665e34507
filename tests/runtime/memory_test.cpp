#include "runtime/memory.h"

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

TEST(Handles, SizeZeroStillHasData) {
  UniqueHandle handle(HandleNew(0));
  ASSERT_TRUE(handle);
  EXPECT_EQ(HandleGetSize(handle.get()), 0u);
  EXPECT_NE(HandleData(handle.get()), nullptr);
  EXPECT_EQ(*reinterpret_cast<void**>(handle.get()), handle->data);  // the data pointer comes first
  EXPECT_EQ(HandleSetSize(handle.get(), 0), kOk);
  EXPECT_NE(HandleData(handle.get()), nullptr);
}

TEST(Handles, NewVariantsAndDuplicate) {
  UniqueHandle clear(HandleNewClear(64));
  ASSERT_TRUE(clear);
  EXPECT_EQ(Contents(clear.get()), std::string(64, '\0'));

  UniqueHandle source = MakeHandle("order");
  UniqueHandle copy(HandleDuplicate(source.get()));
  ASSERT_TRUE(copy);
  EXPECT_NE(copy.get(), source.get());
  EXPECT_NE(HandleData(copy.get()), HandleData(source.get()));
  EXPECT_EQ(Contents(copy.get()), "order");
}

TEST(Handles, LockedHandleRefusesEveryChange) {
  UniqueHandle handle = MakeHandle("abcdef");
  EXPECT_FALSE(HandleSetLock(handle.get(), true));
  EXPECT_TRUE(HandleIsLocked(handle.get()));
  const uint8_t* data = HandleData(handle.get());

  EXPECT_EQ(HandleSetSize(handle.get(), 100), kErrState);
  EXPECT_EQ(HandleAppendData(handle.get(), "x", 1), kErrState);
  EXPECT_EQ(HandleInsertData(handle.get(), "x", 1), kErrState);
  EXPECT_EQ(HandleSetData(handle.get(), "x", 1), kErrState);
  EXPECT_EQ(HandleReplaceRange(handle.get(), 0, 1, "xy", 2), kErrState);
  EXPECT_EQ(HandleAppendData(handle.get(), "x", 0), kOk);  // size 0: nothing happens
  EXPECT_EQ(Contents(handle.get()), "abcdef");
  EXPECT_EQ(HandleData(handle.get()), data);

  EXPECT_TRUE(HandleSetLock(handle.get(), false));
  EXPECT_EQ(HandleSetSize(handle.get(), 3), kOk);
  EXPECT_EQ(Contents(handle.get()), "abc");
}

TEST(Handles, LockScopeRestoresThePreviousState) {
  UniqueHandle handle = MakeHandle("x");
  {
    HandleLockScope outer(handle.get());
    {
      HandleLockScope inner(handle.get());
      EXPECT_TRUE(HandleIsLocked(handle.get()));
    }
    EXPECT_TRUE(HandleIsLocked(handle.get()));  // the outer lock still holds
  }
  EXPECT_FALSE(HandleIsLocked(handle.get()));
}

TEST(Handles, ResizeKeepsContentsUpToTheSmallerSize) {
  UniqueHandle handle = MakeHandle("abcdef");
  ASSERT_EQ(HandleSetSize(handle.get(), 100000), kOk);
  EXPECT_EQ(std::memcmp(HandleData(handle.get()), "abcdef", 6), 0);
  ASSERT_EQ(HandleSetSize(handle.get(), 2), kOk);
  EXPECT_EQ(Contents(handle.get()), "ab");
}

TEST(Handles, ReplaceRange) {
  UniqueHandle handle = MakeHandle("0123456789");
  EXPECT_EQ(HandleReplaceRange(handle.get(), 2, 3, "abcdef", 6), kOk);  // grow
  EXPECT_EQ(Contents(handle.get()), "01abcdef56789");
  EXPECT_EQ(HandleReplaceRange(handle.get(), 2, 6, "Z", 1), kOk);  // shrink
  EXPECT_EQ(Contents(handle.get()), "01Z56789");
  EXPECT_EQ(HandleReplaceRange(handle.get(), 0, 8, nullptr, 0), kOk);  // everything
  EXPECT_EQ(Contents(handle.get()), "");
  EXPECT_EQ(HandleReplaceRange(handle.get(), 0, 0, "tail", 4), kOk);
  EXPECT_EQ(HandleReplaceRange(handle.get(), 4, 0, "!", 1), kOk);  // at the very end
  EXPECT_EQ(Contents(handle.get()), "tail!");
}

TEST(Handles, ReplaceRangePastTheEndIsRefused) {
  UniqueHandle handle = MakeHandle("abc");
  EXPECT_EQ(HandleReplaceRange(handle.get(), 2, 2, "x", 1), kErrState);
  EXPECT_EQ(HandleReplaceRange(handle.get(), 4, 0, "x", 1), kErrState);
  EXPECT_EQ(HandleReplaceRange(handle.get(), 1, SIZE_MAX, "x", 1), kErrState);  // no wrap-around
  EXPECT_EQ(Contents(handle.get()), "abc");
}

TEST(Handles, AppendInsertAndCopy) {
  UniqueHandle handle = MakeHandle("middle");
  EXPECT_EQ(HandleInsertData(handle.get(), "<", 1), kOk);
  EXPECT_EQ(HandleAppendData(handle.get(), ">", 1), kOk);
  EXPECT_EQ(Contents(handle.get()), "<middle>");

  UniqueHandle other = MakeHandle("xy");
  EXPECT_EQ(HandleAppendHandle(handle.get(), other.get()), kOk);
  EXPECT_EQ(Contents(handle.get()), "<middle>xy");
  EXPECT_EQ(HandleCopy(other.get(), handle.get()), kOk);
  EXPECT_EQ(Contents(other.get()), "<middle>xy");
}

TEST(Handles, OwnBytesSurviveTheResizeThatMovesThem) {
  UniqueHandle handle = MakeHandle("abc");
  for (int i = 0; i < 12; ++i) ASSERT_EQ(HandleAppendHandle(handle.get(), handle.get()), kOk);
  ASSERT_EQ(HandleGetSize(handle.get()), 3u << 12);
  for (size_t i = 0; i < HandleGetSize(handle.get()); ++i) ASSERT_EQ(HandleData(handle.get())[i], "abc"[i % 3]);

  UniqueHandle text = MakeHandle("0123456789");
  ASSERT_EQ(HandleSetData(text.get(), HandleData(text.get()) + 5, 5), kOk);
  EXPECT_EQ(Contents(text.get()), "56789");
  ASSERT_EQ(HandleInsertData(text.get(), HandleData(text.get()), 5), kOk);
  EXPECT_EQ(Contents(text.get()), "5678956789");
}

TEST(Handles, DisposeOfNoneOrTwiceIsHarmless) {
  HandleDispose(nullptr);
  MemoryHandle handle = HandleNew(8);
  ASSERT_TRUE(handle);
  HandleDispose(handle);
  HandleDispose(handle);
  EXPECT_EQ(HandleCheckAll(nullptr), kOk);
  EXPECT_EQ(HandleCheckAll(handle), kErrSystem);  // no longer a live handle
  EXPECT_EQ(HandleGetSize(handle), 0u);
}

TEST(HandleTable, The257thLiveHandleMakesASecondBlock) {
  UniqueHandle anchor(HandleNew(1));  // makes sure there is a first block to fill
  const HandleTableInfo before = HandleTableGetInfo();
  std::vector<UniqueHandle> handles;
  // Fill every free record of the existing blocks; no block may be added for them.
  for (uint32_t i = before.live; i < before.records; ++i) handles.emplace_back(HandleNew(1));
  const HandleTableInfo full = HandleTableGetInfo();
  EXPECT_EQ(full.blocks, before.blocks);
  EXPECT_EQ(full.live, full.records);

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
  EXPECT_EQ(HandleTableGetInfo().blocks, grown.blocks);
}

TEST(HandleTable, DamagedGuardStopsAllocation) {
  UniqueHandle handle = MakeHandle("x");
  ASSERT_EQ(HandleCheckAll(handle.get()), kOk);
  handle->guard = 0x12345678;
  EXPECT_EQ(HandleCheckAll(nullptr), kErrSystem);
  EXPECT_EQ(HandleNew(4), nullptr);
  handle->guard = kHandleGuard;

  void* data = handle->data;
  handle->data = nullptr;  // a live record without data is damage too
  EXPECT_EQ(HandleCheckAll(nullptr), kErrSystem);
  handle->data = data;
  EXPECT_EQ(HandleCheckAll(nullptr), kOk);
}

TEST(Blocks, FixedBlocksAndByteHelpers) {
  UniqueBlock<uint8_t> clear(static_cast<uint8_t*>(BlockNewClear(32)));
  ASSERT_TRUE(clear);
  for (int i = 0; i < 32; ++i) EXPECT_EQ(clear.get()[i], 0);
  EXPECT_TRUE(UniqueBlock<void>(BlockNew(0)));

  char text[] = "0123456789";
  BytesMove(text + 2, text, 5);  // forward overlap
  EXPECT_STREQ(text, "0101234789");
  BytesCopy(text, text + 3, 5);  // backward overlap
  EXPECT_STREQ(text, "1234734789");
  BytesFill(text, 'z', 3);
  BytesZero(text + 8, 2);
  EXPECT_EQ(std::string(text, 10), std::string("zzz47347\0\0", 10));
}

}  // namespace
