// What the writers make decodes to the same pixels in decoders that are not the system's own:
// ImageMagick's convert for every format it reads, and giflib for GIF; and in the system's own reader.
// Files that ImageMagick writes in every variant it can (depths, compressions, orientations) decode in
// the system's readers to the pixels ImageMagick reads from them. Native only.
#include <gif_lib.h>
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "tests/images/image_test_support.h"

namespace {

namespace fs = std::filesystem;
using Pixels = std::vector<uint32_t>;  // 0xAARRGGBB, every transparent pixel 0

// Runs a command line; true when it succeeded.
bool Shell(const std::string& command) { return std::system((command + " 2>/dev/null").c_str()) == 0; }

// With `opaque`, alpha is left out and every pixel keeps its colour.
Pixels WithConvert(const fs::path& path, bool opaque) {
  FILE* pipe = popen(("convert '" + path.string() + "' -auto-orient -depth 8 rgba:- 2>/dev/null").c_str(), "r");
  Pixels argb;
  for (uint8_t p[4]; pipe && fread(p, 1, 4, pipe) == 4;) {
    if (opaque) p[3] = 255;
    argb.push_back(p[3] == 0 ? 0 : uint32_t(p[3]) << 24 | uint32_t(p[0]) << 16 | uint32_t(p[1]) << 8 | p[2]);
  }
  if (pipe) pclose(pipe);
  return argb;
}

Pixels WithConvertOpaque(const fs::path& path) { return WithConvert(path, true); }
Pixels WithConvertAsIs(const fs::path& path) { return WithConvert(path, false); }

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

// Whether two pixels differ by more than `tolerance` in a channel (alpha included).
bool Apart(uint32_t a, uint32_t b, int tolerance) {
  for (int shift = 0; shift < 32; shift += 8) {
    const int difference = int(a >> shift & 255) - int(b >> shift & 255);
    if (difference > tolerance || difference < -tolerance) return true;
  }
  return false;
}

// How many pixels differ from what the map shows; -1 for a picture of another size. With
// `colourOnly`, a pixel the other decoder shows must have the same colour (whether the system makes it
// transparent is its own rule), and one it hides must be hidden by the system too. `tolerance` allows
// channels to differ that much (JPEG's transforms may round differently).
int Differences(Pixmap* pixmap, Pixmap* mask, const MaskDescriptor* descriptor, const Pixels& decoded,
                bool colourOnly = false, int tolerance = 0) {
  const int32_t width = WidthOf(pixmap);
  if (decoded.size() != size_t(width) * size_t(HeightOf(pixmap))) return -1;
  int differences = 0;
  for (size_t i = 0; i < decoded.size(); ++i) {
    const int32_t x = int32_t(i % size_t(width)), y = int32_t(i / size_t(width));
    const uint32_t theirs = decoded[i], ours = Shown(pixmap, mask, descriptor, x, y);
    if (!colourOnly) differences += Apart(theirs, ours, tolerance);
    else if (theirs == 0) differences += ours != 0;
    else differences += Apart(theirs | 0xFF000000, ArgbAt(pixmap, x, y) | 0xFF000000, tolerance);
  }
  return differences;
}

const char* ExtensionOf(FourCC format) {
  switch (format) {
    case kImageGif: return ".gif";
    case kImagePng: return ".png";
    case kImageJpeg: return ".jpg";
    case kImageBmp: return ".bmp";
    case kImageTarga: return ".tga";
    case kImagePict: return ".pict";
    default: return ".ppat";
  }
}

void WriteBytes(const fs::path& path, const Bytes& bytes) {
  std::ofstream(path, std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

// One name per process and purpose: the cases of this program run side by side, and so may other
// checkouts.
fs::path Scratch(const std::string& name) {
  return fs::temp_directory_path() / ("skyward_" + std::to_string(getpid()) + "_" + name);
}

// Writes the map and expects every decoder of the format to show the pixels the map shows. Formats that
// drop transparency are compared on colours alone; JPEG within `tolerance`.
void ExpectDecodersAgree(Pixmap* pixmap, Pixmap* mask, const MaskDescriptor* descriptor, FourCC format,
                         bool interlaced, int tolerance = 0) {
  SCOPED_TRACE(testing::Message() << WidthOf(pixmap) << " x " << HeightOf(pixmap) << ", " << pixmap->bitsPerPixel
                                  << " bits");
  const fs::path path = Scratch(std::string("writer") + ExtensionOf(format));
  WriteBytes(path, Encode(pixmap, mask, descriptor, format, interlaced));
  const bool opaque = format != kImageGif && format != kImagePng;
  std::vector<Pixels (*)(const fs::path&)> decoders = {opaque ? WithConvertOpaque : WithConvertAsIs, WithOurs};
  if (format == kImagePattern) decoders.erase(decoders.begin());  // ImageMagick has no reader for patterns
  if (format == kImageGif) decoders.push_back(WithGiflib);
  for (size_t i = 0; i < decoders.size(); ++i) {
    EXPECT_EQ(Differences(pixmap, opaque ? nullptr : mask, opaque ? nullptr : descriptor, decoders[i](path), false,
                          tolerance),
              0)
        << "decoder " << i << ", " << interlaced;
  }
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
    EXPECT_EQ(Differences(d.pixmap.get(), d.mask.get(), &d.descriptor, WithConvertAsIs(path), true), 0);
    ExpectDecodersAgree(d.pixmap.get(), d.mask.get(), &d.descriptor, d.info.format, false);
  }
}

// Every writer of the formats that drop transparency, on indexed and direct maps of odd sizes (row
// padding) with colours that use every bit of a channel.
TEST(IndependentDecodersTest, BmpTargaPictPatternAndJpegFromTheWriters) {
  ColourTable table = SystemColourTable();
  table.count = 200;
  UniquePixmap indexed = NewMap(37, 19, kPixelIndexed, &table), direct = NewMap(37, 19, kPixel888);
  UniquePixmap wide = NewMap(700, 3, kPixel32), squareIndexed = NewMap(16, 8, kPixelIndexed, &table);
  UniquePixmap squareDirect = NewMap(8, 4, kPixel32), thin = NewMap(1, 5, kPixel32);
  UniquePixmap highColour = NewMap(8, 16, kPixel555);
  const auto colours = [](int32_t x, int32_t y) {
    return 0xFF000000u | uint32_t((x * 7) & 255) << 16 | uint32_t((y * 13) & 255) << 8 | uint32_t((x * y) & 255);
  };
  const auto indices = [](int32_t x, int32_t y) { return (x * 3 + y * 5) % 200; };
  Fill(indexed.get(), indices);
  Fill(squareIndexed.get(), indices);
  for (Pixmap* map : {direct.get(), wide.get(), squareDirect.get(), thin.get(), highColour.get()}) Fill(map, colours);
  for (FourCC format : {kImageBmp, kImageTarga}) {
    SCOPED_TRACE(ExtensionOf(format));
    for (Pixmap* map : {indexed.get(), direct.get(), thin.get(), highColour.get()})
      ExpectDecodersAgree(map, nullptr, nullptr, format, false);
  }
  // Pictures: rows of fewer than 8 bytes are stored unpacked, which ImageMagick does not follow (its
  // writer packs them too), so the thin map is left to the picture tests. ImageMagick widens 5-bit
  // channels of 16-bit pixels by shifting alone (31 becomes 248, not 255).
  for (Pixmap* map : {indexed.get(), direct.get(), wide.get()}) ExpectDecodersAgree(map, nullptr, nullptr, kImagePict, false);
  ExpectDecodersAgree(highColour.get(), nullptr, nullptr, kImagePict, false, 7);
  for (Pixmap* map : {squareIndexed.get(), squareDirect.get(), highColour.get()})
    ExpectDecodersAgree(map, nullptr, nullptr, kImagePattern, false);
  // A smooth picture: JPEG's loss stays small.
  UniquePixmap smooth = NewMap(41, 23, kPixel32);
  Fill(smooth.get(), [](int32_t x, int32_t y) { return 0xFF000000u | uint32_t(x * 6) << 16 | uint32_t(y * 11) << 8 | 90u; });
  ExpectDecodersAgree(smooth.get(), nullptr, nullptr, kImageJpeg, false, 12);
}

// A picture ImageMagick makes from one source in a variant of a format, and how to compare it.
struct Variant {
  const char* file;     // its extension or prefix names the format to ImageMagick
  const char* options;  // given to convert before the output
  bool alpha;           // made from the source with alpha
  bool colourOnly;      // the system's reader reports no transparency for it
  int tolerance;
};

TEST(IndependentDecodersTest, FilesFromImageMagick) {
  const fs::path source = Scratch("source.png"), alphaSource = Scratch("alpha.png");
  ASSERT_TRUE(Shell("convert -size 37x19 gradient:'#ff2000'-'#0030ff' -swirl 120 -fill '#00ff80' "
                  "-draw 'circle 10,9 14,12' '" + source.string() + "'"));
  ASSERT_TRUE(Shell("convert '" + source.string() + "' -alpha set -channel A -fx 'i/w' +channel '" +
                  alphaSource.string() + "'"));
  const Variant variants[] = {
      {"BMP3:v.bmp", "", false, false, 0},                                  // 24 bits, 40-byte header
      {"BMP:v.bmp", "", false, false, 0},                                   // 24 bits, long header
      {"BMP2:v.bmp", "", false, false, 0},                                  // OS/2 core header
      {"BMP3:v.bmp", "-type palette", false, false, 0},                     // 8 bits
      {"BMP3:v.bmp", "-type palette -compress rle", false, false, 0},      // RLE8
      {"BMP3:v.bmp", "-colors 16", false, false, 0},                        // 4 bits
      {"BMP3:v.bmp", "-monochrome", false, false, 0},                       // 1 bit
      {"BMP:v.bmp", "-define bmp:subtype=RGB565", false, false, 0},         // 16-bit bit fields
      {"BMP:v.bmp", "-define bmp:subtype=RGB555", false, false, 0},
      {"BMP:v.bmp", "", true, true, 0},                                     // 32 bits with alpha
      {"v.tga", "", false, false, 0},                                       // 24 bits, bottom-up
      {"v.tga", "-compress rle", false, false, 0},
      {"v.tga", "", true, false, 0},                                        // 32 bits, top-down, alpha
      {"v.tga", "-compress rle", true, false, 0},
      {"v.tga", "-type palette", false, false, 0},                          // colour-mapped
      {"v.tga", "-type palette -compress rle", false, false, 0},
      {"v.tga", "-colorspace gray", false, false, 0},                       // grey
      {"v.tga", "-colorspace gray -compress rle", false, false, 0},
      // 16 bits: ImageMagick widens 5-bit channels by rounding v * 255 / 31, the format's readers by
      // repeating the top bits, which differs by one at some levels.
      {"v.tga", "-depth 5", false, false, 1},
      {"v.jpg", "", false, false, 2},                                       // baseline
      {"v.jpg", "-sampling-factor 1x1 -quality 95", false, false, 2},      // no subsampling
      {"v.jpg", "-interlace plane", false, false, 2},                       // progressive
      {"v.jpg", "-colorspace gray", false, false, 2},                       // grey
      {"v.jpg", "-define jpeg:restart-interval=1 -quality 20", false, false, 2},
      {"v.jpg", "-define jpeg:dct-method=float -define jpeg:optimize-coding=true", false, false, 2},
      {"v.pict", "", false, false, 0},                                      // 32-bit direct
      // Indexed: ImageMagick's tables hold 16-bit channels whose low byte is not a copy of the high
      // one; it rounds them, the format's readers keep the high byte, which may differ by one.
      {"v.pict", "-type palette", false, false, 1},
      {"v.pict", "-monochrome", false, false, 0},                           // 1 bit
      {"v.pict", "-colors 16", false, false, 1},
  };
  for (const Variant& v : variants) {
    SCOPED_TRACE(std::string(v.file) + " " + v.options + (v.alpha ? " (alpha)" : ""));
    const std::string file = v.file;
    const size_t colon = file.find(':');
    const fs::path path = Scratch(file.substr(colon == std::string::npos ? 0 : colon + 1));
    const std::string prefix = colon == std::string::npos ? "" : file.substr(0, colon + 1);
    ASSERT_TRUE(Shell("convert '" + (v.alpha ? alphaSource : source).string() + "' " + v.options + " '" + prefix +
                    path.string() + "'"));
    const Decoded d = Decode(FileBytes(path));
    ASSERT_EQ(d.status, kOk);
    EXPECT_EQ(Differences(d.pixmap.get(), d.mask.get(), &d.descriptor, WithConvert(path, v.colourOnly), v.colourOnly,
                          v.tolerance),
              0);
    fs::remove(path);
  }
  fs::remove(source);
  fs::remove(alphaSource);
}

}  // namespace
