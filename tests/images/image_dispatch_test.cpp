#include <gtest/gtest.h>

#include "images/image.h"
#include "images/image_stream.h"
#include "tests/images/image_test_support.h"

namespace {

FourCC Identify(const Bytes& bytes) { return ImageIdentify(HandleOf(bytes).get()); }

Bytes Padded(Bytes bytes, size_t size) {
  bytes.resize(size, 0);
  return bytes;
}

// A picture: size, frame 0,0 to 10,20, the version opcode and version 2.
Bytes Picture() { return {0, 0, 0, 0, 0, 0, 0, 10, 0, 20, 0, 0x11, 2, 0xFF}; }

TEST(ImageIdentifyTest, FirstBytesDecide) {
  EXPECT_EQ(Identify(Padded({'G', 'I', 'F', '8', '9', 'a'}, 16)), kImageGif);
  EXPECT_EQ(Identify(Padded({'G', 'I', 'F', '8', '9', 'a'}, 10)), 0u) << "the first tests need 16 bytes";
  EXPECT_EQ(Identify(Padded({0x89, 'P', 'N', 'G'}, 16)), kImagePng);
  EXPECT_EQ(Identify(Padded({0xFF, 0xD8, 0xFF, 0xE0, 0, 16, 'J', 'F', 'I', 'F', 0}, 16)), kImageJpeg);
  EXPECT_EQ(Identify(Padded({0xFF, 0xD8, 0xFF, 0xE1, 0, 16, 'E', 'x', 'i', 'f', 0}, 16)), 0u) << "only JFIF";
  EXPECT_EQ(Identify(Padded({'B', 'M', 55, 0, 0, 0, 0, 0, 0, 0, 54}, 16)), kImageBmp);
  EXPECT_EQ(Identify(Padded({'B', 'M', 54, 0, 0, 0, 0, 0, 0, 0, 54}, 16)), 0u) << "too small for a bitmap";
  EXPECT_EQ(Identify(Padded({'B', 'M', 55}, 16)), 0u) << "no pixel offset";
  EXPECT_EQ(Identify(Padded({'B', 'A', 40, 0, 0, 0, 0, 0, 0, 0, 1}, 16)), kImageBmp);
}

TEST(ImageIdentifyTest, PicturesWithAndWithoutTheirHeader) {
  EXPECT_EQ(Identify(Padded(Picture(), 16)), kImagePict);
  Bytes headed(512, 0);
  headed[0] = 1;  // not a picture at 0
  const Bytes picture = Picture();
  headed.insert(headed.end(), picture.begin(), picture.end());
  EXPECT_EQ(Identify(Padded(headed, 612)), kImagePict) << "the 612-byte window";
  EXPECT_EQ(Identify(Padded(headed, 611)), 0u) << "a shorter file is tested on 16 bytes";
  Bytes flat = Picture();
  flat[11] = 0x12;
  EXPECT_EQ(Identify(Padded(flat, 16)), 0u);
}

TEST(ImageIdentifyTest, PatternsAndTarga) {
  Bytes pattern(78, 0);
  pattern[1] = 1, pattern[5] = 28, pattern[9] = 78;
  pattern[51] = 0x48, pattern[55] = 0x48, pattern[61] = 8;
  EXPECT_EQ(Identify(pattern), kImagePattern);
  pattern[61] = 3;
  EXPECT_EQ(Identify(pattern), 0u);

  // Type 2 true colour, 24 bits, 4 x 2.
  Bytes targa = {0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 4, 0, 2, 0, 24, 0};
  EXPECT_EQ(Identify(targa), kImageTarga);
  Bytes mapped = targa;
  mapped[2] = 1;
  EXPECT_EQ(Identify(mapped), 0u) << "colour-mapped needs a map";
  mapped[1] = 1, mapped[5] = 16, mapped[7] = 24, mapped[16] = 8;
  EXPECT_EQ(Identify(mapped), kImageTarga);
  mapped[16] = 24;
  EXPECT_EQ(Identify(mapped), 0u) << "colour-mapped pixels are 8 bits";
  Bytes interleaved = targa;
  interleaved[17] = 0x40;
  EXPECT_EQ(Identify(interleaved), 0u);
  Bytes grey = targa;
  grey[2] = 3, grey[1] = 1, grey[5] = 2, grey[7] = 24;
  EXPECT_EQ(Identify(grey), 0u) << "grey must not have a map";
  Bytes negative = targa;
  negative[13] = 0x80;
  EXPECT_EQ(Identify(negative), 0u);
}

TEST(ImageReadTest, UnsupportedDataLeavesNoPixelMap) {
  MaskDescriptor mask = {kTransferKeyColour, 3, 0, 0, 0};
  ImageInfo info{};
  info.format = kImageGif;
  Pixmap* pixmap = reinterpret_cast<Pixmap*>(&info);
  UniqueHandle bitmap = HandleOf(Padded({'B', 'M', 55, 0, 0, 0, 0, 0, 0, 0, 54}, 64));
  EXPECT_EQ(ImageRead(bitmap.get(), &pixmap, nullptr, &mask, &info), kErrImageFormat);
  EXPECT_EQ(pixmap, nullptr);
  EXPECT_EQ(mask.mode, kTransferCopy);
  EXPECT_EQ(mask.alphaOrIndex, 255);
  EXPECT_EQ(info.format, 0u);
  UniqueHandle nothing = HandleOf({1, 2, 3});
  EXPECT_EQ(ImageRead(nothing.get(), &pixmap, nullptr, nullptr, nullptr), kErrImageFormat);
  EXPECT_EQ(ImageRead(nothing.get(), nullptr, nullptr, nullptr, nullptr), kErrArgument);
}

TEST(ImageStreamTest, ReadsAreAllOrNothingAndWritesAppend) {
  UniqueHandle data = HandleOf({1, 2, 3});
  ImageStream input = ImageStreamOver(data.get());
  uint8_t buffer[4] = {9, 9, 9, 9};
  EXPECT_EQ(ImageStreamRead(&input, 0, buffer), kOk);
  EXPECT_EQ(ImageStreamRead(&input, 2, buffer), kOk);
  EXPECT_EQ(ImageStreamRead(&input, 2, buffer + 2), kErrImageData);
  EXPECT_EQ(buffer[2], 9);
  EXPECT_EQ(input.position, 2u);
  EXPECT_EQ(ImageStreamReadByte(&input, buffer), kOk);
  EXPECT_EQ(ImageStreamReadByte(&input, buffer), kErrImageData);

  ImageStream* output = ImageStreamNewOutput();
  ASSERT_NE(output, nullptr);
  ASSERT_EQ(ImageStreamWrite(output, 3, "abc"), kOk);
  ASSERT_EQ(ImageStreamWriteByte(output, 'd'), kOk);
  ImageStreamReset(output);
  ASSERT_EQ(ImageStreamWrite(output, 2, "xy"), kOk);
  UniqueHandle written(ImageStreamDetach(output));
  EXPECT_EQ(BytesOf(written.get()), (Bytes{'x', 'y'}));
}

}  // namespace
