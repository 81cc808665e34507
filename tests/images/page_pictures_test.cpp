// The pictures the order pages use, read with the program's own readers: each is where the pages look
// for it, in the state layout the page markup names, and the archive stays small.
#include <gtest/gtest.h>

#include <string>

#include "tests/images/image_test_support.h"

namespace {

std::filesystem::path PagePicture(const char* name) {
#ifdef _WIN32
  return std::filesystem::path("Z:" SKYWARD_PAGES_DIR) / name;
#else
  return std::filesystem::path(SKYWARD_PAGES_DIR) / name;
#endif
}

struct Picture {
  explicit Picture(const char* name) : decoded(Decode(FileBytes(PagePicture(name)))) {}
  int32_t Width() const { return decoded.pixmap->bounds.right - decoded.pixmap->bounds.left; }
  int32_t Height() const { return decoded.pixmap->bounds.bottom - decoded.pixmap->bounds.top; }
  uint32_t At(int32_t x, int32_t y) const {
    return Shown(decoded.pixmap.get(), decoded.mask.get(), &decoded.descriptor, x, y);
  }
  Decoded decoded;
};

int Red(uint32_t c) { return (c >> 16) & 0xFF; }
int Green(uint32_t c) { return (c >> 8) & 0xFF; }
int Blue(uint32_t c) { return c & 0xFF; }
bool Opaque(uint32_t c) { return (c >> 24) == 0xFF; }
bool IsBlue(uint32_t c) { return Opaque(c) && Blue(c) > Red(c) + 60; }
bool IsWhite(uint32_t c) { return Opaque(c) && Red(c) > 240 && Green(c) > 240 && Blue(c) > 240; }
bool IsLightGrey(uint32_t c) {
  return Opaque(c) && std::abs(Red(c) - Blue(c)) < 40 && Red(c) > 170 && !IsWhite(c);
}
int Lightness(uint32_t c) { return Red(c) + Green(c) + Blue(c); }

// The cells of the arrow pictures, in the order the pages' SRC_RECT, DIM_RECT and LIT_RECT name them.
enum Cell { kNormal = 0, kDim = 1, kLit = 2 };

TEST(PagePictures, ArrowsHoldNormalDimAndLitSideBySide) {
  for (const char* name : {"rightarrow.png", "leftarrow.png"}) {
    SCOPED_TRACE(name);
    Picture arrow(name);
    ASSERT_EQ(arrow.decoded.status, kOk);
    ASSERT_EQ(arrow.Width(), 96);
    ASSERT_EQ(arrow.Height(), 32);
    for (int cell = 0; cell < 3; ++cell) {
      // Round buttons: the corners of each cell are clear, so any background shows through.
      EXPECT_EQ(arrow.At(cell * 32, 0), 0u);
      EXPECT_EQ(arrow.At(cell * 32 + 31, 31), 0u);
    }
    const uint32_t normal = arrow.At(kNormal * 32 + 16, 5);
    const uint32_t dim = arrow.At(kDim * 32 + 16, 5);
    const uint32_t lit = arrow.At(kLit * 32 + 16, 5);
    EXPECT_TRUE(IsBlue(normal)) << std::hex << normal;
    EXPECT_TRUE(IsLightGrey(dim)) << std::hex << dim;
    EXPECT_TRUE(IsBlue(lit)) << std::hex << lit;
    EXPECT_LT(Lightness(lit), Lightness(normal));  // pressed looks darker...
    // ...and its arrow sinks by one pixel: the shaft lies on rows 15 and 16 at rest, 16 and 17 pressed.
    EXPECT_TRUE(IsWhite(arrow.At(kNormal * 32 + 14, 15)));
    EXPECT_FALSE(IsWhite(arrow.At(kNormal * 32 + 14, 17)));
    EXPECT_FALSE(IsWhite(arrow.At(kLit * 32 + 14, 14)));
    EXPECT_TRUE(IsWhite(arrow.At(kLit * 32 + 14, 17)));
  }
  // The back arrow is the next arrow mirrored, state by state.
  Picture right("rightarrow.png");
  Picture left("leftarrow.png");
  for (int cell = 0; cell < 3; ++cell) {
    for (int y = 0; y < 32; ++y) {
      for (int x = 0; x < 32; ++x) {
        ASSERT_EQ(left.At(cell * 32 + x, y), right.At(cell * 32 + 31 - x, y)) << cell << " " << x << "," << y;
      }
    }
  }
}

TEST(PagePictures, TheLogoIsOpaqueAndFitsTheLeftColumn) {
  Picture logo("logo.gif");
  ASSERT_EQ(logo.decoded.status, kOk);
  EXPECT_LE(logo.Width(), 100);  // the column is 110 pixels wide with its margins
  EXPECT_LE(logo.Height(), 40);
  EXPECT_NE(logo.decoded.descriptor.mode, uint32_t(kTransferKeyColour));  // no colour of it turns clear
  EXPECT_TRUE(IsWhite(logo.At(0, 0)));
  EXPECT_TRUE(IsWhite(logo.At(logo.Width() - 1, logo.Height() - 1)));
  int blue = 0, dark = 0;
  for (int y = 0; y < logo.Height(); ++y) {
    for (int x = 0; x < logo.Width(); ++x) {
      blue += IsBlue(logo.At(x, y));
      dark += Lightness(logo.At(x, y)) < 3 * 80;
    }
  }
  EXPECT_GT(blue, 200);  // the tile
  EXPECT_GT(dark, 50);   // the name
}

TEST(PagePictures, ThePrintableLogoIsALargerLogoInGreys) {
  Picture logo("logo.gif");
  Picture printable("printablelogo.gif");
  ASSERT_EQ(printable.decoded.status, kOk);
  // Printed at a quarter of its pixel size, where it takes the place of the page logo.
  EXPECT_EQ(printable.Width(), 4 * logo.Width());
  EXPECT_EQ(printable.Height(), 4 * logo.Height());
  EXPECT_NE(printable.decoded.descriptor.mode, uint32_t(kTransferKeyColour));
  int black = 0, white = 0;
  for (int y = 0; y < printable.Height(); ++y) {
    for (int x = 0; x < printable.Width(); ++x) {
      const uint32_t c = printable.At(x, y);
      ASSERT_TRUE(Opaque(c) && Red(c) == Green(c) && Green(c) == Blue(c)) << std::hex << c << " at " << x << "," << y;
      black += Red(c) < 40;
      white += Red(c) > 250;
    }
  }
  EXPECT_GT(black, 1000);
  EXPECT_GT(white, printable.Width() * printable.Height() / 2);
}

TEST(PagePictures, PictogramsComeSmallAndAsHeadings) {
  for (const char* subject : {"email", "fax", "mail", "web", "phone", "cd", "done", "error"}) {
    for (const auto& [prefix, size] : {std::pair<std::string, int>{"icon_", 24}, {"heading_", 48}}) {
      const std::string name = prefix + subject + ".png";
      SCOPED_TRACE(name);
      Picture picture(name.c_str());
      ASSERT_EQ(picture.decoded.status, kOk);
      EXPECT_EQ(picture.Width(), size);
      EXPECT_EQ(picture.Height(), size);
      EXPECT_NE(picture.decoded.mask, nullptr);  // drawn over whatever the page has behind it
      EXPECT_EQ(picture.At(0, 0), 0u);
      int opaque = 0;
      for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) opaque += Opaque(picture.At(x, y));
      }
      EXPECT_GT(opaque, size * size / 5);
    }
  }
}

TEST(PagePictures, ThePicturesTakeLittleOfTheArchive) {
  uintmax_t total = 0;
  for (const auto& path : PagePictures()) total += std::filesystem::file_size(path);
  EXPECT_LT(total, 200000u);  // of the 2048000 bytes the program loads
}

}  // namespace
