// Every picture of the page archive decodes, and what the writers make of it decodes to the same pixels.
#include <gtest/gtest.h>

#include "tests/images/image_test_support.h"

namespace {

TEST(PagesPicturesTest, EveryPictureDecodesAndSurvivesItsWriter) {
  const auto pictures = PagePictures();
  EXPECT_GE(pictures.size(), 4u);
  for (const auto& path : pictures) {
    SCOPED_TRACE(path.filename().string());
    const Decoded original = Decode(FileBytes(path));
    ASSERT_EQ(original.status, kOk);
    EXPECT_EQ(original.info.format, path.extension() == ".gif" ? kImageGif : kImagePng);
    Pixmap *map = original.pixmap.get(), *mask = original.mask.get();
    const Decoded again = Decode(Encode(map, mask, &original.descriptor, original.info.format, original.info.interlaced));
    ASSERT_EQ(again.status, kOk);
    ASSERT_TRUE(WidthOf(again.pixmap.get()) == WidthOf(map) && HeightOf(again.pixmap.get()) == HeightOf(map));
    int differences = 0;
    for (int32_t y = 0; y < HeightOf(map); ++y)
      for (int32_t x = 0; x < WidthOf(map); ++x)
        differences += Shown(map, mask, &original.descriptor, x, y) !=
                       Shown(again.pixmap.get(), again.mask.get(), &again.descriptor, x, y);
    EXPECT_EQ(differences, 0);
  }
}

}  // namespace
