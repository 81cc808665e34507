// Every picture of the page archive decodes, and what the writers make of it decodes to the same pixels.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "images/image.h"
#include "tests/graphics/pixmap_test_support.h"
#include "tests/images/image_test_support.h"

namespace {

#ifdef _WIN32
const std::filesystem::path kPages = std::filesystem::path("Z:" SKYWARD_PAGES_DIR);
#else
const std::filesystem::path kPages = SKYWARD_PAGES_DIR;
#endif

struct Picture {
  Status status;
  UniquePixmap pixmap, mask;
  MaskDescriptor descriptor;
  ImageInfo info;
};

Picture Decode(MemoryHandle data) {
  Picture p{};
  Pixmap *pixmap = nullptr, *mask = nullptr;
  p.status = ImageRead(data, &pixmap, &mask, &p.descriptor, &p.info);
  p.pixmap.reset(pixmap);
  p.mask.reset(mask);
  return p;
}

// The colour a viewer shows for a pixel, with its coverage; transparent pixels are all alike.
uint32_t Seen(const Picture& p, int32_t x, int32_t y) {
  Colour c{};
  EXPECT_EQ(PixmapGetPixelColour(p.pixmap.get(), p.mask.get(), x, y, &c), kOk);
  const bool key = p.descriptor.mode == kTransferKeyColour && p.pixmap->kind == 1 &&
                   IndexAt(p.pixmap.get(), x, y) == p.descriptor.alphaOrIndex;
  return key || c.alpha == 0 ? 0 : ColourToArgb(c);
}

TEST(PagesPicturesTest, EveryPictureDecodesAndSurvivesItsWriter) {
  int pictures = 0;
  for (const auto& entry : std::filesystem::directory_iterator(kPages)) {
    const auto extension = entry.path().extension().string();
    if (extension != ".gif" && extension != ".png") continue;
    SCOPED_TRACE(entry.path().filename().string());
    std::ifstream file(entry.path(), std::ios::binary);
    const Bytes bytes{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    UniqueHandle data = HandleOf(bytes);
    const Picture original = Decode(data.get());
    ASSERT_EQ(original.status, kOk);
    EXPECT_EQ(original.info.format, extension == ".gif" ? kImageGif : kImagePng);
    const Rect b = original.pixmap->bounds;
    EXPECT_GT(b.right - b.left, 0);
    ++pictures;

    MemoryHandle encoded = nullptr;
    ASSERT_EQ(ImageWrite(original.pixmap.get(), original.mask.get(), &original.descriptor, &original.info, &encoded), kOk);
    UniqueHandle rewritten(encoded);
    const Picture again = Decode(rewritten.get());
    ASSERT_EQ(again.status, kOk);
    ASSERT_EQ(again.pixmap->bounds.right - again.pixmap->bounds.left, b.right - b.left);
    ASSERT_EQ(again.pixmap->bounds.bottom - again.pixmap->bounds.top, b.bottom - b.top);
    int differences = 0;
    for (int32_t y = 0; y < b.bottom - b.top; ++y)
      for (int32_t x = 0; x < b.right - b.left; ++x) differences += Seen(original, x, y) != Seen(again, x, y);
    EXPECT_EQ(differences, 0);
  }
  EXPECT_GE(pictures, 4);
}

}  // namespace
