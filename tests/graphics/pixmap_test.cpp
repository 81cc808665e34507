#include "graphics/pixmap.h"

#include <gtest/gtest.h>

#include "graphics/colour_match.h"
#include "tests/graphics/pixmap_test_support.h"

namespace {

Colour Get(Pixmap* pixmap, int32_t x, int32_t y, Pixmap* mask = nullptr) {
  Colour c{};
  EXPECT_EQ(PixmapGetPixelColour(pixmap, mask, x, y, &c), kOk);
  return c;
}

TEST(PixmapTest, RowsArePaddedTo32BitsAndUnknownFormatsAreRefused) {
  EXPECT_EQ(NewMap(100, 4, kPixel888)->rowBytes, 300u);
  EXPECT_EQ(NewMap(101, 4, kPixel888)->rowBytes, 304u);
  EXPECT_EQ(NewMap(3, 1, kPixelIndexed, &GreyColourTable())->rowBytes, 4u);
  EXPECT_EQ(NewMap(3, 1, kPixel565)->rowBytes, 8u);
  EXPECT_EQ(NewMap(4, 4, 0x666), nullptr);
  EXPECT_EQ(NewMap(4, 4, kPixelIndexed), nullptr) << "an indexed map needs a table";
  EXPECT_EQ(NewMap(0, 4, kPixel32), nullptr);
  EXPECT_EQ(NewMap(40000, 40000, kPixel32), nullptr) << "beyond the largest pixel memory";
}

TEST(PixmapTest, TableIdentities) {
  EXPECT_EQ(NewMap(2, 2, kPixelIndexed, &GreyColourTable())->tableIdentity, kGreyTableIdentity);
  const uint32_t first = NewMap(2, 2, kPixelIndexed, &SystemColourTable())->tableIdentity;
  const uint32_t second = NewMap(2, 2, kPixelIndexed, &SystemColourTable())->tableIdentity;
  EXPECT_GE(first, 0x888Au);
  EXPECT_EQ(second, first + 1) << "every other indexed map gets the next counter value";
  EXPECT_EQ(NewMap(2, 2, 16)->tableIdentity, 0x565u);
  EXPECT_EQ(NewMap(2, 2, kPixel4444AlphaLast)->tableIdentity, 0x80004444u);
  EXPECT_EQ(NewMap(2, 2, kPixel8888)->tableIdentity, 0x8888u);
}

// Every direct format packs a colour by dropping low bits and gives it back expanded to 8 bits.
TEST(PixmapTest, DirectFormatsPackAndExpand) {
  const uint32_t formats[] = {15, 16, kPixel1555, kPixel4444, kPixel4444AlphaLast, 24, 32, kPixel8888, kPixel8888Rgba};
  const Colour colours[3] = {{255, 255, 255, 255}, {255, 0, 0, 0}, {9, 0xC8, 0x64, 0x32}};
  for (uint32_t code : formats) {
    SCOPED_TRACE(code);
    UniquePixmap map = NewMap(3, 1, code);
    ASSERT_NE(map, nullptr);
    ASSERT_EQ(PixmapSetColourRow(map.get(), nullptr, 0, colours), kOk);
    const PixelFormat& f = map->format;
    EXPECT_EQ(ColourToArgb(Get(map.get(), 0, 0)), 0xFFFFFFFFu);
    EXPECT_EQ(ColourToArgb(Get(map.get(), 1, 0)), 0xFF000000u);
    const Colour mid = Get(map.get(), 2, 0);
    EXPECT_EQ(mid.alpha, 255) << "rows written by colour fill the alpha field";
    auto expect = [](uint8_t value, uint8_t bits) { return (value >> (8 - bits)) * 255 / ((1 << bits) - 1); };
    EXPECT_NEAR(mid.red, expect(0xC8, f.red.bits), 1);
    EXPECT_NEAR(mid.green, expect(0x64, f.green.bits), 1);
    EXPECT_NEAR(mid.blue, expect(0x32, f.blue.bits), 1);
  }
  // The byte orders GDI and the readers rely on.
  UniquePixmap rgba = NewMap(1, 1, kPixel8888Rgba), bgr = NewMap(1, 1, 24);
  const Colour c = {255, 1, 2, 3};
  PixmapSetColourRow(rgba.get(), nullptr, 0, &c);
  PixmapSetColourRow(bgr.get(), nullptr, 0, &c);
  EXPECT_EQ(rgba->baseAddress[0], 1);
  EXPECT_EQ(rgba->baseAddress[3], 255);
  EXPECT_EQ(bgr->baseAddress[0], 3);
  EXPECT_EQ(bgr->baseAddress[2], 1);
}

TEST(PixmapTest, RowsFeedTheMaskAndRowNumbersAreChecked) {
  ColourTable table = GreyColourTable();
  table.entries[7].alpha = 0;
  table.entries[9].alpha = 128;
  UniquePixmap image = NewMap(3, 2, kPixelIndexed, &table);
  UniquePixmap mask = NewMap(3, 2, kPixelIndexed, &GreyColourTable());
  const uint8_t indices[3] = {7, 9, 200};
  ASSERT_EQ(PixmapSetIndexRow(image.get(), mask.get(), 1, indices), kOk);
  EXPECT_EQ(mask->baseAddress[mask->rowBytes + 0], 0);
  EXPECT_EQ(mask->baseAddress[mask->rowBytes + 1], 128);
  EXPECT_EQ(mask->baseAddress[mask->rowBytes + 2], 255);
  EXPECT_EQ(PixmapSetIndexRow(image.get(), nullptr, 2, indices), kErrArgument);
  EXPECT_EQ(PixmapSetIndexRow(image.get(), nullptr, -1, indices), kErrArgument);

  UniquePixmap direct = NewMap(2, 1, kPixel8888);
  UniquePixmap directMask = NewMap(2, 1, kPixelIndexed, &GreyColourTable());
  const Colour colours[2] = {{17, 1, 2, 3}, {0, 4, 5, 6}};
  ASSERT_EQ(PixmapSetColourRow(direct.get(), directMask.get(), 0, colours), kOk);
  EXPECT_EQ(directMask->baseAddress[0], 17);
  EXPECT_EQ(Get(direct.get(), 0, 0).alpha, 255);
  EXPECT_EQ(Get(direct.get(), 1, 0, directMask.get()).alpha, 0) << "a mask gives the pixel's alpha";
  EXPECT_EQ(PixmapSetColourRow(image.get(), nullptr, 0, colours), kErrArgument) << "indexed maps take indices";
  UniquePixmap small = NewMap(1, 1, kPixelIndexed, &GreyColourTable());
  EXPECT_EQ(PixmapSetColourRow(direct.get(), small.get(), 0, colours), kErrArgument) << "mask too small";
}

TEST(PixmapTest, PureRedLandsOnTheCubesRed) {
  UniquePixmap direct = NewMap(1, 1, kPixel888);
  const Colour red = {255, 255, 0, 0};
  PixmapSetColourRow(direct.get(), nullptr, 0, &red);
  uint8_t index = 0;
  ASSERT_EQ(PixmapGetPixelIndex(direct.get(), nullptr, &SystemColourTable(), 0, 0, &index), kOk);
  EXPECT_EQ(index, 35);
  EXPECT_EQ(ColourToArgb(SystemColourTable().entries[index]), 0xFFFF0000u);

  UniquePixmap indexed = NewMap(1, 1, kPixelIndexed, &SystemColourTable());
  ASSERT_EQ(PixmapCopy(indexed.get(), nullptr, direct.get(), nullptr, nullptr, nullptr), kOk);
  EXPECT_EQ(indexed->baseAddress[0], 35);

  // Equal distances: the lower index wins.
  ColourTable twins{};
  twins.count = 3;
  twins.entries[0] = {255, 0, 0, 255};
  twins.entries[1] = {255, 255, 0, 0};
  twins.entries[2] = {255, 255, 0, 0};
  uint8_t inverse[4096];
  InverseTableBuild(twins, inverse);
  EXPECT_EQ(inverse[0xF00], 1);
  EXPECT_EQ(inverse[0x00F], 0);
}

TEST(PixmapTest, LockedMapsRefuseToMove) {
  UniquePixmap map = NewMap(4, 4, kPixel32);
  PixmapAccess access{};
  ASSERT_EQ(PixmapLock(map.get(), nullptr, &access), kOk);
  EXPECT_EQ(access.base, map->baseAddress);
  EXPECT_EQ(access.rowBytes, 16u);
  ASSERT_EQ(PixmapLock(map.get(), nullptr, nullptr), kOk);
  PixmapUnlock(map.get(), nullptr);
  EXPECT_EQ(PixmapSetBounds(map.get(), nullptr, Rect{0, 0, 8, 8}), kErrPixmapLocked);
  EXPECT_EQ(PixmapWidenForTiling(map.get(), nullptr), kErrPixmapLocked);
  PixmapUnlock(map.get(), nullptr);
  EXPECT_TRUE(map->flags & kPixmapMemoryNewer);
  EXPECT_EQ(PixmapSetBounds(map.get(), nullptr, Rect{0, 0, 8, 8}), kOk);

  UniquePixmap mask = NewMap(4, 4, kPixelIndexed, &GreyColourTable());
  PixmapLock(mask.get(), nullptr, nullptr);
  EXPECT_EQ(PixmapWidenForTiling(map.get(), mask.get()), kErrPixmapLocked) << "a locked mask counts too";
  PixmapUnlock(mask.get(), nullptr);
}

TEST(PixmapTest, WideningForTilingLaysCopiesEdgeToEdge) {
  UniquePixmap map = NewMap(20, 200, kPixel32);
  UniquePixmap mask = NewMap(20, 200, kPixelIndexed, &GreyColourTable());
  for (int32_t y = 0; y < 200; ++y) {
    Colour row[20];
    uint8_t coverage[20];
    for (int32_t x = 0; x < 20; ++x) row[x] = Colour{255, uint8_t(x), uint8_t(y), 0}, coverage[x] = uint8_t(x * 10);
    PixmapSetColourRow(map.get(), nullptr, y, row);
    PixmapSetIndexRow(mask.get(), nullptr, y, coverage);
  }
  ASSERT_EQ(PixmapWidenForTiling(map.get(), mask.get()), kOk);
  EXPECT_EQ(map->bounds.right, 140);
  EXPECT_EQ(map->bounds.bottom, 200);
  EXPECT_EQ(mask->bounds.right, 140);
  for (int32_t x : {0, 19, 20, 45, 139}) {
    EXPECT_EQ(Get(map.get(), x, 77).red, x % 20) << x;
    EXPECT_EQ(Get(map.get(), x, 77).green, 77);
    EXPECT_EQ(mask->baseAddress[5 * mask->rowBytes + x], (x % 20) * 10);
  }
  UniquePixmap big = NewMap(200, 200, kPixel32);
  const uint8_t* before = big->baseAddress;
  ASSERT_EQ(PixmapWidenForTiling(big.get(), nullptr), kOk);
  EXPECT_EQ(big->baseAddress, before) << "a map of 128 x 128 or more is left alone";

  UniquePixmap small = NewMap(50, 3, kPixel32);
  ASSERT_EQ(PixmapWidenForTiling(small.get(), nullptr), kOk);
  EXPECT_EQ(small->bounds.right, 150);
  EXPECT_EQ(small->bounds.bottom, 129);
}

TEST(PixmapTest, NewBoundsOfTheSameSizeMoveAndOthersScale) {
  UniquePixmap map = NewMap(2, 1, kPixel32);
  const Colour row[2] = {{255, 10, 0, 0}, {255, 20, 0, 0}};
  PixmapSetColourRow(map.get(), nullptr, 0, row);
  const uint8_t* before = map->baseAddress;
  ASSERT_EQ(PixmapSetBounds(map.get(), nullptr, Rect{5, 5, 7, 6}), kOk);
  EXPECT_EQ(map->baseAddress, before);
  EXPECT_EQ(map->bounds.left, 5);
  ASSERT_EQ(PixmapSetBounds(map.get(), nullptr, Rect{0, 0, 4, 2}), kOk);
  EXPECT_EQ(map->rowBytes, 16u);
  EXPECT_EQ(Get(map.get(), 1, 1).red, 10);
  EXPECT_EQ(Get(map.get(), 2, 0).red, 20);
  EXPECT_EQ(PixmapSetBounds(map.get(), nullptr, Rect{0, 0, 0, 2}), kErrArgument);

  // An indexed map keeps its identity and so its indices, whatever duplicates its table holds.
  ColourTable twins{};
  twins.count = 2;
  UniquePixmap indexed = NewMap(2, 1, kPixelIndexed, &twins);
  const uint8_t indices[2] = {1, 0};
  PixmapSetIndexRow(indexed.get(), nullptr, 0, indices);
  const uint32_t identity = indexed->tableIdentity;
  ASSERT_EQ(PixmapSetBounds(indexed.get(), nullptr, Rect{0, 0, 4, 1}), kOk);
  EXPECT_EQ(indexed->tableIdentity, identity);
  EXPECT_EQ(indexed->baseAddress[0], 1);
  EXPECT_EQ(indexed->baseAddress[2], 0);
}

}  // namespace
