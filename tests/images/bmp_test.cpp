// The BMP reader on files made byte by byte, and the writer's headers.
#include <gtest/gtest.h>

#include "runtime/byte_order.h"
#include "tests/images/image_test_support.h"

namespace {

// A bitmap file: the 14-byte file header, an information header of `headerSize` bytes (12: the OS/2
// core header), then `table` (entries as the file stores them), `extra` and the pixel data.
struct BmpShape {
  int32_t width = 2, height = 2;
  uint32_t bits = 24, compression = 0, coloursUsed = 0, headerSize = 40;
  uint32_t masks[3] = {};
  Bytes table, extra, pixels;
  int32_t offsetChange = 0;  // added to the true pixel-data offset
};

Bytes MakeBmp(const BmpShape& s) {
  Bytes info;
  AppendLittle(info, s.headerSize, 4);
  if (s.headerSize == 12) {
    AppendLittle(info, uint32_t(s.width), 2), AppendLittle(info, uint32_t(s.height), 2);
    AppendLittle(info, 1, 2), AppendLittle(info, s.bits, 2);
  } else {
    AppendLittle(info, uint32_t(s.width), 4), AppendLittle(info, uint32_t(s.height), 4);
    AppendLittle(info, 1, 2), AppendLittle(info, s.bits, 2), AppendLittle(info, s.compression, 4);
    AppendLittle(info, uint32_t(s.pixels.size()), 4), AppendLittle(info, 0, 8);
    AppendLittle(info, s.coloursUsed, 4), AppendLittle(info, 0, 4);
    for (uint32_t mask : s.masks)
      if (info.size() < s.headerSize) AppendLittle(info, mask, 4);
    info.resize(s.headerSize, 0);
  }
  const uint32_t offset = uint32_t(14 + info.size() + s.table.size() + s.extra.size() + s.offsetChange);
  Bytes file = {'B', 'M'};
  AppendLittle(file, uint32_t(offset + s.pixels.size() + 60), 4);
  AppendLittle(file, 0, 4), AppendLittle(file, offset, 4);
  Append(file, info), Append(file, s.table), Append(file, s.extra), Append(file, s.pixels);
  return file;
}

// A table of blue-green-red-pad entries: black, white, red, green.
const Bytes kTable4 = {0, 0, 0, 0, 255, 255, 255, 0, 0, 0, 255, 0, 0, 255, 0, 0};

std::vector<uint32_t> Row(Pixmap* pixmap, int32_t y) {
  std::vector<uint32_t> row;
  for (int32_t x = 0; x < WidthOf(pixmap); ++x) row.push_back(ArgbAt(pixmap, x, y));
  return row;
}

TEST(BmpReadTest, DepthsAndOrders) {
  constexpr uint32_t kBlack = 0xFF000000, kWhite = 0xFFFFFFFF, kRed = 0xFFFF0000, kGreen = 0xFF00FF00;
  constexpr uint32_t kBlue = 0xFF0000FF;
  BmpShape high;  // 16 bits, 5-5-5: 0x7FFF is white, 0x7C00 red; bottom row first
  high.bits = 16, high.pixels = {0xFF, 0x7F, 0x00, 0x7C, 0x1F, 0x00, 0xE0, 0x03};
  BmpShape topDown = high;
  topDown.height = -2;
  BmpShape fields = high;  // 5-6-5 bit fields in the 40-byte header's customary place after it
  fields.compression = 3, fields.extra = {0x00, 0xF8, 0, 0, 0xE0, 0x07, 0, 0, 0x1F, 0, 0, 0};
  fields.pixels = {0xFF, 0xFF, 0x00, 0xF8, 0x1F, 0x00, 0xE0, 0x07};
  BmpShape wideFields = fields;  // 32 bits with 10-bit channels in a long header: the top 8 bits count
  wideFields.bits = 32, wideFields.headerSize = 108, wideFields.extra = {};
  wideFields.masks[0] = 0x3FF00000, wideFields.masks[1] = 0x000FFC00, wideFields.masks[2] = 0x000003FF;
  wideFields.pixels = {0xFF, 0xFF, 0xFF, 0x3F, 0, 0, 0xF0, 0x3F, 0xFF, 0x03, 0, 0, 0, 0xFC, 0x0F, 0};
  BmpShape core;  // OS/2: 3-byte table entries, 1 bit, rows padded to 4 bytes
  core.headerSize = 12, core.bits = 1, core.table = {0, 0, 0, 255, 255, 255};
  core.pixels = {0x40, 0, 0, 0, 0x80, 0, 0, 0};
  BmpShape nibbles;  // 4 bits, two colours used
  nibbles.bits = 4, nibbles.coloursUsed = 4, nibbles.table = kTable4, nibbles.pixels = {0x23, 0, 0, 0, 0x10, 0, 0, 0};
  BmpShape plain24;  // OS/2 core header, 24 bits: the pixels start right after 26 bytes of headers
  plain24.headerSize = 12, plain24.pixels = {0, 0, 255, 0, 255, 0, 0, 0, 255, 255, 255, 0, 0, 0, 0, 0};
  const struct {
    const char* what;
    BmpShape shape;
    uint32_t kind;
    std::vector<uint32_t> top, bottom;
  } cases[] = {
      {"16 bits", high, 2, {kBlue, kGreen}, {kWhite, kRed}},
      {"16 bits top-down", topDown, 2, {kWhite, kRed}, {kBlue, kGreen}},
      {"16-bit fields", fields, 2, {kBlue, kGreen}, {kWhite, kRed}},
      {"32-bit fields", wideFields, 4, {kBlue, kGreen}, {kWhite, kRed}},
      {"1 bit", core, 1, {kWhite, kBlack}, {kBlack, kWhite}},
      {"4 bits", nibbles, 1, {kWhite, kBlack}, {kRed, kGreen}},
      {"24 bits", plain24, 3, {kWhite, kBlack}, {kRed, kGreen}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const Decoded d = Decode(MakeBmp(c.shape));
    ASSERT_EQ(d.status, kOk);
    EXPECT_EQ(d.info.format, kImageBmp);
    EXPECT_EQ(d.info.gamma, 2.2);
    EXPECT_EQ(d.descriptor.mode, kTransferCopy);
    EXPECT_EQ(d.pixmap->kind, c.kind);
    EXPECT_EQ(Row(d.pixmap.get(), 0), c.top);
    EXPECT_EQ(Row(d.pixmap.get(), 1), c.bottom);
  }
}

// Run-length data: runs, absolute runs (padded to 16 bits), deltas, line ends and the early end.
TEST(BmpReadTest, RunLengthRows) {
  BmpShape rle8;
  rle8.width = 6, rle8.height = 4, rle8.bits = 8, rle8.compression = 1, rle8.coloursUsed = 4, rle8.table = kTable4;
  rle8.pixels = {3, 2, 0, 3, 1, 3, 1, 0, 0, 0,  // bottom row: 2 2 2 1 3 1 (an odd absolute run and its pad)
                 0, 2, 2, 0,                    // two columns right on the same row
                 1, 3, 0, 0,                    // 0 0 3, then the line ends
                 0, 1};                         // the bitmap ends: the two top rows stay index 0
  BmpShape rle4 = rle8;
  rle4.bits = 4, rle4.compression = 2;
  rle4.pixels = {5, 0x12, 0, 0,     // 1 2 1 2 1, line end
                 0, 2, 1, 1,        // one column right, one row up: the row is finished with zeros
                 0, 3, 0x32, 0x10,  // absolute 3 2 1, in two bytes
                 0, 0, 0, 1};
  const struct {
    const char* what;
    BmpShape shape;
    std::vector<std::vector<uint8_t>> rows;  // top first
  } cases[] = {
      {"RLE8", rle8, {{0, 0, 0, 0, 0, 0}, {0, 0, 0, 0, 0, 0}, {0, 0, 3, 0, 0, 0}, {2, 2, 2, 1, 3, 1}}},
      {"RLE4", rle4, {{0, 0, 0, 0, 0, 0}, {0, 3, 2, 1, 0, 0}, {0, 0, 0, 0, 0, 0}, {1, 2, 1, 2, 1, 0}}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const Decoded d = Decode(MakeBmp(c.shape));
    ASSERT_EQ(d.status, kOk);
    for (int32_t y = 0; y < 4; ++y)
      for (int32_t x = 0; x < 6; ++x) EXPECT_EQ(IndexAt(d.pixmap.get(), x, y), c.rows[y][x]) << x << ", " << y;
    EXPECT_EQ(ArgbAt(d.pixmap.get(), 0, 0), 0xFF000000u) << "index 0 is black";
  }
  // A run longer than the line (rounded up to four pixels) goes on in the next line.
  BmpShape wrap = rle8;
  wrap.width = 3, wrap.height = 2, wrap.pixels = {6, 1, 0, 1};
  const Decoded d = Decode(MakeBmp(wrap));
  ASSERT_EQ(d.status, kOk);
  EXPECT_TRUE(IndexAt(d.pixmap.get(), 2, 1) == 1 && IndexAt(d.pixmap.get(), 0, 0) == 1 && IndexAt(d.pixmap.get(), 2, 0) == 0);
}

TEST(BmpReadTest, MalformedFilesLeaveNothing) {
  BmpShape good;
  good.bits = 8, good.coloursUsed = 4, good.table = kTable4, good.pixels = Bytes(8, 1);
  ASSERT_EQ(Decode(MakeBmp(good)).status, kOk);
  const auto with = [&](auto change) {
    BmpShape s = good;
    change(s);
    return MakeBmp(s);
  };
  // A bitmap array: offsets count from the start of the file.
  Bytes array = {'B', 'A', 40, 0, 0, 0, 1, 0, 0, 0, 40, 0, 0, 0};  // a second array follows: refused
  Append(array, with([](BmpShape& s) { s.offsetChange = 14; }));
  Bytes arrayOk = array;
  arrayOk[6] = 0;
  const std::pair<Bytes, Status> cases[] = {
      {with([](BmpShape& s) { s.offsetChange = -4; }), kErrImageData},  // pixels inside the table
      {with([](BmpShape& s) { s.width = 0; }), kErrImageData},
      {with([](BmpShape& s) { s.width = -2; }), kErrImageData},
      {with([](BmpShape& s) { s.bits = 3; }), kErrImageData},
      {with([](BmpShape& s) { s.coloursUsed = 257; }), kErrImageData},
      {with([](BmpShape& s) { s.compression = 2; }), kErrImageData},  // RLE4 needs 4 bits
      {with([](BmpShape& s) { s.compression = 3; }), kErrImageData},  // bit fields need 16 or 32 bits
      {with([](BmpShape& s) { s.pixels.pop_back(); }), kErrImageData},
      {with([](BmpShape& s) { s.headerSize = 11; }), kErrImageData},
      {with([](BmpShape& s) { s.width = 1 << 20, s.height = 1 << 20; }), kErrImageData},  // claims, no data
      {with([](BmpShape& s) { s.compression = 1, s.pixels = {2, 1, 0, 0}; }), kErrImageData},  // ends early
      {with([](BmpShape& s) { s.compression = 1, s.pixels = {0, 5, 1, 1}; }), kErrImageData},
      {array, kErrImageFormat},
  };
  for (size_t i = 0; i < std::size(cases); ++i) {
    const Decoded d = Decode(cases[i].first);
    EXPECT_EQ(d.status, cases[i].second) << "case " << i;
    EXPECT_EQ(d.pixmap, nullptr);
  }
  EXPECT_EQ(Decode(arrayOk).status, kOk) << "a bitmap array of one bitmap";
}

TEST(BmpWriteTest, HeadersAndRows) {
  UniquePixmap full = NewMap(3, 2, kPixelIndexed, &SystemColourTable());
  Fill(full.get(), [](int32_t x, int32_t y) { return x + 10 * y; });
  const Bytes bytes = Encode(full.get(), nullptr, nullptr, kImageBmpAlias);
  ASSERT_GE(bytes.size(), 54u + 1024 + 8);
  EXPECT_EQ(GetLittle32(bytes.data() + 46), 0u) << "256 colours are stored as 0";
  EXPECT_EQ(GetLittle32(bytes.data() + 10), 54u + 1024);
  EXPECT_EQ(GetLittle16(bytes.data() + 28), 8u);
  EXPECT_EQ(bytes.size(), 54u + 1024 + 2 * 4);
  EXPECT_EQ(bytes[54 + 1024], 10) << "the bottom row first";
  const ColourTable four{4, {{255, 1, 2, 3}}};
  UniquePixmap small = NewMap(2, 1, kPixelIndexed, &four);
  const Bytes few = Encode(small.get(), nullptr, nullptr, kImageBmp);
  EXPECT_EQ(GetLittle32(few.data() + 46), 4u);
  EXPECT_TRUE(few[54] == 3 && few[55] == 2 && few[56] == 1 && few[57] == 0) << "blue, green, red, 0";
  UniquePixmap direct = NewMap(3, 1, kPixel32);
  Fill(direct.get(), [](int32_t x, int32_t) { return 0xFF102030u + uint32_t(x); });
  const Bytes colours = Encode(direct.get(), nullptr, nullptr, kImageBmp);
  EXPECT_EQ(GetLittle16(colours.data() + 28), 24u);
  EXPECT_EQ(colours.size(), 54u + 12) << "9 bytes padded to 12";
  EXPECT_TRUE(colours[54] == 0x30 && colours[55] == 0x20 && colours[56] == 0x10);
  const Decoded back = Decode(colours);
  ASSERT_EQ(back.status, kOk);
  EXPECT_EQ(ArgbAt(back.pixmap.get(), 2, 0), 0xFF102032u);
}

}  // namespace
