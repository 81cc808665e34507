#include <gtest/gtest.h>

#include <numeric>

#include "graphics/colour_tables.h"
#include "images/gif_lzw.h"
#include "images/image.h"
#include "tests/graphics/pixmap_test_support.h"
#include "tests/images/image_test_support.h"

namespace {

struct Decoded {
  Status status;
  UniquePixmap pixmap;
  MaskDescriptor mask;
  ImageInfo info;
};

Decoded Read(const Bytes& bytes) {
  UniqueHandle data = HandleOf(bytes);
  Decoded d{};
  Pixmap* pixmap = nullptr;
  d.status = ImageRead(data.get(), &pixmap, nullptr, &d.mask, &d.info);
  d.pixmap.reset(pixmap);
  return d;
}

Bytes Iota(size_t count, uint8_t modulo) {
  Bytes pixels(count);
  for (size_t i = 0; i < count; ++i) pixels[i] = uint8_t(i % modulo);
  return pixels;
}

// A 4 x 2 image of grey indices 0 to 3 in a file with a 2-bit global table.
Bytes SmallGif(const char* signature, bool control = false) {
  GifFile file(signature, 4, 2, 2, 1);
  if (control) file.Control(1, 2);
  return file.Image(4, 2, LzwCodes(2).Clear().Literals(Iota(8, 4)).End().Data()).Trailer().bytes;
}

TEST(GifReadTest, TransparencyRules) {
  const Decoded plain89 = Read(SmallGif("GIF89a"));
  ASSERT_EQ(plain89.status, kOk);
  EXPECT_EQ(plain89.mask.mode, kTransferKeyColour) << "a GIF89a global table makes the background transparent";
  EXPECT_EQ(plain89.mask.alphaOrIndex, 1);
  EXPECT_EQ(plain89.pixmap->colourTable.entries[1].alpha, 0);
  EXPECT_EQ(plain89.info.format, kImageGif);
  for (int32_t x = 0; x < 4; ++x) EXPECT_EQ(IndexAt(plain89.pixmap.get(), x, 1), x);

  const Decoded plain87 = Read(SmallGif("GIF87a"));
  ASSERT_EQ(plain87.status, kOk);
  EXPECT_EQ(plain87.mask.mode, kTransferCopy);
  EXPECT_EQ(plain87.pixmap->colourTable.entries[1].alpha, 255);
  EXPECT_EQ(Read(SmallGif("GIF87a", true)).mask.mode, kTransferCopy) << "GIF87a is always opaque";

  const Decoded control = Read(SmallGif("GIF89a", true));
  EXPECT_EQ(control.mask.alphaOrIndex, 2) << "the graphic control's index wins";

  // A local table alone: transparent only through a graphic control.
  GifFile local("GIF89a", 2, 1, 0, 0);
  local.Image(2, 1, LzwCodes(2).Clear().Literals({0, 1}).End().Data(), 1);
  const Decoded opaque = Read(local.bytes);
  ASSERT_EQ(opaque.status, kOk);
  EXPECT_EQ(opaque.mask.mode, kTransferCopy);
  EXPECT_EQ(opaque.pixmap->colourTable.count, 2u);
  EXPECT_EQ(opaque.pixmap->kind, 1) << "always 8 bits per pixel";
}

TEST(GifReadTest, MalformedFiles) {
  for (uint32_t size : {1u, 10u}) {
    GifFile file("GIF89a", 2, 1, 1, 0);
    file.Image(2, 1, {uint8_t(size), 1, 0, 0});
    const Decoded d = Read(file.bytes);
    EXPECT_EQ(d.status, kErrImageFormat) << "minimum code size " << size;
    EXPECT_EQ(d.pixmap, nullptr);
    EXPECT_EQ(d.mask.mode, kTransferCopy) << "outputs are reset on failure";
  }
  GifFile tableless("GIF89a", 2, 1, 0, 0);
  tableless.Image(2, 1, LzwCodes(2).Clear().Literals({0, 1}).End().Data());
  EXPECT_EQ(Read(tableless.bytes).status, kErrImageFormat);

  GifFile imageless("GIF89a", 2, 1, 1, 0);
  imageless.Control(0, 0).Trailer();
  EXPECT_EQ(Read(imageless.bytes).status, kErrImageData) << "the scan runs into the end of the data";

  Bytes wrong = SmallGif("GIF89a");
  UniqueHandle data = HandleOf(wrong);
  Bytes header(wrong.begin(), wrong.begin() + 16);
  header[4] = '8';
  EXPECT_EQ(ImageIdentify(HandleOf(header).get()), 0u);
}

TEST(GifReadTest, BadCodeDecodesEverythingButFails) {
  // 2 x 2: one pixel, a code above the next free slot (it repeats the previous string), then one more.
  const Bytes data = LzwCodes(2).Clear().Code(3).Code(7).Clear().Code(1).End().Data();
  UniquePixmap pixmap = NewMap(2, 2, kPixelIndexed, &GreyColourTable());
  Bytes stream = data;
  UniqueHandle handle = HandleOf(stream);
  ImageStream input = ImageStreamOver(handle.get());
  GifLineWriter lines = GifLineWriterFor(pixmap.get(), false);
  EXPECT_EQ(GifDecodeImage(&input, &lines), kErrImageFormat);
  EXPECT_EQ(lines.rowsWritten, 2) << "every line was written";
  EXPECT_EQ(input.position, input.size - 1) << "decoding went on to the end code, before the empty block";
  EXPECT_EQ(IndexAt(pixmap.get(), 1, 0), 3);
  EXPECT_EQ(IndexAt(pixmap.get(), 1, 1), 1);

  GifFile file("GIF89a", 2, 2, 2, 0);
  file.Image(2, 2, data).Trailer();
  const Decoded d = Read(file.bytes);
  EXPECT_EQ(d.status, kErrImageFormat);
  EXPECT_EQ(d.pixmap, nullptr);
}

TEST(GifReadTest, DataThatEndsEarly) {
  // Five pixels of a 2 x 3 image, then the data ends: the partial line is written, the read fails.
  const Bytes data = LzwCodes(2).Clear().Literals({1, 2, 3, 1, 2}).Data(false);
  UniquePixmap pixmap = NewMap(2, 3, kPixelIndexed, &GreyColourTable());
  UniqueHandle handle = HandleOf(data);
  ImageStream input = ImageStreamOver(handle.get());
  GifLineWriter lines = GifLineWriterFor(pixmap.get(), false);
  EXPECT_EQ(GifDecodeImage(&input, &lines), kErrImageData);
  EXPECT_EQ(lines.rowsWritten, 3);
  EXPECT_EQ(IndexAt(pixmap.get(), 0, 2), 2);

  GifFile file("GIF89a", 2, 3, 2, 0);
  file.Image(2, 3, data);
  const Decoded d = Read(file.bytes);
  EXPECT_EQ(d.status, kErrImageData);
  EXPECT_EQ(d.pixmap, nullptr);

  // More lines than the image has.
  GifFile longer("GIF89a", 2, 1, 2, 0);
  longer.Image(2, 1, LzwCodes(2).Clear().Literals({1, 2, 3, 1}).End().Data());
  EXPECT_EQ(Read(longer.bytes).status, kErrImageData);
}

TEST(GifReadTest, InterlacedLinesAndFirstImageOnly) {
  // Ten lines whose pixels carry the order they come in: rows 0, 8, 4, 2, 6, 1, 3, 5, 7, 9.
  Bytes pixels;
  for (uint8_t line = 0; line < 10; ++line) pixels.insert(pixels.end(), {line, line});
  GifFile file("GIF87a", 2, 10, 4, 0);
  file.Image(2, 10, LzwCodes(4).Clear().Literals(pixels).End().Data(), 0, true);
  // An animation: everything after the first image is never looked at.
  file.bytes.insert(file.bytes.end(), {0x21, 0xF9, 4, 1, 0, 0, 3, 0, ',', 0xFF, 0xFF});
  const Decoded d = Read(file.bytes);
  ASSERT_EQ(d.status, kOk);
  EXPECT_EQ(d.info.interlaced, 1);
  EXPECT_EQ(d.mask.mode, kTransferCopy);
  const uint8_t order[10] = {0, 5, 3, 6, 2, 7, 4, 8, 1, 9};
  for (int32_t row = 0; row < 10; ++row) EXPECT_EQ(IndexAt(d.pixmap.get(), 1, row), order[row]) << row;
}

UniqueHandle Write(Pixmap* pixmap, const MaskDescriptor* mask, bool interlaced = false) {
  ImageInfo info{};
  ImageInfoReset(&info);
  info.format = kImageGifAlias;
  info.interlaced = interlaced;
  MemoryHandle encoded = nullptr;
  EXPECT_EQ(ImageWrite(pixmap, nullptr, mask, &info, &encoded), kOk);
  return UniqueHandle(encoded);
}

TEST(GifWriteTest, HeaderTableAndCodeSize) {
  UniquePixmap full = NewMap(3, 2, kPixelIndexed, &SystemColourTable());
  UniqueHandle written = Write(full.get(), nullptr);
  const Bytes bytes = BytesOf(written.get());
  EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 6), "GIF87a");
  EXPECT_EQ(bytes[10], 0xE7);
  EXPECT_EQ(bytes[13 + 768], ',') << "a 768-byte table";
  EXPECT_EQ(bytes[13 + 768 + 10], 8) << "minimum code size";
  EXPECT_EQ(bytes.back(), ';');

  ColourTable two{};
  two.count = 2;
  two.entries[1] = {255, 255, 255, 255};
  UniquePixmap bilevel = NewMap(3, 2, kPixelIndexed, &two);
  const Bytes small = BytesOf(Write(bilevel.get(), nullptr).get());
  EXPECT_EQ(small[10], 0x80);
  EXPECT_EQ(small[13 + 6], ',');
  EXPECT_EQ(small[13 + 6 + 10], 2) << "never below 2";

  UniquePixmap far(PixmapNew(Rect{0, 0, 40000, 1}, kPixelIndexed, &two));
  ImageInfo info{};
  info.format = kImageGif;
  MemoryHandle encoded = nullptr;
  EXPECT_EQ(ImageWrite(far.get(), nullptr, nullptr, &info, &encoded), kErrImageData);
  EXPECT_EQ(encoded, nullptr);
  info.format = kImageBmp;
  EXPECT_EQ(ImageWrite(bilevel.get(), nullptr, nullptr, &info, &encoded), kErrImageFormat);
}

// Large enough for the dictionary to fill and be cleared several times.
TEST(GifWriteTest, RoundTrips) {
  UniquePixmap image = NewMap(301, 203, kPixelIndexed, &SystemColourTable());
  uint32_t seed = 12345;
  Fill(image.get(), [&](int32_t x, int32_t y) {
    seed = seed * 1103515245 + 12345;
    return (x / 7 + y / 5) % 3 == 0 ? int((seed >> 16) % 256) : (x + y) % 17;
  });
  for (bool interlaced : {false, true}) {
    const MaskDescriptor key = {kTransferKeyColour, 3, 0, 0, 0};
    UniqueHandle written = Write(image.get(), &key, interlaced);
    const Decoded d = Read(BytesOf(written.get()));
    ASSERT_EQ(d.status, kOk);
    EXPECT_EQ(d.info.interlaced, interlaced);
    EXPECT_EQ(d.mask.mode, kTransferKeyColour);
    EXPECT_EQ(d.mask.alphaOrIndex, 3);
    int mismatches = 0;
    for (int32_t y = 0; y < 203; ++y)
      for (int32_t x = 0; x < 301; ++x) mismatches += IndexAt(d.pixmap.get(), x, y) != IndexAt(image.get(), x, y);
    EXPECT_EQ(mismatches, 0);
  }
  // Image data may hold indices beyond the table: they keep codes of their own.
  ColourTable two{};
  two.count = 2;
  UniquePixmap beyond = NewMap(8, 1, kPixelIndexed, &two);
  Fill(beyond.get(), [](int32_t x, int32_t) { return x * 9; });
  const Decoded wide = Read(BytesOf(Write(beyond.get(), nullptr).get()));
  ASSERT_EQ(wide.status, kOk);
  for (int32_t x = 0; x < 8; ++x) EXPECT_EQ(IndexAt(wide.pixmap.get(), x, 0), x * 9);

  // A direct map goes through the system table.
  UniquePixmap direct = NewMap(2, 1, kPixel565);
  Fill(direct.get(), [](int32_t x, int32_t) { return x ? 0xFFFF0000u : 0xFFFFFFFFu; });
  const Decoded d = Read(BytesOf(Write(direct.get(), nullptr).get()));
  ASSERT_EQ(d.status, kOk);
  EXPECT_EQ(IndexAt(d.pixmap.get(), 0, 0), 0);
  EXPECT_EQ(IndexAt(d.pixmap.get(), 1, 0), 35);
}

}  // namespace
