// The PNG reader on files made with libpng itself, and the writer read back.
#include <png.h>

#include <gtest/gtest.h>

#include "tests/images/image_test_support.h"

namespace {

PngShape Palette(const Bytes& alphas, int depth = 8) {
  PngShape shape;
  shape.width = 4, shape.colourType = PNG_COLOR_TYPE_PALETTE, shape.depth = depth;
  shape.palette = {{10, 20, 30}, {40, 50, 60}, {70, 80, 90}, {1, 2, 3}};
  shape.rows = {depth == 8 ? Bytes{0, 1, 2, 3} : Bytes{0x1B}};
  shape.transparentAlphas = alphas;
  return shape;
}

PngShape Shape(int colourType, int depth, uint32_t width, const Bytes& row, int transparentGrey = -1) {
  PngShape shape;
  shape.colourType = colourType, shape.depth = depth, shape.width = width, shape.rows = {row};
  shape.transparentGrey = transparentGrey;
  return shape;
}

// Every colour type: how transparency is carried, the table of indexed maps and the pixels as shown.
TEST(PngReadTest, ColourTypes) {
  const uint32_t opaque[4] = {0xFF0A141E, 0xFF28323C, 0xFF46505A, 0xFF010203};
  const struct {
    PngShape shape;
    uint32_t mode, tableCount;  // tableCount 0: a direct map
    std::vector<uint32_t> shown;
  } cases[] = {
      {Palette({255, 128, 0, 0}), kTransferKeyColour, 256, {opaque[0], 0x8028323C, 0, 0}},
      {Palette({255, 255}), kTransferCopy, 256, {opaque, opaque + 4}},
      {Palette({}, 2), kTransferCopy, 4, {opaque, opaque + 4}},  // unpacked to a byte per pixel
      {Shape(PNG_COLOR_TYPE_RGB_ALPHA, 8, 3, {255, 0, 0, 0, 0, 255, 0, 128, 1, 2, 3, 255}), kTransferMask, 0,
       {0, 0x8000FF00, 0xFF010203}},
      {Shape(PNG_COLOR_TYPE_GRAY, 8, 2, {7, 9}, 7), kTransferMask, 0, {0, 0xFF090909}},  // a transparent level
      {Shape(PNG_COLOR_TYPE_RGB, 16, 1, {0x12, 0x34, 0x56, 0x78, 0x9A, 0xBC}), kTransferCopy, 0, {0xFF12569A}},
      {Shape(PNG_COLOR_TYPE_GRAY, 16, 2, {0xAB, 0xCD, 0x01, 0x02}), kTransferCopy, 256, {0xFFABABAB, 0xFF010101}},
      {Shape(PNG_COLOR_TYPE_GRAY, 2, 4, {0x1B}), kTransferCopy, 4, {0xFF000000, 0xFF555555, 0xFFAAAAAA, 0xFFFFFFFF}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "case " << &c - cases);
    const Decoded d = Decode(MakePng(c.shape));
    ASSERT_EQ(d.status, kOk);
    EXPECT_EQ(d.info.format, kImagePng);
    EXPECT_EQ(d.descriptor.mode, c.mode);
    EXPECT_EQ(d.mask != nullptr, c.mode == kTransferMask);
    EXPECT_EQ(d.pixmap->kind == 1 ? d.pixmap->colourTable.count : 0, c.tableCount);
    for (size_t x = 0; x < c.shown.size(); ++x)
      EXPECT_EQ(Shown(d.pixmap.get(), d.mask.get(), &d.descriptor, int32_t(x), 0), c.shown[x]) << x;
  }
  // The key is the first entry of the smallest alpha; the table is padded with opaque black.
  const Decoded palette = Decode(MakePng(Palette({255, 128, 0, 0})));
  EXPECT_EQ(palette.descriptor.alphaOrIndex, 2);
  EXPECT_EQ(ColourToArgb(palette.pixmap->colourTable.entries[4]), 0xFF000000u);
  // Alpha: the mask is a grey map and the map keeps its alpha channel; without a mask map still mode 1.
  const Decoded alpha = Decode(MakePng(cases[3].shape));
  EXPECT_EQ(alpha.mask->tableIdentity, kGreyTableIdentity);
  EXPECT_EQ(ArgbAt(alpha.pixmap.get(), 1, 0), 0x8000FF00u);
  EXPECT_EQ(Decode(MakePng(cases[3].shape), false).descriptor.mode, kTransferMask);
}

TEST(PngReadTest, PhysicalSize) {
  const auto size = [](uint32_t width, uint32_t height, uint32_t x, uint32_t y, int unit) {
    PngShape shape;
    shape.width = width, shape.height = height, shape.physical = {x, y, unit};
    shape.rows.assign(height, Bytes(width, 100));
    const Decoded d = Decode(MakePng(shape));
    EXPECT_EQ(d.status, kOk);
    return d.pixmap ? std::pair(WidthOf(d.pixmap.get()), HeightOf(d.pixmap.get())) : std::pair(0, 0);
  };
  constexpr int kMeter = PNG_RESOLUTION_METER, kRatio = PNG_RESOLUTION_UNKNOWN;
  EXPECT_EQ(size(10, 6, 2835, 2835, kMeter), std::pair(10, 6)) << "72 dpi";
  EXPECT_EQ(size(10, 6, 5670, 2835, kMeter), std::pair(20, 6));
  EXPECT_EQ(size(10, 6, 1, 3, kRatio), std::pair(30, 6)) << "aspect ratio 3";
  EXPECT_EQ(size(10, 6, 3, 1, kRatio), std::pair(10, 6)) << "ratio 0: left alone";
  EXPECT_EQ(size(1000, 1, 28350, 2835, kMeter), std::pair(1000, 1)) << "10000 wide: too big";
  EXPECT_EQ(size(1000, 1, 28350, 5670, kMeter), std::pair(1000, 1)) << "falls back to ratio 0";
  EXPECT_EQ(size(10, 6, 1, 1, kMeter), std::pair(10, 6)) << "would vanish";
}

TEST(PngReadTest, OffsetBackgroundAndGamma) {
  PngShape shape;
  shape.depth = 16, shape.rows = {{0, 1}}, shape.offset = {5, -7, PNG_OFFSET_PIXEL}, shape.backgroundGrey = 0x1234;
  const Decoded d = Decode(MakePng(shape));
  ASSERT_EQ(d.status, kOk);
  EXPECT_EQ(d.pixmap->bounds, (Rect{5, -7, 6, -6}));
  EXPECT_EQ(d.info.hasBackground, 1);
  EXPECT_EQ(ColourToArgb(d.info.background), 0xFF343434u) << "the low byte of the grey sample";
  EXPECT_DOUBLE_EQ(d.info.gamma, 2.2) << "when the file states none";

  shape.offset = {25400, 50800, PNG_OFFSET_MICROMETER}, shape.backgroundGrey = -1, shape.gamma = 0.5;
  const Decoded m = Decode(MakePng(shape));
  ASSERT_EQ(m.status, kOk);
  EXPECT_EQ(m.pixmap->bounds, (Rect{72, 144, 73, 145})) << "at 72 pixels an inch";
  EXPECT_EQ(m.info.hasBackground, 0);
  EXPECT_NEAR(m.info.gamma, 2.0, 1e-9);
  shape.gamma = 0, shape.srgb = true;
  EXPECT_DOUBLE_EQ(Decode(MakePng(shape)).info.gamma, 2.2);
}

TEST(PngReadTest, DamagedData) {
  const Bytes good = MakePng(Palette({}));
  Bytes damaged = good;
  damaged[40] ^= 0xFF;
  for (const Bytes& bad : {Bytes(good.begin(), good.begin() + 20), Bytes(good.begin(), good.end() - 20),
                           Bytes(good.begin(), good.end() - 1), damaged}) {
    const Decoded d = Decode(bad);
    EXPECT_EQ(d.status, kErrImageData) << bad.size();
    EXPECT_EQ(d.pixmap, nullptr);
    EXPECT_EQ(d.descriptor.mode, kTransferCopy);
  }
}

// A picture cut anywhere is refused at once: too short to be recognised below 16 bytes, and ended early
// after that. A reader that waited for the missing bytes would never return.
TEST(PngReadTest, EveryPrefixOfThePagePicturesIsRefused) {
  size_t tried = 0;
  for (const auto& path : PagePictures()) {
    if (path.extension() != ".png") continue;
    const Bytes whole = FileBytes(path);
    ASSERT_EQ(Decode(whole).status, kOk) << path;
    for (size_t length = 0; length < whole.size(); ++length, ++tried) {
      const Decoded d = Decode(Bytes(whole.begin(), whole.begin() + std::ptrdiff_t(length)));
      EXPECT_EQ(d.status, length < 16 ? kErrImageFormat : kErrImageData) << path << " cut at " << length;
      EXPECT_EQ(d.pixmap, nullptr);
    }
  }
  EXPECT_GT(tried, 500u) << "the page pictures were not found";
}

// Pixels and transparency of what the writer makes: see the independent decoders' test. The palette has
// the smallest depth that holds the table (the bit depth is byte 24 of the file).
TEST(PngWriteTest, SmallestPaletteDepth) {
  for (const auto& [count, depth] : {std::pair(2u, 1), std::pair(4u, 2), std::pair(16u, 4), std::pair(17u, 8)}) {
    const ColourTable table{count, {}};
    UniquePixmap map = NewMap(4, 1, kPixelIndexed, &table);
    EXPECT_EQ(Encode(map.get(), nullptr, nullptr, kImagePngAlias)[24], depth) << count;
  }
}

}  // namespace
