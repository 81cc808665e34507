#include <gtest/gtest.h>

#include "tests/graphics/pixmap_test_support.h"

namespace {

constexpr uint32_t kRed = 0xFFFF0000, kBlue = 0xFF0000FF;

TransferMode Mode(uint32_t mode, uint8_t alphaOrIndex = 0) { return TransferMode{mode, alphaOrIndex, 0, 0, 0}; }

// A source whose pixel x has red = x, on a destination of blue.
struct Maps {
  UniquePixmap source, destination;
  Maps(int32_t sourceWidth, int32_t destinationWidth, uint32_t format = kPixel32)
      : source(NewMap(sourceWidth, 1, format)), destination(NewMap(destinationWidth, 1, kPixel32)) {
    Fill(source.get(), [](int32_t x, int32_t) { return 0xFF000000u | uint32_t(x) << 16; });
    Fill(destination.get(), [](int32_t, int32_t) { return kBlue; });
  }
  uint32_t Red(int32_t x) { return ArgbAt(destination.get(), x, 0) >> 16 & 255; }
};

TEST(PixmapCopyTest, ClippingMovesTheOtherRectangleInProportion) {
  Maps same(100, 50);
  const Rect hanging = {-10, 0, 40, 1}, from = {0, 0, 50, 1};
  ASSERT_EQ(PixmapCopy(same.destination.get(), &hanging, same.source.get(), nullptr, nullptr, &from), kOk);
  EXPECT_EQ(same.Red(0), 10u) << "10 pixels off the left start 10 pixels further right";
  EXPECT_EQ(same.Red(29), 39u);
  EXPECT_EQ(same.Red(39), 49u);
  EXPECT_EQ(ArgbAt(same.destination.get(), 40, 0), kBlue);

  Maps wide(200, 50);
  const Rect twice = {0, 0, 100, 1};
  ASSERT_EQ(PixmapCopy(wide.destination.get(), &hanging, wide.source.get(), nullptr, nullptr, &twice), kOk);
  EXPECT_EQ(wide.Red(0), 20u) << "with a source twice as wide, 20 pixels further right";
  EXPECT_EQ(wide.Red(1), 22u);

  // A source rectangle past the source's edge cuts the destination likewise.
  Maps past(100, 100);
  const Rect beyond = {90, 0, 110, 1}, to = {0, 0, 20, 1};
  ASSERT_EQ(PixmapCopy(past.destination.get(), &to, past.source.get(), nullptr, nullptr, &beyond), kOk);
  EXPECT_EQ(past.Red(9), 99u);
  EXPECT_EQ(ArgbAt(past.destination.get(), 10, 0), kBlue);

  const Rect outside = {500, 0, 600, 1};
  EXPECT_EQ(PixmapCopy(past.destination.get(), &outside, past.source.get(), nullptr, nullptr, nullptr), kOk);
  const Rect huge = {INT32_MIN, 0, INT32_MAX, 1};
  EXPECT_EQ(PixmapCopy(past.destination.get(), &huge, past.source.get(), nullptr, nullptr, nullptr), kOk);
}

TEST(PixmapCopyTest, ScalingTakesTheNearestPixel) {
  UniquePixmap source = NewMap(2, 2, kPixel32), destination = NewMap(4, 4, kPixel565);
  Fill(source.get(), [](int32_t x, int32_t y) { return (x + y * 2) == 3 ? kRed : 0xFF000000u; });
  ASSERT_EQ(PixmapCopy(destination.get(), nullptr, source.get(), nullptr, nullptr, nullptr), kOk);
  for (int32_t y = 0; y < 4; ++y)
    for (int32_t x = 0; x < 4; ++x) EXPECT_EQ(ArgbAt(destination.get(), x, y), x >= 2 && y >= 2 ? kRed : 0xFF000000u);
}

TEST(PixmapCopyTest, ConstantAlphaBlends) {
  Maps none(4, 4), full(4, 4), plain(4, 4), half(4, 4);
  const TransferMode zero = Mode(kTransferBlend, 0), opaque = Mode(kTransferBlend, 255), mid = Mode(kTransferBlend, 128);
  ASSERT_EQ(PixmapCopy(none.destination.get(), nullptr, none.source.get(), nullptr, &zero, nullptr), kOk);
  ASSERT_EQ(PixmapCopy(full.destination.get(), nullptr, full.source.get(), nullptr, &opaque, nullptr), kOk);
  ASSERT_EQ(PixmapCopy(plain.destination.get(), nullptr, plain.source.get(), nullptr, nullptr, nullptr), kOk);
  ASSERT_EQ(PixmapCopy(half.destination.get(), nullptr, half.source.get(), nullptr, &mid, nullptr), kOk);
  for (int32_t x = 0; x < 4; ++x) {
    EXPECT_EQ(ArgbAt(none.destination.get(), x, 0), kBlue) << "alpha 0 copies nothing";
    EXPECT_EQ(ArgbAt(full.destination.get(), x, 0), ArgbAt(plain.destination.get(), x, 0)) << "alpha 255 is a copy";
  }
  // Weight 129 of 256: blue 255 -> 0 moves to 255 - 128 (the quotient is cut toward zero).
  EXPECT_EQ(ArgbAt(half.destination.get(), 3, 0), 0xFF01007Fu);
}

TEST(PixmapCopyTest, MaskCoverage) {
  Maps maps(4, 4);
  UniquePixmap mask = NewMap(4, 1, kPixelIndexed, &GreyColourTable());
  Fill(mask.get(), [](int32_t x, int32_t) { return x == 0 ? 0 : x == 1 ? 255 : x == 2 ? 128 : 1; });
  ASSERT_EQ(PixmapCopy(maps.destination.get(), nullptr, maps.source.get(), mask.get(), nullptr, nullptr), kOk);
  EXPECT_EQ(ArgbAt(maps.destination.get(), 0, 0), kBlue) << "coverage 0 leaves the destination";
  EXPECT_EQ(ArgbAt(maps.destination.get(), 1, 0), 0xFF010000u) << "coverage 255 copies";
  EXPECT_EQ(ArgbAt(maps.destination.get(), 2, 0), 0xFF01007Fu);
  EXPECT_EQ(ArgbAt(maps.destination.get(), 3, 0), kBlue) << "coverage 1 is a weight of 1: less than a step";

  // Mode 4 scales every coverage by the record's alpha and skips products of 255 or less.
  Maps scaled(4, 4);
  const TransferMode half = Mode(kTransferMaskBlend, 128);
  ASSERT_EQ(PixmapCopy(scaled.destination.get(), nullptr, scaled.source.get(), mask.get(), &half, nullptr), kOk);
  EXPECT_EQ(ArgbAt(scaled.destination.get(), 1, 0), 0xFF00007Fu) << "coverage 255 at alpha 128 is weight 129";
  EXPECT_EQ(ArgbAt(scaled.destination.get(), 3, 0), kBlue);
  EXPECT_EQ(ArgbAt(scaled.destination.get(), 2, 0), 0xFF0000BFu) << "129 x 129 / 256 = 65";
}

TEST(PixmapCopyTest, SourceAlphaIsTheAutomaticModeOfMapsWithAlpha) {
  UniquePixmap source = NewMap(3, 1, kPixel8888), destination = NewMap(3, 1, kPixel8888);
  Fill(destination.get(), [](int32_t, int32_t) { return kBlue; });
  uint32_t* pixels = reinterpret_cast<uint32_t*>(source->baseAddress);
  pixels[0] = 0x00FF0000, pixels[1] = 0xFFFF0000, pixels[2] = 0x80FF0000;
  ASSERT_EQ(PixmapCopy(destination.get(), nullptr, source.get(), nullptr, nullptr, nullptr), kOk);
  EXPECT_EQ(ArgbAt(destination.get(), 0, 0), kBlue);
  EXPECT_EQ(ArgbAt(destination.get(), 1, 0), kRed);
  EXPECT_EQ(ArgbAt(destination.get(), 2, 0), 0xFF80007Fu);
  EXPECT_EQ(reinterpret_cast<uint32_t*>(destination->baseAddress)[2] >> 24, 255u) << "alpha field set full";
}

TEST(PixmapCopyTest, KeyColourLeavesKeyPixelsOut) {
  ColourTable table = SystemColourTable();
  UniquePixmap source = NewMap(4, 1, kPixelIndexed, &table), destination = NewMap(4, 1, kPixelIndexed, &table);
  Fill(source.get(), [](int32_t x, int32_t) { return x % 2 == 0 ? 0 : 35 + x; });
  Fill(destination.get(), [](int32_t, int32_t) { return 100; });
  const TransferMode key = Mode(kTransferKeyColour, 0);
  ASSERT_EQ(PixmapCopy(destination.get(), nullptr, source.get(), nullptr, &key, nullptr), kOk);
  EXPECT_EQ(IndexAt(destination.get(), 0, 0), 100);
  EXPECT_EQ(IndexAt(destination.get(), 1, 0), 36);
  EXPECT_EQ(IndexAt(destination.get(), 2, 0), 100);
  EXPECT_EQ(IndexAt(destination.get(), 3, 0), 38);

  // A direct key is the record's colour in the source's format, whatever the pixel's alpha.
  UniquePixmap direct = NewMap(3, 1, kPixel4444), target = NewMap(3, 1, kPixel32);
  Fill(direct.get(), [](int32_t x, int32_t) { return x == 1 ? 0xFFF80000u : 0xFF00FF00u; });
  reinterpret_cast<uint16_t*>(direct->baseAddress)[2] = 0x0F00;  // red with alpha 0
  Fill(target.get(), [](int32_t, int32_t) { return kBlue; });
  const TransferMode redKey = {kTransferKeyColour, 0, 0xFF, 0, 0};
  ASSERT_EQ(PixmapCopy(target.get(), nullptr, direct.get(), nullptr, &redKey, nullptr), kOk);
  EXPECT_EQ(ArgbAt(target.get(), 0, 0), 0xFF00FF00u);
  EXPECT_EQ(ArgbAt(target.get(), 1, 0), kBlue);
  EXPECT_EQ(ArgbAt(target.get(), 2, 0), kBlue);
}

TEST(PixmapCopyTest, IndexedCopies) {
  // Between maps of the grey table indices move unchanged; through the inverse table, whose grid has
  // 16 levels, most greys would not survive.
  UniquePixmap grey = NewMap(256, 1, kPixelIndexed, &GreyColourTable());
  UniquePixmap other = NewMap(256, 1, kPixelIndexed, &GreyColourTable());
  Fill(grey.get(), [](int32_t x, int32_t) { return x; });
  ASSERT_EQ(PixmapCopy(other.get(), nullptr, grey.get(), nullptr, nullptr, nullptr), kOk);
  for (int32_t x = 0; x < 256; ++x) ASSERT_EQ(IndexAt(other.get(), x, 0), x);

  // Different tables: colours are matched.
  ColourTable two{};
  two.count = 2;
  two.entries[0] = {255, 0, 0, 0};
  two.entries[1] = {255, 255, 255, 255};
  UniquePixmap bilevel = NewMap(256, 1, kPixelIndexed, &two);
  ASSERT_EQ(PixmapCopy(bilevel.get(), nullptr, grey.get(), nullptr, nullptr, nullptr), kOk);
  EXPECT_EQ(IndexAt(bilevel.get(), 10, 0), 0);
  EXPECT_EQ(IndexAt(bilevel.get(), 250, 0), 1);

  // A blend into an indexed map reads the destination through its table.
  UniquePixmap half = NewMap(1, 1, kPixelIndexed, &GreyColourTable());
  UniquePixmap white = NewMap(1, 1, kPixelIndexed, &GreyColourTable());
  Fill(white.get(), [](int32_t, int32_t) { return 255; });
  const TransferMode mid = Mode(kTransferBlend, 128);
  ASSERT_EQ(PixmapCopy(half.get(), nullptr, white.get(), nullptr, &mid, nullptr), kOk);
  EXPECT_EQ(IndexAt(half.get(), 0, 0), 136) << "grey 128 falls in the grid cell of level 136";
}

TEST(PixmapCopyTest, BadArgumentsAndEmptyCopies) {
  Maps maps(4, 4);
  const TransferMode unknown = Mode(9);
  EXPECT_EQ(PixmapCopy(maps.destination.get(), nullptr, maps.source.get(), nullptr, &unknown, nullptr), kErrArgument);
  UniquePixmap directMask = NewMap(4, 1, kPixel32);
  EXPECT_EQ(PixmapCopy(maps.destination.get(), nullptr, maps.source.get(), directMask.get(), nullptr, nullptr),
            kErrArgument);
  const Rect empty = {2, 0, 2, 1};
  EXPECT_EQ(PixmapCopy(maps.destination.get(), &empty, maps.source.get(), nullptr, nullptr, nullptr), kOk);
  EXPECT_EQ(ArgbAt(maps.destination.get(), 2, 0), kBlue);
  // A smaller mask limits the copy to the part it covers.
  UniquePixmap smallMask = NewMap(2, 1, kPixelIndexed, &GreyColourTable());
  Fill(smallMask.get(), [](int32_t, int32_t) { return 255; });
  ASSERT_EQ(PixmapCopy(maps.destination.get(), nullptr, maps.source.get(), smallMask.get(), nullptr, nullptr), kOk);
  EXPECT_EQ(ArgbAt(maps.destination.get(), 1, 0), 0xFF010000u);
  EXPECT_EQ(ArgbAt(maps.destination.get(), 3, 0), kBlue);
  EXPECT_EQ(maps.source->lockCount, 0u);
  EXPECT_EQ(maps.destination->lockCount, 0u);
}

}  // namespace
