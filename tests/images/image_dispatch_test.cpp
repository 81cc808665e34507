// Recognition by content, the dispatcher's outputs on failure, the image stream, and the pictures of the
// page archive.
#include <gtest/gtest.h>

#include "images/image_stream.h"
#include "tests/images/image_test_support.h"

namespace {

// The bytes with some of them changed, then cut or padded with zeros to `size` (0: as they are).
Bytes With(Bytes bytes, std::initializer_list<std::pair<size_t, uint8_t>> changes, size_t size = 0) {
  for (const auto& [at, value] : changes) bytes[at] = value;
  if (size) bytes.resize(size, 0);
  return bytes;
}

TEST(ImageIdentifyTest, FirstBytesDecide) {
  const Bytes gif = {'G', 'I', 'F', '8', '9', 'a'}, jfif = {0xFF, 0xD8, 0xFF, 0xE0, 0, 16, 'J', 'F', 'I', 'F', 0};
  const Bytes bitmap = {'B', 'M', 55, 0, 0, 0, 0, 0, 0, 0, 54};
  // A picture: size, frame 0,0 to 10,20, the version opcode and version 2; or the same after a 512-byte header.
  const Bytes picture = {0, 0, 0, 0, 0, 0, 0, 10, 0, 20, 0, 0x11, 2, 0xFF};
  Bytes headed(512, 0);
  headed[0] = 1;  // not a picture at 0
  headed.insert(headed.end(), picture.begin(), picture.end());
  const Bytes pattern = With(Bytes(78, 0), {{1, 1}, {5, 28}, {9, 78}, {51, 0x48}, {55, 0x48}, {61, 8}});
  // Targa type 2 true colour, 24 bits, 4 x 2; then colour-mapped with an 8-bit map.
  const Bytes targa = {0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 4, 0, 2, 0, 24, 0};
  const Bytes mapped = With(targa, {{2, 1}, {1, 1}, {5, 16}, {7, 24}, {16, 8}});
  const struct {
    Bytes bytes;
    FourCC format;
    const char* what;
  } cases[] = {
      {With(gif, {}, 16), kImageGif, "GIF"},
      {With(gif, {}, 10), 0, "the first tests need 16 bytes"},
      {With(gif, {{4, '8'}}, 16), 0, "GIF88a"},
      {With({0x89, 'P', 'N', 'G'}, {}, 16), kImagePng, "PNG"},
      {With(jfif, {}, 16), kImageJpeg, "JFIF"},
      {With(jfif, {{3, 0xE1}, {6, 'E'}, {7, 'x'}, {8, 'i'}, {9, 'f'}}, 16), 0, "only JFIF"},
      {With(bitmap, {}, 16), kImageBmp, "bitmap"},
      {With(bitmap, {{2, 54}}, 16), 0, "too small for a bitmap"},
      {With(bitmap, {{10, 0}}, 16), 0, "no pixel offset"},
      {With(bitmap, {{1, 'A'}, {2, 40}, {10, 1}}, 16), kImageBmp, "bitmap array"},
      {With(picture, {}, 16), kImagePict, "picture"},
      {With(picture, {{11, 0x12}}, 16), 0, "no version opcode"},
      {With(headed, {}, 612), kImagePict, "the 612-byte window"},
      {With(headed, {}, 611), 0, "a shorter file is tested on 16 bytes"},
      {pattern, kImagePattern, "pattern"},
      {With(pattern, {{61, 3}}), 0, "pattern of a bad depth"},
      {targa, kImageTarga, "Targa"},
      {With(targa, {{2, 1}}), 0, "colour-mapped needs a map"},
      {mapped, kImageTarga, "colour-mapped"},
      {With(mapped, {{16, 24}}), 0, "colour-mapped pixels are 8 bits"},
      {With(mapped, {{3, 16}}), 0, "the first map entry equal to the map length"},
      {With(mapped, {{3, 15}}), kImageTarga, "the first map entry the last one"},
      {With(targa, {{17, 0x40}}), 0, "interleaved"},
      {With(targa, {{2, 3}, {1, 1}, {5, 2}, {7, 24}}), 0, "grey must not have a map"},
      {With(targa, {{13, 0x80}}), 0, "negative width"},
  };
  for (const auto& c : cases) EXPECT_EQ(ImageIdentify(HandleOf(c.bytes).get()), c.format) << c.what;
}

// Outputs are reset first, so nothing of a failed read is left in them.
TEST(ImageReadTest, UnsupportedDataLeavesNoPixelMap) {
  MaskDescriptor mask = {kTransferKeyColour, 3, 0, 0, 0};
  ImageInfo info{};
  info.format = kImageGif;
  Pixmap* pixmap = reinterpret_cast<Pixmap*>(&info);
  UniqueHandle unknown = HandleOf(With({'B', 'M', 54, 0, 0, 0, 0, 0, 0, 0, 54}, {}, 64));  // too small for a bitmap
  EXPECT_EQ(ImageRead(unknown.get(), &pixmap, nullptr, &mask, &info), kErrImageFormat);
  EXPECT_TRUE(pixmap == nullptr && mask.mode == kTransferCopy && mask.alphaOrIndex == 255 && info.format == 0);
  EXPECT_EQ(ImageRead(unknown.get(), nullptr, nullptr, nullptr, nullptr), kErrArgument);
  // A recognised format whose reader refuses the data resets the outputs all the same.
  info.format = kImageGif, mask.mode = kTransferKeyColour;
  UniqueHandle bitmap = HandleOf(With({'B', 'M', 55, 0, 0, 0, 0, 0, 0, 0, 54}, {}, 64));  // no information header
  EXPECT_EQ(ImageRead(bitmap.get(), &pixmap, nullptr, &mask, &info), kErrImageData);
  EXPECT_TRUE(pixmap == nullptr && mask.mode == kTransferCopy && info.format == 0);
}

// Either code of a format reaches its writer, and what each writer makes is recognised as its format.
TEST(ImageWriteTest, EveryWriterIsReachedAndRecognised) {
  const std::pair<FourCC, FourCC> codes[] = {{kImageGif, kImageGifAlias},     {kImagePng, kImagePngAlias},
                                             {kImageJpeg, kImageJpegAlias},   {kImageBmp, kImageBmpAlias},
                                             {kImageTarga, kImageTargaAlias}, {kImagePict, kImagePict},
                                             {kImagePattern, kImagePattern}};
  UniquePixmap map = NewMap(4, 2, kPixelIndexed, &SystemColourTable());
  for (const auto& [primary, alias] : codes) {
    for (FourCC code : {primary, alias}) {
      const Bytes bytes = Encode(map.get(), nullptr, nullptr, code);
      EXPECT_EQ(ImageIdentify(HandleOf(bytes).get()), primary) << std::string(reinterpret_cast<const char*>(&code), 4);
    }
  }
  ImageInfo info{};
  info.format = MakeFourCC("XBM ");
  MemoryHandle encoded = reinterpret_cast<MemoryHandle>(&info);
  EXPECT_EQ(ImageWrite(map.get(), nullptr, nullptr, &info, &encoded), kErrImageFormat);
  EXPECT_EQ(encoded, nullptr);
}

// A read past the end fails without taking anything; the codecs rely on it to notice data that ends early.
TEST(ImageStreamTest, ReadsAreAllOrNothing) {
  UniqueHandle data = HandleOf({1, 2, 3});
  ImageStream input = ImageStreamOver(data.get());
  uint8_t buffer[4] = {9, 9, 9, 9};
  EXPECT_EQ(ImageStreamRead(&input, 2, buffer), kOk);
  EXPECT_EQ(ImageStreamRead(&input, 2, buffer + 2), kErrImageData);
  EXPECT_TRUE(buffer[2] == 9 && input.position == 2u);
  EXPECT_TRUE(ImageStreamReadByte(&input, buffer) == kOk && ImageStreamReadByte(&input, buffer) == kErrImageData);
}

// The independent decoders' test compares their pixels, and those of the writers' copies, with other
// decoders.
TEST(PagesPicturesTest, EveryPictureDecodes) {
  const auto pictures = PagePictures();
  EXPECT_GE(pictures.size(), 4u);
  for (const auto& path : pictures) {
    const Decoded d = Decode(FileBytes(path));
    EXPECT_EQ(d.status, kOk) << path;
    EXPECT_EQ(d.info.format, path.extension() == ".gif" ? kImageGif : kImagePng) << path;
  }
}

}  // namespace
