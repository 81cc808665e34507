// What the writers make decodes to the same pixels in decoders that are not the system's own:
// ImageMagick's convert for GIF and PNG, and giflib for GIF; and in the system's own reader. Native only.
#include <gif_lib.h>
#include <gtest/gtest.h>

#include <cstdio>

#include "tests/images/image_test_support.h"

namespace {

namespace fs = std::filesystem;

fs::path Saved(const Bytes& bytes, const std::string& name) {
  const fs::path path = fs::temp_directory_path() / ("skyward_" + name);
  std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
  return path;
}

// Pixels as 0xAARRGGBB, every transparent one 0.
std::vector<uint32_t> WithConvert(const fs::path& path) {
  FILE* pipe = popen(("convert '" + path.string() + "' rgba:- 2>/dev/null").c_str(), "r");
  std::vector<uint32_t> argb;
  for (uint8_t p[4]; pipe && fread(p, 1, 4, pipe) == 4;)
    argb.push_back(p[3] == 0 ? 0 : uint32_t(p[3]) << 24 | uint32_t(p[0]) << 16 | uint32_t(p[1]) << 8 | p[2]);
  if (pipe) pclose(pipe);
  return argb;
}

std::vector<uint32_t> WithGiflib(const fs::path& path) {
  int error = 0;
  GifFileType* gif = DGifOpenFileName(path.c_str(), &error);
  std::vector<uint32_t> argb;
  if (gif && DGifSlurp(gif) == GIF_OK) {
    const SavedImage& image = gif->SavedImages[0];
    const ColorMapObject* map = image.ImageDesc.ColorMap ? image.ImageDesc.ColorMap : gif->SColorMap;
    GraphicsControlBlock control{};
    control.TransparentColor = NO_TRANSPARENT_COLOR;
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

// The same through the system's own reader.
std::vector<uint32_t> WithOurs(const fs::path& path) {
  const Decoded d = Decode(FileBytes(path));
  std::vector<uint32_t> argb;
  for (int32_t y = 0; d.pixmap && y < HeightOf(d.pixmap.get()); ++y)
    for (int32_t x = 0; x < WidthOf(d.pixmap.get()); ++x)
      argb.push_back(Shown(d.pixmap.get(), d.mask.get(), &d.descriptor, x, y));
  return argb;
}

// With `colourOnly`, a pixel the other decoder shows must have the same colour (whether the system
// makes it transparent is its own rule), and one it hides must be hidden by the system too.
int Differences(Pixmap* pixmap, Pixmap* mask, const MaskDescriptor* descriptor, const std::vector<uint32_t>& decoded,
                bool colourOnly = false) {
  const int32_t width = WidthOf(pixmap);
  if (decoded.size() != size_t(width) * size_t(HeightOf(pixmap))) return -1;
  int differences = 0;
  for (int32_t y = 0; y < HeightOf(pixmap); ++y) {
    for (int32_t x = 0; x < width; ++x) {
      const uint32_t theirs = decoded[size_t(y) * size_t(width) + size_t(x)];
      const uint32_t ours = Shown(pixmap, mask, descriptor, x, y);
      if (!colourOnly)
        differences += theirs != ours;
      else if (theirs == 0)
        differences += ours != 0;
      else
        differences += (theirs & 0xFFFFFF) != (ArgbAt(pixmap, x, y) & 0xFFFFFF);
    }
  }
  return differences;
}

TEST(IndependentDecodersTest, GifFromTheWriter) {
  UniquePixmap image = NewMap(301, 203, kPixelIndexed, &SystemColourTable());
  uint32_t seed = 7;
  Fill(image.get(), [&](int32_t x, int32_t y) {
    seed = seed * 1103515245 + 12345;
    return (x / 9 + y / 7) % 3 == 0 ? int((seed >> 16) % 256) : (x + 2 * y) % 23;
  });
  const MaskDescriptor key = {kTransferKeyColour, 3, 0, 0, 0};
  for (bool interlaced : {false, true}) {
    SCOPED_TRACE(interlaced);
    const fs::path gif = Saved(Encode(image.get(), nullptr, &key, kImageGif, interlaced), "writer.gif");
    for (auto decoder : {WithConvert, WithGiflib, WithOurs})
      EXPECT_EQ(Differences(image.get(), nullptr, &key, decoder(gif)), 0);
    fs::remove(gif);
  }
}

TEST(IndependentDecodersTest, PngFromTheWriter) {
  ColourTable table = SystemColourTable();
  table.count = 16;
  table.entries[9].alpha = 100;
  UniquePixmap indexed = NewMap(77, 41, kPixelIndexed, &table);
  Fill(indexed.get(), [](int32_t x, int32_t y) { return (x * 5 + y * 3) % 16; });
  UniquePixmap direct = NewMap(77, 41, kPixel888);
  Fill(direct.get(), [](int32_t x, int32_t y) { return 0xFF000000u | uint32_t(x * 3) << 16 | uint32_t(y * 6) << 8 | uint32_t(x ^ y); });
  UniquePixmap mask = NewMap(77, 41, kPixelIndexed, &GreyColourTable());
  Fill(mask.get(), [](int32_t x, int32_t y) { return (x * y) % 256; });
  const MaskDescriptor key = {kTransferKeyColour, 2, 0, 0, 0}, masked = {kTransferMask, 255, 0, 0, 0};
  const struct {
    Pixmap *pixmap, *mask;
    const MaskDescriptor* descriptor;
  } kinds[] = {{indexed.get(), nullptr, &key}, {direct.get(), nullptr, nullptr}, {direct.get(), mask.get(), &masked}};
  for (bool interlaced : {false, true}) {
    for (const auto& k : kinds) {
      SCOPED_TRACE(testing::Message() << interlaced << " " << &k - kinds);
      const fs::path png = Saved(Encode(k.pixmap, k.mask, k.descriptor, kImagePng, interlaced), "writer.png");
      for (auto decoder : {WithConvert, WithOurs}) EXPECT_EQ(Differences(k.pixmap, k.mask, k.descriptor, decoder(png)), 0);
      fs::remove(png);
    }
  }
}

// The pictures of the page archive as they came and as the system writes them again.
TEST(IndependentDecodersTest, PagePicturesRewritten) {
  const auto pictures = PagePictures();
  EXPECT_GE(pictures.size(), 4u);
  for (const auto& path : pictures) {
    SCOPED_TRACE(path.filename().string());
    const Decoded d = Decode(FileBytes(path));
    ASSERT_EQ(d.status, kOk);
    Pixmap *pixmap = d.pixmap.get(), *mask = d.mask.get();
    EXPECT_EQ(Differences(pixmap, mask, &d.descriptor, WithConvert(path), true), 0);
    const fs::path again = Saved(Encode(pixmap, mask, &d.descriptor, d.info.format), "page" + path.extension().string());
    for (auto decoder : {WithConvert, WithOurs}) EXPECT_EQ(Differences(pixmap, mask, &d.descriptor, decoder(again)), 0);
    if (path.extension() == ".gif") {
      EXPECT_EQ(Differences(pixmap, mask, &d.descriptor, WithGiflib(again)), 0);
    }
    fs::remove(again);
  }
}

}  // namespace
