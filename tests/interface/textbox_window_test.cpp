// Text boxes in real interface windows: display text drawn over the page, links and the cursor over
// them, input fields - their values, keys, allowed characters and focus - and the single-line decision.
#include <gtest/gtest.h>
#include <richedit.h>

#include <cstring>
#include <string>

#include "graphics/font_faces.h"
#include "interface/controls/textbox.h"
#include "tests/graphics/gdi_objects.h"
#include "tests/graphics/surfaces.h"
#include "tests/interface/interface_test_support.h"

namespace {

constexpr COLORREF kYellow = RGB(255, 255, 0);
constexpr COLORREF kGreen = RGB(0, 192, 0);

// Vertical stripes of SWATCH elements: a picture under the text boxes that come after them.
std::string Stripes(int width, int height) {
  std::string stripes;
  for (int x = 0; x < width; x += 20)
    stripes += "<SWATCH RECT=\"" + std::to_string(x) + ",0," + std::to_string(x + 20) + "," + std::to_string(height) +
               "\" COLOR=\"" + ((x / 20) % 2 ? "#00C000" : "#FFFF00") + "\"/>";
  return stripes;
}
COLORREF StripeAt(int x) { return (x / 20) % 2 ? kGreen : kYellow; }

class TextBoxTest : public InterfaceTest {
 protected:
  Element* ElementNamed(const char* name) {
    Status status;
    return element_at(window_, find_element(window_, name), &status);
  }
  TextBox* Box(const char* name) {
    Element* element = ElementNamed(name);
    return element ? textbox_record(element->instance) : nullptr;
  }
  HWND Control(const char* name) {
    TextBox* box = Box(name);
    return box ? box->control : nullptr;
  }
  std::string Value(const char* name) {
    char value[1024] = "";
    EXPECT_EQ(element_value(window_, find_element(window_, name), value, sizeof value), kOk);
    return value;
  }
  int Activations(const std::string& name) {
    int count = 0;
    for (const std::string& line : Events(kEventActivated)) count += line.size() > name.size() && line.substr(line.size() - name.size() - 1) == " " + name;
    return count;
  }
  // Characters as the keyboard sends them to the focused control, after translation.
  void Type(HWND control, const std::string& text) {
    for (char c : text) PostMessageA(control, WM_CHAR, WPARAM(uint8_t(c)), 1);
    Pump();
  }
  // The whole client area as the window draws it.
  void PaintInto(DibSurface* surface) {
    RECT client;
    GetClientRect(Native(), &client);
    paint_window(window_, surface->dc(), client);
  }
  Point ClientSize() {
    RECT client;
    GetClientRect(Native(), &client);
    return {client.right, client.bottom};
  }
  int32_t CursorAt(const char* name, int x, int y) {
    MouseEvent event{{x, y}, WM_MOUSEMOVE, kNoButton, 0};
    int32_t cursor = kCursorNoPreference;
    EXPECT_EQ(send_message(ElementNamed(name), kMessageCursorQuery, reinterpret_cast<intptr_t>(&event), &cursor), kOk);
    return cursor;
  }
};

bool Dark(COLORREF c) { return GetRValue(c) < 90 && GetGValue(c) < 90 && GetBValue(c) < 90; }
bool Black(COLORREF c) { return GetRValue(c) < 60 && GetGValue(c) < 60 && GetBValue(c) < 60; }
bool Reddish(COLORREF c) { return GetRValue(c) > 150 && GetGValue(c) < 100 && GetBValue(c) < 100; }
bool Bluish(COLORREF c) { return GetBValue(c) > 150 && GetRValue(c) < 100 && GetGValue(c) < 100; }
bool Stripe(COLORREF c) { return c == kYellow || c == kGreen; }

template <class Test>
int CountIn(const DibSurface& surface, const Rect& area, Test test) {
  int count = 0;
  for (int y = area.top; y < area.bottom; ++y)
    for (int x = area.left; x < area.right; ++x) count += test(surface.Pixel(x, y));
  return count;
}

TEST_F(TextBoxTest, DisplayTextIsDrawnOverThePictureInItsColours) {
  PutInterface("page.iml", "FGCOLOR=#000000 BGCOLOR=#FFFFFF",
               "<PAGE>" + Stripes(400, 240) +
                   "<TEXTBOX NAME=plain RECT=\"10,10,190,230\" SIZE=16>Text over the picture, with enough words "
                   "for a few lines.</TEXTBOX>"
                   "<TEXTBOX NAME=red RECT=\"200,10,390,230\" FGCOLOR=#FF0000 SIZE=16>Red words in a red box "
                   "<FONT FGCOLOR=#0000FF>and blue ones</FONT></TEXTBOX></PAGE>");
  ASSERT_EQ(Open("page.iml"), kOk);
  Pump();
  const Point size = ClientSize();
  DibSurface surface(size.x, size.y);
  PaintInto(&surface);

  const Rect plain{10, 10, 190, 230};
  const int area = (plain.right - plain.left) * (plain.bottom - plain.top);
  // The box's own white never reaches the page: only its letters do, and the picture shows between them.
  EXPECT_EQ(CountIn(surface, plain, [](COLORREF c) { return c == RGB(255, 255, 255); }), 0);
  EXPECT_GT(CountIn(surface, plain, Dark), 40);
  EXPECT_GT(CountIn(surface, plain, Stripe), area * 6 / 10);
  // Below the last line the picture is untouched, pixel for pixel.
  for (int y = 180; y < plain.bottom; y += 7)
    for (int x = plain.left; x < plain.right; ++x) ASSERT_EQ(surface.Pixel(x, y), StripeAt(x)) << x << "," << y;

  const Rect red{200, 10, 390, 230};
  EXPECT_GT(CountIn(surface, red, Reddish), 30);
  EXPECT_GT(CountIn(surface, red, Bluish), 10);  // the inner FGCOLOR wins for its words
  EXPECT_EQ(CountIn(surface, red, Black), 0);
  EXPECT_EQ(CountIn(surface, red, [](COLORREF c) { return c == RGB(255, 255, 255); }), 0);
}

TEST_F(TextBoxTest, FieldsArePrintedIntoThePageWithTheirBorderAndLeaveTheDrawingAsTheyFoundIt) {
  PutInterface("page.iml", "BGCOLOR=#FFFF00",
               "<PAGE><TEXTBOX NAME=field RECT=\"20,20,120,40\" EDITABLE>typed</TEXTBOX>"
               "<SWATCH NAME=after RECT=\"0,100,50,150\" COLOR=\"#0000FF\"/></PAGE>");
  ASSERT_EQ(Open("page.iml"), kOk);
  Pump();
  const Point size = ClientSize();
  DibSurface surface(size.x, size.y);
  PaintInto(&surface);
  EXPECT_EQ(surface.Pixel(25, 100), RGB(0, 0, 255));  // an element drawn after the field
  EXPECT_EQ(surface.Pixel(10, 30), RGB(255, 255, 0));
  // The field's border and its white inside are in the page where the field is on the screen: the
  // rectangle, two pixels higher for the border below the text.
  for (const Point border : {Point{20, 30}, Point{119, 30}, Point{70, 20}, Point{70, 41}})
    EXPECT_FALSE(surface.Pixel(border.x, border.y) == RGB(255, 255, 0) ||
                 surface.Pixel(border.x, border.y) == RGB(255, 255, 255))
        << border.x << "," << border.y;
  EXPECT_EQ(surface.Pixel(70, 42), RGB(255, 255, 0));
  EXPECT_EQ(surface.Pixel(110, 30), RGB(255, 255, 255));
  // Its text, shown selected (the field takes the focus with all its text selected).
  EXPECT_GT(CountIn(surface, Rect{21, 21, 119, 39}, [](COLORREF c) { return c != RGB(255, 255, 255); }), 20);
}

TEST_F(TextBoxTest, RunsCarryTheirFormatsIntoTheControlAndAFieldGetsTheFontOfItsText) {
  PutInterface("page.iml", "FGCOLOR=#000000",
               "<PAGE><TEXTBOX NAME=shown RECT=\"0,0,300,100\" FACE=\"no such face,arial\" SIZE=9>plain "
               "<B>bold</B> <FONT FGCOLOR=#FF0000 SIZE=20>red</FONT> <TT>code</TT> <A HREF=\"#x\">link</A> "
               "<FONT FACE=\"no such face\">default</FONT></TEXTBOX>"
               "<TEXTBOX NAME=field RECT=\"0,110,300,130\" EDITABLE><FONT FACE=\"arial\" SIZE=11><I>x</I></FONT>"
               "</TEXTBOX></PAGE>");
  ASSERT_EQ(Open("page.iml"), kOk);
  HWND control = Control("shown");
  ASSERT_TRUE(control);
  HDC dc = GetDC(Native());
  const int perInch = GetDeviceCaps(dc, LOGPIXELSY);
  char arial[256];
  const char* resolved = FontResolveFaces(dc, "no such face,arial", arial);
  ReleaseDC(Native(), dc);
  const std::string listed = resolved ? resolved : "system";

  auto format = [&](const char* word) {
    char text[200] = "";
    GetWindowTextA(control, text, sizeof text);
    const int32_t at = int32_t(std::strstr(text, word) - text);
    SendMessageA(control, EM_SETSEL, at, at + 1);
    CHARFORMATA result{};
    result.cbSize = sizeof result;
    SendMessageA(control, EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&result));
    return result;
  };
  const CHARFORMATA plain = format("plain");
  EXPECT_EQ(plain.yHeight, 9 * 1440 / perInch);
  EXPECT_STREQ(plain.szFaceName, listed.c_str());
  EXPECT_EQ(plain.dwEffects & (CFE_BOLD | CFE_ITALIC | CFE_UNDERLINE), 0u);
  EXPECT_EQ(plain.crTextColor, RGB(0, 0, 0));
  EXPECT_EQ(format("bold").dwEffects & CFE_BOLD, DWORD(CFE_BOLD));
  const CHARFORMATA red = format("red");
  EXPECT_EQ(red.crTextColor, RGB(255, 0, 0));
  EXPECT_EQ(red.yHeight, 20 * 1440 / perInch);
  EXPECT_EQ(format("code").bPitchAndFamily & 3, FIXED_PITCH);
  EXPECT_EQ(format("plain").bPitchAndFamily & 3, DEFAULT_PITCH);
  const CHARFORMATA link = format("link");
  EXPECT_EQ(link.crTextColor, RGB(0, 0, 238));
  EXPECT_EQ(link.dwEffects & CFE_UNDERLINE, DWORD(CFE_UNDERLINE));
  EXPECT_STREQ(format("default").szFaceName, "system");  // no face of the list is installed

  // A field has one font for all of it: that of its first text.
  LOGFONTA font{};
  ASSERT_TRUE(GetObjectA(reinterpret_cast<HFONT>(SendMessageA(Control("field"), WM_GETFONT, 0, 0)), sizeof font, &font));
  EXPECT_EQ(font.lfHeight, -11);
  EXPECT_EQ(font.lfWeight, 400);
  EXPECT_TRUE(font.lfItalic);
  char single[256];
  HDC fieldDc = GetDC(Native());
  const char* arialFace = FontResolveFaces(fieldDc, "arial", single);
  ReleaseDC(Native(), fieldDc);
  EXPECT_STREQ(font.lfFaceName, arialFace ? arialFace : "system");
}

constexpr char kLinkPages[] =
    "<PAGE NAME=first><TEXTBOX NAME=links RECT=\"10,10,170,200\" SIZE=14>Go to "
    "<A HREF=\"#second\">the second <B>page</B> by a link that runs on</A> to its end.</TEXTBOX>"
    "</PAGE><PAGE NAME=second><SWATCH NAME=there RECT=\"0,0,10,10\"/></PAGE>";

TEST_F(TextBoxTest, ALinkOverThreeLinesIsHandUnderThePointerAndFollowedWhenClicked) {
  PutInterface("page.iml", "", kLinkPages);
  ASSERT_EQ(Open("page.iml"), kOk);
  Pump();
  HWND control = Control("links");
  ASSERT_TRUE(control);
  ASSERT_EQ(textbox_link_count(Box("links")), 1u);
  // Where the control put the link's first and last letters and the text after it.
  const int32_t start = 6, end = 6 + int32_t(std::string("the second page by a link that runs on").size());
  auto at = [&](int32_t position) {
    POINTL point{};
    SendMessageA(control, EM_POSFROMCHAR, reinterpret_cast<WPARAM>(&point), position);
    return Point{10 + point.x, 10 + point.y + 4};
  };
  auto line = [&](int32_t position) { return SendMessageA(control, EM_EXLINEFROMCHAR, 0, position); };
  ASSERT_EQ(line(end - 1), line(start) + 2) << "the link should take three lines";
  ASSERT_EQ(line(end), line(end - 1));

  const Point first = at(start), last = at(end);
  const Point middle{12, at(int32_t(SendMessageA(control, EM_LINEINDEX, line(start) + 1, 0))).y};
  EXPECT_EQ(CursorAt("links", first.x + 1, first.y), kCursorHand);
  EXPECT_EQ(CursorAt("links", first.x - 1, first.y), kCursorHand);  // two pixels to the left belong to it
  EXPECT_EQ(CursorAt("links", first.x - 6, first.y), 0);             // "to" does not
  EXPECT_EQ(CursorAt("links", 165, first.y), kCursorHand);           // the rest of the first line does
  EXPECT_EQ(CursorAt("links", middle.x, middle.y), kCursorHand);
  EXPECT_EQ(CursorAt("links", 165, middle.y), kCursorHand);
  EXPECT_EQ(CursorAt("links", 12, last.y), kCursorHand);
  EXPECT_EQ(CursorAt("links", last.x - 3, last.y), kCursorHand);
  EXPECT_EQ(CursorAt("links", last.x + 3, last.y), 0);  // " to its end."
  EXPECT_EQ(CursorAt("links", 100, 195), 0);

  // Pressed on the link and released off it: the press is reported, nothing is followed.
  auto pressEvents = [&] {
    std::vector<std::string> lines;
    for (int32_t code : {kEventActivated, kEventPressBegins, kEventPressLeft, kEventPressBack, kEventPressEnds})
      for (const std::string& event : Events(code)) lines.push_back(event);
    return lines;
  };
  ClearEvents();
  PostMessageA(Native(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(middle.x, middle.y));
  PostMessageA(Native(), WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(100, 195));
  PostMessageA(Native(), WM_LBUTTONUP, 0, MAKELPARAM(100, 195));
  Pump();
  EXPECT_EQ(pressEvents(), (std::vector<std::string>{"0 12 first 0 links", "0 13 first 0 links", "0 15 first 0 links"}));
  EXPECT_EQ(PageShown(window_), "first");
  // Clicked off the link: no press at all.
  Click(first.x - 6, first.y);
  EXPECT_EQ(pressEvents().size(), 3u);
  // Clicked on it: the link is followed like an HREF of the box.
  Click(last.x - 3, last.y);
  EXPECT_EQ(PageShown(window_), "second");
  EXPECT_EQ(Events(kEventActivated), (std::vector<std::string>{"0 9 first 0 links"}));
}

// The display controls of a page that goes are kept for the next page's boxes: what the next page
// shows must be its own text, formats, size and links, whichever control it gets.
constexpr char kPagesSharingControls[] =
    "<PAGE NAME=one><TEXTBOX NAME=title RECT=\"10,10,210,60\" SIZE=14><B>Bold first words</B> then more "
    "<A HREF=\"#two\">to two</A></TEXTBOX><TEXTBOX NAME=note RECT=\"10,70,110,90\" SIZE=9>a note</TEXTBOX>"
    "</PAGE><PAGE NAME=two><TEXTBOX NAME=tall RECT=\"10,10,70,200\" SIZE=14>Plain words in a narrow box, on "
    "many lines</TEXTBOX><TEXTBOX NAME=same RECT=\"300,100,400,120\" SIZE=9>short</TEXTBOX></PAGE>";

TEST_F(TextBoxTest, ThePreviousPageControlsShowTheNextPageOwnText) {
  PutInterface("page.iml", "", kPagesSharingControls);
  ASSERT_EQ(Open("page.iml", "one"), kOk);
  Pump();
  const HWND firstPage[] = {Control("title"), Control("note")};
  ASSERT_TRUE(firstPage[0] && firstPage[1]);
  ASSERT_EQ(follow_link(window_, nullptr, "#two"), kOk);
  Pump();
  HWND tall = Control("tall"), same = Control("same");
  ASSERT_TRUE(tall && same);
  // Both came from the first page (else this test shows nothing), the one of the same size for the box
  // of that size.
  EXPECT_EQ(same, firstPage[1]);
  EXPECT_EQ(tall, firstPage[0]);

  EXPECT_EQ(Value("tall"), "Plain words in a narrow box, on many lines\r\n");
  EXPECT_EQ(Value("same"), "short\r\n");
  RECT client;
  ASSERT_TRUE(GetClientRect(tall, &client));
  EXPECT_EQ(client.right, 60);
  EXPECT_EQ(client.bottom, 190);
  EXPECT_GE(SendMessageA(tall, EM_GETLINECOUNT, 0, 0), 5) << "the text is wrapped at the new width";
  CHARFORMATA first{};
  first.cbSize = sizeof first;
  SendMessageA(tall, EM_SETSEL, 0, 1);
  SendMessageA(tall, EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&first));
  EXPECT_EQ(first.dwEffects & (CFE_BOLD | CFE_UNDERLINE), 0u);  // nothing of the first page's formats
  EXPECT_EQ(textbox_link_count(Box("tall")), 0u);
  EXPECT_EQ(CursorAt("tall", 20, 20), kCursorNoPreference);
  const Point size = ClientSize();
  DibSurface surface(size.x, size.y);
  PaintInto(&surface);
  EXPECT_GT(CountIn(surface, Rect{10, 10, 70, 200}, Dark), 40);
  EXPECT_EQ(CountIn(surface, Rect{70, 10, 210, 60}, Dark), 0) << "nothing of the first page's text";

  // And back: the first page's text and link again, in the controls the second page had.
  ASSERT_EQ(follow_link(window_, nullptr, "#one"), kOk);
  Pump();
  EXPECT_EQ(Value("title"), "Bold first words then more to two\r\n");
  EXPECT_EQ(Value("note"), "a note\r\n");
  ASSERT_EQ(textbox_link_count(Box("title")), 1u);
  POINTL link{};
  SendMessageA(Control("title"), EM_POSFROMCHAR, reinterpret_cast<WPARAM>(&link), 28);
  EXPECT_EQ(CursorAt("title", 10 + link.x + 2, 10 + link.y + 4), kCursorHand);

  // The kept controls go with their window; a new window's page gets controls that exist.
  close_interface(window_);
  window_ = nullptr;
  Pump();
  EXPECT_FALSE(IsWindow(tall));
  ASSERT_EQ(Open("page.iml", "two"), kOk);
  Pump();
  EXPECT_TRUE(IsWindow(Control("tall")));
  EXPECT_TRUE(IsWindow(Control("same")));
  EXPECT_EQ(Value("tall"), "Plain words in a narrow box, on many lines\r\n");
}

TEST_F(TextBoxTest, FieldValuesAreReadAndWrittenByName) {
  PutInterface("page.iml", "",
               "<PAGE><TEXTBOX NAME=name RECT=\"10,10,200,32\" EDITABLE>  Ada\n\t\tLovelace </TEXTBOX>"
               "<TEXTBOX NAME=shown RECT=\"10,40,200,80\">Shown <B>text</B></TEXTBOX>"
               "<TEXTBOX NAME=notes RECT=\"10,90,200,150\" EDITABLE></TEXTBOX>"
               "<TEXTBOX NAME=flat RECT=\"10,160,200,180\" EDITABLE=FALSE>not a field</TEXTBOX></PAGE>");
  ASSERT_EQ(Open("page.iml"), kOk);
  Pump();
  EXPECT_EQ(Value("name"), "Ada Lovelace ");
  EXPECT_EQ(Value("notes"), "");
  EXPECT_EQ(Value("shown").substr(0, 10), "Shown text");
  ClearEvents();
  ASSERT_EQ(set_element_value(window_, find_element(window_, "name"), "Grace Hopper"), kOk);
  ASSERT_EQ(set_element_value(window_, find_element(window_, "notes"), "two\r\nlines"), kOk);
  Pump();
  EXPECT_EQ(Value("name"), "Grace Hopper");
  EXPECT_EQ(Value("notes"), "two\r\nlines");
  EXPECT_EQ(Activations("name"), 0);  // the program's own writing is not typing
  // A display box's new text looks as its first text did, not in the control's default font.
  auto shownFormat = [&] {
    SendMessageA(Control("shown"), EM_SETSEL, 0, 1);
    CHARFORMATA format{};
    format.cbSize = sizeof format;
    SendMessageA(Control("shown"), EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format));
    return format;
  };
  const CHARFORMATA before = shownFormat();
  ASSERT_EQ(set_element_value(window_, find_element(window_, "shown"), "$36.00"), kOk);
  EXPECT_EQ(Value("shown"), "$36.00");
  const CHARFORMATA after = shownFormat();
  EXPECT_EQ(after.dwEffects & CFE_BOLD, 0u);
  EXPECT_EQ(after.yHeight, before.yHeight);
  EXPECT_STREQ(after.szFaceName, before.szFaceName);
  char title[16] = "x";
  ASSERT_EQ(element_title(window_, find_element(window_, "name"), title, sizeof title), kOk);
  EXPECT_STREQ(title, "");
  // EDITABLE=FALSE is a display box: a rich-edit control that never takes the focus.
  Element* flat = ElementNamed("flat");
  EXPECT_FALSE(Box("flat")->editable);
  EXPECT_EQ(send_message(flat, kMessageFocus, reinterpret_cast<intptr_t>(flat)), kErrState);
}

TEST_F(TextBoxTest, SingleLineByHeightOrSingleAndAlignmentStyles) {
  struct Case {
    const char* attributes;
    const char* content;
    bool singleLine;
    DWORD alignment;  // ES_CENTER, ES_RIGHT or 0
  };
  const Case cases[] = {
      {"RECT=\"0,0,100,15\" SIZE=9 EDITABLE", "", true, 0},            // 15 <= 2 x 9
      {"RECT=\"0,0,100,45\" SIZE=9 EDITABLE", "", false, 0},
      {"RECT=\"0,0,100,24\" EDITABLE", "", true, 0},                   // no size: 12
      {"RECT=\"0,0,100,25\" EDITABLE", "", false, 0},
      {"RECT=\"0,0,100,15\" SIZE=9 SINGLE=FALSE EDITABLE", "", false, 0},
      {"RECT=\"0,0,100,90\" SINGLE EDITABLE ALIGN=RIGHT", "", true, ES_RIGHT},
      {"RECT=\"0,0,100,30\"", "<FONT SIZE=20>big</FONT> text", true, 0},  // the first text's size
      {"RECT=\"0,0,100,30\"", "small <FONT SIZE=20>big</FONT>", false, 0},
      {"RECT=\"0,0,100,30\" ALIGN=CENTER", "centred", false, ES_CENTER},
  };
  std::string page = "<PAGE>";
  for (size_t i = 0; i < std::size(cases); ++i)
    page += "<TEXTBOX NAME=c" + std::to_string(i) + " " + cases[i].attributes + ">" + cases[i].content + "</TEXTBOX>";
  page += "<CENTER><TEXTBOX NAME=in_center RECT=\"0,0,100,90\" EDITABLE/></CENTER></PAGE>";
  PutInterface("page.iml", "ALIGN=LEFT", page);
  ASSERT_EQ(Open("page.iml"), kOk);
  for (size_t i = 0; i < std::size(cases); ++i) {
    SCOPED_TRACE(cases[i].attributes);
    HWND control = Control(("c" + std::to_string(i)).c_str());
    ASSERT_TRUE(control);
    const DWORD style = DWORD(GetWindowLongA(control, GWL_STYLE));
    EXPECT_EQ((style & ES_MULTILINE) == 0, cases[i].singleLine);
    EXPECT_EQ(style & (ES_CENTER | ES_RIGHT), cases[i].alignment);
  }
  // Inside CENTER the INTERFACE's ALIGN=LEFT is not reached: centred.
  EXPECT_EQ(DWORD(GetWindowLongA(Control("in_center"), GWL_STYLE)) & (ES_CENTER | ES_RIGHT), DWORD(ES_CENTER));
}

constexpr char kForm[] =
    "<PAGE NAME=form>"
    "<TEXTBOX NAME=count RECT=\"10,10,100,25\" EDITABLE SIZE=9 ALLOW=\"1234567890\"></TEXTBOX>"
    "<TEXTBOX NAME=comments RECT=\"10,40,200,85\" EDITABLE SIZE=9></TEXTBOX>"
    "<TEXTBOX NAME=info RECT=\"10,100,200,130\">Not a field</TEXTBOX>"
    "<SWATCH NAME=ok RECT=\"10,140,40,170\" KEYS=\"+\"/><SWATCH NAME=cancel RECT=\"50,140,80,170\" KEYS=\"-\"/>"
    "</PAGE>";

TEST_F(TextBoxTest, KeysCharactersAndFocusOfFields) {
  PutInterface("page.iml", "", kForm);
  ASSERT_EQ(Open("page.iml"), kOk);
  Pump();
  HWND count = Control("count"), comments = Control("comments");
  ASSERT_EQ(GetFocus(), count);  // the first field takes the focus when the page is shown
  ClearEvents();

  // Only digits go into the count; each one taken is an activation of the field.
  Type(count, "1a2 x");
  EXPECT_EQ(Value("count"), "12");
  EXPECT_EQ(Activations("count"), 2);
  // Return in a single-line field belongs to the page; so does Escape in any field.
  Press(VK_RETURN, false, count);
  EXPECT_EQ(Activations("ok"), 1);
  EXPECT_EQ(Value("count"), "12");
  Press(VK_ESCAPE, false, count);
  EXPECT_EQ(Activations("cancel"), 1);

  // Tab goes from field to field, past the display box, and round.
  Press(VK_TAB, false, count);
  EXPECT_EQ(GetFocus(), comments);
  Press(VK_TAB, false, comments);
  EXPECT_EQ(GetFocus(), count);
  Press(VK_TAB, false, count);
  ASSERT_EQ(GetFocus(), comments);

  // A multi-line field keeps Return as a new line; Escape still reaches the page.
  Type(comments, "ab");
  Press(VK_RETURN, false, comments);
  Type(comments, "c");
  EXPECT_EQ(Value("comments"), "ab\r\nc");
  EXPECT_EQ(Activations("ok"), 1);
  Press(VK_ESCAPE, false, comments);
  EXPECT_EQ(Activations("cancel"), 2);

  // Hiding the focused field moves the focus on.
  ASSERT_EQ(show_element(window_, find_element(window_, "comments"), false), kOk);
  Pump();
  EXPECT_EQ(GetFocus(), count);
  EXPECT_FALSE(IsWindowVisible(comments));
}

void PutOnClipboard(HWND owner, const char* text) {
  ASSERT_TRUE(OpenClipboard(owner));
  EmptyClipboard();
  const size_t size = std::strlen(text) + 1;
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, size);
  std::memcpy(GlobalLock(memory), text, size);
  GlobalUnlock(memory);
  ASSERT_TRUE(SetClipboardData(CF_TEXT, memory));
  CloseClipboard();
}

TEST_F(TextBoxTest, PastedTextGoesThroughTheSameFilter) {
  PutInterface("page.iml", "", kForm);
  ASSERT_EQ(Open("page.iml"), kOk);
  Pump();
  HWND count = Control("count"), comments = Control("comments");
  Type(count, "1");
  PutOnClipboard(Native(), "2x3 4\xE9");
  SendMessageA(count, WM_PASTE, 0, 0);
  EXPECT_EQ(Value("count"), "1234");
  Type(count, "\x16");  // Ctrl+V, as the keyboard sends it
  EXPECT_EQ(Value("count"), "1234234");
  // Without ALLOW everything printable comes in, line breaks too.
  PutOnClipboard(Native(), "x\r\ny\xE9");
  SendMessageA(comments, WM_PASTE, 0, 0);
  EXPECT_EQ(Value("comments"), "x\r\ny\xE9");
}

TEST_F(TextBoxTest, ColoursOfTheBoxByDefaultAndFromItsAttributes) {
  PutInterface("page.iml", "", "<PAGE><TEXTBOX NAME=plain RECT=\"0,0,50,50\"/>"
                               "<TEXTBOX NAME=given RECT=\"0,60,50,90\" FGCOLOR=#123456 BGCOLOR=#ABCDEF EDITABLE/></PAGE>");
  ASSERT_EQ(Open("page.iml"), kOk);
  auto colour = [&](const char* name, int32_t message) {
    Colour value{};
    EXPECT_EQ(send_message(ElementNamed(name), message, 0, &value), kOk);
    return value;
  };
  EXPECT_EQ(colour("plain", kMessageGetForeColour), (Colour{255, 0, 0, 0}));
  EXPECT_EQ(colour("plain", kMessageGetBackColour), (Colour{255, 255, 255, 255}));
  EXPECT_EQ(colour("given", kMessageGetForeColour), (Colour{255, 0x12, 0x34, 0x56}));
  EXPECT_EQ(colour("given", kMessageGetBackColour), (Colour{255, 0xAB, 0xCD, 0xEF}));
}

TEST_F(TextBoxTest, ClosingThePageReleasesEveryDrawingObject) {
  PutInterface("page.iml", "", std::string("<PAGE>") + "<TEXTBOX NAME=a RECT=\"0,0,150,60\" SIZE=14>Some "
               "<A HREF=\"#x\">linked</A> <B>text</B></TEXTBOX><TEXTBOX NAME=b RECT=\"0,70,150,90\" EDITABLE "
               "FACE=\"arial\" SIZE=9>field</TEXTBOX></PAGE>");
  auto cycle = [&] {
    ASSERT_EQ(Open("page.iml"), kOk);
    Pump();
    const Point size = ClientSize();
    DibSurface surface(size.x, size.y);
    PaintInto(&surface);
    CursorAt("a", 20, 10);
    close_interface(window_);
    window_ = nullptr;
    Pump();
  };
  cycle();  // whatever the system makes once and keeps
  const long before = GdiObjectLevel();
  cycle();
  EXPECT_EQ(GdiObjectLevel(), before);
}

}  // namespace
