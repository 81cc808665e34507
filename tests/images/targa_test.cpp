// The Targa reader on files made byte by byte, and the writer read back.
#include <gtest/gtest.h>

#include <cstring>

#include "tests/images/image_test_support.h"

namespace {

struct TgaShape {
  uint8_t mapType = 0, type = 2;
  uint16_t first = 0, mapLength = 0;
  uint8_t entrySize = 0;
  uint16_t width = 2, height = 1;
  uint8_t depth = 24, descriptor = 0;
  Bytes id, map, pixels;
  bool footer = false;
  uint32_t extensionSize = 495;  // with the footer, when not 0
  uint8_t attributes = 0;
  uint32_t keyColour = 0;  // bytes blue, green, red, alpha from the low end
  uint16_t gamma[2] = {0, 0};
  uint32_t extensionOffsetChange = 0;
};

Bytes MakeTga(const TgaShape& s) {
  Bytes file = {uint8_t(s.id.size()), s.mapType, s.type};
  AppendLittle(file, s.first, 2), AppendLittle(file, s.mapLength, 2), file.push_back(s.entrySize);
  AppendLittle(file, 0, 4), AppendLittle(file, s.width, 2), AppendLittle(file, s.height, 2);
  file.push_back(s.depth), file.push_back(s.descriptor);
  Append(file, s.id), Append(file, s.map), Append(file, s.pixels);
  if (!s.footer) return file;
  uint32_t extension = 0;
  if (s.extensionSize) {
    extension = uint32_t(file.size()) + s.extensionOffsetChange;
    Bytes area(495, 0);
    std::memcpy(area.data(), &s.extensionSize, 2);
    for (int i = 0; i < 4; ++i) area[470 + i] = uint8_t(s.keyColour >> (8 * i));
    area[478] = uint8_t(s.gamma[0]), area[479] = uint8_t(s.gamma[0] >> 8);
    area[480] = uint8_t(s.gamma[1]), area[481] = uint8_t(s.gamma[1] >> 8);
    area[494] = s.attributes;
    Append(file, area);
  }
  AppendLittle(file, extension, 4), AppendLittle(file, 0, 4);
  const char signature[] = "TRUEVISION-XFILE.";
  file.insert(file.end(), signature, signature + sizeof signature);  // with its NUL
  return file;
}

// Two 32-bit pixels, blue-green-red-alpha: half-transparent red, opaque green.
const Bytes kTwoWithAlpha = {0, 0, 255, 128, 0, 255, 0, 255};

TEST(TargaReadTest, AlphaFollowsTheDescriptorAndTheExtension) {
  TgaShape plain;
  plain.depth = 32, plain.descriptor = 8, plain.pixels = kTwoWithAlpha;
  TgaShape ignored = plain;  // the extension says the alpha means nothing
  ignored.footer = true;
  TgaShape useful = ignored;
  useful.attributes = 3;
  TgaShape counted = plain;  // without alpha bits the fourth byte is padding
  counted.descriptor = 0;
  TgaShape attribute = plain;  // 16 bits: the top bit marks the pixels that show
  attribute.depth = 16, attribute.descriptor = 1, attribute.pixels = {0x00, 0xFC, 0xE0, 0x03};
  const struct {
    const char* what;
    TgaShape shape;
    uint32_t mode;
    uint32_t shown[2];
  } cases[] = {
      {"no footer, 8 alpha bits", plain, kTransferMask, {0x80FF0000, 0xFF00FF00}},
      {"alpha to be ignored", ignored, kTransferCopy, {0xFFFF0000, 0xFF00FF00}},
      {"useful alpha", useful, kTransferMask, {0x80FF0000, 0xFF00FF00}},
      {"no alpha bits", counted, kTransferCopy, {0xFFFF0000, 0xFF00FF00}},
      {"16 bits, attribute bit", attribute, kTransferMask, {0xFFFF0000, 0}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const Decoded d = Decode(MakeTga(c.shape));
    ASSERT_EQ(d.status, kOk);
    EXPECT_EQ(d.info.format, kImageTarga);
    EXPECT_EQ(d.descriptor.mode, c.mode);
    for (int32_t x = 0; x < 2; ++x) EXPECT_EQ(Shown(d.pixmap.get(), d.mask.get(), &d.descriptor, x, 0), c.shown[x]);
  }
  // Without a mask output, useful alpha is blended from the map's own alpha channel.
  const Decoded own = Decode(MakeTga(useful), false);
  ASSERT_EQ(own.status, kOk);
  EXPECT_EQ(own.descriptor.mode, kTransferSourceAlpha);
  EXPECT_EQ(ArgbAt(own.pixmap.get(), 0, 0), 0x80FF0000u);
}

TEST(TargaReadTest, TablesOrdersAndFields) {
  TgaShape grey;  // type 3 without map: the grey table; bottom-up
  grey.type = 3, grey.depth = 8, grey.height = 2, grey.pixels = {10, 20, 30, 40};
  TgaShape mapped;  // a 16-bit map of 16 entries takes 32 bytes; an identification field of 10 bytes
  mapped.type = 1, mapped.mapType = 1, mapped.mapLength = 16, mapped.entrySize = 16, mapped.depth = 8;
  mapped.id = Bytes(10, 0xEE), mapped.descriptor = 32;
  for (uint32_t i = 0; i < 16; ++i) AppendLittle(mapped.map, i << 10 | (15 - i), 2);
  mapped.pixels = {15, 1};
  TgaShape mirrored;  // right to left, run-length coded: a run of two, then a literal of two
  mirrored.type = 10, mirrored.width = 4, mirrored.descriptor = 16 | 32;
  mirrored.pixels = {0x81, 0, 0, 255, 0x01, 0, 255, 0, 255, 0, 0};
  const Decoded g = Decode(MakeTga(grey));
  ASSERT_EQ(g.status, kOk);
  EXPECT_EQ(g.pixmap->colourTable.count, 256u);
  EXPECT_EQ(ArgbAt(g.pixmap.get(), 0, 0), 0xFF1E1E1Eu) << "the last row is the top";
  EXPECT_EQ(IndexAt(g.pixmap.get(), 1, 1), 20);
  const Decoded m = Decode(MakeTga(mapped));
  ASSERT_EQ(m.status, kOk);
  EXPECT_EQ(m.pixmap->colourTable.count, 16u);
  EXPECT_EQ(ArgbAt(m.pixmap.get(), 0, 0), 0xFF7B0000u) << "entry 15: red 15 of 31, widened";
  EXPECT_EQ(ArgbAt(m.pixmap.get(), 1, 0), 0xFF080073u);
  const Decoded r = Decode(MakeTga(mirrored));
  ASSERT_EQ(r.status, kOk);
  const uint32_t expected[4] = {0xFF0000FF, 0xFF00FF00, 0xFFFF0000, 0xFFFF0000};
  for (int32_t x = 0; x < 4; ++x) EXPECT_EQ(ArgbAt(r.pixmap.get(), x, 0), expected[x]) << x;
}

TEST(TargaReadTest, ExtensionGammaAndKeyColour) {
  TgaShape s;
  s.pixels = Bytes(6, 0);
  s.footer = true;
  const std::pair<std::array<uint16_t, 2>, double> gammas[] = {{{22, 10}, 2.2}, {{17, 10}, 1.7}, {{5, 0}, 2.2}};
  for (const auto& [ratio, gamma] : gammas) {
    s.gamma[0] = ratio[0], s.gamma[1] = ratio[1];
    const Decoded d = Decode(MakeTga(s));
    ASSERT_EQ(d.status, kOk);
    EXPECT_DOUBLE_EQ(d.info.gamma, gamma);
  }
  s.keyColour = 0x00112233;
  const Decoded key = Decode(MakeTga(s));
  EXPECT_EQ(key.descriptor.mode, kTransferKeyColour);
  EXPECT_TRUE(key.descriptor.red == 0x11 && key.descriptor.green == 0x22 && key.descriptor.blue == 0x33);
  // Colour-mapped: the first entry of that colour is the transparent index.
  TgaShape mapped = s;
  mapped.type = 1, mapped.mapType = 1, mapped.mapLength = 3, mapped.entrySize = 24, mapped.depth = 8;
  mapped.map = {0, 0, 0, 0x33, 0x22, 0x11, 0x33, 0x22, 0x11}, mapped.pixels = {0, 2};
  const Decoded indexed = Decode(MakeTga(mapped));
  EXPECT_EQ(indexed.descriptor.mode, kTransferKeyColour);
  EXPECT_EQ(indexed.descriptor.alphaOrIndex, 1);
}

TEST(TargaReadTest, MalformedFilesLeaveNothing) {
  TgaShape good;
  good.width = 8, good.height = 2, good.pixels = Bytes(48, 7);
  ASSERT_EQ(Decode(MakeTga(good)).status, kOk);
  const auto with = [&](auto change) {
    TgaShape s = good;
    change(s);
    return MakeTga(s);
  };
  Bytes badOffset = with([](TgaShape& s) { s.footer = true; });
  badOffset[badOffset.size() - 23] = 0x7F;  // the extension offset past the end
  const std::pair<Bytes, Status> cases[] = {
      {with([](TgaShape& s) { s.descriptor = 8; }), kErrImageData},  // 24 bits cannot carry alpha
      {with([](TgaShape& s) { s.depth = 16, s.descriptor = 2; }), kErrImageData},
      {with([](TgaShape& s) { s.depth = 32, s.descriptor = 4; }), kErrImageData},
      // A packet of 5 from the fourth-last pixel runs past the row.
      {with([](TgaShape& s) { s.type = 10, s.pixels = {0x83, 1, 2, 3, 0x84, 1, 2, 3, 0x87, 1, 2, 3}; }), kErrImageData},
      {with([](TgaShape& s) { s.pixels.pop_back(); }), kErrImageData},
      {with([](TgaShape& s) { s.footer = true, s.attributes = 4; }), kErrImageData},
      {with([](TgaShape& s) { s.footer = true, s.extensionOffsetChange = 100000; }), kErrImageData},
      {badOffset, kErrImageData},
      {with([](TgaShape& s) { s.depth = 8, s.pixels = Bytes(16, 0); }), kErrImageFormat},  // indices, no colours
      {with([](TgaShape& s) { s.width = 0; }), kErrImageData},
      {with([](TgaShape& s) { s.width = 30000, s.height = 30000; }), kErrImageData},  // no data for it
      {with([](TgaShape& s) { s.type = 10, s.width = 4000, s.height = 4000; }), kErrImageData},
  };
  for (size_t i = 0; i < std::size(cases); ++i) {
    const Decoded d = Decode(cases[i].first);
    EXPECT_EQ(d.status, cases[i].second) << "case " << i;
    EXPECT_TRUE(d.pixmap == nullptr && d.mask == nullptr);
  }
  // A foreign size field means no extension area; an unknown signature no footer.
  EXPECT_EQ(Decode(with([](TgaShape& s) { s.footer = true, s.extensionSize = 400, s.attributes = 9; })).status, kOk);
}

TEST(TargaWriteTest, IndexedAndDirectMapsReadBack) {
  ColourTable table = SystemColourTable();
  table.count = 40;
  UniquePixmap indexed = NewMap(5, 3, kPixelIndexed, &table), direct = NewMap(5, 3, kPixel565);
  Fill(indexed.get(), [](int32_t x, int32_t y) { return x * 7 + y; });
  Fill(direct.get(), [](int32_t x, int32_t y) { return 0xFF000000u | uint32_t(x * 50) << 16 | uint32_t(y * 80); });
  const Bytes bytes = Encode(indexed.get(), nullptr, nullptr, kImageTargaAlias);
  ASSERT_GT(bytes.size(), 18u);
  EXPECT_TRUE(bytes[1] == 1 && bytes[2] == 1 && bytes[5] == 40 && bytes[7] == 24 && bytes[16] == 8 && bytes[17] == 32);
  const Decoded back = Decode(bytes);
  ASSERT_EQ(back.status, kOk);
  EXPECT_EQ(back.pixmap->colourTable.count, 40u);
  for (int32_t y = 0; y < 3; ++y)
    for (int32_t x = 0; x < 5; ++x) EXPECT_EQ(IndexAt(back.pixmap.get(), x, y), x * 7 + y);
  for (uint32_t i = 0; i < 40; ++i) EXPECT_EQ(back.pixmap->colourTable.entries[i], table.entries[i]) << i;
  const Decoded colours = Decode(Encode(direct.get(), nullptr, nullptr, kImageTarga));
  ASSERT_EQ(colours.status, kOk);
  EXPECT_EQ(colours.pixmap->kind, 3);
  for (int32_t y = 0; y < 3; ++y)
    for (int32_t x = 0; x < 5; ++x) EXPECT_EQ(ArgbAt(colours.pixmap.get(), x, y), ArgbAt(direct.get(), x, y));
  UniquePixmap tall = NewMap(1, 40000, kPixelIndexed, &table);
  EXPECT_TRUE(Encode(tall.get(), nullptr, nullptr, kImageTarga, false, kErrImageData).empty());
}

// Pixels whose last bytes spell a footer - here with an extension offset far beyond the file, which
// the reader refuses - get a real footer after them; any other ending is written without one.
TEST(TargaWriteTest, PixelsThatEndAsAFooterWouldAreFollowedByARealOne) {
  ColourTable table = SystemColourTable();
  UniquePixmap map = NewMap(30, 1, kPixelIndexed, &table);
  Bytes indices(4, 7);
  AppendLittle(indices, 0xFFFFFF, 4), AppendLittle(indices, 0, 4);
  const char signature[] = "TRUEVISION-XFILE.";
  indices.insert(indices.end(), signature, signature + sizeof signature);  // with its NUL
  ASSERT_EQ(indices.size(), 30u);
  Fill(map.get(), [&](int32_t x, int32_t) { return indices[size_t(x)]; });
  const Bytes bytes = Encode(map.get(), nullptr, nullptr, kImageTarga);
  ASSERT_GT(bytes.size(), 18u);
  const size_t plain = 18 + 3 * size_t(bytes[5] | bytes[6] << 8) + 30;
  ASSERT_EQ(bytes.size(), plain + 26);
  const Decoded back = Decode(bytes);
  ASSERT_EQ(back.status, kOk);
  for (int32_t x = 0; x < 30; ++x) EXPECT_EQ(IndexAt(back.pixmap.get(), x, 0), indices[size_t(x)]) << x;

  indices[29] = 1;
  Fill(map.get(), [&](int32_t x, int32_t) { return indices[size_t(x)]; });
  EXPECT_EQ(Encode(map.get(), nullptr, nullptr, kImageTarga).size(), plain);
}

}  // namespace
