// The general copy between pixel maps: clipping, scaling and the transfer modes.
#include <gtest/gtest.h>

#include "tests/graphics/pixmap_test_support.h"

namespace {

using Row = std::vector<uint32_t>;
constexpr uint32_t kRed = 0xFFFF0000, kBlue = 0xFF0000FF;

TransferMode Mode(uint32_t mode, uint8_t alphaOrIndex = 0) { return TransferMode{mode, alphaOrIndex, 0, 0, 0}; }

Row RowOf(Pixmap* map, int32_t y = 0) {
  Row row;
  for (int32_t x = 0; x < WidthOf(map); ++x) row.push_back(ArgbAt(map, x, y));
  return row;
}

// A source whose pixel x has red = x, on a destination of blue.
struct Maps {
  UniquePixmap source, destination;
  Maps(int32_t sourceWidth, int32_t destinationWidth)
      : source(NewMap(sourceWidth, 1, kPixel32)), destination(NewMap(destinationWidth, 1, kPixel32)) {
    Fill(source.get(), [](int32_t x, int32_t) { return 0xFF000000u | uint32_t(x) << 16; });
    Fill(destination.get(), [](int32_t, int32_t) { return kBlue; });
  }
  Status Copy(const Rect* to, const TransferMode* mode = nullptr, const Rect* from = nullptr, Pixmap* mask = nullptr) {
    return PixmapCopy(destination.get(), to, source.get(), mask, mode, from);
  }
  uint32_t Red(int32_t x) { return ArgbAt(destination.get(), x, 0) >> 16 & 255; }
};

TEST(PixmapCopyTest, ClippingMovesTheOtherRectangleInProportion) {
  Maps same(100, 50), wide(200, 50), past(100, 100);
  const Rect hanging = {-10, 0, 40, 1}, from = {0, 0, 50, 1}, twice = {0, 0, 100, 1};
  ASSERT_EQ(same.Copy(&hanging, nullptr, &from), kOk);
  EXPECT_EQ(same.Red(0), 10u) << "10 pixels off the left start 10 pixels further right";
  EXPECT_EQ(same.Red(39), 49u);
  EXPECT_EQ(ArgbAt(same.destination.get(), 40, 0), kBlue);
  ASSERT_EQ(wide.Copy(&hanging, nullptr, &twice), kOk);
  EXPECT_EQ(wide.Red(0), 20u) << "with a source twice as wide, 20 pixels further right";
  EXPECT_EQ(wide.Red(1), 22u);

  // A source rectangle past the source's edge cuts the destination likewise.
  const Rect beyond = {90, 0, 110, 1}, to = {0, 0, 20, 1};
  const Rect outside = {500, 0, 600, 1}, huge = {INT32_MIN, 0, INT32_MAX, 1};
  ASSERT_EQ(past.Copy(&to, nullptr, &beyond), kOk);
  EXPECT_EQ(past.Red(9), 99u);
  EXPECT_EQ(ArgbAt(past.destination.get(), 10, 0), kBlue);
  EXPECT_EQ(past.Copy(&outside), kOk);
  EXPECT_EQ(past.Copy(&huge), kOk);
}

TEST(PixmapCopyTest, ScalingTakesTheNearestPixel) {
  UniquePixmap source = NewMap(2, 2, kPixel32), destination = NewMap(4, 4, kPixel565);
  Fill(source.get(), [](int32_t x, int32_t y) { return x == 1 && y == 1 ? kRed : 0xFF000000u; });
  ASSERT_EQ(PixmapCopy(destination.get(), nullptr, source.get(), nullptr, nullptr, nullptr), kOk);
  for (int32_t y = 0; y < 4; ++y)
    for (int32_t x = 0; x < 4; ++x) EXPECT_EQ(ArgbAt(destination.get(), x, y), x >= 2 && y >= 2 ? kRed : 0xFF000000u);
}

// The blends weigh by w = v + (v >> 7) of 256 and cut the quotient toward zero: blue 255 -> 0 at weight
// 129 leaves 127.
TEST(PixmapCopyTest, ConstantAlphaAndMaskCoverageBlend) {
  // Mask coverage 0, 255, 128 and 1 (a weight of 1: less than a step). Mode 4 scales every coverage by
  // the record's alpha and skips products of 255 or less.
  UniquePixmap mask = NewMap(4, 1, kPixelIndexed, &GreyColourTable());
  Fill(mask.get(), [](int32_t x, int32_t) { return x == 0 ? 0 : x == 1 ? 255 : x == 2 ? 128 : 1; });
  const TransferMode zero = Mode(kTransferBlend, 0), opaque = Mode(kTransferBlend, 255);
  const TransferMode mid = Mode(kTransferBlend, 128), half = Mode(kTransferMaskBlend, 128);
  const Row copied = {0xFF000000, 0xFF010000, 0xFF020000, 0xFF030000};
  const std::tuple<const TransferMode*, Pixmap*, Row> cases[] = {
      {nullptr, nullptr, copied},
      {&zero, nullptr, Row(4, kBlue)},
      {&opaque, nullptr, copied},
      {&mid, nullptr, Row{0xFF00007F, 0xFF00007F, 0xFF01007F, 0xFF01007F}},
      {nullptr, mask.get(), Row{kBlue, 0xFF010000, 0xFF01007F, kBlue}},
      {&half, mask.get(), Row{kBlue, 0xFF00007F, 0xFF0000BF, kBlue}}};
  for (size_t i = 0; i < std::size(cases); ++i) {
    Maps maps(4, 4);
    ASSERT_EQ(maps.Copy(nullptr, std::get<0>(cases[i]), nullptr, std::get<1>(cases[i])), kOk);
    EXPECT_EQ(RowOf(maps.destination.get()), std::get<2>(cases[i])) << "case " << i;
  }
}

// A mask lies over the source from its top left corner; where it ends, nothing is covered. Rows below a
// short mask are neither copied nor read from beyond the mask's own pixels.
TEST(PixmapCopyTest, AMaskShorterThanTheSourceLimitsTheCopy) {
  UniquePixmap source = NewMap(64, 64, kPixel32), destination = NewMap(64, 64, kPixel32);
  UniquePixmap mask = NewMap(64, 2, kPixelIndexed, &GreyColourTable());
  Fill(source.get(), [](int32_t x, int32_t y) { return 0xFF000000u | uint32_t(x) << 16 | uint32_t(y) << 8; });
  Fill(destination.get(), [](int32_t, int32_t) { return kBlue; });
  Fill(mask.get(), [](int32_t, int32_t) { return 255; });
  ASSERT_EQ(PixmapCopy(destination.get(), nullptr, source.get(), mask.get(), nullptr, nullptr), kOk);
  for (int32_t y = 0; y < 64; ++y) {
    for (int32_t x = 0; x < 64; ++x) {
      const uint32_t expected = y < 2 ? 0xFF000000u | uint32_t(x) << 16 | uint32_t(y) << 8 : kBlue;
      ASSERT_EQ(ArgbAt(destination.get(), x, y), expected) << x << ", " << y;
    }
  }
}

TEST(PixmapCopyTest, SourceAlphaIsTheAutomaticModeOfMapsWithAlpha) {
  UniquePixmap source = NewMap(3, 1, kPixel8888), destination = NewMap(3, 1, kPixel8888);
  Fill(destination.get(), [](int32_t, int32_t) { return kBlue; });
  uint32_t* pixels = reinterpret_cast<uint32_t*>(source->baseAddress);
  pixels[0] = 0x00FF0000, pixels[1] = 0xFFFF0000, pixels[2] = 0x80FF0000;
  ASSERT_EQ(PixmapCopy(destination.get(), nullptr, source.get(), nullptr, nullptr, nullptr), kOk);
  EXPECT_EQ(RowOf(destination.get()), (Row{kBlue, kRed, 0xFF80007F}));
  EXPECT_EQ(reinterpret_cast<uint32_t*>(destination->baseAddress)[2] >> 24, 255u) << "alpha field set full";
}

TEST(PixmapCopyTest, KeyColourLeavesKeyPixelsOut) {
  UniquePixmap source = NewMap(4, 1, kPixelIndexed, &SystemColourTable());
  UniquePixmap destination = NewMap(4, 1, kPixelIndexed, &SystemColourTable());
  Fill(source.get(), [](int32_t x, int32_t) { return x % 2 == 0 ? 0 : 35 + x; });
  Fill(destination.get(), [](int32_t, int32_t) { return 100; });
  const TransferMode key = Mode(kTransferKeyColour, 0);
  ASSERT_EQ(PixmapCopy(destination.get(), nullptr, source.get(), nullptr, &key, nullptr), kOk);
  for (int32_t x = 0; x < 4; ++x) EXPECT_EQ(IndexAt(destination.get(), x, 0), x % 2 == 0 ? 100 : 35 + x);

  // A direct key is the record's colour in the source's format, whatever the pixel's alpha.
  UniquePixmap direct = NewMap(3, 1, kPixel4444), target = NewMap(3, 1, kPixel32);
  Fill(direct.get(), [](int32_t x, int32_t) { return x == 1 ? 0xFFF80000u : 0xFF00FF00u; });
  reinterpret_cast<uint16_t*>(direct->baseAddress)[2] = 0x0F00;  // red with alpha 0
  Fill(target.get(), [](int32_t, int32_t) { return kBlue; });
  const TransferMode redKey = {kTransferKeyColour, 0, 0xFF, 0, 0};
  ASSERT_EQ(PixmapCopy(target.get(), nullptr, direct.get(), nullptr, &redKey, nullptr), kOk);
  EXPECT_EQ(RowOf(target.get()), (Row{0xFF00FF00, kBlue, kBlue}));
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
  ColourTable two{2, {{255, 0, 0, 0}, {255, 255, 255, 255}}};
  UniquePixmap bilevel = NewMap(256, 1, kPixelIndexed, &two);
  ASSERT_EQ(PixmapCopy(bilevel.get(), nullptr, grey.get(), nullptr, nullptr, nullptr), kOk);
  EXPECT_TRUE(IndexAt(bilevel.get(), 10, 0) == 0 && IndexAt(bilevel.get(), 250, 0) == 1);

  // A blend into an indexed map reads the destination through its table.
  UniquePixmap half = NewMap(1, 1, kPixelIndexed, &GreyColourTable());
  const TransferMode mid = Mode(kTransferBlend, 128);
  const Rect white = {255, 0, 256, 1};
  ASSERT_EQ(PixmapCopy(half.get(), nullptr, grey.get(), nullptr, &mid, &white), kOk);
  EXPECT_EQ(IndexAt(half.get(), 0, 0), 136) << "grey 128 falls in the grid cell of level 136";
}

TEST(PixmapCopyTest, BadArgumentsAndEmptyCopies) {
  Maps maps(4, 4);
  const TransferMode unknown = Mode(9);
  EXPECT_EQ(maps.Copy(nullptr, &unknown), kErrArgument);
  EXPECT_EQ(maps.Copy(nullptr, nullptr, nullptr, NewMap(4, 1, kPixel32).get()), kErrArgument) << "a direct mask";
  const Rect empty = {2, 0, 2, 1};
  EXPECT_EQ(maps.Copy(&empty), kOk);
  EXPECT_EQ(RowOf(maps.destination.get()), Row(4, kBlue));
  // A smaller mask limits the copy to the part it covers.
  UniquePixmap smallMask = NewMap(2, 1, kPixelIndexed, &GreyColourTable());
  Fill(smallMask.get(), [](int32_t, int32_t) { return 255; });
  ASSERT_EQ(maps.Copy(nullptr, nullptr, nullptr, smallMask.get()), kOk);
  EXPECT_EQ(RowOf(maps.destination.get()), (Row{0xFF000000, 0xFF010000, kBlue, kBlue}));
  EXPECT_TRUE(maps.source->lockCount == 0 && maps.destination->lockCount == 0);
}

}  // namespace
