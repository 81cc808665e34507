// What the writers make decodes to the same pixels in decoders that are not the system's own:
// ImageMagick's convert for GIF and PNG, and giflib for GIF; and in the system's own reader. Native only.
#include <gif_lib.h>
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <string>

#include "tests/images/image_test_support.h"

namespace {

namespace fs = std::filesystem;
using Pixels = std::vector<uint32_t>;  // 0xAARRGGBB, every transparent pixel 0

Pixels WithConvert(const fs::path& path) {
  FILE* pipe = popen(("convert '" + path.string() + "' rgba:- 2>/dev/null").c_str(), "r");
  Pixels argb;
  for (uint8_t p[4]; pipe && fread(p, 1, 4, pipe) == 4;)
    argb.push_back(p[3] == 0 ? 0 : uint32_t(p[3]) << 24 | uint32_t(p[0]) << 16 | uint32_t(p[1]) << 8 | p[2]);
  if (pipe) pclose(pipe);
  return argb;
}

Pixels WithGiflib(const fs::path& path) {
  int error = 0;
  GifFileType* gif = DGifOpenFileName(path.c_str(), &error);
  Pixels argb;
  if (gif && DGifSlurp(gif) == GIF_OK) {
    const SavedImage& image = gif->SavedImages[0];
    const ColorMapObject* map = image.ImageDesc.ColorMap ? image.ImageDesc.ColorMap : gif->SColorMap;
    GraphicsControlBlock control{0, 0, 0, NO_TRANSPARENT_COLOR};
    DGifSavedExtensionToGCB(gif, 0, &control);
    for (int i = 0; i < image.ImageDesc.Width * image.ImageDesc.Height; ++i) {
      const int index = image.RasterBits[i];
      const GifColorType c = map->Colors[index];
      argb.push_back(index == control.TransparentColor ? 0 : 0xFF000000u | c.Red << 16 | c.Green << 8 | c.Blue);
    }
  }
  if (gif) DGifCloseFile(gif, &error);
  return argb;
}

Pixels WithOurs(const fs::path& path) {
  const Decoded d = Decode(FileBytes(path));
  Pixels argb;
  for (int32_t y = 0; d.pixmap && y < HeightOf(d.pixmap.get()); ++y)
    for (int32_t x = 0; x < WidthOf(d.pixmap.get()); ++x)
      argb.push_back(Shown(d.pixmap.get(), d.mask.get(), &d.descriptor, x, y));
  return argb;
}

// How many pixels differ from what the map shows; -1 for a picture of another size. With
// `colourOnly`, a pixel the other decoder shows must have the same colour (whether the system makes it
// transparent is its own rule), and one it hides must be hidden by the system too.
int Differences(Pixmap* pixmap, Pixmap* mask, const MaskDescriptor* descriptor, const Pixels& decoded,
                bool colourOnly = false) {
  const int32_t width = WidthOf(pixmap);
  if (decoded.size() != size_t(width) * size_t(HeightOf(pixmap))) return -1;
  int differences = 0;
  for (size_t i = 0; i < decoded.size(); ++i) {
    const int32_t x = int32_t(i % size_t(width)), y = int32_t(i / size_t(width));
    const uint32_t theirs = decoded[i], ours = Shown(pixmap, mask, descriptor, x, y);
    if (!colourOnly) differences += theirs != ours;
    else if (theirs == 0) differences += ours != 0;
    else differences += (theirs & 0xFFFFFF) != (ArgbAt(pixmap, x, y) & 0xFFFFFF);
  }
  return differences;
}

// Writes the map and expects every decoder of the format to show the pixels the map shows.
void ExpectDecodersAgree(Pixmap* pixmap, Pixmap* mask, const MaskDescriptor* descriptor, FourCC format,
                         bool interlaced) {
  // One name per process: the cases of this program run side by side, and so may other checkouts.
  const fs::path path = fs::temp_directory_path() / ("skyward_writer_" + std::to_string(getpid()) +
                                                     (format == kImageGif ? ".gif" : ".png"));
  const Bytes bytes = Encode(pixmap, mask, descriptor, format, interlaced);
  std::ofstream(path, std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
  std::vector<Pixels (*)(const fs::path&)> decoders = {WithConvert, WithOurs};
  if (format == kImageGif) decoders.push_back(WithGiflib);
  for (size_t i = 0; i < decoders.size(); ++i)
    EXPECT_EQ(Differences(pixmap, mask, descriptor, decoders[i](path)), 0) << "decoder " << i << ", " << interlaced;
  fs::remove(path);
}

TEST(IndependentDecodersTest, GifFromTheWriter) {
  UniquePixmap image = NewMap(301, 203, kPixelIndexed, &SystemColourTable());
  uint32_t seed = 7;
  Fill(image.get(), [&](int32_t x, int32_t y) {
    seed = seed * 1103515245 + 12345;
    return (x / 9 + y / 7) % 3 == 0 ? int((seed >> 16) % 256) : (x + 2 * y) % 23;
  });
  const MaskDescriptor key = {kTransferKeyColour, 3, 0, 0, 0};
  for (bool interlaced : {false, true}) ExpectDecodersAgree(image.get(), nullptr, &key, kImageGif, interlaced);
}

TEST(IndependentDecodersTest, PngFromTheWriter) {
  ColourTable table = SystemColourTable();
  table.count = 16;
  table.entries[9].alpha = 100;
  UniquePixmap indexed = NewMap(77, 41, kPixelIndexed, &table), direct = NewMap(77, 41, kPixel888);
  UniquePixmap mask = NewMap(77, 41, kPixelIndexed, &GreyColourTable());
  Fill(indexed.get(), [](int32_t x, int32_t y) { return (x * 5 + y * 3) % 16; });
  Fill(direct.get(), [](int32_t x, int32_t y) { return 0xFF000000u | uint32_t(x * 3 << 16 | y * 6 << 8 | (x ^ y)); });
  Fill(mask.get(), [](int32_t x, int32_t y) { return (x * y) % 256; });
  const MaskDescriptor key = {kTransferKeyColour, 2, 0, 0, 0}, masked = {kTransferMask, 255, 0, 0, 0};
  for (bool interlaced : {false, true}) {
    ExpectDecodersAgree(indexed.get(), nullptr, &key, kImagePng, interlaced);
    ExpectDecodersAgree(direct.get(), nullptr, nullptr, kImagePng, interlaced);
    ExpectDecodersAgree(direct.get(), mask.get(), &masked, kImagePng, interlaced);
  }
}

// The pictures of the page archive as they came and as the system writes them again.
TEST(IndependentDecodersTest, PagePictures) {
  for (const auto& path : PagePictures()) {
    SCOPED_TRACE(path.filename().string());
    const Decoded d = Decode(FileBytes(path));
    ASSERT_EQ(d.status, kOk);
    EXPECT_EQ(Differences(d.pixmap.get(), d.mask.get(), &d.descriptor, WithConvert(path), true), 0);
    ExpectDecodersAgree(d.pixmap.get(), d.mask.get(), &d.descriptor, d.info.format, false);
  }
}

}  // namespace
