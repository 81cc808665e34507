// Buttons, images, pop-up menus and borders in real interface windows: pixels read back from the
// window, clicks made with real input (SendInput) while the program's message loop runs. A held and
// dragged press is driven with xdotool in tests/e2e/controls_window_test.py.
#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <string>

#include "graphics/pixel_format.h"
#include "images/image.h"
#include "tests/graphics/surfaces.h"
#include "tests/interface/interface_test_support.h"

namespace {

constexpr COLORREF kRed = RGB(255, 0, 0), kBlue = RGB(0, 0, 255), kWhite = RGB(255, 255, 255),
                   kBlack = RGB(0, 0, 0);

// A PNG of 32 x 64: the top half red, the bottom half blue, like an arrow's rest and lit pictures.
std::string TwoStatePng() {
  Pixmap* map = PixmapNew(Rect{0, 0, 32, 64}, kPixel32, nullptr);
  std::vector<Colour> row(32);
  for (int y = 0; y < 64; ++y) {
    std::fill(row.begin(), row.end(), y < 32 ? Colour{255, 255, 0, 0} : Colour{255, 0, 0, 255});
    PixmapSetColourRow(map, nullptr, y, row.data());
  }
  ImageInfo info;
  ImageInfoReset(&info);
  info.format = kImagePng;
  MemoryHandle encoded = nullptr;
  std::string bytes;
  if (ImageWrite(map, nullptr, nullptr, &info, &encoded) == kOk)
    bytes.assign(reinterpret_cast<const char*>(HandleData(encoded)), HandleGetSize(encoded));
  HandleDispose(encoded);
  PixmapDispose(map);
  return bytes;
}

std::string ArtefactPath(const char* name) { return std::string(SKYWARD_ARTEFACT_DIR) + "/" + name + ".bmp"; }

class ControlsWindowTest : public InterfaceTest {
 protected:
  static constexpr int kWidth = 320, kHeight = 240;

  static void SetUpTestSuite() { CreateDirectoryA(SKYWARD_ARTEFACT_DIR, nullptr); }

  // The elements go on the one page of a white window; 320 x 240 of it are read back.
  void Open(const std::string& elements) {
    scratch_.Put("arrow.png", TwoStatePng());
    PutInterface("page.iml", "BGCOLOR=\"#FFFFFF\" FGCOLOR=\"#000000\"", "<PAGE NAME=p>" + elements + "</PAGE>");
    const Rect placement{0, 0, kWidth + 40, kHeight + 60};  // room for the frame around the client area
    ASSERT_EQ(InterfaceTest::Open("page.iml", nullptr, &placement), kOk);
    SetForegroundWindow(Native());
    Pump();
    POINT origin{0, 0};
    ClientToScreen(Native(), &origin);
    origin_ = origin;
    Capture();
  }
  // The window's pixels now, into the surface that Pixel reads.
  void Capture() {
    HDC dc = GetDC(Native());
    BitBlt(surface_.dc(), 0, 0, kWidth, kHeight, dc, 0, 0, SRCCOPY);
    ReleaseDC(Native(), dc);
  }
  COLORREF Pixel(int x, int y) { return surface_.Pixel(x, y); }
  void Save(const char* name) {
    Capture();
    SaveBitmap(ArtefactPath(name));
  }
  void SaveBitmap(const std::string& path) {
    BITMAPFILEHEADER file = {};
    BITMAPINFOHEADER header = {sizeof header, kWidth, -kHeight, 1, 32, BI_RGB, kWidth * kHeight * 4, 0, 0, 0, 0};
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof file + sizeof header;
    file.bfSize = file.bfOffBits + header.biSizeImage;
    std::string bytes(reinterpret_cast<const char*>(&file), sizeof file);
    bytes.append(reinterpret_cast<const char*>(&header), sizeof header);
    for (int y = 0; y < kHeight; ++y)
      for (int x = 0; x < kWidth; ++x) {
        const COLORREF c = surface_.Pixel(x, y);
        const uint8_t bgra[4] = {GetBValue(c), GetGValue(c), GetRValue(c), 0};
        bytes.append(reinterpret_cast<const char*>(bgra), 4);
      }
    if (FILE* out = std::fopen(path.c_str(), "wb")) {
      std::fwrite(bytes.data(), 1, bytes.size(), out);
      std::fclose(out);
    }
  }
  int Count(const Rect& area, COLORREF colour) { return surface_.Count(area, colour); }

  int32_t Index(const char* name) { return find_element(window_, name); }
  Status Send(const char* name, int32_t message, intptr_t parameter = 0, void* out = nullptr) {
    Status status;
    Element* element = element_at(window_, Index(name), &status);
    return element ? send_message(element, message, parameter, out) : status;
  }
  int32_t Value(const char* name) {
    intptr_t value = -99;
    EXPECT_EQ(element_instance(window_, Index(name), &value), kOk);
    return int32_t(value);
  }
  std::string ValueText(const char* name) {
    char text[256] = "";
    EXPECT_EQ(element_value(window_, Index(name), text, sizeof text), kOk);
    return text;
  }
  // The codes of events 9 and 12-15, in order.
  std::vector<int32_t> PressEvents() {
    std::vector<int32_t> codes;
    for (const std::string& line : Events()) {
      const int32_t code = std::stoi(line.substr(line.find(' ') + 1));
      if (code == kEventActivated || (code >= kEventPressBegins && code <= kEventPressEnds)) codes.push_back(code);
    }
    return codes;
  }
  HWND Child(const char* windowClass, const char* text = nullptr, HWND after = nullptr) {
    return FindWindowExA(Native(), after, windowClass, text);
  }

  // Real input, in client coordinates.
  void MouseTo(int x, int y) { SetCursorPos(origin_.x + x, origin_.y + y); }
  static void MouseButton(bool down) {
    INPUT input = {};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = down ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_LEFTUP;
    SendInput(1, &input, sizeof input);
  }
  void RealClick(int x, int y) {
    MouseTo(x, y);
    MouseButton(true);
    MouseButton(false);
  }
  // Runs the message loop until the condition holds or the time is up.
  bool PumpUntil(const std::function<bool()>& condition, DWORD milliseconds = 10000) {
    const DWORD start = GetTickCount();
    while (!condition()) {
      if (GetTickCount() - start > milliseconds) return false;
      Pump(1);
    }
    return true;
  }

  DibSurface surface_{kWidth, kHeight};
  POINT origin_{0, 0};
};

constexpr char kArrow[] =
    "<BUTTON NAME=next RECT=\"40, 40, 72, 72\" KEYS=\"+\" HREF=\"#p\" SRC=arrow.png SRC_RECT=\"0, 0, 32, 32\" "
    "LIT_RECT=\"0, 32, 32, 64\"></BUTTON>";

TEST_F(ControlsWindowTest, PicturesImagesAndThePlaceholder) {
  Open("<IMAGE NAME=plain RECT=\"0, 0, 32, 32\" SRC=arrow.png SRC_RECT=\"0, 0, 32, 32\"></IMAGE>"
       "<IMAGE NAME=dimmed RECT=\"40, 0, 72, 32\" SRC=arrow.png SRC_RECT=\"0, 0, 32, 32\" DIM_RECT=\"0, 32, 32, 64\"></IMAGE>"
       "<IMG NAME=scaled RECT=\"80, 0, 96, 32\" SRC=arrow.png></IMG>"
       "<BUTTON NAME=second RECT=\"120, 0, 160, 40\" VALUE=1 HREF=x SRC=arrow.png></BUTTON>"
       "<BUTTON NAME=lost RECT=\"170, 0, 210, 40\" HREF=x SRC=nowhere.png></BUTTON>");
  Save("pictures");
  EXPECT_EQ(Pixel(16, 16), kRed) << "no DIM: the dim state is the normal picture";
  EXPECT_EQ(Pixel(56, 16), kBlue) << "an image without HREF or SCRIPT shows its dim state";
  EXPECT_EQ(Pixel(88, 4), kRed) << "the whole picture, scaled into 16 x 32";
  EXPECT_EQ(Pixel(88, 28), kBlue);

  // Value 1 has no second set: the red-and-white placeholder, framed in black.
  const Rect second{121, 1, 159, 39};
  EXPECT_EQ(Pixel(120, 0), kBlack);
  EXPECT_EQ(Pixel(159, 39), kBlack);
  EXPECT_GT(Count(second, RGB(192, 0, 0)), 300);
  EXPECT_GT(Count(second, kWhite), 300);
  EXPECT_EQ(Count(second, RGB(192, 0, 0)) + Count(second, kWhite), 38 * 38);
  // A missing file is no failure: the placeholder too.
  EXPECT_EQ(Count(Rect{171, 1, 209, 39}, RGB(192, 0, 0)), Count(second, RGB(192, 0, 0)));

  // Disabled, the button shows the placeholder's dim state: inverted.
  ASSERT_EQ(Send("second", kMessageSetEnabled, 0), kOk);
  ASSERT_EQ(redraw_now(window_, nullptr), kOk);
  Capture();
  EXPECT_EQ(Pixel(120, 0), kWhite);
  EXPECT_EQ(Count(second, RGB(63, 255, 255)), Count(Rect{171, 1, 209, 39}, RGB(192, 0, 0)));

  // Setting the value from text is refused and changes nothing; the value reads in decimal.
  EXPECT_EQ(set_element_value(window_, Index("second"), "0"), kErrUnsupported);
  EXPECT_EQ(Value("second"), 1);
  EXPECT_EQ(ValueText("second"), "1");
}

TEST_F(ControlsWindowTest, ShortcutFlashesLitReportsThePressAndFollowsTheLink) {
  Open(std::string(kArrow) + "<IMAGE NAME=logo RECT=\"0, 0, 32, 32\" SRC=arrow.png KEYS=L></IMAGE>");
  const DWORD start = GetTickCount();
  Press(VK_RETURN);
  EXPECT_GE(GetTickCount() - start, 100u) << "lit for 120 ms";
  EXPECT_EQ(PressEvents(), (std::vector<int32_t>{kEventPressBegins, kEventPressEnds, kEventActivated}));
  Capture();
  EXPECT_EQ(Pixel(56, 56), kRed);

  ClearEvents();
  Press('L', true);
  EXPECT_TRUE(PressEvents().empty()) << "a picture that cannot be used is not activated";

  // The hand over a usable picture button, the arrow elsewhere.
  const HCURSOR hand = LoadCursorA(nullptr, MAKEINTRESOURCEA(32649));
  MouseTo(50, 50);
  SendMessageA(Native(), WM_SETCURSOR, WPARAM(Native()), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
  EXPECT_EQ(GetCursor(), hand);
  MouseTo(10, 10);
  SendMessageA(Native(), WM_SETCURSOR, WPARAM(Native()), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
  EXPECT_NE(GetCursor(), hand);
}

TEST_F(ControlsWindowTest, NativeButtonsCheckBoxesAndTheDefaultPushButton) {
  Open("<BUTTON NAME=go RECT=\"10, 10, 110, 34\" TITLE=Go KEYS=\"+\" HREF=x></BUTTON>"
       "<BUTTON NAME=plain RECT=\"120, 10, 220, 34\" TITLE=Plain SCRIPT=BEEP></BUTTON>"
       "<BUTTON NAME=dead RECT=\"10, 50, 30, 70\" KIND=CHECK TITLE=\"\"></BUTTON>"
       "<BUTTON NAME=cd RECT=\"10, 80, 150, 100\" KIND=CHECKBOX TITLE=\"CD\" VALUE=0 SCRIPT=\"\"></BUTTON>"
       "<BUTTON NAME=pick RECT=\"10, 110, 150, 130\" KIND=RADIO TITLE=\"Pick\" VALUE=1 SCRIPT=\"\"></BUTTON>");
  Save("native_buttons");
  HWND go = Child("Button", "Go"), plain = Child("Button", "Plain"), cd = Child("Button", "CD");
  HWND pick = Child("Button", "Pick");
  ASSERT_TRUE(go && plain && cd && pick);
  EXPECT_EQ(GetWindowLongA(go, GWL_STYLE) & BS_TYPEMASK, BS_DEFPUSHBUTTON);
  EXPECT_EQ(GetWindowLongA(plain, GWL_STYLE) & BS_TYPEMASK, BS_PUSHBUTTON);
  EXPECT_EQ(GetWindowLongA(cd, GWL_STYLE) & BS_TYPEMASK, BS_CHECKBOX) << "not the automatic kind";
  EXPECT_EQ(GetWindowLongA(pick, GWL_STYLE) & BS_TYPEMASK, BS_RADIOBUTTON);
  EXPECT_EQ(SendMessageA(pick, BM_GETCHECK, 0, 0), BST_CHECKED) << "the mark from VALUE";
  EXPECT_NE(Count(Rect{10, 10, 110, 34}, kWhite), 100 * 24) << "the buttons are drawn into the page";

  HWND dead = Child("Button", "");
  ASSERT_NE(dead, nullptr);
  EXPECT_FALSE(IsWindowEnabled(dead)) << "a check box without HREF or SCRIPT";
  EXPECT_TRUE(IsWindowEnabled(cd)) << "an empty SCRIPT is enough";

  // A real click reaches the window as a command and activates the box, leaving its mark alone.
  RealClick(20, 90);
  ASSERT_TRUE(PumpUntil([&] { return !Events(kEventActivated).empty(); }));
  EXPECT_EQ(Events(kEventActivated)[0], "0 9 p 3 cd");
  EXPECT_EQ(SendMessageA(cd, BM_GETCHECK, 0, 0), BST_UNCHECKED);
  EXPECT_EQ(Value("cd"), 0);
  // Its owner sets it.
  ASSERT_EQ(set_element_state(window_, Index("cd"), 1), kOk);
  EXPECT_EQ(SendMessageA(cd, BM_GETCHECK, 0, 0), BST_CHECKED);
  EXPECT_EQ(Value("cd"), 1);
  EXPECT_EQ(ValueText("cd"), "1");

  // Enabling follows the window's activity, the element's flag and the interface accepting input.
  SendMessageA(Native(), WM_ACTIVATE, WA_INACTIVE, 0);
  EXPECT_FALSE(IsWindowEnabled(cd));
  SendMessageA(Native(), WM_ACTIVATE, WA_ACTIVE, 0);
  EXPECT_TRUE(IsWindowEnabled(cd));
  Send("cd", kMessageSetEnabled, 0);
  EXPECT_FALSE(IsWindowEnabled(cd));
  EXPECT_FALSE(element_enabled(window_, Index("cd")));
  window_->enabled = 0;
  Send("plain", kMessageActivate);
  EXPECT_FALSE(IsWindowEnabled(plain)) << "the interface does not accept input";
  window_->enabled = 1;

  // Titles, rectangles and visibility go to the native button.
  ASSERT_EQ(set_element_title(window_, Index("plain"), "Renamed"), kOk);
  EXPECT_EQ(Child("Button", "Renamed"), plain);
  ASSERT_EQ(set_element_rectangle(window_, Index("plain"), Rect{120, 120, 200, 150}), kOk);
  RECT placed;
  GetWindowRect(plain, &placed);
  MapWindowPoints(nullptr, Native(), reinterpret_cast<POINT*>(&placed), 2);
  EXPECT_EQ(placed.left, 120);
  EXPECT_EQ(placed.bottom, 150);
  ASSERT_EQ(show_element(window_, Index("plain"), false), kOk);
  EXPECT_FALSE(IsWindowVisible(plain));
  EXPECT_FALSE(element_visible(window_, Index("plain")));
}

TEST_F(ControlsWindowTest, PopUpListsItsItemsAndReadsTheChosenPosition) {
  Open("<POPUP NAME=card_kind RECT=\"10, 10, 200, 32\">"
       "<ITEM TITLE=VISA DEFAULT><ITEM TITLE=Mastercard><ITEM TITLE=\"-\"><ITEM TITLE=\"Purchase Order\">"
       "</POPUP>"
       "<POPUP NAME=empty RECT=\"10, 100, 200, 122\"></POPUP>"
       "<POPUP NAME=language LANGUAGE RECT=\"10, 150, 200, 172\"><ITEM TITLE=English></POPUP>");
  Save("popups");
  HWND combo = Child("ComboBox");
  ASSERT_NE(combo, nullptr);
  EXPECT_EQ(SendMessageA(combo, CB_GETCOUNT, 0, 0), 3);
  EXPECT_EQ(Value("card_kind"), 1);
  RECT box;
  GetWindowRect(combo, &box);
  EXPECT_EQ(box.right - box.left, 190);
  RECT dropped;
  SendMessageA(combo, CB_GETDROPPEDCONTROLRECT, 0, LPARAM(&dropped));
  // 200 pixels of room for the opened list: Windows reports the box with its list (222), Wine the
  // list's own part (201 here).
  EXPECT_GE(dropped.bottom - dropped.top, 200);
  EXPECT_LE(dropped.bottom - dropped.top, 22 + 200);
  EXPECT_NE(Count(Rect{10, 10, 200, 32}, kWhite), 190 * 22) << "the combo box is drawn into the page";

  // Chosen with the mouse: open the list, click its third line.
  RealClick(100, 20);
  ASSERT_TRUE(PumpUntil([&] { return SendMessageA(combo, CB_GETDROPPEDSTATE, 0, 0) != 0; }));
  COMBOBOXINFO info = {};
  info.cbSize = sizeof info;
  ASSERT_TRUE(GetComboBoxInfo(combo, &info));
  RECT list;
  GetWindowRect(info.hwndList, &list);
  const int itemHeight = int(SendMessageA(combo, CB_GETITEMHEIGHT, 0, 0));
  MouseTo(list.left - origin_.x + 20, list.top - origin_.y + 2 * itemHeight + itemHeight / 2);
  MouseButton(true);
  MouseButton(false);
  ASSERT_TRUE(PumpUntil([&] { return Value("card_kind") == 3 && !SendMessageA(combo, CB_GETDROPPEDSTATE, 0, 0); }));
  EXPECT_EQ(ValueText("card_kind"), "Purchase Order");
  EXPECT_FALSE(Events(kEventActivated).empty()) << "the choice activates the pop-up";

  EXPECT_EQ(set_element_value(window_, Index("card_kind"), "Ma"), kOk);
  EXPECT_EQ(Value("card_kind"), 2);
  EXPECT_EQ(set_element_value(window_, Index("card_kind"), "Diners"), kErrNotFound);
  EXPECT_EQ(Value("card_kind"), 2);
  ASSERT_EQ(set_element_state(window_, Index("card_kind"), 3), kOk);
  EXPECT_EQ(Value("card_kind"), 3);
  Send("card_kind", kMessageUnrealise);
  EXPECT_EQ(Value("card_kind"), 3) << "the stored value once the combo box is gone";

  EXPECT_EQ(Value("empty"), 1);
  HWND empty = Child("ComboBox");
  char first[32] = "";
  SendMessageA(empty, CB_GETLBTEXT, 0, LPARAM(first));
  EXPECT_STREQ(first, "none");

  HWND language = Child("ComboBox", nullptr, empty);
  ASSERT_NE(language, nullptr);
  show_element(window_, Index("language"), true);
  EXPECT_FALSE(IsWindowVisible(language));
  EXPECT_FALSE(element_visible(window_, Index("language")));
}

class BorderWindowTest : public ControlsWindowTest {
 protected:
  // The pixels of a row or column that are not white, as '#'.
  std::string Row(int y, int from, int to) {
    std::string row;
    for (int x = from; x < to; ++x) row += Pixel(x, y) == kWhite ? '.' : '#';
    return row;
  }
  std::string Column(int x, int from, int to) {
    std::string column;
    for (int y = from; y < to; ++y) column += Pixel(x, y) == kWhite ? '.' : '#';
    return column;
  }
};

TEST_F(BorderWindowTest, LineStylesAndTheSeparator) {
  Open("<BORDER NAME=dotted RECT=\"8, 8, 72, 40\" LINE=DOTTED></BORDER>"
       "<BORDER NAME=dashed RECT=\"8, 56, 72, 88\" LINE=dashed></BORDER>"
       "<BORDER NAME=none RECT=\"88, 8, 150, 40\" LINE=NONE></BORDER>"
       "<BORDER NAME=separator RECT=\"119, 50, 119, 230\" TITLE=\"Not drawn\"></BORDER>");
  Save("border_lines");
  // 48 rows apart, a multiple of the pattern's 8: the same pixels.
  for (int y = 8; y < 40; ++y) EXPECT_EQ(Row(y, 8, 72), Row(y + 48, 8, 72)) << "row " << y;
  const std::string top = Row(8, 8, 72);
  EXPECT_NE(top.find(".#"), std::string::npos) << top;
  EXPECT_EQ(Count(Rect{88, 8, 150, 40}, kWhite), 62 * 32) << "no lines at all";
  // The separator: one solid column from top to bottom, nothing beside it, no title.
  EXPECT_EQ(Column(119, 50, 230), std::string(180, '#'));
  EXPECT_EQ(Column(119, 45, 50), ".....");
  EXPECT_EQ(Count(Rect{100, 45, 140, 235}, kWhite), 40 * 190 - 180);
}

TEST_F(BorderWindowTest, TitleGapShorteningAndInactiveColour) {
  Open("<BORDER NAME=titled RECT=\"10, 20, 300, 80\" TITLE=Payment ALIGN=LEFT></BORDER>"
       "<BORDER NAME=long RECT=\"10, 120, 130, 200\" ALIGN=LEFT "
       "TITLE=\"A title far too long for this small frame\"></BORDER>");
  Save("border_titles");
  // The top edge is open from the gap (left + 12 - 4) on, and closed again after the title.
  const std::string edge = Row(20, 10, 300);
  EXPECT_EQ(edge.substr(0, 8), "########");
  EXPECT_EQ(edge.substr(8, 4), "....");
  EXPECT_EQ(edge.back(), '#');
  const size_t reopened = edge.find_last_of('.') + 1;  // the title's own pixels may touch the edge's row
  ASSERT_GT(reopened, 30u);
  const Rect gap{22, 10, 10 + int(reopened), 30};
  EXPECT_GT((gap.right - gap.left) * 20 - Count(gap, kWhite), 20) << "the title's ink in the gap";

  // The long title stops within two thirds of 120 pixels (plus its offset).
  int inkRight = 0;  // of the text: the frame's lines left out
  for (int y = 110; y < 130; ++y)
    for (int x = 11; x < 129; ++x)
      if (Pixel(x, y) != kWhite && y != 120) inkRight = std::max(inkRight, x);
  EXPECT_GT(inkRight, 40);
  EXPECT_LE(inkRight, 10 + 14 + 80);
  EXPECT_EQ(Row(120, 10, 130).back(), '#') << "the edge closes again before the corner";

  SendMessageA(Native(), WM_ACTIVATE, WA_INACTIVE, 0);
  ASSERT_EQ(redraw_now(window_, nullptr), kOk);
  Save("border_inactive");
  EXPECT_EQ(Pixel(10, 50), RGB(127, 127, 127)) << "black half-way to white";
}

TEST_F(BorderWindowTest, BevelRingsAndTheChippedCorner) {
  Open("<BORDER NAME=sunken RECT=\"10, 10, 90, 60\" INDENT=2 BGCOLOR=\"#808080\"></BORDER>"
       "<BORDER NAME=raised RECT=\"110, 10, 190, 60\" INDENT=-2 BGCOLOR=\"#808080\"></BORDER>"
       "<BORDER NAME=chipped RECT=\"10, 100, 120, 180\" CHIPPED></BORDER>");
  Save("border_bevels");
  const COLORREF light = RGB(192, 192, 192), dark = RGB(80, 80, 80);
  for (int ring = 1; ring <= 2; ++ring) {
    EXPECT_EQ(Pixel(50, 10 + ring), dark) << "sunken: dark on top, ring " << ring;
    EXPECT_EQ(Pixel(10 + ring, 35), dark);
    EXPECT_EQ(Pixel(50, 59 - ring), light);
    EXPECT_EQ(Pixel(89 - ring, 35), light);
    EXPECT_EQ(Pixel(150, 10 + ring), light) << "raised: light on top, ring " << ring;
    EXPECT_EQ(Pixel(189 - ring, 35), dark);
  }
  EXPECT_EQ(Pixel(50, 13), kWhite) << "two rings, no third";

  const int notchWidth = GetSystemMetrics(SM_CXHTHUMB), notchHeight = GetSystemMetrics(SM_CYVTHUMB);
  ASSERT_GT(notchWidth, 2);
  ASSERT_GT(notchHeight, 2);
  const int right = 119, bottom = 179;
  EXPECT_EQ(Pixel(right, bottom), kWhite) << "the corner itself is cut away";
  EXPECT_EQ(Pixel(right, bottom - notchHeight), kBlack) << "the right side ends at the notch";
  EXPECT_EQ(Pixel(right - notchWidth, bottom), kBlack) << "the bottom ends at the notch";
  EXPECT_EQ(Pixel(right - notchWidth, bottom - notchHeight + 1), kBlack) << "the notch's own edges";
  EXPECT_EQ(Pixel(right, bottom - notchHeight + 1), kWhite);

  // Asked to fill its background, the border fills all of its rectangle but the notch.
  DibSurface green(kWidth, kHeight);
  set_drawing_context(green.dc());
  ASSERT_EQ(Send("chipped", kMessageDraw, 1), kOk);
  set_drawing_context(nullptr);
  EXPECT_EQ(green.Pixel(60, 140), kWhite) << "the window's background, BGCOLOR being absent";
  EXPECT_EQ(green.Pixel(right - 1, bottom - 1), RGB(0, 255, 0)) << "the notch stays as it was";
  EXPECT_EQ(green.Pixel(right - notchWidth - 2, bottom - 1), kWhite);
  EXPECT_EQ(green.Pixel(right - 1, bottom - notchHeight - 2), kWhite);
  EXPECT_EQ(green.Pixel(right + 1, 140), RGB(0, 255, 0));
}

TEST_F(ControlsWindowTest, EveryKindOnOnePageInEachState) {
  Open("<BUTTON NAME=next RECT=\"270, 190, 302, 222\" HREF=x SRC=arrow.png SRC_RECT=\"0, 0, 32, 32\" "
       "LIT_RECT=\"0, 32, 32, 64\"></BUTTON>"
       "<IMAGE NAME=logo RECT=\"10, 10, 42, 42\" SRC=arrow.png SRC_RECT=\"0, 0, 32, 32\"></IMAGE>"
       "<BORDER NAME=frame RECT=\"60, 10, 300, 170\" TITLE=\"Payment\" ALIGN=LEFT INDENT=1 BGCOLOR=\"#C0C0C0\"></BORDER>"
       "<POPUP NAME=card RECT=\"80, 30, 240, 52\"><ITEM TITLE=VISA><ITEM TITLE=Mastercard></POPUP>"
       "<BUTTON NAME=cd RECT=\"80, 70, 240, 90\" KIND=CHECK TITLE=\"Send a CD\" SCRIPT=\"\"></BUTTON>"
       "<BUTTON NAME=radio RECT=\"80, 100, 240, 120\" KIND=RADIO TITLE=\"Radio\" SCRIPT=\"\"></BUTTON>"
       "<BUTTON NAME=go RECT=\"80, 130, 180, 156\" TITLE=\"Order\" KEYS=\"+\" HREF=x></BUTTON>"
       "<BUTTON NAME=missing RECT=\"10, 60, 42, 92\" HREF=x SRC=nowhere.png></BUTTON>");
  Save("page_active");
  for (const char* name : {"cd", "radio"}) ASSERT_EQ(set_element_state(window_, Index(name), 1), kOk);
  Send("next", kMessageSetState, 0);
  ASSERT_EQ(redraw_now(window_, nullptr), kOk);
  Save("page_checked");
  SendMessageA(Native(), WM_ACTIVATE, WA_INACTIVE, 0);
  window_->enabled = 0;
  ASSERT_EQ(redraw_now(window_, nullptr), kOk);
  Save("page_inactive");
  EXPECT_FALSE(IsWindowEnabled(Child("ComboBox")));
  EXPECT_EQ(Pixel(286, 206), kRed) << "a picture button that cannot be used shows its dim state";
  window_->enabled = 1;
}

}  // namespace
