// The pixel-pattern reader on patterns made byte by byte, and the writer read back.
#include <gtest/gtest.h>

#include "tests/images/image_test_support.h"

namespace {

// A pattern: the headers, the rows at offset 78, then the colour table (when `table` is not empty).
struct PatternShape {
  int width = 4, height = 2;
  uint32_t rowBytes = 0x8000 | 4, packType = 0, pixelSize = 8;
  Bytes rows, table;
  uint32_t flags = 0;
  bool noTable = false;
};

Bytes MakePattern(const PatternShape& s) {
  Bytes file;
  AppendBig(file, 1, 2), AppendBig(file, 28, 4), AppendBig(file, 78, 4), AppendBig(file, 0, 4);
  AppendBig(file, 0xFFFF, 2), AppendBig(file, 0, 4), AppendBig(file, 0, 8);  // expanded data, pattern
  AppendBig(file, 0, 4), AppendBig(file, s.rowBytes, 2);
  AppendBig(file, 0, 4), AppendBig(file, uint32_t(s.height), 2), AppendBig(file, uint32_t(s.width), 2);
  AppendBig(file, 0, 2), AppendBig(file, s.packType, 2), AppendBig(file, 0, 4);
  AppendBig(file, 0x00480000, 4), AppendBig(file, 0x00480000, 4);
  AppendBig(file, s.pixelSize > 8 ? 16 : 0, 2), AppendBig(file, s.pixelSize, 2), AppendBig(file, 1, 2);
  AppendBig(file, s.pixelSize, 2), AppendBig(file, 0, 4);
  AppendBig(file, s.noTable ? 0 : 78 + s.rows.size(), 4), AppendBig(file, 0, 4);
  Append(file, s.rows);
  if (!s.noTable) {
    AppendBig(file, 0, 4), AppendBig(file, s.flags, 2), AppendBig(file, uint32_t(s.table.size() / 8 - 1), 2);
    Append(file, s.table);
  }
  return file;
}

// Table entries: value, then red, green and blue as 16-bit numbers.
Bytes Entry(uint32_t value, uint32_t red, uint32_t green, uint32_t blue) {
  Bytes e;
  for (uint32_t v : {value, red, green, blue}) AppendBig(e, v, 2);
  return e;
}

TEST(PatternReadTest, TablePlacesEntriesByValueOrPosition) {
  PatternShape s;
  s.pixelSize = 2, s.rowBytes = 0x8000 | 2, s.rows = {0x1B, 0, 0xE4, 0};  // 0 1 2 3, then 3 2 1 0
  s.table = Entry(3, 0xFF00, 0, 0);
  Append(s.table, Entry(0, 0, 0xFF00, 0));
  const Decoded byValue = Decode(MakePattern(s));
  ASSERT_EQ(byValue.status, kOk);
  EXPECT_EQ(byValue.info.format, kImagePattern);
  EXPECT_EQ(byValue.info.gamma, 1.7);
  EXPECT_EQ(byValue.pixmap->colourTable.count, 4u);
  EXPECT_EQ(ArgbAt(byValue.pixmap.get(), 3, 0), 0xFFFF0000u) << "value 3 fills slot 3";
  EXPECT_EQ(ArgbAt(byValue.pixmap.get(), 0, 0), 0xFF00FF00u);
  EXPECT_EQ(ArgbAt(byValue.pixmap.get(), 1, 0), 0u) << "a slot no entry fills";
  EXPECT_EQ(IndexAt(byValue.pixmap.get(), 0, 1), 3);
  s.flags = 0x8000;
  const Decoded byPosition = Decode(MakePattern(s));
  ASSERT_EQ(byPosition.status, kOk);
  EXPECT_EQ(ArgbAt(byPosition.pixmap.get(), 0, 0), 0xFFFF0000u);
  EXPECT_EQ(ArgbAt(byPosition.pixmap.get(), 1, 0), 0xFF00FF00u);
}

TEST(PatternReadTest, DirectPixelsAreBigEndian) {
  PatternShape high;
  high.pixelSize = 16, high.rowBytes = 0x8000 | 8, high.rows = {0x7C, 0x00, 0x03, 0xE0, 0, 0x1F, 0x7F, 0xFF,
                                                                  0, 0, 0, 0, 0, 0, 0, 0};
  high.table = Entry(0, 0, 0, 0);
  PatternShape full = high;
  full.pixelSize = 32, full.rowBytes = 0x8000 | 16;
  full.rows = {0, 0xFF, 0, 0, 0, 0, 0xFF, 0, 0, 0, 0, 0xFF, 0, 1, 2, 3};
  full.rows.resize(32, 0);
  for (const PatternShape& s : {high, full}) {
    const Decoded d = Decode(MakePattern(s));
    ASSERT_EQ(d.status, kOk);
    EXPECT_EQ(ArgbAt(d.pixmap.get(), 0, 0), 0xFFFF0000u);
    EXPECT_EQ(ArgbAt(d.pixmap.get(), 1, 0), 0xFF00FF00u);
    EXPECT_EQ(ArgbAt(d.pixmap.get(), 2, 0), 0xFF0000FFu);
    EXPECT_EQ(ArgbAt(d.pixmap.get(), 3, 0), s.pixelSize == 16 ? 0xFFFFFFFFu : 0xFF010203u);
  }
}

TEST(PatternReadTest, MalformedPatternsLeaveNothing) {
  PatternShape good;
  good.rows = Bytes(8, 1), good.table = Entry(0, 0, 0, 0);
  Append(good.table, Entry(1, 0xFFFF, 0xFFFF, 0xFFFF));
  ASSERT_EQ(Decode(MakePattern(good)).status, kOk);
  const auto with = [&](auto change) {
    PatternShape s = good;
    change(s);
    return MakePattern(s);
  };
  Bytes tableBeyond = with([](PatternShape&) {});
  tableBeyond[72] = 0x10;  // the colour table's offset past the end
  Bytes bigTable = with([](PatternShape&) {});
  bigTable[78 + 8 + 6] = 1;  // 257 entries
  const Bytes cases[] = {
      with([](PatternShape& s) { s.packType = 1; }),
      with([](PatternShape& s) { s.width = 0; }),
      with([](PatternShape& s) { s.rowBytes |= 0x4000; }),
      with([](PatternShape& s) { s.rowBytes = 0x8003; }),               // odd rows
      with([](PatternShape& s) { s.rowBytes = 0x8002; }),               // too short for four pixels
      with([](PatternShape& s) { s.height = 9; }),                      // rows past the end of the data
      with([](PatternShape& s) { s.noTable = true; }),                  // indices without colours
      tableBeyond,
      bigTable,
  };
  for (size_t i = 0; i < std::size(cases); ++i) {
    const Decoded d = Decode(cases[i]);
    EXPECT_EQ(d.status, kErrImageData) << "case " << i;
    EXPECT_EQ(d.pixmap, nullptr);
  }
}

TEST(PatternWriteTest, PowersOfTwoReadBack) {
  ColourTable table = SystemColourTable();
  UniquePixmap indexed = NewMap(16, 16, kPixelIndexed, &table), narrow = NewMap(2, 4, kPixelIndexed, &table);
  UniquePixmap high = NewMap(4, 2, kPixel555), full = NewMap(8, 8, kPixel888);
  Fill(indexed.get(), [](int32_t x, int32_t y) { return x * 16 + y; });
  Fill(narrow.get(), [](int32_t x, int32_t y) { return x + 2 * y + 100; });
  for (Pixmap* map : {high.get(), full.get()})
    Fill(map, [](int32_t x, int32_t y) { return 0xFF000000u | uint32_t(x * 60) << 16 | uint32_t(y * 30) << 8 | 0x48u; });
  for (Pixmap* map : {indexed.get(), narrow.get(), high.get(), full.get()}) {
    SCOPED_TRACE(testing::Message() << WidthOf(map) << " x " << HeightOf(map));
    const Decoded d = Decode(Encode(map, nullptr, nullptr, kImagePattern));
    ASSERT_EQ(d.status, kOk);
    ASSERT_EQ(d.pixmap->bounds, map->bounds);
    EXPECT_EQ(d.pixmap->kind == 1, map->kind == 1);
    for (int32_t y = 0; y < HeightOf(map); ++y)
      for (int32_t x = 0; x < WidthOf(map); ++x) EXPECT_EQ(ArgbAt(d.pixmap.get(), x, y), ArgbAt(map, x, y)) << x << ", " << y;
    if (map->kind == 1) {
      EXPECT_EQ(IndexAt(d.pixmap.get(), 1, 1), IndexAt(map, 1, 1));
    }
  }
  UniquePixmap uneven = NewMap(12, 16, kPixelIndexed, &table), long32 = NewMap(4096, 2, kPixel32);
  EXPECT_TRUE(Encode(uneven.get(), nullptr, nullptr, kImagePattern, false, kErrImageData).empty());
  EXPECT_TRUE(Encode(long32.get(), nullptr, nullptr, kImagePattern, false, kErrImageData).empty()) << "rows of 16384";
}

}  // namespace
