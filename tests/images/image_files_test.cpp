// Images saved to and loaded from files of the file layer, on a scratch folder. Run under Wine.
#include "images/image_files.h"

#include <gtest/gtest.h>

#include "tests/files/file_layer_checks.h"
#include "tests/graphics/pixmap_test_support.h"

namespace {

TEST_F(FileLayerTest, ImagesSavedAndLoadedAgain) {
  UniquePixmap image = NewMap(5, 3, kPixelIndexed, &SystemColourTable());
  Fill(image.get(), [](int32_t x, int32_t y) { return x * 7 + y; });
  const MaskDescriptor key = {kTransferKeyColour, 7, 0, 0, 0};
  ImageInfo info{};
  ImageInfoReset(&info);
  for (FourCC format : {kImageGif, kImagePng}) {
    info.format = format;
    ASSERT_EQ(ImageSaveFile(folder_.get(), "picture", image.get(), nullptr, &key, &info), kOk);
    ASSERT_EQ(ImageSaveFile(folder_.get(), "picture", image.get(), nullptr, &key, &info), kOk) << "replaced";
    Pixmap* loaded = nullptr;
    MaskDescriptor descriptor;
    ImageInfo loadedInfo;
    ASSERT_EQ(ImageLoadFile(folder_.get(), "picture", &loaded, nullptr, &descriptor, &loadedInfo), kOk);
    UniquePixmap owned(loaded);
    EXPECT_EQ(loadedInfo.format, format);
    EXPECT_EQ(descriptor.alphaOrIndex, 7);
    for (int32_t y = 0; y < 3; ++y)
      for (int32_t x = 0; x < 5; ++x) EXPECT_EQ(IndexAt(loaded, x, y), x * 7 + y);
  }
  // A format without a writer, or a writer that refuses the map (a pattern's sides are powers of two),
  // leaves the file that was there.
  info.format = MakeFourCC("XBM ");
  EXPECT_EQ(ImageSaveFile(folder_.get(), "picture", image.get(), nullptr, &key, &info), kErrImageFormat);
  info.format = kImagePattern;
  EXPECT_EQ(ImageSaveFile(folder_.get(), "picture", image.get(), nullptr, &key, &info), kErrImageData);
  EXPECT_EQ(ReadAll(folder_.get(), "picture").substr(1, 3), "PNG");

  Pixmap* none = reinterpret_cast<Pixmap*>(&info);
  EXPECT_EQ(ImageLoadFile(folder_.get(), "missing", &none, nullptr, nullptr, nullptr), kErrFileNotFound);
  EXPECT_EQ(none, nullptr);
  ASSERT_EQ(FileWriteAll(folder_.get(), "text", false, false, 0, 0, HandleOf("not a picture at all").get()), kOk);
  EXPECT_EQ(ImageLoadFile(folder_.get(), "text", &none, nullptr, nullptr, nullptr), kErrImageFormat);
}

}  // namespace
