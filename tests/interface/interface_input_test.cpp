// Keys, focus and the mouse: shortcuts (KEYS, Alt letters, Return and Escape), each acted on once;
// fields that take keys; the tab order and the focus events; presses dispatched from the top element
// down; the cursor an element asks for.
#include <gtest/gtest.h>

#include "interface/cursors.h"
#include "tests/interface/interface_test_support.h"

namespace {

class InputTest : public InterfaceTest {
 protected:
  int Activations(const std::string& name) {
    int count = 0;
    for (const std::string& line : Events(kEventActivated))
      count += line.size() >= name.size() && line.compare(line.size() - name.size() - 1, std::string::npos, " " + name) == 0;
    return count;
  }
  HWND ControlOf(int32_t index) {
    Status status;
    Element* element = element_at(window_, index, &status);
    return element && HandleGetSize(element->text) >= sizeof(HWND) ? *reinterpret_cast<HWND*>(HandleData(element->text))
                                                                   : nullptr;
  }
};

constexpr char kShortcuts[] =
    "<PAGE NAME=p>"
    "<FIELD NAME=name RECT=\"10,10,200,30\"/><FIELD NAME=notes RECT=\"10,40,200,100\" MULTI/>"
    "<SWATCH NAME=ok RECT=\"10,110,40,140\" KEYS=\"+\"/><SWATCH NAME=cancel RECT=\"50,110,80,140\" KEYS=\"-\"/>"
    "<SWATCH NAME=print RECT=\"90,110,120,140\" KEYS=\"p\"/><SWATCH NAME=later RECT=\"0,0,1,1\" KEYS=\"P\"/>"
    "<SWATCH NAME=hidden KEYS=\"9\"/></PAGE>";

TEST_F(InputTest, ReturnAndEscapeReachTheirButtonsOncePerPress) {
  PutInterface("page.iml", "", kShortcuts);
  ASSERT_EQ(Open("page.iml"), kOk);
  Pump();
  // With the window itself focused, with a single-line field focused, with nothing but the window.
  ASSERT_EQ(GetFocus(), ControlOf(0));  // the first field took the focus when the page was shown
  Press(VK_RETURN, false, ControlOf(0));
  Press(VK_ESCAPE, false, ControlOf(0));
  EXPECT_EQ(Activations("ok"), 1);
  EXPECT_EQ(Activations("cancel"), 1);
  Press(VK_RETURN);
  Press(VK_ESCAPE);
  EXPECT_EQ(Activations("ok"), 2);
  EXPECT_EQ(Activations("cancel"), 2);
  // An auto-repeated key-down is no shortcut.
  Press(VK_RETURN, false, nullptr, true);
  EXPECT_EQ(Activations("ok"), 2);
  // In a multi-line field Return stays in the field; Escape still cancels.
  SetFocus(ControlOf(1));
  Pump();
  Press(VK_RETURN, false, ControlOf(1));
  Press(VK_ESCAPE, false, ControlOf(1));
  EXPECT_EQ(Activations("ok"), 2);
  EXPECT_EQ(Activations("cancel"), 3);
}

TEST_F(InputTest, AltLettersActivateTheFirstElementWithThatKey) {
  PutInterface("page.iml", "", kShortcuts);
  ASSERT_EQ(Open("page.iml"), kOk);
  Press('P', true);
  EXPECT_EQ(Activations("print"), 1);
  EXPECT_EQ(Activations("later"), 0);
  Press('P', true, ControlOf(0));  // also while a field has the focus
  EXPECT_EQ(Activations("print"), 2);
  // A hidden element is not activated; a disabled one refuses.
  ASSERT_EQ(show_element(window_, find_element(window_, "hidden"), false), kOk);
  Press('9', true);
  EXPECT_EQ(Activations("hidden"), 0);
  Status status;
  send_message(element_at(window_, find_element(window_, "print"), &status), kMessageSetEnabled, 0);
  Press('P', true);
  EXPECT_EQ(Activations("print"), 2);
  // Alt+F4 is the system's: it closes the window.
  Press(VK_F4, true);
  EXPECT_FALSE(is_interface_open(window_));
  window_ = nullptr;
}

TEST_F(InputTest, FieldsTakeTheCharactersTypedIntoThem) {
  PutInterface("page.iml", "", kShortcuts);
  ASSERT_EQ(Open("page.iml"), kOk);
  Pump();
  ClearEvents();
  // The edit control reports the change; the focused field takes it and is activated for each.
  for (char c : std::string("ab")) {
    PostMessageA(ControlOf(0), WM_CHAR, c, 1);
    Pump();
  }
  char value[64];
  ASSERT_EQ(element_value(window_, 0, value, sizeof value), kOk);
  EXPECT_STREQ(value, "ab");
  EXPECT_EQ(Events(kEventActivated), (std::vector<std::string>{"0 9 p 0 name", "0 9 p 0 name"}));
  // Setting the value is the program's own doing, not the user's: no activation.
  ClearEvents();
  ASSERT_EQ(set_element_value(window_, 0, "set"), kOk);
  Pump();
  EXPECT_EQ(Events(kEventActivated), std::vector<std::string>{});
}

TEST_F(InputTest, TabMovesTheFocusAroundWithItsEvents) {
  PutInterface("page.iml", "",
               "<PAGE NAME=p><FIELD NAME=a RECT=\"0,0,50,20\"/><SWATCH NAME=s RECT=\"0,30,50,50\"/>"
               "<FIELD NAME=b RECT=\"0,60,50,80\"/><FRAME RECT=\"100,0,300,200\" SRC=\"#framed\"/></PAGE>"
               "<PAGE NAME=framed><FIELD NAME=c RECT=\"0,0,50,20\"/></PAGE>");
  ASSERT_EQ(Open("page.iml"), kOk);
  Pump();
  EXPECT_EQ(Events(kEventFocusGained), std::vector<std::string>{"0 7 p 0 a"});
  EXPECT_EQ(GetFocus(), ControlOf(0));
  ClearEvents();
  Press(VK_TAB);
  EXPECT_EQ(Events(), (std::vector<std::string>{"0 11 p 0 a", "0 7 p 2 b"}));
  Press(VK_TAB);  // into the framed page
  Press(VK_TAB);  // and round to the start
  EXPECT_EQ(Events(kEventFocusGained), (std::vector<std::string>{"0 7 p 2 b", "1 7 framed 0 c", "0 7 p 0 a"}));
  EXPECT_EQ(GetFocus(), ControlOf(0));
  // Shift+Tab goes back, wrapping at the start; a veto of event 11 keeps the focus where it is.
  ClearEvents();
  Answer(kEventFocusLosing, kErrRefused);
  Press(VK_TAB);
  EXPECT_EQ(Events(), std::vector<std::string>{"0 11 p 0 a"});
  Answer(kEventFocusLosing, kOk);
  ClearEvents();
  BYTE keys[256];
  GetKeyboardState(keys);
  keys[VK_SHIFT] = 0x80;
  SetKeyboardState(keys);
  Press(VK_TAB);
  keys[VK_SHIFT] = 0;
  SetKeyboardState(keys);
  EXPECT_EQ(Events(kEventFocusGained), std::vector<std::string>{"1 7 framed 0 c"});
  // A field that is hidden gives the focus on without being asked.
  ClearEvents();
  Answer(kEventFocusLosing, kErrRefused);
  ASSERT_EQ(show_element(Window(1), 0, false), kOk);
  EXPECT_EQ(Events(), std::vector<std::string>{"0 7 p 0 a"});
  EXPECT_EQ(GetFocus(), ControlOf(0));
}

TEST_F(InputTest, PressesGoToTheTopmostElementUnderThePointer) {
  PutInterface("page.iml", "",
               "<PAGE NAME=p><SWATCH NAME=under RECT=\"0,0,100,100\"/><SWATCH NAME=middle RECT=\"0,0,60,60\" HITLESS/>"
               "<SWATCH NAME=over RECT=\"0,0,40,40\"/><SWATCH NAME=gone RECT=\"0,0,20,20\"/></PAGE>");
  ASSERT_EQ(Open("page.iml"), kOk);
  ASSERT_EQ(show_element(window_, 3, false), kOk);
  Click(10, 10);  // gone is hidden: over is on top
  Click(50, 50);  // middle answers its hit test with outside: under
  Click(80, 80);
  Click(150, 150);  // nothing
  EXPECT_EQ(Events(kEventActivated), (std::vector<std::string>{"0 9 p 2 over", "0 9 p 0 under", "0 9 p 0 under"}));
  // A double-click is a press too; right presses do not activate a swatch.
  PostMessageA(Native(), WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(10, 10));
  PostMessageA(Native(), WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(10, 10));
  Pump();
  EXPECT_EQ(Activations("over"), 2);
}

TEST_F(InputTest, ControlsReportPressesWithTheirPageAndElement) {
  PutInterface("page.iml", "",
               "<PAGE><FRAME RECT=\"100,0,300,200\" SRC=\"#framed\"/></PAGE>"
               "<PAGE NAME=framed><SWATCH RECT=\"0,0,10,10\"/><SWATCH NAME=press RECT=\"0,20,40,40\" NOTIFY "
               "LINK=\"#after\"/></PAGE><PAGE NAME=after></PAGE>");
  ASSERT_EQ(Open("page.iml"), kOk);
  ClearEvents();
  Click(110, 30);
  EXPECT_EQ(Events(), (std::vector<std::string>{"1 12 framed 1 press", "1 15 framed 1 press", "1 9 framed 1 press",
                                               "1 6 framed -1 -", "1 2 after -1 -", "1 3 after -1 -"}));
}

TEST_F(InputTest, TheCursorIsTheOneTheElementUnderThePointerAsksFor) {
  PutInterface("page.iml", "", "<PAGE NAME=p><SWATCH NAME=s RECT=\"0,0,100,100\"/></PAGE>");
  ASSERT_EQ(Open("page.iml"), kOk);
  RECT frame;
  GetWindowRect(Native(), &frame);
  POINT origin{0, 0};
  ClientToScreen(Native(), &origin);
  SetCursorPos(origin.x + 50, origin.y + 50);
  SendMessageA(Native(), WM_SETCURSOR, WPARAM(Native()), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
  EXPECT_EQ(GetCursor(), LoadCursorA(nullptr, IDC_HAND));
  SetCursorPos(origin.x + 150, origin.y + 150);
  SendMessageA(Native(), WM_SETCURSOR, WPARAM(Native()), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
  EXPECT_EQ(GetCursor(), LoadCursorA(nullptr, IDC_ARROW));
}

TEST_F(InputTest, PaintsOfRichEditControlsAreTakenOutOfTheQueueForGood) {
  PutInterface("page.iml", "", "<PAGE NAME=p></PAGE>");
  ASSERT_EQ(Open("page.iml"), kOk);
  Pump();
  ASSERT_TRUE(LoadLibraryA("RICHED20.DLL"));
  HWND rich = CreateWindowExA(0, "RichEdit20A", "text", WS_CHILD | WS_VISIBLE, 0, 0, 100, 40, Native(), nullptr,
                              nullptr, nullptr);
  ASSERT_TRUE(rich);
  InvalidateRect(rich, nullptr, TRUE);
  MSG message;
  ASSERT_TRUE(PeekMessageA(&message, rich, WM_PAINT, WM_PAINT, PM_REMOVE));
  EXPECT_TRUE(pretranslate_message(&message));
  // Consumed without its paint, the control would be asked to paint again and again.
  EXPECT_FALSE(GetUpdateRect(rich, nullptr, FALSE));
  DestroyWindow(rich);
}

TEST(HandCursor, TheBuiltHandHasItsHotSpotOnTheFingertip) {
  HCURSOR hand = built_hand_cursor();
  ASSERT_NE(hand, nullptr);
  ICONINFO info{};
  ASSERT_TRUE(GetIconInfo(hand, &info));
  EXPECT_FALSE(info.fIcon);
  EXPECT_EQ(info.xHotspot, 13u);
  EXPECT_EQ(info.yHotspot, 5u);
  // A monochrome cursor is one bitmap: the AND mask above the XOR mask.
  BITMAP bitmap{};
  GetObjectA(info.hbmMask, sizeof bitmap, &bitmap);
  EXPECT_EQ(bitmap.bmWidth, 32);
  EXPECT_EQ(bitmap.bmHeight, 64);
  uint8_t bits[32 * 64 / 8];
  ASSERT_EQ(GetBitmapBits(info.hbmMask, sizeof bits, bits), LONG(sizeof bits));
  auto bit = [&](int x, int y) { return (bits[y * 4 + x / 8] >> (7 - x % 8)) & 1; };
  EXPECT_EQ(bit(13, 5), 0);       // the fingertip is drawn: AND 0
  EXPECT_EQ(bit(13, 32 + 5), 1);  // in white: XOR 1
  EXPECT_EQ(bit(13, 4), 0);       // its outline is black: AND 0, XOR 0
  EXPECT_EQ(bit(13, 32 + 4), 0);
  EXPECT_EQ(bit(0, 0), 1);        // the corner shows the screen
  DeleteObject(info.hbmMask);
  release_cursors();
}

}  // namespace
