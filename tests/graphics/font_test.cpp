// Face lists, the port's text state and text drawing. Which faces exist depends on the machine's fonts,
// so every expectation about a face is taken from the system's own font enumeration.
#include "graphics/font_faces.h"

#include <gtest/gtest.h>

#include <cstring>
#include <initializer_list>
#include <string>

#include "graphics/port_draw.h"
#include "graphics/port_text.h"
#include "tests/graphics/surfaces.h"

namespace {

bool Installed(HDC dc, const std::string& name) {
  bool found = false;
  EnumFontFamiliesA(
      dc, name.c_str(),
      [](const LOGFONTA*, const TEXTMETRICA*, DWORD, LPARAM data) -> int CALLBACK {
        return *reinterpret_cast<bool*>(data) = true, 0;
      },
      reinterpret_cast<LPARAM>(&found));
  return found;
}

std::string FirstInstalled(HDC dc, std::initializer_list<const char*> names) {
  for (const char* name : names)
    if (Installed(dc, name)) return name;
  return "";
}

// An installed family named in letters and spaces only, with a space in it; empty when there is none.
std::string SomeSpacedFamily(HDC dc) {
  std::string found;
  EnumFontFamiliesA(
      dc, nullptr,
      [](const LOGFONTA* font, const TEXTMETRICA*, DWORD, LPARAM data) -> int CALLBACK {
        const std::string name = font->lfFaceName;
        const bool letters = name.find_first_not_of("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz ") ==
                             std::string::npos;
        if (!letters || name.find(' ') == std::string::npos) return 1;
        *reinterpret_cast<std::string*>(data) = name;
        return 0;
      },
      reinterpret_cast<LPARAM>(&found));
  return found;
}

class FontTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(port_.status(), kOk);
    ASSERT_EQ(PortReset(port_.get(), kResetPenAndFill | kResetText), kOk);
  }
  HDC dc() const { return surface_.dc(); }
  HGDIOBJ SelectedFont() const { return GetCurrentObject(surface_.dc(), OBJ_FONT); }

  // The resolved face, checking that the answer and the buffer agree.
  std::string Resolve(const std::string& faces) {
    char face[256];
    std::memset(face, 'x', sizeof face);
    const char* result = FontResolveFaces(dc(), faces.c_str(), face);
    EXPECT_EQ(result, face[0] ? face : nullptr) << faces;
    return face;
  }

  DibSurface surface_{160, 60};
  OpenPort port_{surface_.dc()};
};

TEST_F(FontTest, ListsResolveToTheFirstInstalledNameWithUnderscoresForSpaces) {
  EXPECT_EQ(Resolve("geneva,arial,helvetica"), FirstInstalled(dc(), {"geneva", "arial", "helvetica"}));
  EXPECT_EQ(Resolve("Lucida_Grande"), Installed(dc(), "Lucida Grande") ? "Lucida Grande" : "");
  EXPECT_EQ(Resolve(""), "");
  EXPECT_EQ(Resolve("sans_serif"), Installed(dc(), "sans serif") ? "sans serif" : "");  // not a family name
  // A generic family's list, in any letter case, unless a font has the generic name itself.
  EXPECT_EQ(Resolve("Nowhere Qx,SyStEm"),
            Installed(dc(), "SyStEm") ? "SyStEm" : FirstInstalled(dc(), {"Charcoal", "Lucida Grande", "Chicago"}));
  EXPECT_EQ(Resolve("Sans-Serif"), Installed(dc(), "Sans-Serif")
                                       ? "Sans-Serif"
                                       : FirstInstalled(dc(), {"Geneva", "Arial", "Verdana", "Helvetica"}));

  const std::string family = SomeSpacedFamily(dc());
  if (family.empty()) GTEST_SKIP() << "no installed family with a space in its name";
  std::string underscored = family;
  for (char& c : underscored) c = c == ' ' ? '_' : c;
  EXPECT_EQ(Resolve("Nowhere Qx," + underscored + ",Arial"), family);
  EXPECT_EQ(Resolve("Nowhere9" + family), family);  // a digit ends a name as a comma does
  // After ", " the next name starts with the space, which no face has.
  EXPECT_EQ(Resolve("Nowhere Qx, " + family), Installed(dc(), " " + family) ? " " + family : "");
}

TEST_F(FontTest, StockNumbersRecordSize12AndUnchangedValuesKeepTheFont) {
  ASSERT_EQ(PortSetFont(port_.get(), nullptr, "Arial", SYSTEM_FONT, 20, kTextBold, kAlignLeft), kOk);
  EXPECT_EQ(SelectedFont(), GetStockObject(SYSTEM_FONT));
  EXPECT_EQ(port_->textSize, 12);
  EXPECT_EQ(port_->face[0], '\0');

  const std::string family = SomeSpacedFamily(dc());
  const Colour red = Opaque(200, 0, 0);
  ASSERT_EQ(PortSetFont(port_.get(), &red, ("Nowhere Qx," + family).c_str(), 0, 20, kTextBold, kAlignRight), kOk);
  EXPECT_EQ(std::string(port_->face), family);
  EXPECT_EQ(GetTextColor(dc()), RGB(200, 0, 0));
  EXPECT_EQ(GetTextAlign(dc()), static_cast<UINT>(TA_BASELINE | TA_RIGHT | TA_UPDATECP));
  TEXTMETRICA metrics;
  GetTextMetricsA(dc(), &metrics);
  EXPECT_EQ(metrics.tmWeight, FW_BOLD);
  EXPECT_EQ(port_->metrics.height, 20);  // the size is the cell height
  EXPECT_EQ(port_->metrics.ascent + port_->metrics.descent, 20);

  const HGDIOBJ font = SelectedFont();
  ASSERT_EQ(PortSetTextSize(port_.get(), 20), kOk);
  ASSERT_EQ(PortSetTextStyle(port_.get(), kTextBold), kOk);
  ASSERT_EQ(PortSetTextAlign(port_.get(), kAlignRight), kOk);
  EXPECT_EQ(SelectedFont(), font);
  EXPECT_EQ(std::string(port_->face), family);
  // A change makes the font again, without the face.
  ASSERT_EQ(PortSetTextStyle(port_.get(), kTextItalic | kTextUnderline), kOk);
  EXPECT_NE(SelectedFont(), font);
  EXPECT_EQ(port_->face[0], '\0');
  GetTextMetricsA(dc(), &metrics);
  EXPECT_TRUE(metrics.tmWeight == FW_NORMAL && metrics.tmItalic && metrics.tmUnderlined);
  ASSERT_EQ(PortSetTextSize(port_.get(), 31), kOk);
  EXPECT_EQ(port_->metrics.height, 31);
}

TEST_F(FontTest, TextSitsOnTheBaselineAndContinuesWhereItEnded) {
  constexpr COLORREF kGround = RGB(0, 255, 0);
  const Colour blue = Opaque(0, 0, 255);
  ASSERT_EQ(PortSetFont(port_.get(), &blue, nullptr, 0, 24, 0, kAlignLeft), kOk);
  const int32_t width = PortTextWidth(port_.get(), "AbHx", 4);
  ASSERT_GT(width, PortTextWidth(port_.get(), "Ab", 2));

  ASSERT_EQ(PortDrawTextAt(port_.get(), 10, 30, "Ab", 2), kOk);
  ASSERT_EQ(PortDrawText(port_.get(), "Hx", 2), kOk);
  EXPECT_EQ(GetBkMode(dc()), OPAQUE);
  Point pen;
  ASSERT_EQ(PortGetPen(port_.get(), &pen), kOk);
  EXPECT_EQ(pen, (Point{10 + width, 30}));
  const Rect ink = surface_.BoundsOfOther(kGround);
  EXPECT_TRUE(ink.left >= 10 && ink.right <= 11 + width) << ink.left << ".." << ink.right;
  EXPECT_TRUE(ink.top <= 20 && ink.bottom <= 31) << ink.top << ".." << ink.bottom;  // capitals on the baseline
  EXPECT_GT(surface_.Count(ink, RGB(0, 0, 255)), 20);
  // Transparently: the background colour (white since the reset) never shows.
  EXPECT_EQ(surface_.Count(Rect{0, 0, 160, 60}, RGB(255, 255, 255)), 0);

  // Right alignment ends at the point and leaves the pen where the text began.
  surface_.Fill(kGround);
  ASSERT_EQ(PortSetTextAlign(port_.get(), kAlignRight), kOk);
  ASSERT_EQ(PortDrawTextAt(port_.get(), 150, 40, "AbHx", 4), kOk);
  ASSERT_EQ(PortGetPen(port_.get(), &pen), kOk);
  EXPECT_EQ(pen, (Point{150 - width, 40}));
  EXPECT_LE(surface_.BoundsOfOther(kGround).right, 151);
}

}  // namespace
