// Buttons, images, pop-up menus and borders on a real window: pixels read back from the page buffer,
// presses and clicks made with real input (SendInput) while the window's own messages run.
#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <string>
#include <thread>

#include "graphics/graphics_init.h"
#include "graphics/pixel_format.h"
#include "interface/controls/border_geometry.h"
#include "tests/interface/element_host.h"

Status border_element(const ElementContext&, int32_t, intptr_t, void*);
Status button_element(const ElementContext&, int32_t, intptr_t, void*);
Status popup_element(const ElementContext&, int32_t, intptr_t, void*);

namespace {

const std::vector<std::pair<const char*, ElementHandler>> kClasses = {
    {"BUTTON", button_element}, {"IMAGE", button_element}, {"IMG", button_element},
    {"BORDER", border_element}, {"POPUP", popup_element},
};

constexpr COLORREF kRed = RGB(255, 0, 0), kBlue = RGB(0, 0, 255), kWhite = RGB(255, 255, 255),
                   kBlack = RGB(0, 0, 0);

// 32 x 64: the top half red, the bottom half blue, like an arrow's rest and lit pictures.
Pixmap* TwoStatePicture() {
  Pixmap* map = PixmapNew(Rect{0, 0, 32, 64}, kPixel32, nullptr);
  std::vector<Colour> row(32);
  for (int y = 0; y < 64; ++y) {
    std::fill(row.begin(), row.end(), y < 32 ? Colour{255, 255, 0, 0} : Colour{255, 0, 0, 255});
    PixmapSetColourRow(map, nullptr, y, row.data());
  }
  return map;
}

std::string ArtefactPath(const char* name) { return std::string(SKYWARD_ARTEFACT_DIR) + "/" + name + ".bmp"; }

// Real input, in the window's client coordinates (the window sits at the screen's origin).
void MouseTo(int x, int y) { SetCursorPos(x, y); }
void MouseButton(bool down) {
  INPUT input = {};
  input.type = INPUT_MOUSE;
  input.mi.dwFlags = down ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_LEFTUP;
  SendInput(1, &input, sizeof input);
}
void Click(int x, int y) {
  MouseTo(x, y);
  MouseButton(true);
  MouseButton(false);
}

bool WaitFor(const std::function<bool()>& condition, DWORD milliseconds = 5000) {
  const DWORD start = GetTickCount();
  while (!condition()) {
    if (GetTickCount() - start > milliseconds) return false;
    Sleep(10);
  }
  return true;
}

class ControlsWindowTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    ASSERT_EQ(GraphicsInit(), kOk);
    CreateDirectoryA(SKYWARD_ARTEFACT_DIR, nullptr);
  }
  void Open(const char* page) {
    host_.AddPicture("arrow.png", TwoStatePicture());
    ASSERT_EQ(host_.Open(page, kClasses), kOk);
    host_.Pump([] { return false; }, 50);  // mapped and painted
  }
  HWND Native(const char* windowClass) { return FindWindowExA(host_.window(), nullptr, windowClass, nullptr); }
  int32_t Value(const char* name) {
    intptr_t value = -99;
    EXPECT_EQ(host_.Send(host_.Find(name), kMessageGetInstance, 0, &value), kOk);
    return int32_t(value);
  }
  std::vector<int32_t> EventCodes() const {
    std::vector<int32_t> codes;
    for (auto& event : host_.events) codes.push_back(event.code);
    return codes;
  }
  int Count(const Rect& area, COLORREF colour) {
    int count = 0;
    for (int y = area.top; y < area.bottom; ++y)
      for (int x = area.left; x < area.right; ++x) count += host_.Pixel(x, y) == colour;
    return count;
  }

  ElementHost host_;
};

TEST_F(ControlsWindowTest, ArrowButtonLightsWhileHeldFollowsThePointerAndTriggersOnReleaseInside) {
  Open("<BUTTON NAME=next RECT=\"40, 40, 72, 72\" HREF=\"#next\" SRC=arrow.png SRC_RECT=\"0, 0, 32, 32\" "
       "LIT_RECT=\"0, 32, 32, 64\"></BUTTON>");
  EXPECT_EQ(host_.Pixel(56, 56), kRed) << "the top half at rest";

  std::atomic<bool> sawLit{false}, sawRestAfterLeaving{false}, sawLitAgain{false};
  std::thread hand([&] {
    MouseTo(56, 56);
    MouseButton(true);
    sawLit = WaitFor([&] { return host_.Pixel(56, 56) == kBlue; });
    host_.SaveBitmap(ArtefactPath("button_pressed"));
    MouseTo(150, 150);
    sawRestAfterLeaving = WaitFor([&] { return host_.Pixel(56, 56) == kRed; });
    MouseTo(60, 50);
    sawLitAgain = WaitFor([&] { return host_.Pixel(56, 56) == kBlue; });
    MouseButton(false);
  });
  const bool activated = host_.Pump([&] { return !host_.events.empty() && host_.events.back().code == kEventActivated; });
  hand.join();
  EXPECT_TRUE(sawLit) << "the bottom half while held inside";
  EXPECT_TRUE(sawRestAfterLeaving) << "the top half again after dragging out";
  EXPECT_TRUE(sawLitAgain);
  EXPECT_TRUE(activated);
  EXPECT_EQ(EventCodes(), (std::vector<int32_t>{kEventPressBegins, kEventPressLeft, kEventPressBack, kEventPressEnds,
                                                kEventActivated}));
  EXPECT_EQ(host_.events.back().element, "next");
  EXPECT_EQ(host_.Pixel(56, 56), kRed) << "at rest after the release";
}

TEST_F(ControlsWindowTest, ReleasingOutsideEndsThePressWithoutTriggering) {
  Open("<BUTTON NAME=next RECT=\"40, 40, 72, 72\" HREF=\"#next\" SRC=arrow.png SRC_RECT=\"0, 0, 32, 32\" "
       "LIT_RECT=\"0, 32, 32, 64\"></BUTTON>");
  std::thread hand([&] {
    MouseTo(50, 50);
    MouseButton(true);
    WaitFor([&] { return host_.Pixel(56, 56) == kBlue; });
    MouseTo(200, 100);
    WaitFor([&] { return host_.Pixel(56, 56) == kRed; });
    MouseButton(false);
  });
  host_.Pump([&] { return host_.events.size() >= 3; });
  hand.join();
  host_.Pump([] { return false; }, 100);
  EXPECT_EQ(EventCodes(), (std::vector<int32_t>{kEventPressBegins, kEventPressLeft, kEventPressEnds}));
}

TEST_F(ControlsWindowTest, PicturesImagesAndThePlaceholder) {
  Open("<IMAGE NAME=plain RECT=\"0, 0, 32, 32\" SRC=arrow.png SRC_RECT=\"0, 0, 32, 32\"></IMAGE>"
       "<IMAGE NAME=dimmed RECT=\"40, 0, 72, 32\" SRC=arrow.png SRC_RECT=\"0, 0, 32, 32\" DIM_RECT=\"0, 32, 32, 64\"></IMAGE>"
       "<IMAGE NAME=scaled RECT=\"80, 0, 96, 32\" SRC=arrow.png></IMAGE>"
       "<BUTTON NAME=second RECT=\"120, 0, 160, 40\" VALUE=1 HREF=x SRC=arrow.png></BUTTON>"
       "<BUTTON NAME=lost RECT=\"170, 0, 210, 40\" HREF=x SRC=nowhere.png></BUTTON>");
  host_.SaveBitmap(ArtefactPath("pictures"));
  EXPECT_EQ(host_.Pixel(16, 16), kRed) << "no DIM: the dim state is the normal picture";
  EXPECT_EQ(host_.Pixel(56, 16), kBlue) << "an image without HREF or SCRIPT shows its dim state";
  EXPECT_EQ(host_.Pixel(88, 4), kRed) << "the whole picture, scaled into 16 x 32";
  EXPECT_EQ(host_.Pixel(88, 28), kBlue);

  // Value 1 has no second set: the red-and-white placeholder, framed in black.
  const Rect second{121, 1, 159, 39};
  EXPECT_EQ(host_.Pixel(120, 0), kBlack);
  EXPECT_EQ(host_.Pixel(159, 39), kBlack);
  EXPECT_GT(Count(second, RGB(192, 0, 0)), 300);
  EXPECT_GT(Count(second, kWhite), 300);
  EXPECT_EQ(Count(second, RGB(192, 0, 0)) + Count(second, kWhite), 38 * 38);
  // A missing file is no failure: the placeholder too.
  EXPECT_EQ(Count(Rect{171, 1, 209, 39}, RGB(192, 0, 0)), Count(second, RGB(192, 0, 0)));

  // Disabled, the button shows the placeholder's dim state: inverted.
  ASSERT_EQ(host_.Send(host_.Find("second"), kMessageSetEnabled, 0), kOk);
  ASSERT_EQ(host_.Redraw(), kOk);
  EXPECT_EQ(host_.Pixel(120, 0), kWhite);
  EXPECT_EQ(Count(second, RGB(63, 255, 255)), Count(Rect{171, 1, 209, 39}, RGB(192, 0, 0)));

  // Setting the value from text is refused and changes nothing.
  EXPECT_EQ(host_.Send(host_.Find("second"), kMessageSetValue, intptr_t("0")), kErrUnsupported);
  EXPECT_EQ(Value("second"), 1);
}

TEST_F(ControlsWindowTest, ShortcutFlashesLitAndReportsThePress) {
  Open("<BUTTON NAME=next RECT=\"40, 40, 72, 72\" HREF=x KEYS=\"+\" SRC=arrow.png SRC_RECT=\"0, 0, 32, 32\" "
       "LIT_RECT=\"0, 32, 32, 64\"></BUTTON>"
       "<IMAGE NAME=logo RECT=\"0, 0, 32, 32\" SRC=arrow.png KEYS=L></IMAGE>");
  InputResult result = {};
  result.taken = true;
  const DWORD start = GetTickCount();
  ASSERT_EQ(host_.Send(host_.Find("next"), kMessageShortcut, 0, &result), kOk);
  EXPECT_GE(GetTickCount() - start, 100u);
  EXPECT_TRUE(result.taken);
  EXPECT_EQ(EventCodes(), (std::vector<int32_t>{kEventPressBegins, kEventPressEnds}));
  EXPECT_EQ(host_.Pixel(56, 56), kRed);

  result.taken = true;
  ASSERT_EQ(host_.Send(host_.Find("logo"), kMessageShortcut, 0, &result), kOk);
  EXPECT_FALSE(result.taken) << "a picture that cannot be used is not activated";
  int32_t cursor = kCursorNoPreference;
  MouseEvent over{Point{50, 50}, WM_MOUSEMOVE, kNoButton, 0};
  host_.Send(host_.Find("next"), kMessageCursorQuery, intptr_t(&over), &cursor);
  EXPECT_EQ(cursor, kCursorHand);
  host_.Send(host_.Find("logo"), kMessageCursorQuery, intptr_t(&over), &cursor);
  EXPECT_EQ(cursor, 0);
}

TEST_F(ControlsWindowTest, NativeButtonsCheckBoxesAndTheDefaultPushButton) {
  Open("<BUTTON NAME=go RECT=\"10, 10, 110, 34\" TITLE=Go KEYS=\"+\" HREF=x></BUTTON>"
       "<BUTTON NAME=plain RECT=\"120, 10, 220, 34\" TITLE=Plain HREF=x></BUTTON>"
       "<BUTTON NAME=dead RECT=\"10, 50, 30, 70\" KIND=CHECK TITLE=\"\"></BUTTON>"
       "<BUTTON NAME=cd RECT=\"10, 80, 150, 100\" KIND=CHECKBOX TITLE=\"CD\" VALUE=0 SCRIPT=\"\"></BUTTON>");
  host_.SaveBitmap(ArtefactPath("native_buttons"));
  HWND go = FindWindowExA(host_.window(), nullptr, "Button", "Go");
  HWND plain = FindWindowExA(host_.window(), nullptr, "Button", "Plain");
  HWND cd = FindWindowExA(host_.window(), nullptr, "Button", "CD");
  ASSERT_TRUE(go && plain && cd);
  EXPECT_EQ(GetWindowLongA(go, GWL_STYLE) & BS_TYPEMASK, BS_DEFPUSHBUTTON);
  EXPECT_EQ(GetWindowLongA(plain, GWL_STYLE) & BS_TYPEMASK, BS_PUSHBUTTON);
  EXPECT_EQ(GetWindowLongA(cd, GWL_STYLE) & BS_TYPEMASK, BS_CHECKBOX) << "not the automatic kind";

  HWND dead = FindWindowExA(host_.window(), nullptr, "Button", "");
  ASSERT_NE(dead, nullptr);
  EXPECT_FALSE(IsWindowEnabled(dead)) << "a check box without HREF or SCRIPT";
  EXPECT_TRUE(IsWindowEnabled(cd)) << "an empty SCRIPT is enough";

  // A click reaches the window as a command and leaves the mark alone.
  Click(20, 90);
  ASSERT_TRUE(host_.Pump([&] { return !host_.events.empty(); }));
  EXPECT_EQ(host_.events[0].code, kEventActivated);
  EXPECT_EQ(host_.events[0].element, "cd");
  EXPECT_EQ(SendMessageA(cd, BM_GETCHECK, 0, 0), BST_UNCHECKED);
  EXPECT_EQ(Value("cd"), 0);
  // The owner sets it.
  ASSERT_EQ(host_.Send(host_.Find("cd"), kMessageSetState, 1), kOk);
  EXPECT_EQ(SendMessageA(cd, BM_GETCHECK, 0, 0), BST_CHECKED);
  EXPECT_EQ(Value("cd"), 1);
  MemoryHandle text = HandleNew(0);
  ASSERT_EQ(host_.Send(host_.Find("cd"), kMessageGetValue, intptr_t(text)), kOk);
  EXPECT_STREQ(reinterpret_cast<const char*>(HandleData(text)), "1");
  HandleDispose(text);

  // Enabling follows the window's activity and the element's flag.
  host_.Send(host_.Find("cd"), kMessageDeactivate);
  EXPECT_FALSE(IsWindowEnabled(cd));
  host_.Send(host_.Find("cd"), kMessageActivate);
  EXPECT_TRUE(IsWindowEnabled(cd));
  host_.Send(host_.Find("cd"), kMessageSetEnabled, 0);
  EXPECT_FALSE(IsWindowEnabled(cd));
  host_.acceptsInput = false;
  host_.Send(host_.Find("plain"), kMessageActivate);
  EXPECT_FALSE(IsWindowEnabled(plain)) << "the interface does not accept input";

  // Hit testing, titles and moving go to the native button.
  bool inside = false;
  Point point{150, 20};
  host_.Send(host_.Find("plain"), kMessageHitTest, intptr_t(&point), &inside);
  EXPECT_TRUE(inside);
  host_.Send(host_.Find("plain"), kMessageSetTitle, intptr_t("Renamed"));
  EXPECT_EQ(FindWindowExA(host_.window(), nullptr, "Button", "Renamed"), plain);
  const Rect moved{120, 120, 200, 150};
  host_.Send(host_.Find("plain"), kMessageSetRect, intptr_t(&moved));
  RECT placed;
  GetWindowRect(plain, &placed);
  EXPECT_EQ(placed.left, 120);
  EXPECT_EQ(placed.bottom, 150);
  host_.Send(host_.Find("plain"), kMessageSetVisible, 0);
  EXPECT_FALSE(IsWindowVisible(plain));
}

TEST_F(ControlsWindowTest, PopUpListsItsItemsAndReadsTheChosenPosition) {
  Open("<POPUP NAME=card_kind RECT=\"10, 10, 200, 32\">"
       "<ITEM TITLE=VISA DEFAULT><ITEM TITLE=Mastercard><ITEM TITLE=\"-\"><ITEM TITLE=\"Purchase Order\">"
       "</POPUP>"
       "<POPUP NAME=empty RECT=\"10, 100, 200, 122\"></POPUP>"
       "<POPUP NAME=language LANGUAGE RECT=\"10, 150, 200, 172\"><ITEM TITLE=English></POPUP>");
  host_.SaveBitmap(ArtefactPath("popups"));
  HWND combo = FindWindowExA(host_.window(), nullptr, "ComboBox", nullptr);
  ASSERT_NE(combo, nullptr);
  EXPECT_EQ(SendMessageA(combo, CB_GETCOUNT, 0, 0), 3);
  EXPECT_EQ(Value("card_kind"), 1);
  RECT box;
  GetWindowRect(combo, &box);
  EXPECT_EQ(box.right - box.left, 190);

  // Chosen with the mouse: open the list, click its third line.
  Click(100, 20);
  COMBOBOXINFO info{sizeof info};
  ASSERT_TRUE(host_.Pump([&] { return SendMessageA(combo, CB_GETDROPPEDSTATE, 0, 0) != 0; }));
  ASSERT_TRUE(GetComboBoxInfo(combo, &info));
  RECT list;
  GetWindowRect(info.hwndList, &list);
  const int itemHeight = int(SendMessageA(combo, CB_GETITEMHEIGHT, 0, 0));
  Click(list.left + 20, list.top + 2 * itemHeight + itemHeight / 2);
  ASSERT_TRUE(host_.Pump([&] { return Value("card_kind") == 3 && !SendMessageA(combo, CB_GETDROPPEDSTATE, 0, 0); }));
  MemoryHandle text = HandleNew(0);
  host_.Send(host_.Find("card_kind"), kMessageGetValue, intptr_t(text));
  EXPECT_STREQ(reinterpret_cast<const char*>(HandleData(text)), "Purchase Order");
  HandleDispose(text);

  EXPECT_EQ(host_.Send(host_.Find("card_kind"), kMessageSetValue, intptr_t("Ma")), kOk);
  EXPECT_EQ(Value("card_kind"), 2);
  EXPECT_EQ(host_.Send(host_.Find("card_kind"), kMessageSetValue, intptr_t("Diners")), kErrNotFound);
  EXPECT_EQ(Value("card_kind"), 2);
  host_.Send(host_.Find("card_kind"), kMessageSetState, 3);
  EXPECT_EQ(Value("card_kind"), 3);
  host_.Send(host_.Find("card_kind"), kMessageUnrealise);
  EXPECT_EQ(Value("card_kind"), 3) << "the stored value once the combo box is gone";

  EXPECT_EQ(Value("empty"), 1);
  HWND empty = FindWindowExA(host_.window(), nullptr, "ComboBox", nullptr);
  char first[32] = "";
  SendMessageA(empty, CB_GETLBTEXT, 0, LPARAM(first));
  EXPECT_STREQ(first, "none");

  HWND language = FindWindowExA(host_.window(), empty, "ComboBox", nullptr);
  ASSERT_NE(language, nullptr);
  host_.Send(host_.Find("language"), kMessageSetVisible, 1);
  EXPECT_FALSE(IsWindowVisible(language));
  bool visible = true;
  host_.Send(host_.Find("language"), kMessageGetVisible, 0, &visible);
  EXPECT_FALSE(visible);
}

class BorderWindowTest : public ControlsWindowTest {
 protected:
  // The pixels of a row or column that are not white, as '#'.
  std::string Row(int y, int from, int to) {
    std::string row;
    for (int x = from; x < to; ++x) row += host_.Pixel(x, y) == kWhite ? '.' : '#';
    return row;
  }
  std::string Column(int x, int from, int to) {
    std::string column;
    for (int y = from; y < to; ++y) column += host_.Pixel(x, y) == kWhite ? '.' : '#';
    return column;
  }
};

TEST_F(BorderWindowTest, LineStylesAndTheSeparator) {
  Open("<BORDER NAME=dotted RECT=\"8, 8, 72, 40\" LINE=DOTTED></BORDER>"
       "<BORDER NAME=dashed RECT=\"8, 56, 72, 88\" LINE=dashed></BORDER>"
       "<BORDER NAME=none RECT=\"88, 8, 150, 40\" LINE=NONE></BORDER>"
       "<BORDER NAME=separator RECT=\"119, 50, 119, 230\" TITLE=\"Not drawn\"></BORDER>");
  host_.SaveBitmap(ArtefactPath("border_lines"));
  // 48 rows apart, a multiple of the pattern's 8: the same pixels.
  for (int y = 8; y < 40; ++y) EXPECT_EQ(Row(y, 8, 72), Row(y + 48, 8, 72)) << "row " << y;
  const std::string top = Row(8, 8, 72);
  EXPECT_NE(top.find(".#"), std::string::npos) << top;
  EXPECT_NE(top.find('#'), std::string::npos);
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
  host_.SaveBitmap(ArtefactPath("border_titles"));
  // The top edge is open from the gap (left + 12 - 4) on, and closed again after the title.
  const std::string edge = Row(20, 10, 300);
  EXPECT_EQ(edge.substr(0, 8), "########");
  EXPECT_EQ(edge.substr(8, 4), "....");
  EXPECT_EQ(edge.back(), '#');
  const size_t reopened = edge.find_last_of('.') + 1;  // the title's own pixels may touch the edge's row
  ASSERT_GT(reopened, 30u);
  const Rect gap{22, 10, 10 + int(reopened), 30};
  EXPECT_GT((gap.right - gap.left) * 20 - Count(gap, kWhite), 20) << "the title's ink in the gap";

  // The long title stops within two thirds of 120 pixels (plus its offset and the gap's margin).
  int inkRight = 0;  // of the text: the frame's lines left out
  for (int y = 110; y < 130; ++y)
    for (int x = 11; x < 129; ++x)
      if (host_.Pixel(x, y) != kWhite && y != 120) inkRight = std::max(inkRight, x);
  EXPECT_GT(inkRight, 40);
  EXPECT_LE(inkRight, 10 + 14 + 80);
  const std::string longEdge = Row(120, 10, 130);
  EXPECT_EQ(longEdge.back(), '#') << "the edge closes again before the corner";

  for (size_t i = 0; i < 2; ++i) host_.Send(i, kMessageDeactivate);
  ASSERT_EQ(host_.Redraw(), kOk);
  host_.SaveBitmap(ArtefactPath("border_inactive"));
  EXPECT_EQ(host_.Pixel(10, 50), RGB(127, 127, 127)) << "black half-way to white";
}

TEST_F(BorderWindowTest, BevelRingsAndTheChippedCorner) {
  Open("<BORDER NAME=sunken RECT=\"10, 10, 90, 60\" INDENT=2 BGCOLOR=\"#808080\"></BORDER>"
       "<BORDER NAME=raised RECT=\"110, 10, 190, 60\" INDENT=-2 BGCOLOR=\"#808080\"></BORDER>"
       "<BORDER NAME=chipped RECT=\"10, 100, 120, 180\" CHIPPED></BORDER>");
  host_.SaveBitmap(ArtefactPath("border_bevels"));
  const COLORREF light = RGB(192, 192, 192), dark = RGB(80, 80, 80);
  for (int ring = 1; ring <= 2; ++ring) {
    EXPECT_EQ(host_.Pixel(50, 10 + ring), dark) << "sunken: dark on top, ring " << ring;
    EXPECT_EQ(host_.Pixel(10 + ring, 35), dark);
    EXPECT_EQ(host_.Pixel(50, 59 - ring), light);
    EXPECT_EQ(host_.Pixel(89 - ring, 35), light);
    EXPECT_EQ(host_.Pixel(150, 10 + ring), light) << "raised: light on top, ring " << ring;
    EXPECT_EQ(host_.Pixel(189 - ring, 35), dark);
  }
  EXPECT_EQ(host_.Pixel(50, 13), kWhite) << "two rings, no third";

  const int notchWidth = GetSystemMetrics(SM_CXHTHUMB), notchHeight = GetSystemMetrics(SM_CYVTHUMB);
  ASSERT_GT(notchWidth, 2);
  ASSERT_GT(notchHeight, 2);
  const int right = 119, bottom = 179;
  EXPECT_EQ(host_.Pixel(right, bottom), kWhite) << "the corner itself is cut away";
  EXPECT_EQ(host_.Pixel(right, bottom - notchHeight), kBlack) << "the right side ends at the notch";
  EXPECT_EQ(host_.Pixel(right - notchWidth, bottom), kBlack) << "the bottom ends at the notch";
  EXPECT_EQ(host_.Pixel(right - notchWidth, bottom - notchHeight + 1), kBlack) << "the notch's own edges";
  EXPECT_EQ(host_.Pixel(right, bottom - notchHeight + 1), kWhite);
}

TEST_F(ControlsWindowTest, EveryKindOnOnePageInEachState) {
  Open("<BUTTON NAME=next RECT=\"270, 190, 302, 222\" HREF=x SRC=arrow.png SRC_RECT=\"0, 0, 32, 32\" "
       "LIT_RECT=\"0, 32, 32, 64\"></BUTTON>"
       "<IMAGE NAME=logo RECT=\"10, 10, 42, 42\" SRC=arrow.png SRC_RECT=\"0, 0, 32, 32\"></IMAGE>"
       "<BORDER NAME=frame RECT=\"60, 10, 300, 170\" TITLE=\"Payment\" ALIGN=LEFT INDENT=1 BGCOLOR=\"#C0C0C0\"></BORDER>"
       "<POPUP NAME=card RECT=\"80, 30, 240, 52\"><ITEM TITLE=VISA><ITEM TITLE=Mastercard></POPUP>"
       "<BUTTON NAME=cd RECT=\"80, 70, 240, 90\" KIND=CHECK TITLE=\"Send a CD\" SCRIPT=\"\"></BUTTON>"
       "<BUTTON NAME=radio RECT=\"80, 100, 240, 120\" KIND=RADIO TITLE=\"Radio\" VALUE=1 SCRIPT=\"\"></BUTTON>"
       "<BUTTON NAME=go RECT=\"80, 130, 180, 156\" TITLE=\"Order\" KEYS=\"+\" HREF=x></BUTTON>"
       "<BUTTON NAME=missing RECT=\"10, 60, 42, 92\" HREF=x SRC=nowhere.png></BUTTON>");
  host_.SaveBitmap(ArtefactPath("page_active"));
  host_.Send(host_.Find("next"), kMessageSetState, 0);
  for (const char* name : {"cd", "radio"}) host_.Send(host_.Find(name), kMessageSetState, 1);
  ASSERT_EQ(host_.Redraw(), kOk);
  host_.SaveBitmap(ArtefactPath("page_checked"));
  for (size_t i = 0; i < 8; ++i) host_.Send(i, kMessageDeactivate);
  host_.acceptsInput = false;
  ASSERT_EQ(host_.Redraw(), kOk);
  host_.SaveBitmap(ArtefactPath("page_inactive"));
  EXPECT_FALSE(IsWindowEnabled(FindWindowExA(host_.window(), nullptr, "ComboBox", nullptr)));
  EXPECT_EQ(host_.Pixel(286, 206), kRed) << "a picture button that cannot be used shows its dim state";
}

}  // namespace
