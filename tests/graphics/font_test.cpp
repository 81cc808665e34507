// Face lists, the port's text state and text drawing. Which faces exist depends on the machine's fonts,
// so every expectation about a face is taken from the system's own font enumeration.
#include "graphics/font_faces.h"

#include <gtest/gtest.h>

#include <cstring>
#include <initializer_list>
#include <string>

#include "graphics/port_draw.h"
#include "graphics/port_text.h"
#include "tests/graphics/dib_surface.h"

namespace {

constexpr COLORREF kGround = RGB(0, 255, 0);

int CALLBACK Found(const LOGFONTA*, const TEXTMETRICA*, DWORD, LPARAM found) {
  *reinterpret_cast<bool*>(found) = true;
  return 0;
}

bool Installed(HDC dc, const std::string& name) {
  bool found = false;
  EnumFontFamiliesA(dc, name.c_str(), Found, reinterpret_cast<LPARAM>(&found));
  return found;
}

std::string FirstInstalled(HDC dc, std::initializer_list<const char*> names) {
  for (const char* name : names)
    if (Installed(dc, name)) return name;
  return "";
}

// An installed family whose name is all letters, with a space in it when asked; empty when none is.
std::string SomeFamily(HDC dc, bool withSpace) {
  struct Search {
    bool withSpace;
    std::string found;
  } search{withSpace, ""};
  EnumFontFamiliesA(
      dc, nullptr,
      [](const LOGFONTA* font, const TEXTMETRICA*, DWORD, LPARAM data) -> int CALLBACK {
        auto* s = reinterpret_cast<Search*>(data);
        const std::string name = font->lfFaceName;
        if (name.empty() || name.find_first_not_of("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz ") !=
                                std::string::npos)
          return 1;
        if (s->withSpace != (name.find(' ') != std::string::npos)) return 1;
        s->found = name;
        return 0;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

// The resolved face, checking that the answer and the buffer agree.
std::string Resolve(HDC dc, const char* faces) {
  char face[256];
  std::memset(face, 'x', sizeof face);
  const char* result = FontResolveFaces(dc, faces, face);
  EXPECT_TRUE(result == nullptr || result == face) << faces;
  EXPECT_EQ(result == nullptr, face[0] == '\0') << faces;
  return face;
}

class FontTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(PortOpenDevice(surface_.dc(), false, &port_), kOk);
    ASSERT_EQ(PortReset(port_, kResetPenAndFill | kResetText), kOk);
  }
  void TearDown() override { PortClose(port_); }

  HDC dc() const { return surface_.dc(); }
  HGDIOBJ SelectedFont() const { return GetCurrentObject(surface_.dc(), OBJ_FONT); }

  DibSurface surface_{160, 60, kGround};
  GraphicsPort* port_ = nullptr;
};

TEST_F(FontTest, ListsResolveToTheFirstInstalledName) {
  EXPECT_EQ(Resolve(dc(), "geneva,arial,helvetica"), FirstInstalled(dc(), {"geneva", "arial", "helvetica"}));
  EXPECT_EQ(Resolve(dc(), ""), "");
  EXPECT_EQ(Resolve(dc(), nullptr), "");
  EXPECT_EQ(Resolve(dc(), "Nowhere Grotesk Qx,,Nowhere Antiqua Qx"), "");

  const std::string family = SomeFamily(dc(), false);
  if (family.empty()) GTEST_SKIP() << "no installed family with a plain name";
  EXPECT_EQ(Resolve(dc(), ("Nowhere Grotesk Qx," + family + ",Arial").c_str()), family);
  // A digit ends a name as a comma does.
  EXPECT_EQ(Resolve(dc(), ("Nowhere9" + family).c_str()), family);
  // The name as the list writes it, in its own letter case.
  std::string lower = family;
  for (char& c : lower) c = static_cast<char>(tolower(static_cast<unsigned char>(c)));
  if (Installed(dc(), lower)) {
    EXPECT_EQ(Resolve(dc(), lower.c_str()), lower);
  }
}

TEST_F(FontTest, UnderscoresAreSpacesAndSpacesAreKept) {
  EXPECT_EQ(Resolve(dc(), "Lucida_Grande"), Installed(dc(), "Lucida Grande") ? "Lucida Grande" : "");

  const std::string family = SomeFamily(dc(), true);
  if (family.empty()) GTEST_SKIP() << "no installed family with a space in its name";
  std::string underscored = family;
  for (char& c : underscored) c = c == ' ' ? '_' : c;
  EXPECT_EQ(Resolve(dc(), underscored.c_str()), family);
  // After ", " the next name starts with the space, which no face has.
  const std::string spaced = " " + family;
  EXPECT_EQ(Resolve(dc(), ("Nowhere Grotesk Qx," + spaced).c_str()), Installed(dc(), spaced) ? spaced : "");
  EXPECT_NE(Resolve(dc(), ("Nowhere Grotesk Qx," + spaced).c_str()), family);
}

TEST_F(FontTest, GenericFamiliesStandForTheirListsInAnyLetterCase) {
  struct Case {
    const char* list;
    const char* generic;  // the name that may stand for a family
    std::initializer_list<const char*> faces;
  };
  const Case cases[] = {
      {"SyStEm", "SyStEm", {"Charcoal", "Lucida Grande", "Chicago"}},
      {"monospace", "monospace", {"Monaco", "Courier"}},
      {"Fixed", "Fixed", {"Monaco", "Courier"}},
      {"Nowhere Qx,sans-serif", "sans-serif", {"Geneva", "Arial", "Verdana", "Helvetica"}},
      {"SANS", "SANS", {"Geneva", "Arial", "Verdana", "Helvetica"}},
      {"serif", "serif", {"Palatino", "Times New Roman", "Times"}},
  };
  for (const Case& c : cases) {
    // An installed font of the generic name itself comes first.
    const std::string expected = Installed(dc(), c.generic) ? c.generic : FirstInstalled(dc(), c.faces);
    EXPECT_EQ(Resolve(dc(), c.list), expected) << c.list;
  }
  // Only whole names stand for families.
  EXPECT_EQ(Resolve(dc(), "sans_serif"), Installed(dc(), "sans serif") ? "sans serif" : "");
}

TEST_F(FontTest, StockFontNumbersRecordSize12) {
  ASSERT_EQ(PortSetFont(port_, nullptr, "Arial", SYSTEM_FONT, 20, kTextBold, kAlignLeft), kOk);
  EXPECT_EQ(port_->textSize, 12);
  EXPECT_EQ(port_->fontNumber, SYSTEM_FONT);
  EXPECT_EQ(port_->face[0], '\0');
  EXPECT_EQ(SelectedFont(), GetStockObject(SYSTEM_FONT));
  TEXTMETRICA metrics;
  GetTextMetricsA(dc(), &metrics);
  EXPECT_EQ(port_->metrics.height, metrics.tmHeight);
  ASSERT_EQ(PortSetFont(port_, nullptr, nullptr, SYSTEM_FIXED_FONT, 30, 0, kAlignLeft), kOk);
  EXPECT_EQ(SelectedFont(), GetStockObject(SYSTEM_FIXED_FONT));
  EXPECT_EQ(port_->textSize, 12);
}

TEST_F(FontTest, MadeFontsFollowSizeStyleFaceAndAlignment) {
  const std::string family = SomeFamily(dc(), false);
  const Colour red = Opaque(200, 0, 0);
  ASSERT_EQ(PortSetFont(port_, &red, ("Nowhere Qx," + family).c_str(), 0, 20, kTextBold | kTextItalic, kAlignRight),
            kOk);
  EXPECT_EQ(std::string(port_->face), family);
  EXPECT_EQ(port_->textSize, 20);
  EXPECT_EQ(port_->textStyle, kTextBold | kTextItalic);
  EXPECT_EQ(port_->textAlign, kAlignRight);
  EXPECT_EQ(GetTextColor(dc()), RGB(200, 0, 0));
  EXPECT_EQ(GetTextAlign(dc()), static_cast<UINT>(TA_BASELINE | TA_RIGHT | TA_UPDATECP));
  TEXTMETRICA metrics;
  ASSERT_TRUE(GetTextMetricsA(dc(), &metrics));
  EXPECT_EQ(metrics.tmHeight, 20);  // the size is the cell height
  EXPECT_EQ(metrics.tmWeight, FW_BOLD);
  EXPECT_TRUE(metrics.tmItalic);
  EXPECT_EQ(port_->metrics.height, 20);
  EXPECT_EQ(port_->metrics.ascent + port_->metrics.descent, 20);
  EXPECT_EQ(port_->metrics.widest, metrics.tmMaxCharWidth);
  if (!family.empty()) {
    char face[LF_FACESIZE];
    GetTextFaceA(dc(), sizeof face, face);
    EXPECT_EQ(std::string(face), family);
  }

  // Unchanged values keep the font; a change makes it again, without the face.
  HGDIOBJ font = SelectedFont();
  ASSERT_EQ(PortSetTextSize(port_, 20), kOk);
  ASSERT_EQ(PortSetTextStyle(port_, kTextBold | kTextItalic), kOk);
  ASSERT_EQ(PortSetTextAlign(port_, kAlignRight), kOk);
  EXPECT_EQ(SelectedFont(), font);
  EXPECT_EQ(std::string(port_->face), family);

  ASSERT_EQ(PortSetTextStyle(port_, kTextUnderline), kOk);
  EXPECT_EQ(PortGetTextStyle(port_), kTextUnderline);
  EXPECT_NE(SelectedFont(), font);
  EXPECT_EQ(port_->face[0], '\0');
  GetTextMetricsA(dc(), &metrics);
  EXPECT_EQ(metrics.tmWeight, FW_NORMAL);
  EXPECT_TRUE(metrics.tmUnderlined);
  EXPECT_EQ(GetTextColor(dc()), RGB(200, 0, 0));  // no colour given: kept

  font = SelectedFont();
  ASSERT_EQ(PortSetTextSize(port_, 31), kOk);
  EXPECT_NE(SelectedFont(), font);
  EXPECT_EQ(port_->metrics.height, 31);
  ASSERT_EQ(PortSetTextAlign(port_, 7), kOk);  // anything but 0 and 1 is left
  EXPECT_EQ(GetTextAlign(dc()), static_cast<UINT>(TA_BASELINE | TA_LEFT | TA_UPDATECP));
  ASSERT_EQ(PortSetTextAlign(port_, kAlignCentre), kOk);
  EXPECT_EQ(GetTextAlign(dc()), static_cast<UINT>(TA_BASELINE | TA_CENTER | TA_UPDATECP));
  FontMetrics metricsOut;
  ASSERT_EQ(PortGetFontMetrics(port_, &metricsOut), kOk);
  EXPECT_EQ(metricsOut.height, 31);
}

TEST_F(FontTest, TextSitsOnTheBaselineAndContinuesWhereItEnded) {
  constexpr COLORREF kBlue = RGB(0, 0, 255);
  const Colour blue = Opaque(0, 0, 255);
  ASSERT_EQ(PortSetFont(port_, &blue, nullptr, 0, 24, 0, kAlignLeft), kOk);
  const int32_t widthAb = PortTextWidth(port_, "Ab", 2);
  const int32_t widthAbHx = PortTextWidth(port_, "AbHx", 4);
  ASSERT_GT(widthAb, 0);
  ASSERT_GT(widthAbHx, widthAb);
  EXPECT_EQ(PortTextWidth(port_, "", 0), 0);

  // The background colour (white after the reset) never shows: text is drawn transparently.
  SetBkMode(dc(), OPAQUE);
  ASSERT_EQ(PortDrawTextAt(port_, 10, 30, "Ab", 2), kOk);
  ASSERT_EQ(PortDrawText(port_, "Hx", 2), kOk);
  EXPECT_EQ(GetBkMode(dc()), OPAQUE);
  Point pen;
  ASSERT_EQ(PortGetPen(port_, &pen), kOk);
  EXPECT_EQ(pen, (Point{10 + widthAbHx, 30}));
  const Rect ink = surface_.BoundsOfOther(kGround);
  EXPECT_GE(ink.left, 10);
  EXPECT_LE(ink.right, 10 + widthAbHx + 1);
  EXPECT_GE(ink.top, 30 - port_->metrics.ascent);
  EXPECT_LE(ink.top, 30 - 10);  // capitals reach well above the baseline...
  EXPECT_LE(ink.bottom, 31);    // ...and nothing of "AbHx" hangs below it
  EXPECT_GT(surface_.Count(ink, kBlue), 20);
  EXPECT_EQ(surface_.Count(Rect{0, 0, 160, 60}, RGB(255, 255, 255)), 0);

  // Right alignment ends at the point and leaves the pen where the text began.
  surface_.Fill(kGround);
  ASSERT_EQ(PortSetTextAlign(port_, kAlignRight), kOk);
  ASSERT_EQ(PortDrawTextAt(port_, 150, 40, "Ab", 2), kOk);
  ASSERT_EQ(PortGetPen(port_, &pen), kOk);
  const int32_t rightWidth = PortTextWidth(port_, "Ab", 2);
  EXPECT_EQ(pen, (Point{150 - rightWidth, 40}));
  const Rect rightInk = surface_.BoundsOfOther(kGround);
  EXPECT_GE(rightInk.left, 150 - rightWidth - 1);
  EXPECT_LE(rightInk.right, 151);
}

}  // namespace
