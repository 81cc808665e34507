// The PICT reader on pictures made opcode by opcode (documented bytes: version 1 pictures, narrow and
// unusual rows and the refused opcodes are not what other programs on this machine write), and the
// writer read back.
#include <gtest/gtest.h>

#include "images/image_codecs.h"
#include "images/pict_opcodes.h"
#include "runtime/byte_order.h"
#include "tests/images/image_test_support.h"

namespace {

// A picture: optional 512-byte header, size, frame, version opcode; then opcodes and their data.
struct PictFile {
  Bytes bytes;
  bool version2;
  PictFile(bool v2, int top, int left, int bottom, int right, bool header = false) : version2(v2) {
    if (header) bytes.assign(512, 0);
    AppendBig(bytes, 0, 2);
    Rect(top, left, bottom, right);
    if (v2) {
      Data({0x00, 0x11, 0x02, 0xFF, 0x0C, 0x00});
      Data(Bytes(24, 0));
    } else {
      Data({0x11, 0x01});
    }
  }
  PictFile& Op(uint32_t op) {
    if (version2 && (bytes.size() & 1)) bytes.push_back(0);
    AppendBig(bytes, op, version2 ? 2 : 1);
    return *this;
  }
  PictFile& Data(const Bytes& data) {
    Append(bytes, data);
    return *this;
  }
  PictFile& Be16(uint32_t value) {
    AppendBig(bytes, value, 2);
    return *this;
  }
  PictFile& Rect(int top, int left, int bottom, int right) {
    for (int v : {top, left, bottom, right}) AppendBig(bytes, uint32_t(v), 2);
    return *this;
  }
  // A pixel map header from the row bytes on, bounds (0, 0, height, width).
  PictFile& PixelMap(uint32_t rowBytes, int height, int width, uint32_t packType, uint32_t pixelSize) {
    Be16(0x8000 | rowBytes).Rect(0, 0, height, width).Be16(0).Be16(packType);
    AppendBig(bytes, 0, 4), AppendBig(bytes, 0x00480000, 4), AppendBig(bytes, 0x00480000, 4);
    Be16(pixelSize > 8 ? 16 : 0).Be16(pixelSize).Be16(pixelSize > 8 ? 3 : 1).Be16(pixelSize > 8 ? 8 : pixelSize);
    AppendBig(bytes, 0, 12);
    return *this;
  }
  // Source and destination (0, 0, height, width) and transfer mode 0.
  PictFile& Rects(int height, int width) { return Rect(0, 0, height, width).Rect(0, 0, height, width).Be16(0); }
  Bytes End() {
    Op(0xFF);
    return bytes;
  }
};

// A two-colour table: red, then blue.
const Bytes kRedBlue = {0, 0, 0, 0, 0, 0, 0, 1, 0, 0, 0xFF, 0xFF, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0xFF, 0xFF};

TEST(PictReadTest, BitmapsAndPixelMaps) {
  // Version 1, BitsRect of a 1-bit bitmap: set bits black, clear ones white.
  const Bytes bits = PictFile(false, 0, 0, 2, 10)
                         .Op(0x90).Be16(2).Rect(0, 0, 2, 10).Rects(2, 10)
                         .Data({0xA0, 0x40, 0xFF, 0xC0})
                         .End();
  const Decoded b = Decode(bits);
  ASSERT_EQ(b.status, kOk);
  EXPECT_EQ(b.info.format, kImagePict);
  EXPECT_EQ(b.info.gamma, 1.7);
  ASSERT_EQ(b.pixmap->kind, 1);
  const uint8_t top[10] = {1, 0, 1, 0, 0, 0, 0, 0, 0, 1};
  for (int32_t x = 0; x < 10; ++x) EXPECT_EQ(IndexAt(b.pixmap.get(), x, 0), top[x]) << x;
  EXPECT_EQ(ArgbAt(b.pixmap.get(), 0, 0), 0xFF000000u);
  EXPECT_EQ(ArgbAt(b.pixmap.get(), 1, 0), 0xFFFFFFFFu);
  EXPECT_EQ(ArgbAt(b.pixmap.get(), 9, 1), 0xFF000000u);

  // PackBitsRect whose rows are 6 bytes: stored unpacked.
  const Bytes narrow = PictFile(true, 0, 0, 1, 6)
                           .Op(0x98).PixelMap(6, 1, 6, 0, 8).Data(kRedBlue).Rects(1, 6)
                           .Data({0, 1, 0, 1, 1, 0})
                           .End();
  const Decoded n = Decode(narrow);
  ASSERT_EQ(n.status, kOk);
  EXPECT_EQ(ArgbAt(n.pixmap.get(), 0, 0), 0xFFFF0000u);
  EXPECT_EQ(ArgbAt(n.pixmap.get(), 4, 0), 0xFF0000FFu);

  // DirectBitsRect of 32-bit pixels without their pad (pack type 2), with a mask region to pass over.
  const Bytes direct = PictFile(true, 0, 0, 1, 2)
                           .Op(0x9B).Data({0, 0, 0, 0xFF}).PixelMap(8, 1, 2, 2, 32).Rects(1, 2)
                           .Be16(10).Rect(0, 0, 1, 2)
                           .Data({0x11, 0x22, 0x33, 0x44, 0x55, 0x66})
                           .End();
  const Decoded d = Decode(direct);
  ASSERT_EQ(d.status, kOk);
  EXPECT_EQ(ArgbAt(d.pixmap.get(), 0, 0), 0xFF112233u);
  EXPECT_EQ(ArgbAt(d.pixmap.get(), 1, 0), 0xFF445566u);

  // Packed 16-bit rows, in 16-bit units: a run of three red pixels and one green literal.
  const Bytes high = PictFile(true, 0, 0, 1, 4)
                         .Op(0x9A).Data({0, 0, 0, 0xFF}).PixelMap(8, 1, 4, 3, 16).Rects(1, 4)
                         .Data({6, 0xFE, 0x7C, 0x00, 0x00, 0x03, 0xE0})
                         .End();
  const Decoded h = Decode(high);
  ASSERT_EQ(h.status, kOk);
  EXPECT_EQ(ArgbAt(h.pixmap.get(), 2, 0), 0xFFFF0000u);
  EXPECT_EQ(ArgbAt(h.pixmap.get(), 3, 0), 0xFF00FF00u);
}

TEST(PictReadTest, OpcodesAreSkippedByTheirRules) {
  // Drawing state of every length rule, and no bitmap: a white page of the frame.
  const Bytes drawing = PictFile(true, 0, 0, 3, 5)
                            .Op(0x01).Be16(10).Rect(0, 0, 3, 5)               // clip region
                            .Op(0x1A).Data({1, 2, 3, 4, 5, 6})                // foreground colour
                            .Op(0x2C).Data({0, 6, 0, 3, 3, 'a', 'b', 'c'})     // font name
                            .Op(0xA1).Be16(100).Be16(3).Data({1, 2, 3})       // long comment
                            .Op(0xA0).Be16(7)                                 // short comment
                            .Op(0xB5)                                         // reserved, no data
                            .Op(0xD0).Data({0, 0, 0, 2, 9, 9})                // reserved, long length
                            .Op(0x0200).Data({1, 2, 3, 4})                    // reserved, 2 x 2 bytes
                            .Op(0x8000)
                            .Op(0x8100).Data({0, 0, 0, 1, 5})
                            .Op(0x12).Be16(2).Data(Bytes(14, 0))              // a dithered pattern
                            .End();
  const Decoded d = Decode(drawing);
  ASSERT_EQ(d.status, kOk);
  EXPECT_EQ(d.pixmap->kind, 4);
  ASSERT_TRUE(WidthOf(d.pixmap.get()) == 5 && HeightOf(d.pixmap.get()) == 3);
  EXPECT_EQ(ArgbAt(d.pixmap.get(), 4, 2), 0xFFFFFFFFu);
  // Version 1 opcodes are single bytes.
  const Decoded v1 = Decode(PictFile(false, 0, 0, 2, 2).Op(0x03).Be16(1).Op(0x0D).Be16(12).Op(0x1C).End());
  ASSERT_EQ(v1.status, kOk);
  EXPECT_EQ(ArgbAt(v1.pixmap.get(), 1, 1), 0xFFFFFFFFu);
  // The table's rules, spot checks against the format's list.
  EXPECT_EQ(PictOpcodeOf(0x28).unsupported, true);
  EXPECT_EQ(PictOpcodeOf(0x2D).bytes, 10);
  EXPECT_EQ(PictOpcodeOf(0x60).bytes, 12);
  EXPECT_EQ(PictOpcodeOf(0x0C00).bytes, 24);
  EXPECT_EQ(PictOpcodeOf(0x0300).bytes, 6);
  EXPECT_TRUE(PictOpcodeOf(0x75).rule == PictRule::WordLength && PictOpcodeOf(0x75).unsupported);
  EXPECT_TRUE(PictOpcodeOf(0x84).rule == PictRule::RegionLength && PictOpcodeOf(0x84).unsupported);
  EXPECT_FALSE(PictOpcodeOf(0x32).unsupported);
}

TEST(PictReadTest, RefusedPictures) {
  const auto with = [](uint32_t op, const Bytes& data) { return PictFile(true, 0, 0, 2, 2).Op(op).Data(data).End(); };
  const auto mapOf = [](uint32_t rowBytes, uint32_t pack, uint32_t size, const Bytes& table) {
    return PictFile(true, 0, 0, 1, 2).Op(0x98).PixelMap(rowBytes, 1, 2, pack, size).Data(table).Rects(1, 2).End();
  };
  Bytes bigTable = {0, 0, 0, 0, 0, 0, 1, 0};  // 257 entries
  const std::pair<Bytes, Status> cases[] = {
      {with(0x28, {0, 0, 0, 0, 1, 'x'}), kErrUnsupported},  // text
      {with(0x12, {0, 1}), kErrUnsupported},                // a full pixel pattern
      {with(0x12, {0, 3}), kErrImageFormat},
      {with(0x8200, {0, 0, 0, 0}), kErrUnsupported},        // compressed movie image
      {with(0xD0, {0x80, 0, 0, 0}), kErrImageFormat},       // a negative long length
      {with(0xD0, {0, 0, 0x10, 0}), kErrImageData},         // more than there is
      {with(0x01, {0, 1}), kErrImageFormat},                // a region shorter than its size field
      {mapOf(8, 0, 3, kRedBlue), kErrImageFormat},          // pixel size 3
      {mapOf(8, 5, 8, kRedBlue), kErrImageFormat},          // pack type 5
      {mapOf(8, 0, 8, bigTable), kErrImageData},
      {PictFile(true, 0, 0, 2, 2).Op(0x1E).bytes, kErrImageData},  // no end
  };
  for (size_t i = 0; i < std::size(cases); ++i) {
    const Decoded d = Decode(cases[i].first);
    EXPECT_EQ(d.status, cases[i].second) << "case " << i;
    EXPECT_EQ(d.pixmap, nullptr);
  }
  // Not a picture after the version opcode's place: refused by the reader itself.
  Bytes noVersion = PictFile(false, 0, 0, 2, 2).End();
  noVersion[10] = 0x12;
  UniqueHandle handle = HandleOf(noVersion);
  ImageStream input = ImageStreamOver(handle.get());
  Pixmap* pixmap = nullptr;
  EXPECT_NE(PictRead(&input, &pixmap, nullptr, nullptr, nullptr), kOk);
  EXPECT_EQ(pixmap, nullptr);
}

TEST(PictReadTest, HeaderFrameAndScaling) {
  // A picture that passes the test at 0 is read from 0; one that passes only at 512 after its header.
  // Recognition tests 16 bytes, or 612 when there are as many: no-operation opcodes make up the length.
  const Bytes bare = PictFile(false, 0, 0, 2, 3).Data(Bytes(100, 0)).End();
  const Bytes headed = PictFile(false, 0, 0, 2, 3, true).Data(Bytes(100, 0)).End();
  for (const Bytes& bytes : {bare, headed}) {
    const Decoded d = Decode(bytes);
    ASSERT_EQ(d.status, kOk);
    EXPECT_TRUE(WidthOf(d.pixmap.get()) == 3 && HeightOf(d.pixmap.get()) == 2);
  }
  // A bitmap of half the frame's size is scaled up to the frame.
  const Bytes half = PictFile(true, 0, 0, 4, 4)
                         .Op(0x90).PixelMap(2, 2, 2, 0, 8).Data(kRedBlue).Rects(2, 2)
                         .Data({0, 1, 1, 0})
                         .End();
  const Decoded d = Decode(half);
  ASSERT_EQ(d.status, kOk);
  EXPECT_EQ(d.pixmap->bounds, (Rect{0, 0, 4, 4}));
  EXPECT_EQ(ArgbAt(d.pixmap.get(), 0, 0), 0xFFFF0000u);
  EXPECT_EQ(ArgbAt(d.pixmap.get(), 3, 0), 0xFF0000FFu);
  EXPECT_EQ(ArgbAt(d.pixmap.get(), 3, 3), 0xFFFF0000u);
}

TEST(PictWriteTest, MapsReadBack) {
  UniquePixmap full = NewMap(21, 5, kPixelIndexed, &SystemColourTable());
  Fill(full.get(), [](int32_t x, int32_t y) { return (x * 37 + y * 11) % 256; });
  UniquePixmap narrow = NewMap(1, 3, kPixel32), high = NewMap(9, 2, kPixel1555);
  Fill(narrow.get(), [](int32_t, int32_t y) { return 0xFF102030u * uint32_t(y + 1); });
  Fill(high.get(), [](int32_t x, int32_t y) { return 0xFF000000u | uint32_t(x * 28) << 16 | uint32_t(y * 200); });
  for (Pixmap* map : {full.get(), narrow.get(), high.get()}) {
    SCOPED_TRACE(map->bitsPerPixel);
    const Bytes bytes = Encode(map, nullptr, nullptr, kImagePict);
    ASSERT_GT(bytes.size(), 600u);
    EXPECT_EQ(GetBig16(bytes.data() + 512), (bytes.size() - 512) & 0xFFFF);
    EXPECT_EQ(bytes.size() % 2, 0u);
    const Decoded d = Decode(bytes);
    ASSERT_EQ(d.status, kOk);
    ASSERT_EQ(d.pixmap->bounds, map->bounds);
    for (int32_t y = 0; y < HeightOf(map); ++y) {
      for (int32_t x = 0; x < WidthOf(map); ++x) {
        EXPECT_EQ(ArgbAt(d.pixmap.get(), x, y), ArgbAt(map, x, y)) << x << ", " << y;
        if (map->kind == 1) {
          EXPECT_EQ(IndexAt(d.pixmap.get(), x, y), IndexAt(map, x, y));
        }
      }
    }
  }
  UniquePixmap tooWide = NewMap(5000, 1, kPixel32);
  EXPECT_TRUE(Encode(tooWide.get(), nullptr, nullptr, kImagePict, false, kErrImageData).empty());
}

}  // namespace
