#include "files/codecs.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <random>
#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;

Bytes Contents(MemoryHandle handle) { return Bytes(HandleData(handle), HandleData(handle) + HandleGetSize(handle)); }
UniqueHandle Make(const Bytes& bytes) { return UniqueHandle(HandleNewFromData(bytes.data(), bytes.size())); }

Bytes Compressed(const Bytes& input, FourCC codec) {
  UniqueHandle handle = Make(input);
  EXPECT_EQ(CompressBlock(handle.get(), codec, nullptr), kOk);
  return Contents(handle.get());
}

TEST(RunLength, PackSplitsLongRunsAndKeepsShortOnesLiteral) {
  EXPECT_EQ(Compressed(Bytes(300, 7), kCodecPack), (Bytes{131, 7, 170, 7, 170, 7})) << "runs of 126, 87 and 87";
  EXPECT_EQ(Compressed({1, 2, 5, 5, 5}, kCodecPack), (Bytes{4, 1, 2, 5, 5, 5}));
  EXPECT_EQ(Compressed({9, 9, 9, 1, 2}, kCodecPack), (Bytes{254, 9, 1, 1, 2}));
  EXPECT_EQ(Compressed({1, 2, 1, 2, 1, 2, 1, 2, 3, 4}, kCodecPackWords), (Bytes{253, 1, 2, 0, 3, 4}));

  Bytes distinct(200);
  for (size_t i = 0; i < distinct.size(); ++i) distinct[i] = uint8_t(i);
  const Bytes literal = Compressed(distinct, kCodecPack);
  ASSERT_EQ(literal.size(), 202u);
  EXPECT_EQ(literal[0], 126) << "a literal holds at most 127 bytes";
  EXPECT_EQ(literal[128], 72);
}

// A zlib stream that stored its input uncompressed would still round-trip; it must really compress, and
// what it makes is read back by zlib itself.
TEST(Codecs, ZlibCompressesRepetitiveData) {
  const Bytes input(3000, 'a');
  const Bytes compressed = Compressed(input, kCodecZlib);
  EXPECT_LT(compressed.size(), 64u);
  Bytes restored(input.size() + 1);
  uLongf restoredSize = uLongf(restored.size());
  ASSERT_EQ(uncompress(restored.data(), &restoredSize, compressed.data(), uLong(compressed.size())), Z_OK);
  restored.resize(restoredSize);
  EXPECT_EQ(restored, input);
}

TEST(Codecs, CorruptInputIsRefusedAndLeavesTheHandleAlone) {
  const Bytes zlib = Compressed(Bytes(3000, 'z'), kCodecZlib);
  Bytes damaged = zlib;
  damaged[0] ^= 0xFF;
  struct Case {
    FourCC codec;
    Bytes input;
  } cases[] = {
      {kCodecPack, {3, 1, 2, 3}},       // the literal claims one byte more than is there
      {kCodecPack, {0, 1, 200}},        // a run without its byte
      {kCodecPackWords, {1, 1, 2, 3}},  // a literal of two words, one and a half present
      {kCodecPackWords, {250, 1}},      // a run of a word cut in half
      {kCodecZlib, Bytes(zlib.begin(), zlib.end() - 6)},
      {kCodecZlib, damaged},
  };
  for (const Case& c : cases) {
    UniqueHandle handle = Make(c.input);
    EXPECT_EQ(ExpandBlock(handle.get(), c.codec, nullptr), kErrState);
    EXPECT_EQ(Contents(handle.get()), c.input);
  }
  UniqueHandle odd = Make({1, 2, 3, 4, 5});
  EXPECT_EQ(CompressBlock(odd.get(), kCodecPackWords, nullptr), kErrState);
  EXPECT_EQ(Contents(odd.get()), (Bytes{1, 2, 3, 4, 5}));

  UniqueHandle skipped = Make({128, 1, 'a', 'b', 128, 253, 'c'});
  ASSERT_EQ(ExpandBlock(skipped.get(), kCodecPack, nullptr), kOk);
  EXPECT_EQ(Contents(skipped.get()), (Bytes{'a', 'b', 'c', 'c', 'c', 'c'}));
}

TEST(Codecs, AliasesRefusalsEmptyAndLockedHandles) {
  struct Case {
    FourCC code;
    Status compress;
    FourCC used;
  } cases[] = {{kCodecAny, kOk, kCodecZlib},
               {kCodecBest, kOk, kCodecZlib},
               {kCodecFast, kOk, kCodecPack},
               {MakeFourCC("what"), kErrUnsupported, 0}};
  const Bytes data(100, 'q');
  for (const Case& c : cases) {
    UniqueHandle handle = Make(data);
    EXPECT_EQ(ExpandBlock(handle.get(), c.code, nullptr), kErrUnsupported) << "aliases compress only";
    EXPECT_EQ(Contents(handle.get()), data);
    CodecInfo info{};
    EXPECT_EQ(CompressBlock(handle.get(), c.code, &info), c.compress);
    EXPECT_EQ(info.codec, c.used);

    UniqueHandle empty(HandleNew(0));
    ASSERT_EQ(CompressBlock(empty.get(), c.code, &info), kOk) << "an empty handle is always \"none\"";
    EXPECT_EQ(info.codec, kCodecNone);
  }
  UniqueHandle locked = Make(data);
  HandleLockScope lock(locked.get());
  EXPECT_EQ(CompressBlock(locked.get(), kCodecZlib, nullptr), kErrState);
  EXPECT_EQ(ExpandBlock(locked.get(), kCodecNone, nullptr), kErrState);
}

TEST(Codecs, RandomDataRoundTripsThroughEveryCodec) {
  std::mt19937 random(4);
  for (FourCC codec : {kCodecNone, kCodecZlib, kCodecPack, kCodecPackWords}) {
    for (size_t size : {2u, 127u, 128u, 255u, 5000u, 70000u}) {
      // Random bytes mixed with runs of every length, so that both run and literal pieces occur.
      Bytes data;
      while (data.size() < size) {
        const uint8_t value = uint8_t(random());
        const size_t repeat = random() % 3 == 0 ? 1 + random() % 300 : 1;
        data.insert(data.end(), std::min(repeat, size - data.size()), value);
      }
      if (codec == kCodecPackWords && size % 2) data.push_back(0);
      UniqueHandle handle = Make(data);
      CodecInfo compressed{};
      CodecInfo expanded{};
      ASSERT_EQ(CompressBlock(handle.get(), codec, &compressed), kOk);
      ASSERT_EQ(ExpandBlock(handle.get(), codec, &expanded), kOk);
      ASSERT_EQ(Contents(handle.get()), data) << size;
      EXPECT_EQ(compressed.compressedCrc, expanded.compressedCrc);
      EXPECT_EQ(expanded.expandedSize, data.size());
    }
  }
  // The record of "123456789": its tag and the CRC-32 of zlib.
  UniqueHandle check = Make({'1', '2', '3', '4', '5', '6', '7', '8', '9'});
  CodecInfo info{};
  ASSERT_EQ(CompressBlock(check.get(), kCodecNone, &info), kOk);
  EXPECT_EQ(info.tag, MakeFourCC("sqsh"));
  EXPECT_EQ(info.expandedCrc, 0xCBF43926u);
  EXPECT_EQ(info.compressedCrc, info.expandedCrc);
}

}  // namespace
