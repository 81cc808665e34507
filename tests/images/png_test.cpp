#include <png.h>

#include <gtest/gtest.h>

#include "images/image.h"
#include "tests/graphics/pixmap_test_support.h"
#include "tests/images/image_test_support.h"

namespace {

struct Decoded {
  Status status;
  UniquePixmap pixmap, mask;
  MaskDescriptor descriptor;
  ImageInfo info;
};

Decoded Read(const Bytes& bytes, bool wantMask = true) {
  UniqueHandle data = HandleOf(bytes);
  Decoded d{};
  Pixmap *pixmap = nullptr, *mask = nullptr;
  d.status = ImageRead(data.get(), &pixmap, wantMask ? &mask : nullptr, &d.descriptor, &d.info);
  d.pixmap.reset(pixmap);
  d.mask.reset(mask);
  return d;
}

PngShape Palette(const Bytes& alphas) {
  PngShape shape;
  shape.width = 4, shape.colourType = PNG_COLOR_TYPE_PALETTE;
  shape.palette = {{10, 20, 30}, {40, 50, 60}, {70, 80, 90}, {1, 2, 3}};
  shape.rows = {{0, 1, 2, 3}};
  shape.transparentAlphas = alphas;
  return shape;
}

TEST(PngReadTest, PaletteTransparency) {
  const Decoded d = Read(MakePng(Palette({255, 128, 0, 0})));
  ASSERT_EQ(d.status, kOk);
  EXPECT_EQ(d.pixmap->kind, 1);
  EXPECT_EQ(d.descriptor.mode, kTransferKeyColour);
  EXPECT_EQ(d.descriptor.alphaOrIndex, 2) << "the first entry of the smallest alpha";
  EXPECT_EQ(d.pixmap->colourTable.entries[1].alpha, 128);
  EXPECT_EQ(d.pixmap->colourTable.count, 256u);
  EXPECT_EQ(ColourToArgb(d.pixmap->colourTable.entries[3]), 0x00010203u);
  EXPECT_EQ(ColourToArgb(d.pixmap->colourTable.entries[4]), 0xFF000000u) << "padded with black";
  EXPECT_EQ(d.mask, nullptr);
  EXPECT_EQ(d.info.format, kImagePng);
  for (int32_t x = 0; x < 4; ++x) EXPECT_EQ(IndexAt(d.pixmap.get(), x, 0), x);

  const Decoded opaque = Read(MakePng(Palette({255, 255})));
  ASSERT_EQ(opaque.status, kOk);
  EXPECT_EQ(opaque.descriptor.mode, kTransferCopy);

  PngShape packed = Palette({});
  packed.depth = 2;
  packed.rows = {{0x1B}};  // 0, 1, 2, 3
  const Decoded small = Read(MakePng(packed));
  ASSERT_EQ(small.status, kOk);
  EXPECT_EQ(small.pixmap->colourTable.count, 4u);
  EXPECT_EQ(IndexAt(small.pixmap.get(), 2, 0), 2) << "unpacked to a byte per pixel";
}

TEST(PngReadTest, AlphaBecomesTheMask) {
  PngShape shape;
  shape.width = 3, shape.colourType = PNG_COLOR_TYPE_RGB_ALPHA;
  shape.rows = {{255, 0, 0, 0, 0, 255, 0, 128, 1, 2, 3, 255}};
  const Decoded d = Read(MakePng(shape));
  ASSERT_EQ(d.status, kOk);
  EXPECT_EQ(d.pixmap->format.code, 34952u);
  EXPECT_EQ(d.descriptor.mode, kTransferMask);
  ASSERT_NE(d.mask, nullptr);
  EXPECT_EQ(d.mask->tableIdentity, 0x8889u);
  EXPECT_EQ(IndexAt(d.mask.get(), 0, 0), 0);
  EXPECT_EQ(IndexAt(d.mask.get(), 1, 0), 128);
  EXPECT_EQ(IndexAt(d.mask.get(), 2, 0), 255);
  EXPECT_EQ(ArgbAt(d.pixmap.get(), 2, 0) & 0xFFFFFF, 0x010203u);
  EXPECT_EQ(ArgbAt(d.pixmap.get(), 1, 0), 0x8000FF00u) << "the map keeps its alpha channel";

  const Decoded unmasked = Read(MakePng(shape), false);
  ASSERT_EQ(unmasked.status, kOk);
  EXPECT_EQ(unmasked.descriptor.mode, kTransferMask);

  // Grey with a transparent level gains an alpha channel too.
  PngShape grey;
  grey.width = 2, grey.rows = {{7, 9}}, grey.transparentGrey = 7;
  const Decoded g = Read(MakePng(grey));
  ASSERT_EQ(g.status, kOk);
  EXPECT_EQ(g.pixmap->kind, 4);
  EXPECT_EQ(IndexAt(g.mask.get(), 0, 0), 0);
  EXPECT_EQ(IndexAt(g.mask.get(), 1, 0), 255);
  EXPECT_EQ(ArgbAt(g.pixmap.get(), 1, 0) & 0xFFFFFF, 0x090909u);

  PngShape rgb;
  rgb.width = 1, rgb.colourType = PNG_COLOR_TYPE_RGB, rgb.depth = 16, rgb.rows = {{0x12, 0x34, 0x56, 0x78, 0x9A, 0xBC}};
  const Decoded wide = Read(MakePng(rgb));
  ASSERT_EQ(wide.status, kOk);
  EXPECT_EQ(ArgbAt(wide.pixmap.get(), 0, 0), 0xFF12569Au) << "16-bit samples keep their high bytes";
  EXPECT_EQ(wide.descriptor.mode, kTransferCopy);
}

TEST(PngReadTest, GreyBecomesARamp) {
  PngShape deep;
  deep.width = 2, deep.depth = 16, deep.rows = {{0xAB, 0xCD, 0x01, 0x02}};
  const Decoded d = Read(MakePng(deep));
  ASSERT_EQ(d.status, kOk);
  EXPECT_EQ(d.pixmap->kind, 1);
  EXPECT_EQ(d.pixmap->colourTable.count, 256u);
  EXPECT_EQ(ColourToArgb(d.pixmap->colourTable.entries[200]), 0xFFC8C8C8u);
  EXPECT_EQ(IndexAt(d.pixmap.get(), 0, 0), 0xAB);
  EXPECT_EQ(IndexAt(d.pixmap.get(), 1, 0), 0x01);

  PngShape shallow;
  shallow.width = 4, shallow.depth = 2, shallow.rows = {{0x1B}};
  const Decoded s = Read(MakePng(shallow));
  ASSERT_EQ(s.status, kOk);
  EXPECT_EQ(s.pixmap->colourTable.count, 4u);
  EXPECT_EQ(ColourToArgb(s.pixmap->colourTable.entries[2]), 0xFFAAAAAAu);
  EXPECT_EQ(IndexAt(s.pixmap.get(), 3, 0), 3);
}

Bytes Sized(uint32_t width, uint32_t height, uint32_t x, uint32_t y, int unit) {
  PngShape shape;
  shape.width = width, shape.height = height;
  shape.rows.assign(height, Bytes(width, 100));
  shape.physical = {x, y, unit};
  return MakePng(shape);
}

TEST(PngReadTest, PhysicalSize) {
  auto size = [](const Bytes& png) {
    const Decoded d = Read(png);
    EXPECT_EQ(d.status, kOk);
    return d.pixmap ? std::pair(d.pixmap->bounds.right, d.pixmap->bounds.bottom) : std::pair(0, 0);
  };
  EXPECT_EQ(size(Sized(10, 6, 2835, 2835, PNG_RESOLUTION_METER)), std::pair(10, 6)) << "72 dpi";
  EXPECT_EQ(size(Sized(10, 6, 5670, 2835, PNG_RESOLUTION_METER)), std::pair(20, 6));
  EXPECT_EQ(size(Sized(10, 6, 1, 3, PNG_RESOLUTION_UNKNOWN)), std::pair(30, 6)) << "aspect ratio 3";
  EXPECT_EQ(size(Sized(10, 6, 3, 1, PNG_RESOLUTION_UNKNOWN)), std::pair(10, 6)) << "ratio 0: left alone";
  EXPECT_EQ(size(Sized(1000, 1, 28350, 2835, PNG_RESOLUTION_METER)), std::pair(1000, 1)) << "10000 wide: too big";
  EXPECT_EQ(size(Sized(1000, 1, 28350, 5670, PNG_RESOLUTION_METER)), std::pair(1000, 1)) << "falls back to ratio 0";
  EXPECT_EQ(size(Sized(10, 6, 1, 1, PNG_RESOLUTION_METER)), std::pair(10, 6)) << "would vanish";
}

TEST(PngReadTest, OffsetBackgroundAndGamma) {
  PngShape shape;
  shape.depth = 16, shape.rows = {{0, 1}};
  shape.offset = {5, -7, PNG_OFFSET_PIXEL};
  shape.background = true, shape.backgroundGrey = 0x1234;
  const Decoded d = Read(MakePng(shape));
  ASSERT_EQ(d.status, kOk);
  EXPECT_EQ(d.pixmap->bounds.left, 5);
  EXPECT_EQ(d.pixmap->bounds.top, -7);
  EXPECT_EQ(d.pixmap->bounds.right, 6);
  EXPECT_EQ(d.info.hasBackground, 1);
  EXPECT_EQ(ColourToArgb(d.info.background), 0xFF343434u) << "the low byte of the grey sample";
  EXPECT_DOUBLE_EQ(d.info.gamma, 2.2);

  shape.offset = {25400, 50800, PNG_OFFSET_MICROMETER};
  shape.background = false, shape.gamma = 0.5;
  const Decoded m = Read(MakePng(shape));
  ASSERT_EQ(m.status, kOk);
  EXPECT_EQ(m.pixmap->bounds.left, 72);
  EXPECT_EQ(m.pixmap->bounds.top, 144);
  EXPECT_EQ(m.info.hasBackground, 0);
  EXPECT_EQ(ColourToArgb(m.info.background), 0xFFFFFFFFu) << "the default background";
  EXPECT_NEAR(m.info.gamma, 2.0, 1e-9);

  shape.gamma = 0, shape.srgb = true;
  EXPECT_DOUBLE_EQ(Read(MakePng(shape)).info.gamma, 2.2);
}

TEST(PngReadTest, DamagedData) {
  const Bytes good = MakePng(Palette({}));
  for (size_t cut : {size_t(20), good.size() - 20, good.size() - 1}) {
    const Decoded d = Read(Bytes(good.begin(), good.begin() + long(cut)));
    EXPECT_EQ(d.status, kErrImageData) << cut;
    EXPECT_EQ(d.pixmap, nullptr);
    EXPECT_EQ(d.descriptor.mode, kTransferCopy);
  }
  Bytes damaged = good;
  damaged[40] ^= 0xFF;
  EXPECT_EQ(Read(damaged).status, kErrImageData);
}

UniqueHandle Write(Pixmap* pixmap, Pixmap* mask, const MaskDescriptor* descriptor, bool interlaced) {
  ImageInfo info{};
  ImageInfoReset(&info);
  info.format = kImagePngAlias;
  info.interlaced = interlaced;
  info.gamma = 2.2;
  MemoryHandle encoded = nullptr;
  EXPECT_EQ(ImageWrite(pixmap, mask, descriptor, &info, &encoded), kOk);
  return UniqueHandle(encoded);
}

TEST(PngWriteTest, RoundTrips) {
  for (bool interlaced : {false, true}) {
    SCOPED_TRACE(interlaced);
    ColourTable table = SystemColourTable();
    table.count = 16;
    UniquePixmap indexed = NewMap(37, 11, kPixelIndexed, &table);
    Fill(indexed.get(), [](int32_t x, int32_t y) { return (x * 3 + y) % 16; });
    const MaskDescriptor key = {kTransferKeyColour, 5, 0, 0, 0};
    const Decoded i = Read(BytesOf(Write(indexed.get(), nullptr, &key, interlaced).get()));
    ASSERT_EQ(i.status, kOk);
    EXPECT_EQ(i.info.interlaced, 0) << "the reader does not report PNG interlacing";
    EXPECT_EQ(i.pixmap->colourTable.count, 16u) << "depth 4";
    EXPECT_EQ(i.descriptor.mode, kTransferKeyColour) << "the transparent index is kept";
    EXPECT_EQ(i.descriptor.alphaOrIndex, 5);
    for (int32_t y = 0; y < 11; ++y)
      for (int32_t x = 0; x < 37; ++x) ASSERT_EQ(IndexAt(i.pixmap.get(), x, y), IndexAt(indexed.get(), x, y));

    UniquePixmap direct = NewMap(19, 7, kPixel888);
    Fill(direct.get(), [](int32_t x, int32_t y) { return 0xFF000000u | uint32_t(x * 13) << 16 | uint32_t(y * 30) << 8 | 77; });
    UniquePixmap mask = NewMap(19, 7, kPixelIndexed, &GreyColourTable());
    Fill(mask.get(), [](int32_t x, int32_t y) { return x * y; });
    const MaskDescriptor masked = {kTransferMask, 255, 0, 0, 0};
    const Decoded rgba = Read(BytesOf(Write(direct.get(), mask.get(), &masked, interlaced).get()));
    ASSERT_EQ(rgba.status, kOk);
    ASSERT_NE(rgba.mask, nullptr);
    const Decoded rgb = Read(BytesOf(Write(direct.get(), nullptr, nullptr, interlaced).get()));
    ASSERT_EQ(rgb.status, kOk);
    EXPECT_EQ(rgb.descriptor.mode, kTransferCopy);
    for (int32_t y = 0; y < 7; ++y) {
      for (int32_t x = 0; x < 19; ++x) {
        ASSERT_EQ(ArgbAt(rgb.pixmap.get(), x, y), ArgbAt(direct.get(), x, y));
        ASSERT_EQ(ArgbAt(rgba.pixmap.get(), x, y) & 0xFFFFFF, ArgbAt(direct.get(), x, y) & 0xFFFFFF);
        ASSERT_EQ(IndexAt(rgba.mask.get(), x, y), x * y);
      }
    }
  }
}

}  // namespace
