// What the writers make decodes to the same pixels in decoders that are not the system's own:
// ImageMagick's convert for GIF and PNG, and giflib for GIF. Native only.
#include <gif_lib.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "images/image.h"
#include "tests/graphics/pixmap_test_support.h"
#include "tests/images/image_test_support.h"

namespace {

namespace fs = std::filesystem;

// 0xAARRGGBB as a viewer shows it: a transparent pixel is 0 whatever its colour.
uint32_t Shown(uint32_t argb) { return argb >> 24 == 0 ? 0 : argb; }

uint32_t Expected(Pixmap* pixmap, Pixmap* mask, const MaskDescriptor* descriptor, int32_t x, int32_t y) {
  Colour c{};
  PixmapGetPixelColour(pixmap, mask, x, y, &c);
  if (pixmap->kind > 1 && !mask) c.alpha = 255;
  if (descriptor && descriptor->mode == kTransferKeyColour && pixmap->kind == 1 &&
      IndexAt(pixmap, x, y) == descriptor->alphaOrIndex)
    c.alpha = 0;
  return Shown(ColourToArgb(c));
}

fs::path WriteFile(Pixmap* pixmap, Pixmap* mask, const MaskDescriptor* descriptor, FourCC format, bool interlaced,
                   const std::string& name) {
  ImageInfo info{};
  ImageInfoReset(&info);
  info.format = format;
  info.interlaced = interlaced;
  MemoryHandle encoded = nullptr;
  EXPECT_EQ(ImageWrite(pixmap, mask, descriptor, &info, &encoded), kOk);
  const fs::path path = fs::temp_directory_path() / ("skyward_" + name);
  std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(HandleData(encoded)),
                                              std::streamsize(HandleGetSize(encoded)));
  HandleDispose(encoded);
  return path;
}

std::vector<uint32_t> WithConvert(const fs::path& path, size_t pixels) {
  const std::string command = "convert '" + path.string() + "' rgba:- 2>/dev/null";
  FILE* pipe = popen(command.c_str(), "r");
  std::vector<uint8_t> rgba(pixels * 4);
  const size_t got = pipe ? fread(rgba.data(), 1, rgba.size(), pipe) : 0;
  if (pipe) pclose(pipe);
  EXPECT_EQ(got, rgba.size()) << command;
  std::vector<uint32_t> argb(pixels);
  for (size_t i = 0; i < pixels; ++i) {
    const uint8_t* p = &rgba[i * 4];
    argb[i] = Shown(uint32_t(p[3]) << 24 | uint32_t(p[0]) << 16 | uint32_t(p[1]) << 8 | p[2]);
  }
  return argb;
}

std::vector<uint32_t> WithGiflib(const fs::path& path) {
  int error = 0;
  GifFileType* gif = DGifOpenFileName(path.c_str(), &error);
  EXPECT_NE(gif, nullptr);
  if (!gif || DGifSlurp(gif) != GIF_OK) return {};
  const SavedImage& image = gif->SavedImages[0];
  const ColorMapObject* map = image.ImageDesc.ColorMap ? image.ImageDesc.ColorMap : gif->SColorMap;
  GraphicsControlBlock control{};
  control.TransparentColor = NO_TRANSPARENT_COLOR;
  DGifSavedExtensionToGCB(gif, 0, &control);
  std::vector<uint32_t> argb;
  const int count = image.ImageDesc.Width * image.ImageDesc.Height;
  for (int i = 0; i < count; ++i) {
    const int index = image.RasterBits[i];
    const GifColorType c = map->Colors[index];
    argb.push_back(index == control.TransparentColor ? 0 : 0xFF000000u | uint32_t(c.Red) << 16 | uint32_t(c.Green) << 8 | c.Blue);
  }
  DGifCloseFile(gif, &error);
  return argb;
}

// With `colourOnly`, a pixel the other decoder shows must have the same colour (whether the system
// makes it transparent is its own rule), and one it hides must be hidden by the system too.
int Differences(Pixmap* pixmap, Pixmap* mask, const MaskDescriptor* descriptor, const std::vector<uint32_t>& decoded,
                bool colourOnly = false) {
  const int32_t width = pixmap->bounds.right - pixmap->bounds.left, height = pixmap->bounds.bottom - pixmap->bounds.top;
  if (decoded.size() != size_t(width) * size_t(height)) return -1;
  int differences = 0;
  for (int32_t y = 0; y < height; ++y) {
    for (int32_t x = 0; x < width; ++x) {
      const uint32_t theirs = decoded[size_t(y) * size_t(width) + size_t(x)];
      const uint32_t ours = Expected(pixmap, mask, descriptor, x, y);
      if (!colourOnly) {
        differences += theirs != ours;
      } else if (theirs == 0) {
        differences += ours != 0;
      } else {
        differences += (theirs & 0xFFFFFF) != (ArgbAt(pixmap, x, y) & 0xFFFFFF);
      }
    }
  }
  return differences;
}

size_t Pixels(Pixmap* p) { return size_t(p->bounds.right - p->bounds.left) * size_t(p->bounds.bottom - p->bounds.top); }

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
    const fs::path gif = WriteFile(image.get(), nullptr, &key, kImageGif, interlaced, "writer.gif");
    EXPECT_EQ(Differences(image.get(), nullptr, &key, WithConvert(gif, Pixels(image.get()))), 0);
    EXPECT_EQ(Differences(image.get(), nullptr, &key, WithGiflib(gif)), 0);
    fs::remove(gif);
  }
}

TEST(IndependentDecodersTest, PngFromTheWriter) {
  ColourTable table = SystemColourTable();
  table.count = 16;
  table.entries[9].alpha = 100;
  UniquePixmap indexed = NewMap(77, 41, kPixelIndexed, &table);
  Fill(indexed.get(), [](int32_t x, int32_t y) { return (x * 5 + y * 3) % 16; });
  const MaskDescriptor key = {kTransferKeyColour, 2, 0, 0, 0};
  UniquePixmap direct = NewMap(77, 41, kPixel888);
  Fill(direct.get(), [](int32_t x, int32_t y) { return 0xFF000000u | uint32_t(x * 3) << 16 | uint32_t(y * 6) << 8 | uint32_t(x ^ y); });
  UniquePixmap mask = NewMap(77, 41, kPixelIndexed, &GreyColourTable());
  Fill(mask.get(), [](int32_t x, int32_t y) { return (x * y) % 256; });
  const MaskDescriptor masked = {kTransferMask, 255, 0, 0, 0};
  for (bool interlaced : {false, true}) {
    SCOPED_TRACE(interlaced);
    const fs::path palette = WriteFile(indexed.get(), nullptr, &key, kImagePng, interlaced, "palette.png");
    EXPECT_EQ(Differences(indexed.get(), nullptr, &key, WithConvert(palette, Pixels(indexed.get()))), 0);
    const fs::path rgb = WriteFile(direct.get(), nullptr, nullptr, kImagePng, interlaced, "rgb.png");
    EXPECT_EQ(Differences(direct.get(), nullptr, nullptr, WithConvert(rgb, Pixels(direct.get()))), 0);
    const fs::path rgba = WriteFile(direct.get(), mask.get(), &masked, kImagePng, interlaced, "rgba.png");
    EXPECT_EQ(Differences(direct.get(), mask.get(), &masked, WithConvert(rgba, Pixels(direct.get()))), 0);
    for (const fs::path& path : {palette, rgb, rgba}) fs::remove(path);
  }
}

// The pictures of the page archive, decoded by the system and written again.
TEST(IndependentDecodersTest, PagePicturesRewritten) {
  int pictures = 0;
  for (const auto& entry : fs::directory_iterator(SKYWARD_PAGES_DIR)) {
    const std::string extension = entry.path().extension().string();
    if (extension != ".gif" && extension != ".png") continue;
    SCOPED_TRACE(entry.path().filename().string());
    std::ifstream file(entry.path(), std::ios::binary);
    UniqueHandle data = HandleOf(Bytes{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()});
    Pixmap *pixmap = nullptr, *mask = nullptr;
    MaskDescriptor descriptor;
    ImageInfo info;
    ASSERT_EQ(ImageRead(data.get(), &pixmap, &mask, &descriptor, &info), kOk);
    UniquePixmap owned(pixmap), ownedMask(mask);
    // The original through convert too: the system's reader agrees with it on the file as it came.
    EXPECT_EQ(Differences(pixmap, mask, &descriptor, WithConvert(entry.path(), Pixels(pixmap)), true), 0);
    const fs::path rewritten = WriteFile(pixmap, mask, &descriptor, info.format, false, "page" + extension);
    EXPECT_EQ(Differences(pixmap, mask, &descriptor, WithConvert(rewritten, Pixels(pixmap))), 0);
    if (extension == ".gif") {
      EXPECT_EQ(Differences(pixmap, mask, &descriptor, WithGiflib(rewritten)), 0);
    }
    fs::remove(rewritten);
    ++pictures;
  }
  EXPECT_GE(pictures, 4);
}

}  // namespace
