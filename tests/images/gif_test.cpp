// The GIF reader on files made code by code, and the writer read back.
#include <gtest/gtest.h>

#include "images/gif_lzw.h"
#include "tests/images/image_test_support.h"

namespace {

// A 4 x 2 image of grey indices 0 to 3, twice, with a 2-bit global table and background index 1.
// With `control` 0 or 1, a graphic-control extension with that flag byte and index 2 comes first.
Bytes SmallGif(const char* signature, int control = -1) {
  GifFile file(signature, 4, 2, 2, 1);
  if (control >= 0) file.Control(uint8_t(control), 2);
  return file.Image(4, 2, Lzw(2, {kClear, 0, 1, 2, 3, 0, 1, 2, 3, kEnd})).Trailer().bytes;
}

TEST(GifReadTest, TransparencyRules) {
  GifFile localTable("GIF89a", 2, 1, 0, 0);
  localTable.Image(2, 1, Lzw(2, {kClear, 0, 1, kEnd}), 1);
  // Without a graphic control the background is transparent, only in GIF89a with a global table; a
  // graphic control's index wins, and one that clears the flag makes the image opaque; never in GIF87a.
  const std::pair<Bytes, int> cases[] = {{SmallGif("GIF89a"), 1},     {SmallGif("GIF87a"), -1},
                                         {SmallGif("GIF89a", 1), 2},  {SmallGif("GIF87a", 1), -1},
                                         {SmallGif("GIF89a", 0), -1}, {localTable.bytes, -1}};
  for (const auto& [file, key] : cases) {
    SCOPED_TRACE(key);
    const Decoded d = Decode(file);
    ASSERT_EQ(d.status, kOk);
    EXPECT_EQ(d.info.format, kImageGif);
    EXPECT_EQ(d.pixmap->kind, 1);
    EXPECT_EQ(d.descriptor.mode, key < 0 ? kTransferCopy : kTransferKeyColour);
    EXPECT_EQ(d.descriptor.alphaOrIndex, key < 0 ? 255 : key);
    EXPECT_EQ(d.pixmap->colourTable.entries[1].alpha, key == 1 ? 0 : 255);
    EXPECT_EQ(IndexAt(d.pixmap.get(), 1, 0), 1);
  }
}

// 2 x 2: a pixel, a code above the next free slot (it repeats the previous string), a clear, a pixel.
const Bytes kBadCode = Lzw(2, {kClear, 3, 7, kClear, 1, kEnd});
// Five pixels of a 2 x 3 image, then the data ends.
const Bytes kTruncated = Lzw(2, {kClear, 1, 2, 3, 1, 2}, false);

TEST(GifReadTest, DecoderWritesEveryLineItCanBeforeFailing) {
  const struct {
    Bytes data;
    int32_t height;
    Status status;
    int32_t x, y, index;  // the pixel decoded last
  } cases[] = {{kBadCode, 2, kErrImageFormat, 1, 1, 1}, {kTruncated, 3, kErrImageData, 0, 2, 2}};
  for (const auto& c : cases) {
    UniquePixmap pixmap = NewMap(2, c.height, kPixelIndexed, &GreyColourTable());
    UniqueHandle handle = HandleOf(c.data);
    ImageStream input = ImageStreamOver(handle.get());
    GifLineWriter lines = GifLineWriterFor(pixmap.get(), false);
    EXPECT_EQ(GifDecodeImage(&input, &lines), c.status);
    EXPECT_EQ(lines.rowsWritten, c.height);
    EXPECT_EQ(IndexAt(pixmap.get(), c.x, c.y), c.index);
  }
}

TEST(GifReadTest, MalformedFilesLeaveNothing) {
  const auto file = [](uint32_t globalBits, uint32_t height, const Bytes& data) {
    return GifFile("GIF89a", 2, height, globalBits, 0).Image(2, height, data).bytes;
  };
  const std::pair<Bytes, Status> cases[] = {
      {file(1, 1, {1, 1, 0, 0}), kErrImageFormat},  // minimum code sizes 1 and 10
      {file(1, 1, {10, 1, 0, 0}), kErrImageFormat},
      {file(0, 1, Lzw(2, {kClear, 0, 1, kEnd})), kErrImageFormat},  // no colour table
      {GifFile("GIF89a", 2, 1, 1, 0).Control(0, 0).Trailer().bytes, kErrImageData},  // no image
      {file(2, 2, kBadCode), kErrImageFormat},
      {file(2, 3, kTruncated), kErrImageData},
      {file(2, 1, Lzw(2, {kClear, 1, 2, 3, 1, kEnd})), kErrImageData},  // lines to spare
  };
  for (size_t i = 0; i < std::size(cases); ++i) {
    const Decoded d = Decode(cases[i].first);
    EXPECT_EQ(d.status, cases[i].second) << "case " << i;
    EXPECT_EQ(d.pixmap, nullptr);
    EXPECT_EQ(d.descriptor.mode, kTransferCopy);
  }
}

TEST(GifReadTest, InterlacedLinesAndFirstImageOnly) {
  // Ten lines whose pixels carry the order they come in: rows 0, 8, 4, 2, 6, 1, 3, 5, 7, 9.
  std::vector<uint32_t> codes = {kClear};
  for (uint32_t line = 0; line < 10; ++line) codes.insert(codes.end(), {line, line});
  codes.push_back(kEnd);
  GifFile file("GIF87a", 2, 10, 4, 0);
  file.Image(2, 10, Lzw(4, codes), 0, true);
  // An animation: the second frame, complete and different, must not be drawn over the first.
  std::vector<uint32_t> second(1 + 20, 15);
  second[0] = kClear;
  second.push_back(kEnd);
  file.Control(1, 3).Image(2, 10, Lzw(4, second)).Trailer();
  const Decoded d = Decode(file.bytes);
  ASSERT_EQ(d.status, kOk);
  EXPECT_EQ(d.info.interlaced, 1);
  EXPECT_EQ(d.descriptor.mode, kTransferCopy);
  const uint8_t order[10] = {0, 5, 3, 6, 2, 7, 4, 8, 1, 9};
  for (int32_t row = 0; row < 10; ++row) EXPECT_EQ(IndexAt(d.pixmap.get(), 1, row), order[row]) << row;
}

TEST(GifWriteTest, HeaderTableCodeSizeAndIndices) {
  UniquePixmap full = NewMap(3, 2, kPixelIndexed, &SystemColourTable());
  const Bytes bytes = Encode(full.get(), nullptr, nullptr, kImageGifAlias);
  EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 6), "GIF87a");
  EXPECT_EQ(bytes[10], 0xE7);
  EXPECT_EQ(bytes[13 + 768], ',') << "a 768-byte table";
  EXPECT_EQ(bytes[13 + 768 + 10], 8) << "minimum code size";
  EXPECT_EQ(bytes.back(), ';');

  const ColourTable two{2, {}};
  UniquePixmap bilevel = NewMap(3, 2, kPixelIndexed, &two);
  const Bytes small = Encode(bilevel.get(), nullptr, nullptr, kImageGif);
  EXPECT_EQ(small[10], 0x80);
  EXPECT_EQ(small[13 + 6 + 10], 2) << "after a 6-byte table; never below 2";

  // Indices beyond the table keep codes of their own; a direct map goes through the system table.
  UniquePixmap beyond = NewMap(8, 1, kPixelIndexed, &two), direct = NewMap(2, 1, kPixel565);
  Fill(beyond.get(), [](int32_t x, int32_t) { return x * 9; });
  Fill(direct.get(), [](int32_t x, int32_t) { return x ? 0xFFFF0000u : 0xFFFFFFFFu; });
  const Decoded wide = Decode(Encode(beyond.get(), nullptr, nullptr, kImageGif));
  const Decoded matched = Decode(Encode(direct.get(), nullptr, nullptr, kImageGif));
  ASSERT_TRUE(wide.status == kOk && matched.status == kOk);
  for (int32_t x = 0; x < 8; ++x) EXPECT_EQ(IndexAt(wide.pixmap.get(), x, 0), x * 9);
  EXPECT_TRUE(IndexAt(matched.pixmap.get(), 0, 0) == 0 && IndexAt(matched.pixmap.get(), 1, 0) == 35);

  UniquePixmap far = NewMap(40000, 1, kPixelIndexed, &two);
  EXPECT_TRUE(Encode(far.get(), nullptr, nullptr, kImageGif, false, kErrImageData).empty()) << "too wide for GIF";
}

}  // namespace
