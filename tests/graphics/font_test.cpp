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

// Enumerates the families (all, or those of one name) until the visitor answers false.
template <class Visit>
void Families(HDC dc, const char* name, Visit visit) {
  EnumFontFamiliesA(
      dc, name,
      [](const LOGFONTA* font, const TEXTMETRICA*, DWORD, LPARAM data) -> int CALLBACK {
        return (*reinterpret_cast<Visit*>(data))(std::string(font->lfFaceName));
      },
      reinterpret_cast<LPARAM>(&visit));
}

// The first of the names that an installed family has, or "".
std::string FirstInstalled(HDC dc, std::initializer_list<std::string> names) {
  for (const std::string& name : names) {
    bool found = false;
    Families(dc, name.c_str(), [&](const std::string&) { return found = true, false; });
    if (found) return name;
  }
  return "";
}

class FontTest : public PortOnSurface<160, 60> {
 protected:
  void SetUp() override {
    PortOnSurface::SetUp();
    // An installed family named in letters and spaces only, with a space in it.
    Families(dc(), nullptr, [&](const std::string& name) {
      const bool letters = name.find_first_not_of("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz ") ==
                           std::string::npos;
      if (letters && name.find(' ') != std::string::npos) spaced_ = name;
      return spaced_.empty();
    });
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

  std::string spaced_;
};

TEST_F(FontTest, ListsResolveToTheFirstInstalledNameWithUnderscoresForSpaces) {
  EXPECT_EQ(Resolve("geneva,arial,helvetica"), FirstInstalled(dc(), {"geneva", "arial", "helvetica"}));
  EXPECT_EQ(Resolve("Lucida_Grande"), FirstInstalled(dc(), {"Lucida Grande"}));
  EXPECT_EQ(Resolve(""), "");
  EXPECT_EQ(Resolve("sans_serif"), FirstInstalled(dc(), {"sans serif"}));  // not a family name
  // A generic family's list, in any letter case, unless a font has the generic name itself.
  EXPECT_EQ(Resolve("Nowhere Qx,SyStEm"), FirstInstalled(dc(), {"SyStEm", "Charcoal", "Lucida Grande", "Chicago"}));
  EXPECT_EQ(Resolve("Sans-Serif"), FirstInstalled(dc(), {"Sans-Serif", "Geneva", "Arial", "Verdana", "Helvetica"}));

  if (spaced_.empty()) GTEST_SKIP() << "no installed family with a space in its name";
  std::string underscored = spaced_;
  for (char& c : underscored) c = c == ' ' ? '_' : c;
  EXPECT_EQ(Resolve("Nowhere Qx," + underscored + ",Arial"), spaced_);
  EXPECT_EQ(Resolve("Nowhere9" + spaced_), spaced_);  // a digit ends a name as a comma does
  // After ", " the next name starts with the space, which no face has.
  EXPECT_EQ(Resolve("Nowhere Qx, " + spaced_), FirstInstalled(dc(), {" " + spaced_}));
}

TEST_F(FontTest, StockNumbersRecordSize12AndUnchangedValuesKeepTheFont) {
  ASSERT_EQ(PortSetFont(port_, nullptr, "Arial", SYSTEM_FONT, 20, kTextBold, kAlignLeft), kOk);
  EXPECT_EQ(SelectedFont(), GetStockObject(SYSTEM_FONT));
  EXPECT_EQ(port_->textSize, 12);
  EXPECT_EQ(port_->face[0], '\0');

  ASSERT_EQ(PortSetFont(port_, nullptr, ("Nowhere Qx," + spaced_).c_str(), 0, 20, kTextBold, kAlignRight), kOk);
  EXPECT_EQ(std::string(port_->face), spaced_);
  EXPECT_EQ(GetTextAlign(dc()), static_cast<UINT>(TA_BASELINE | TA_RIGHT | TA_UPDATECP));
  TEXTMETRICA metrics;
  GetTextMetricsA(dc(), &metrics);
  EXPECT_EQ(metrics.tmWeight, FW_BOLD);
  EXPECT_EQ(port_->metrics.ascent + port_->metrics.descent, 20) << "the size is the cell height";

  const HGDIOBJ font = SelectedFont();
  ASSERT_EQ(PortSetTextSize(port_, 20), kOk);
  ASSERT_EQ(PortSetTextStyle(port_, kTextBold), kOk);
  ASSERT_EQ(PortSetTextAlign(port_, kAlignRight), kOk);
  EXPECT_EQ(SelectedFont(), font);
  EXPECT_EQ(std::string(port_->face), spaced_);
  // A change makes the font again, without the face.
  ASSERT_EQ(PortSetTextStyle(port_, kTextItalic | kTextUnderline), kOk);
  EXPECT_NE(SelectedFont(), font);
  EXPECT_EQ(port_->face[0], '\0');
  GetTextMetricsA(dc(), &metrics);
  EXPECT_TRUE(metrics.tmWeight == FW_NORMAL && metrics.tmItalic && metrics.tmUnderlined);
}

TEST_F(FontTest, TextSitsOnTheBaselineAndContinuesWhereItEnded) {
  constexpr COLORREF kGround = RGB(0, 255, 0);
  const Colour blue = Opaque(0, 0, 255);
  ASSERT_EQ(PortSetFont(port_, &blue, nullptr, 0, 24, 0, kAlignLeft), kOk);
  const int32_t width = PortTextWidth(port_, "AbHx", 4);
  ASSERT_GT(width, PortTextWidth(port_, "Ab", 2));

  ASSERT_EQ(PortDrawTextAt(port_, 10, 30, "Ab", 2), kOk);
  ASSERT_EQ(PortDrawText(port_, "Hx", 2), kOk);
  EXPECT_EQ(GetBkMode(dc()), OPAQUE);
  Point pen;
  ASSERT_EQ(PortGetPen(port_, &pen), kOk);
  EXPECT_EQ(pen, (Point{10 + width, 30}));
  const Rect ink = surface_.BoundsOfOther(kGround);
  EXPECT_TRUE(ink.left >= 10 && ink.right <= 11 + width) << ink.left << ".." << ink.right;
  EXPECT_TRUE(ink.top <= 20 && ink.bottom <= 31) << ink.top << ".." << ink.bottom;  // capitals on the baseline
  EXPECT_GT(surface_.Count(ink, RGB(0, 0, 255)), 20);
  // Transparently: the background colour (white since the reset) never shows.
  EXPECT_EQ(surface_.Count(Rect{0, 0, 160, 60}, RGB(255, 255, 255)), 0);
}

}  // namespace
