// The JPEG glue: quality from the compression level, refusal of damaged data, grey and colour files,
// checked against files made with libjpeg directly.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>

#include <jpeglib.h>

#include "tests/images/image_test_support.h"

namespace {

// A width x height picture made by libjpeg itself: RGB of (x * 8, y * 8, 100), or grey x * 8.
Bytes ReferenceJpeg(int quality, bool grey, uint32_t width = 16, uint32_t height = 8, bool progressive = false) {
  jpeg_compress_struct jpeg{};
  jpeg_error_mgr errors{};
  jpeg.err = jpeg_std_error(&errors);
  jpeg_create_compress(&jpeg);
  unsigned char* buffer = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&jpeg, &buffer, &size);
  jpeg.image_width = width, jpeg.image_height = height;
  jpeg.input_components = grey ? 1 : 3;
  jpeg.in_color_space = grey ? JCS_GRAYSCALE : JCS_RGB;
  jpeg_set_defaults(&jpeg);
  jpeg_set_quality(&jpeg, quality, TRUE);
  if (progressive) jpeg_simple_progression(&jpeg);
  jpeg_start_compress(&jpeg, TRUE);
  std::vector<JSAMPLE> row(width * 3);
  for (uint32_t y = 0; y < height; ++y) {
    for (uint32_t x = 0; x < width; ++x) {
      if (grey) {
        row[x] = JSAMPLE(x * 8);
      } else {
        row[3 * x] = JSAMPLE(x * 8), row[3 * x + 1] = JSAMPLE(y * 8), row[3 * x + 2] = 100;
      }
    }
    JSAMPROW rows[1] = {row.data()};
    jpeg_write_scanlines(&jpeg, rows, 1);
  }
  jpeg_finish_compress(&jpeg);
  jpeg_destroy_compress(&jpeg);
  Bytes bytes(buffer, buffer + size);
  std::free(buffer);
  return bytes;
}

// The pixels libjpeg itself decodes, as 0xAARRGGBB with alpha 255.
std::vector<uint32_t> BareDecode(const Bytes& file) {
  jpeg_decompress_struct jpeg{};
  jpeg_error_mgr errors{};
  jpeg.err = jpeg_std_error(&errors);
  jpeg_create_decompress(&jpeg);
  jpeg_mem_src(&jpeg, file.data(), file.size());
  jpeg_read_header(&jpeg, TRUE);
  jpeg.out_color_space = JCS_RGB;
  jpeg_start_decompress(&jpeg);
  std::vector<uint32_t> pixels;
  std::vector<JSAMPLE> row(jpeg.output_width * 3);
  while (jpeg.output_scanline < jpeg.output_height) {
    JSAMPROW rows[1] = {row.data()};
    jpeg_read_scanlines(&jpeg, rows, 1);
    for (size_t x = 0; x < jpeg.output_width; ++x)
      pixels.push_back(0xFF000000u | uint32_t(row[3 * x]) << 16 | uint32_t(row[3 * x + 1]) << 8 | row[3 * x + 2]);
  }
  jpeg_finish_decompress(&jpeg);
  jpeg_destroy_decompress(&jpeg);
  return pixels;
}

// The quantisation table segments of a file, as stored.
Bytes QuantisationTables(const Bytes& file) {
  Bytes tables;
  for (size_t at = 2; at + 4 <= file.size() && file[at] == 0xFF && file[at + 1] != 0xDA;) {
    const size_t length = size_t(file[at + 2]) << 8 | file[at + 3];
    if (file[at + 1] == 0xDB) tables.insert(tables.end(), file.begin() + long(at), file.begin() + long(at + 2 + length));
    at += 2 + length;
  }
  return tables;
}

Bytes Written(uint8_t level) {
  UniquePixmap map = NewMap(16, 8, kPixel32);
  Fill(map.get(), [](int32_t x, int32_t y) { return 0xFF000000u | uint32_t(x * 8) << 16 | uint32_t(y * 8) << 8 | 100u; });
  ImageInfo info{};
  ImageInfoReset(&info);
  info.format = kImageJpegAlias;
  info.compression = level;
  MemoryHandle encoded = nullptr;
  EXPECT_EQ(ImageWrite(map.get(), nullptr, nullptr, &info, &encoded), kOk);
  UniqueHandle owned(encoded);
  return encoded ? BytesOf(encoded) : Bytes{};
}

TEST(JpegWriteTest, QualityFollowsTheCompressionLevel) {
  const std::pair<uint8_t, int> levels[] = {{0, 100}, {255, 0}, {128, 49}, {64, 74}};
  for (const auto& [level, quality] : levels) {
    const Bytes ours = QuantisationTables(Written(level));
    EXPECT_FALSE(ours.empty());
    EXPECT_EQ(ours, QuantisationTables(ReferenceJpeg(quality, false))) << int(level);
  }
  EXPECT_NE(QuantisationTables(Written(128)), QuantisationTables(ReferenceJpeg(50, false)));
}

TEST(JpegReadTest, ColourAndGreyFiles) {
  for (bool grey : {false, true}) {
    SCOPED_TRACE(grey);
    const Decoded d = Decode(ReferenceJpeg(100, grey));
    ASSERT_EQ(d.status, kOk);
    EXPECT_EQ(d.info.format, kImageJpeg);
    EXPECT_EQ(d.info.gamma, 1.0);
    EXPECT_EQ(d.descriptor.mode, kTransferCopy);
    EXPECT_EQ(d.mask, nullptr);
    EXPECT_EQ(d.pixmap->kind, 4);
    ASSERT_TRUE(WidthOf(d.pixmap.get()) == 16 && HeightOf(d.pixmap.get()) == 8);
    const std::vector<uint32_t> bare = BareDecode(ReferenceJpeg(100, grey));
    for (int32_t y = 0; y < 8; ++y) {
      for (int32_t x = 0; x < 16; ++x) {
        const uint32_t argb = ArgbAt(d.pixmap.get(), x, y);
        EXPECT_EQ(argb, bare[size_t(y * 16 + x)]) << x << ", " << y;
        const Colour c = ArgbToColour(argb);
        if (grey) {
          EXPECT_TRUE(c.green == c.red && c.blue == c.red && std::abs(c.red - x * 8) <= 2) << x << ", " << y;
        }
      }
    }
  }
}

TEST(JpegReadTest, DamagedFilesLeaveNothing) {
  const Bytes good = ReferenceJpeg(90, false, 64, 64);
  Bytes truncated(good.begin(), good.begin() + long(good.size() / 2));
  Bytes headerOnly(good.begin(), good.begin() + 40);
  Bytes scrambled = good;
  for (size_t i = 20; i < scrambled.size(); i += 7) scrambled[i] ^= 0x5A;
  Bytes huge = good;  // the frame claims 65000 x 65000 pixels
  for (size_t at = 2; at + 9 < huge.size(); ++at) {
    if (huge[at] == 0xFF && huge[at + 1] == 0xC0) {
      huge[at + 5] = huge[at + 7] = 0xFD, huge[at + 6] = huge[at + 8] = 0xE8;
      break;
    }
  }
  for (const Bytes& bytes : {truncated, headerOnly, scrambled, huge}) {
    const Decoded d = Decode(bytes);
    EXPECT_EQ(d.status, kErrImageData);
    EXPECT_EQ(d.pixmap, nullptr);
    EXPECT_EQ(d.info.format, 0u);
  }
}

// A progressive file whose last scan comes again and again: a few repeats decode, endless ones are
// refused rather than worked through.
TEST(JpegReadTest, EndlessScansAreRefused) {
  const Bytes progressive = ReferenceJpeg(90, false, 16, 16, true);
  size_t lastScan = 0;
  for (size_t at = 2; at + 1 < progressive.size(); ++at)
    if (progressive[at] == 0xFF && progressive[at + 1] == 0xDA) lastScan = at;
  ASSERT_GT(lastScan, 0u);
  const Bytes scan(progressive.begin() + long(lastScan), progressive.end() - 2);  // up to the end marker
  for (const auto& [repeats, status] : {std::pair{20, kOk}, std::pair{1500, kErrImageData}}) {
    Bytes file(progressive.begin(), progressive.end() - 2);
    for (int i = 0; i < repeats; ++i) Append(file, scan);
    Append(file, {0xFF, 0xD9});
    EXPECT_EQ(Decode(file).status, status) << repeats;
  }
}

TEST(JpegWriteTest, WrittenFilesReadBackClose) {
  UniquePixmap map = NewMap(33, 17, kPixel565);
  Fill(map.get(), [](int32_t x, int32_t y) { return 0xFF000000u | uint32_t(x * 7) << 16 | uint32_t(y * 15) << 8 | 64u; });
  const Decoded d = Decode(Encode(map.get(), nullptr, nullptr, kImageJpeg));
  ASSERT_EQ(d.status, kOk);
  ASSERT_TRUE(WidthOf(d.pixmap.get()) == 33 && HeightOf(d.pixmap.get()) == 17);
  int worst = 0;
  for (int32_t y = 0; y < 17; ++y) {
    for (int32_t x = 0; x < 33; ++x) {
      const Colour a = ArgbToColour(ArgbAt(map.get(), x, y)), b = ArgbToColour(ArgbAt(d.pixmap.get(), x, y));
      worst = std::max({worst, std::abs(a.red - b.red), std::abs(a.green - b.green), std::abs(a.blue - b.blue)});
    }
  }
  EXPECT_LE(worst, 8) << "level 0 is the best quality";
}

}  // namespace
