// What pages cost and what the page program reaches through them: no system objects left behind by
// page changes, and the element access operations by index.
#include <gtest/gtest.h>

#include "interface/element_support.h"
#include "tests/graphics/gdi_objects.h"
#include "tests/interface/interface_test_support.h"

namespace {

using ResourcesTest = InterfaceTest;

BOOL CALLBACK CountChild(HWND, LPARAM counter) {
  ++*reinterpret_cast<int*>(counter);
  return TRUE;
}

int ChildWindows(HWND parent) {
  int count = 0;
  EnumChildWindows(parent, CountChild, reinterpret_cast<LPARAM>(&count));
  return count;
}

long UserObjects() {
  const DWORD counted = GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS);
  return long(counted);  // Wine answers 0: child windows are then counted on their own below
}

TEST_F(ResourcesTest, AHundredPageChangesLeaveNoSystemObjectsBehind) {
  PutInterface("page.iml", "BGCOLOR=#E0E0FF",
               "<PAGE><SWATCH NAME=logo RECT=\"0,0,10,10\"/><FRAME NAME=walk RECT=\"100,0,300,200\" SRC=\"#one\"/></PAGE>"
               "<PAGE NAME=one><FIELD NAME=f RECT=\"0,0,100,20\"/><SWATCH NAME=next RECT=\"0,30,20,50\" HREF=\"#two\"/>"
               "</PAGE>"
               "<PAGE NAME=two><FIELD NAME=g RECT=\"0,0,100,20\" MULTI/><SWATCH NAME=back RECT=\"0,30,20,50\" "
               "HREF=\"#one\"></PAGE>");
  ASSERT_EQ(Open("page.iml"), kOk);
  Pump();
  InterfaceWindow* framed = Window(1);
  ASSERT_TRUE(framed);
  // One round first, so that what is made once (brushes for the fields' colours, say) exists.
  ASSERT_EQ(follow_link(framed, nullptr, "#two"), kOk);
  ASSERT_EQ(follow_link(framed, nullptr, "#one"), kOk);
  Pump();
  const long gdi = GdiObjectLevel(), user = UserObjects();
  const int children = ChildWindows(Native());
  for (int i = 0; i < 50; ++i) {
    ASSERT_EQ(follow_link(framed, nullptr, "#two"), kOk);
    ASSERT_EQ(follow_link(framed, nullptr, "#one"), kOk);
    Pump(1);
  }
  EXPECT_EQ(PageShown(framed), "one");
  EXPECT_EQ(GdiObjectLevel(), gdi);
  EXPECT_EQ(UserObjects(), user);
  EXPECT_EQ(ChildWindows(Native()), children);
}

TEST_F(ResourcesTest, ElementsAreReachedByIndexThroughTheirClass) {
  PutInterface("page.iml", "", "<PAGE NAME=p><SWATCH NAME=First TITLE=\"A title\"/><SWATCH/><FIELD NAME=field/></PAGE>");
  ASSERT_EQ(Open("page.iml"), kOk);
  EXPECT_EQ(count_elements(window_), 3);
  EXPECT_EQ(find_element(window_, "first"), 0);
  EXPECT_EQ(find_element(window_, "FIELD"), 2);
  EXPECT_EQ(find_element(window_, "second"), -1);
  char text[8];
  EXPECT_EQ(element_title(window_, -1, text, sizeof text), kErrArgument);
  EXPECT_EQ(element_title(window_, 3, text, sizeof text), kErrNotFound);
  ASSERT_EQ(element_title(window_, 0, text, sizeof text), kOk);
  EXPECT_STREQ(text, "A title");  // cut to the buffer
  ASSERT_EQ(set_element_title(window_, 1, "Second"), kOk);
  ASSERT_EQ(element_title(window_, 1, text, sizeof text), kOk);
  EXPECT_STREQ(text, "Second");
  ASSERT_EQ(set_element_value(window_, 2, 1234), kOk);
  UniqueHandle value(HandleNew(0));
  ASSERT_EQ(text_buffer_append(value.get(), "#"), kOk);
  ASSERT_EQ(element_value(window_, 2, value.get()), kOk);
  EXPECT_STREQ(text_buffer_text(value.get()), "#1234");
  ASSERT_EQ(set_element_state(window_, 0, 7), kOk);
  intptr_t state = 0;
  ASSERT_EQ(element_instance(window_, 0, &state), kOk);
  EXPECT_EQ(state, 7);
  EXPECT_TRUE(element_visible(window_, 1));
  ASSERT_EQ(show_element(window_, 1, false), kOk);
  EXPECT_FALSE(element_visible(window_, 1));
  EXPECT_TRUE(element_enabled(window_, 0));
  const Rect moved{5, 6, 7, 8};
  ASSERT_EQ(set_element_rectangle(window_, 0, moved), kOk);
  Rect rect{};
  ASSERT_EQ(element_rectangle(window_, 0, &rect), kOk);
  EXPECT_EQ(rect, moved);
  EXPECT_STREQ(element_attribute(element_node(window_, 0), "NAME"), "First");
  EXPECT_EQ(element_node(window_, 9), nullptr);
}

TEST_F(ResourcesTest, NativeControlsAreColouredWithTheirElementsColours) {
  PutInterface("page.iml", "FGCOLOR=#102030 BGCOLOR=#E0E0FF", "<PAGE NAME=p><FIELD NAME=f RECT=\"0,0,100,20\"/></PAGE>");
  ASSERT_EQ(Open("page.iml"), kOk);
  Status status;
  Element* field = element_at(window_, 0, &status);
  ASSERT_TRUE(field);
  const HWND control = *reinterpret_cast<HWND*>(HandleData(field->text));
  HDC dc = GetDC(control);
  for (UINT message : {WM_CTLCOLOREDIT, WM_CTLCOLORSTATIC, WM_CTLCOLORDLG}) {
    SetTextColor(dc, RGB(1, 1, 1));
    SetBkColor(dc, RGB(2, 2, 2));
    auto brush = reinterpret_cast<HBRUSH>(SendMessageA(Native(), message, WPARAM(dc), LPARAM(control)));
    EXPECT_EQ(GetTextColor(dc), RGB(0x10, 0x20, 0x30));
    EXPECT_EQ(GetBkColor(dc), RGB(0xE0, 0xE0, 0xFF));
    LOGBRUSH description{};
    ASSERT_EQ(GetObjectA(brush, sizeof description, &description), int(sizeof description));
    EXPECT_EQ(description.lbColor, RGB(0xE0, 0xE0, 0xFF));
  }
  ReleaseDC(control, dc);
}

TEST_F(ResourcesTest, SoundsComeFromTheProgramsResources) {
  ASSERT_EQ(start_interface_engine(), kOk);
  EXPECT_EQ(play_sound("NO_SUCH.SND"), kErrNotFound);
}

}  // namespace
