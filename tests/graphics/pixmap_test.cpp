// Pixel maps in memory: layout, formats, rows and pixels, locks, new bounds and widening for tiling.
#include "graphics/pixmap.h"

#include <gtest/gtest.h>

#include "tests/graphics/pixmap_test_support.h"

namespace {

TEST(PixmapTest, RowsArePaddedTo32BitsAndTablesGetIdentities) {
  EXPECT_EQ(NewMap(100, 4, kPixel888)->rowBytes, 300u);
  EXPECT_EQ(NewMap(101, 4, kPixel888)->rowBytes, 304u);
  for (const UniquePixmap& refused : {NewMap(4, 4, 0x666), NewMap(4, 4, kPixelIndexed) /* no table */,
                               NewMap(0, 4, kPixel32), NewMap(40000, 40000, kPixel32) /* too much memory */})
    EXPECT_EQ(refused, nullptr);

  EXPECT_EQ(NewMap(2, 2, kPixelIndexed, &GreyColourTable())->tableIdentity, kGreyTableIdentity);
  const uint32_t first = NewMap(2, 2, kPixelIndexed, &SystemColourTable())->tableIdentity;
  EXPECT_GE(first, 0x888Au);
  EXPECT_EQ(NewMap(2, 2, kPixelIndexed, &SystemColourTable())->tableIdentity, first + 1) << "a counter";
  EXPECT_EQ(NewMap(2, 2, kPixel4444AlphaLast)->tableIdentity, 0x80004444u) << "the direct formats' codes";
}

// Every direct format packs a colour by dropping low bits and gives it back expanded to 8 bits.
TEST(PixmapTest, DirectFormatsPackAndExpand) {
  const uint32_t formats[] = {15, 16, kPixel1555, kPixel4444, kPixel4444AlphaLast, 24, 32, kPixel8888, kPixel8888Rgba};
  const Colour colours[3] = {{255, 255, 255, 255}, {255, 0, 0, 0}, {9, 0xC8, 0x64, 0x32}};
  for (uint32_t code : formats) {
    SCOPED_TRACE(code);
    UniquePixmap map = NewMap(3, 1, code);
    ASSERT_EQ(PixmapSetColourRow(map.get(), nullptr, 0, colours), kOk);
    EXPECT_EQ(ArgbAt(map.get(), 0, 0), 0xFFFFFFFFu);
    EXPECT_EQ(ArgbAt(map.get(), 1, 0), 0xFF000000u);
    const uint32_t mid = ArgbAt(map.get(), 2, 0);
    EXPECT_EQ(mid >> 24, 255u) << "rows written by colour fill the alpha field";
    const auto expand = [](uint32_t value, uint8_t bits) { return (value >> (8 - bits)) * 255 / ((1 << bits) - 1); };
    EXPECT_NEAR(mid >> 16 & 255, expand(0xC8, map->format.red.bits), 1);
    EXPECT_NEAR(mid >> 8 & 255, expand(0x64, map->format.green.bits), 1);
    EXPECT_NEAR(mid & 255, expand(0x32, map->format.blue.bits), 1);
  }
  // The byte orders in memory: red first in the RGBA layout, blue first in 24 bits.
  UniquePixmap rgba = NewMap(1, 1, kPixel8888Rgba), bgr = NewMap(1, 1, 24);
  for (Pixmap* map : {rgba.get(), bgr.get()}) Fill(map, [](int32_t, int32_t) { return 0xFF010203u; });
  EXPECT_TRUE(rgba->baseAddress[0] == 1 && rgba->baseAddress[3] == 255);
  EXPECT_TRUE(bgr->baseAddress[0] == 3 && bgr->baseAddress[2] == 1);
}

TEST(PixmapTest, RowsFeedTheMaskAndRowNumbersAreChecked) {
  ColourTable table = GreyColourTable();
  table.entries[7].alpha = 0;
  table.entries[9].alpha = 128;
  UniquePixmap image = NewMap(3, 2, kPixelIndexed, &table);
  UniquePixmap mask = NewMap(3, 2, kPixelIndexed, &GreyColourTable());
  const uint8_t indices[3] = {7, 9, 200};
  ASSERT_EQ(PixmapSetIndexRow(image.get(), mask.get(), 1, indices), kOk);
  const uint8_t coverage[3] = {0, 128, 255};
  for (int32_t x = 0; x < 3; ++x) EXPECT_EQ(IndexAt(mask.get(), x, 1), coverage[x]);
  EXPECT_EQ(PixmapSetIndexRow(image.get(), nullptr, 2, indices), kErrArgument);
  EXPECT_EQ(PixmapSetIndexRow(image.get(), nullptr, -1, indices), kErrArgument);

  UniquePixmap direct = NewMap(2, 1, kPixel8888);
  UniquePixmap directMask = NewMap(2, 1, kPixelIndexed, &GreyColourTable());
  const Colour colours[2] = {{17, 1, 2, 3}, {0, 4, 5, 6}};
  ASSERT_EQ(PixmapSetColourRow(direct.get(), directMask.get(), 0, colours), kOk);
  EXPECT_EQ(IndexAt(directMask.get(), 0, 0), 17);
  Colour masked{};
  ASSERT_EQ(PixmapGetPixelColour(direct.get(), directMask.get(), 1, 0, &masked), kOk);
  EXPECT_EQ(masked.alpha, 0) << "a mask gives the pixel's alpha";
  EXPECT_EQ(PixmapSetColourRow(image.get(), nullptr, 0, colours), kErrArgument) << "indexed maps take indices";
  EXPECT_EQ(PixmapSetColourRow(direct.get(), NewMap(1, 1, kPixelIndexed, &table).get(), 0, colours), kErrArgument)
      << "mask too small";
}

TEST(PixmapTest, PureRedLandsOnTheCubesRedAndTiesTakeTheLowerIndex) {
  UniquePixmap direct = NewMap(1, 1, kPixel888);
  Fill(direct.get(), [](int32_t, int32_t) { return 0xFFFF0000u; });
  uint8_t index = 0;
  ASSERT_EQ(PixmapGetPixelIndex(direct.get(), nullptr, &SystemColourTable(), 0, 0, &index), kOk);
  EXPECT_EQ(index, 35);
  UniquePixmap indexed = NewMap(1, 1, kPixelIndexed, &SystemColourTable());
  ASSERT_EQ(PixmapCopy(indexed.get(), nullptr, direct.get(), nullptr, nullptr, nullptr), kOk);
  EXPECT_EQ(IndexAt(indexed.get(), 0, 0), 35);

  const ColourTable twins{3, {{255, 0, 0, 255}, {255, 255, 0, 0}, {255, 255, 0, 0}}};
  uint8_t inverse[4096];
  InverseTableBuild(twins, inverse);
  EXPECT_EQ(inverse[0xF00], 1);
  EXPECT_EQ(inverse[0x00F], 0);
}

TEST(PixmapTest, LockedMapsRefuseToMove) {
  UniquePixmap map = NewMap(4, 4, kPixel32), mask = NewMap(4, 4, kPixelIndexed, &GreyColourTable());
  ASSERT_EQ(PixmapLock(map.get(), nullptr, nullptr), kOk);
  ASSERT_EQ(PixmapLock(map.get(), nullptr, nullptr), kOk);
  PixmapUnlock(map.get(), nullptr);
  EXPECT_EQ(PixmapSetBounds(map.get(), nullptr, Rect{0, 0, 8, 8}), kErrPixmapLocked) << "one lock is left";
  EXPECT_EQ(PixmapWidenForTiling(map.get(), nullptr), kErrPixmapLocked);
  PixmapUnlock(map.get(), nullptr);
  EXPECT_TRUE(map->flags & kPixmapMemoryNewer);
  EXPECT_EQ(PixmapSetBounds(map.get(), nullptr, Rect{0, 0, 8, 8}), kOk);
  PixmapLock(mask.get(), nullptr, nullptr);
  EXPECT_EQ(PixmapWidenForTiling(map.get(), mask.get()), kErrPixmapLocked) << "a locked mask counts too";
  PixmapUnlock(mask.get(), nullptr);
}

TEST(PixmapTest, WideningForTilingLaysCopiesEdgeToEdge) {
  UniquePixmap map = NewMap(20, 200, kPixel32), mask = NewMap(20, 200, kPixelIndexed, &GreyColourTable());
  Fill(map.get(), [](int32_t x, int32_t y) { return 0xFF000000u | uint32_t(x) << 16 | uint32_t(y) << 8; });
  Fill(mask.get(), [](int32_t x, int32_t) { return x * 10; });
  ASSERT_EQ(PixmapWidenForTiling(map.get(), mask.get()), kOk);
  EXPECT_EQ(map->bounds, (Rect{0, 0, 140, 200}));
  EXPECT_EQ(mask->bounds, (Rect{0, 0, 140, 200}));
  for (int32_t x : {0, 19, 20, 45, 139}) {
    EXPECT_EQ(ArgbAt(map.get(), x, 77), 0xFF000000u | uint32_t(x % 20) << 16 | 77u << 8) << x;
    EXPECT_EQ(IndexAt(mask.get(), x, 5), (x % 20) * 10) << x;
  }
  UniquePixmap big = NewMap(200, 200, kPixel32), small = NewMap(50, 3, kPixel32);
  const uint8_t* before = big->baseAddress;
  ASSERT_EQ(PixmapWidenForTiling(big.get(), nullptr), kOk);
  EXPECT_EQ(big->baseAddress, before) << "a map of 128 x 128 or more is left alone";
  ASSERT_EQ(PixmapWidenForTiling(small.get(), nullptr), kOk);
  EXPECT_EQ(small->bounds, (Rect{0, 0, 150, 129}));
}

// Scaled contents: see the offscreen ports' tests.
TEST(PixmapTest, NewBoundsOfTheSameSizeMoveAndOthersScale) {
  UniquePixmap map = NewMap(2, 1, kPixel32);
  const uint8_t* before = map->baseAddress;
  ASSERT_EQ(PixmapSetBounds(map.get(), nullptr, Rect{5, 5, 7, 6}), kOk);
  EXPECT_EQ(map->baseAddress, before);
  EXPECT_EQ(map->bounds.left, 5);
  EXPECT_EQ(PixmapSetBounds(map.get(), nullptr, Rect{0, 0, 0, 2}), kErrArgument);

  // An indexed map keeps its identity and so its indices, whatever duplicates its table holds.
  const ColourTable twins{2, {}};  // both black
  UniquePixmap indexed = NewMap(2, 1, kPixelIndexed, &twins);
  Fill(indexed.get(), [](int32_t x, int32_t) { return 1 - x; });
  const uint32_t identity = indexed->tableIdentity;
  ASSERT_EQ(PixmapSetBounds(indexed.get(), nullptr, Rect{0, 0, 4, 1}), kOk);
  EXPECT_EQ(indexed->tableIdentity, identity);
  EXPECT_TRUE(IndexAt(indexed.get(), 0, 0) == 1 && IndexAt(indexed.get(), 2, 0) == 0);
}

}  // namespace
