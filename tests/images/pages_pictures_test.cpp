// Every picture of the page archive decodes; the independent decoders' test compares its pixels and
// those of the writers' copies with other decoders.
#include <gtest/gtest.h>

#include "tests/images/image_test_support.h"

namespace {

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
