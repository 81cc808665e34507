// Loading interfaces into windows: the page file and its encoding, the INTERFACE and its pages, the
// window's size, the element records of a page and their creation, parameters and pictures.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>

#include "interface/element_support.h"
#include "tests/interface/interface_test_support.h"

namespace {

using DocumentTest = InterfaceTest;

RECT ClientOf(HWND window) {
  RECT client{};
  GetClientRect(window, &client);
  return client;
}

TEST_F(DocumentTest, FilesWithoutInterfaceOrPagesAndFoldersWithoutIndexAreRefused) {
  // A language index: interfaces that only point elsewhere.
  scratch_.Put("index.iml", "<INTERFACE HREF=\"en/\" LANGUAGE=English></INTERFACE><INTERFACE HREF=\"de/\"></INTERFACE>");
  EXPECT_EQ(Open("index.iml"), kErrNoInterface);
  EXPECT_EQ(window_, nullptr);
  scratch_.Put("plain.iml", "<PAGE NAME=a></PAGE>");
  EXPECT_EQ(Open("plain.iml"), kErrNoInterface);
  EXPECT_EQ(Open("absent.iml"), kErrFileNotFound);

  CreateDirectoryA((scratch_ / "empty").c_str(), nullptr);
  EXPECT_EQ(Open("empty"), kErrNoIndex);
  CreateDirectoryA((scratch_ / "help").c_str(), nullptr);
  scratch_.Put("help\\index.iml", "<INTERFACE><PAGE NAME=first></PAGE></INTERFACE>");
  ASSERT_EQ(Open("help"), kOk);
  EXPECT_EQ(PageShown(window_), "first");
  EXPECT_EQ(OpenWindowCount(), 1);
}

TEST_F(DocumentTest, AutoPlacedWindowsTakeTheInterfaceSizeAndAreCentred) {
  PutInterface("default.iml", "", "<PAGE></PAGE>");
  PutInterface("sized.iml", "WIDTH=500 HEIGHT=400", "<PAGE></PAGE>");
  PutInterface("rect.iml", "RECT=\"10, 20, 330, 260\" WIDTH=900", "<PAGE></PAGE>");
  const struct {
    const char* file;
    LONG width, height;
  } cases[] = {{"default.iml", 400, 300}, {"sized.iml", 500, 400}, {"rect.iml", 320, 240}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.file);
    ASSERT_EQ(Open(c.file, nullptr, nullptr), kOk);
    const RECT client = ClientOf(Native());
    EXPECT_EQ(client.right, c.width);
    EXPECT_EQ(client.bottom, c.height);
    RECT frame, desk;
    GetWindowRect(Native(), &frame);
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &desk, 0);
    EXPECT_NEAR((frame.left + frame.right) / 2, (desk.left + desk.right) / 2, 1);
    EXPECT_NEAR((frame.top + frame.bottom) / 2, (desk.top + desk.bottom) / 2, 1);
    // The user cannot resize it.
    MINMAXINFO limits{};
    SendMessageA(Native(), WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&limits));
    EXPECT_EQ(limits.ptMaxTrackSize.x, frame.right - frame.left);
    EXPECT_EQ(limits.ptMinTrackSize.y, frame.bottom - frame.top);
    close_interface(window_);
    EXPECT_FALSE(is_interface_open(window_));
    EXPECT_FALSE(IsWindow(Native()));
    window_ = nullptr;
  }
}

TEST_F(DocumentTest, PageFilesInUnicodeFormsAreRefusedExceptUtf16LittleEndian) {
  const std::string page = "<INTERFACE><PAGE NAME=\"gr\xfc\xdf\"></PAGE></INTERFACE>";
  scratch_.Put("utf8.iml", "\xEF\xBB\xBF" + page);
  EXPECT_EQ(Open("utf8.iml"), kErrUnicodePage);
  std::string big = "\xFE\xFF", little = "\xFF\xFE";
  for (char c : page) {
    big += '\0', big += c;
    little += c, little += '\0';
  }
  // In UTF-16 the bytes of the page above stand for themselves: ü and ß are U+00FC and U+00DF.
  scratch_.Put("big.iml", big);
  EXPECT_EQ(Open("big.iml"), kErrUnicodePage);
  scratch_.Put("little.iml", little);
  ASSERT_EQ(Open("little.iml"), kOk);
  EXPECT_EQ(PageShown(window_), "gr\xfc\xdf");
  close_interface(window_);
  // A declared 8-bit encoding is converted: MacRoman 0x8A is a-umlaut, 0xFC in the working encoding.
  scratch_.Put("mac.iml", "<FILE ENCODING=\"MacRoman\">\n<INTERFACE><PAGE NAME=\"\x8A\"></PAGE></INTERFACE>");
  ASSERT_EQ(Open("mac.iml"), kOk);
  EXPECT_EQ(PageShown(window_), "\xe4");
}

TEST_F(DocumentTest, TheBackgroundPictureIsTiledAndAMissingOneIsNoError) {
  std::ifstream logo(SKYWARD_PAGES_DIR "/logo.gif", std::ios::binary);
  const std::string bytes{std::istreambuf_iterator<char>(logo), {}};
  scratch_.Put("tile.gif", bytes);
  PutInterface("missing.iml", "BACKGROUND=nothing.gif", "<PAGE NAME=p></PAGE>");
  ASSERT_EQ(Open("missing.iml"), kOk);
  close_interface(window_);
  scratch_.Put("broken.gif", "GIF89a, and no picture");
  PutInterface("broken.iml", "BACKGROUND=broken.gif", "<PAGE NAME=p></PAGE>");
  EXPECT_NE(Open("broken.iml"), kOk);

  PutInterface("tiled.iml", "BACKGROUND=tile.gif BGCOLOR=#00FF00", "<PAGE NAME=p></PAGE>");
  ASSERT_EQ(Open("tiled.iml"), kOk);
  UpdateWindow(Native());
  // What the window shows, read from its own context; the tile repeats at its width and height.
  Pixmap* tile = nullptr;
  UniqueHandle encoded(HandleNewFromData(bytes.data(), bytes.size()));
  ASSERT_EQ(ImageRead(encoded.get(), &tile, nullptr, nullptr, nullptr), kOk);
  const int width = PixmapWidth(tile), height = PixmapHeight(tile);
  HDC screen = GetDC(Native());
  for (int y : {0, height / 2}) {
    for (int x : {0, width / 3, width - 1}) {
      Colour expected;
      ASSERT_EQ(PixmapGetPixelColour(tile, nullptr, x, y, &expected), kOk);
      const COLORREF wanted = RGB(expected.red, expected.green, expected.blue);
      EXPECT_EQ(GetPixel(screen, x, y), wanted) << x << "," << y;
      EXPECT_EQ(GetPixel(screen, x + width, y + height), wanted) << x << "," << y << " repeated";
    }
  }
  ReleaseDC(Native(), screen);
  PixmapDispose(tile);
}

TEST_F(DocumentTest, DisplayedElementsGetRecordsCreatedInOrderAndNestedOnesDoNot) {
  PutInterface("page.iml", "",
               "<PAGE NAME=main>"
               "  <PROBE NAME=a RECT=\"10, 20, 30, 40\" TITLE=\"First\" KEYS=\"+x\"><PROBE NAME=inside/></PROBE>"
               "  <B><PROBE NAME=b RECT=\"-5, 10\"/></B>"
               "  <FONT><SWATCH NAME=c/></FONT>"
               "</PAGE>");
  ASSERT_EQ(Open("page.iml"), kOk);
  EXPECT_EQ(count_elements(window_), 3);
  EXPECT_EQ(find_element(window_, "INSIDE"), -1);
  EXPECT_EQ(find_element(window_, "B"), 1);
  EXPECT_EQ(find_element(window_, "c"), 2);
  EXPECT_STREQ(element_attribute(element_node(window_, 0), "KEYS"), "+X");  // upper-cased at creation
  const std::vector<std::string> created(probe_log().begin(), probe_log().begin() + 12);
  EXPECT_EQ(created, (std::vector<std::string>{"a 0", "a 65 10,20,30,40", "a 67 First", "a 48", "a 1", "a 50", "b 0",
                                               "b 65 -5,10,0,0", "b 67 ", "b 48", "b 1", "b 50"}));
  // Every element hears of the window's activation.
  probe_log().clear();
  SendMessageA(Native(), WM_ACTIVATE, WA_INACTIVE, 0);
  SendMessageA(Native(), WM_ACTIVATE, WA_CLICKACTIVE, 0);
  std::vector<std::string> activation;
  for (const std::string& line : probe_log())
    if (line.ends_with(" 48") || line.ends_with(" 49")) activation.push_back(line);
  EXPECT_EQ(activation, (std::vector<std::string>{"a 49", "b 49", "a 48", "b 48"}));
  probe_log().clear();
  close_interface(window_);
  EXPECT_EQ(probe_log(), (std::vector<std::string>{"a 2", "a 3", "b 2", "b 3"}));
}

TEST_F(DocumentTest, AnElementThatFailsToCreateAbandonsThePage) {
  PutInterface("page.iml", "", "<PAGE NAME=main><SWATCH NAME=a/><BROKEN NAME=b/><SWATCH NAME=c/></PAGE>");
  onEvent_ = [this](int32_t event) {
    if (event == kEventWindowMade)
      add_element_class(Window(0), "BROKEN", [](const ElementContext&, int32_t message, intptr_t, void*) -> Status {
        return message == kMessageRealise ? kErrNativeWindow : kOk;
      });
  };
  EXPECT_EQ(Open("page.iml"), kErrNativeWindow);
  EXPECT_EQ(window_, nullptr);
  EXPECT_EQ(OpenWindowCount(), 0);
}

TEST_F(DocumentTest, FramesShowTheirPageInsideTheirRectangle) {
  PutInterface("page.iml", "BGCOLOR=#FFFFFF",
               "<PAGE><SWATCH NAME=outer RECT=\"0,0,10,10\"/><FRAME NAME=frame RECT=\"100, 50, 300, 250\" SRC=\"#inner\"/></PAGE>"
               "<PAGE NAME=inner><PROBE NAME=framed RECT=\"10, 20, 30, 40\"/></PAGE>");
  ASSERT_EQ(Open("page.iml"), kOk);
  EXPECT_EQ(count_elements(window_), 2);
  intptr_t instance = 0;
  ASSERT_EQ(element_instance(window_, 1, &instance), kOk);
  auto* nested = reinterpret_cast<InterfaceWindow*>(instance);
  ASSERT_TRUE(is_interface_open(nested));
  EXPECT_EQ(PageShown(nested), "inner");
  EXPECT_EQ(native_window_of(nested), Native());
  // The framed elements' rectangles are in the native window, moved by the frame's corner.
  Rect rect;
  ASSERT_EQ(element_rectangle(nested, 0, &rect), kOk);
  EXPECT_EQ(rect, (Rect{110, 70, 130, 90}));
  EXPECT_EQ(set_element_value(window_, 1, "x"), kErrUnsupported);
  EXPECT_EQ(set_element_state(window_, 1, 1), kErrUnsupported);
  // A frame without SRC shows the first page of its own file again; SOURCE wins over SRC.
  PutInterface("other.iml", "", "<PAGE NAME=first></PAGE><PAGE NAME=second></PAGE>");
  PutInterface("sources.iml", "",
               "<PAGE NAME=top><FRAME RECT=\"0,0,50,50\" SOURCE=\"other.iml#second\" SRC=\"#top\"/></PAGE>");
  close_interface(window_);
  ASSERT_EQ(Open("sources.iml"), kOk);
  ASSERT_EQ(element_instance(window_, 0, &instance), kOk);
  EXPECT_EQ(PageShown(reinterpret_cast<InterfaceWindow*>(instance)), "second");
}

TEST_F(DocumentTest, ParametersShowVariablesOfTheWindowBeforeTheProcess) {
  PutInterface("page.iml", "",
               "<PAGE NAME=p><SWATCH NAME=s TITLE=unused/>"
               "<TEXT><PARAMETER NAME=PRODUCT>fallback</PARAMETER> <PARAM NAME=UNSET>kept</PARAM></TEXT></PAGE>");
  ASSERT_EQ(set_variable(nullptr, "PRODUCT", "Skyward"), kOk);
  ASSERT_EQ(Open("page.iml"), kOk);
  const MarkupNode* parameter = find_tagged_element(page_directory(window_)->pages[0].element, nullptr, "PARAMETER", false);
  ASSERT_NE(parameter, nullptr);
  EXPECT_STREQ(parameter->children->text, "Skyward");
  const MarkupNode* unset = find_tagged_element(page_directory(window_)->pages[0].element, nullptr, "PARAM", false);
  EXPECT_STREQ(unset->children->text, "kept");
  // The window's own variable wins; pages are built again on the next visit.
  ASSERT_EQ(set_variable(window_variables(window_), "PRODUCT", "<B>Own</B>"), kOk);
  ASSERT_EQ(go_to_page(window_, "p"), kOk);
  parameter = find_tagged_element(page_directory(window_)->pages[0].element, nullptr, "PARAMETER", false);
  ASSERT_NE(parameter->children, nullptr);
  EXPECT_STREQ(parameter->children->name, "B");
  free_process_variables();
}

TEST_F(DocumentTest, PicturesArePreloadedOnIdleTicksAndServedToElements) {
  std::ifstream logo(SKYWARD_PAGES_DIR "/logo.gif", std::ios::binary);
  const std::string gif{std::istreambuf_iterator<char>(logo), {}};
  ASSERT_GT(gif.size(), 6u);
  scratch_.Put("dot.gif", gif);
  scratch_.Put("other.gif", gif);
  PutInterface("page.iml", "",
               "<PRELOAD IMAGE SRC=dot.gif><PRELOAD IMG SRC=missing.gif><PRELOAD SRC=noflag.gif>"
               "<PAGE NAME=p><PROBE NAME=user/></PAGE>");
  ASSERT_EQ(Open("page.iml"), kOk);
  // The pictures are the window's: asked twice, the same maps come back, whether preloaded or not.
  ElementImage first{}, again{}, missing{};
  auto ask = [&](const char* file, ElementImage* image) {
    Status status = kErrState;
    onEvent_ = [&](int32_t event) {
      if (event == kEventActivated) status = element_image(file, image);
    };
    follow_link(window_, nullptr, nullptr);
    onEvent_ = nullptr;
    return status;
  };
  const auto start = GetTickCount();
  while (GetTickCount() - start < 3000) Pump(1);  // the two queued files get their turns, 500 ms apart
  ASSERT_EQ(ask("dot.gif", &first), kOk);
  ASSERT_NE(first.pixmap, nullptr);
  EXPECT_EQ(first.width, int(uint8_t(gif[6]) | uint8_t(gif[7]) << 8));  // the GIF's own screen size
  EXPECT_EQ(first.height, int(uint8_t(gif[8]) | uint8_t(gif[9]) << 8));
  ASSERT_EQ(ask("dot.gif", &again), kOk);
  EXPECT_EQ(again.pixmap, first.pixmap);
  EXPECT_EQ(ask("missing.gif", &missing), kOk);
  EXPECT_EQ(missing.pixmap, nullptr);
  // Idle ticks reached the page and its elements meanwhile.
  EXPECT_FALSE(Events(kEventIdle).empty());
  EXPECT_NE(std::find(probe_log().begin(), probe_log().end(), "user 19"), probe_log().end());
  ASSERT_EQ(ask("other.gif", &again), kOk);
  EXPECT_NE(again.pixmap, nullptr);
  EXPECT_NE(again.pixmap, first.pixmap);
  scratch_.Put("broken.gif", "GIF89a but nothing else");
  EXPECT_NE(ask("broken.gif", &again), kOk);
  EXPECT_EQ(again.pixmap, nullptr);
}

TEST_F(DocumentTest, ReloadingReadsTheFileAndItsPicturesAfreshAndTakesTheNewSizeInPlace) {
  std::ifstream logo(SKYWARD_PAGES_DIR "/logo.gif", std::ios::binary);
  scratch_.Put("pic.gif", std::string{std::istreambuf_iterator<char>(logo), {}});
  PutInterface("page.iml", "WIDTH=300 HEIGHT=200", "<PAGE NAME=p><PROBE NAME=user/></PAGE><PAGE NAME=q/>");
  ASSERT_EQ(Open("page.iml", nullptr, nullptr), kOk);
  auto ask = [&](const char* file) {
    ElementImage image{};
    onEvent_ = [&](int32_t event) {
      if (event == kEventActivated) element_image(file, &image);
    };
    follow_link(window_, nullptr, nullptr);
    onEvent_ = nullptr;
    return image.pixmap != nullptr;
  };
  ASSERT_TRUE(ask("pic.gif"));
  ASSERT_EQ(go_to_page(window_, "q"), kOk);
  RECT before;
  GetWindowRect(Native(), &before);
  // The picture goes and the interface grows: a reload sees both, a link only the file.
  DeleteFileA((scratch_ / "pic.gif").c_str());
  PutInterface("page.iml", "WIDTH=360 HEIGHT=250", "<PAGE NAME=p2><PROBE NAME=user/></PAGE><PAGE NAME=q/>");
  ASSERT_EQ(follow_link(window_, nullptr, "#q"), kOk);
  EXPECT_TRUE(ask("pic.gif"));
  EXPECT_EQ(ClientOf(Native()).right, 300);
  ClearEvents();
  ASSERT_EQ(reload_interface(window_, folder_.get(), "page.iml", nullptr), kOk);
  EXPECT_EQ(PageShown(window_), "p2");
  EXPECT_FALSE(ask("pic.gif"));
  EXPECT_EQ(ClientOf(Native()).right, 360);
  EXPECT_EQ(ClientOf(Native()).bottom, 250);
  RECT after;
  GetWindowRect(Native(), &after);
  EXPECT_EQ(after.left, before.left);
  EXPECT_EQ(after.top, before.top);
  // As a new load: the page is left, the first one built and shown.
  EXPECT_EQ(Events(kEventPageLeaving), std::vector<std::string>{"0 6 q -1 -"});
  EXPECT_EQ(Events(kEventPageShown), std::vector<std::string>{"0 3 p2 -1 -"});

  // A file that fails leaves the window empty, and a later reload of the mended file shows it again.
  PutInterface("page.iml", "", "");
  EXPECT_EQ(reload_interface(window_, folder_.get(), "page.iml", nullptr), kErrNoInterface);
  EXPECT_EQ(PageShown(window_), "<none>");
  PutInterface("page.iml", "", "<PAGE NAME=back/>");
  ASSERT_EQ(reload_interface(window_, folder_.get(), "page.iml", nullptr), kOk);
  EXPECT_EQ(PageShown(window_), "back");
  EXPECT_EQ(ClientOf(Native()).right, 400);  // the interface's size without WIDTH

  // The page program may keep its page; a nested window cannot be reloaded on its own.
  Answer(kEventPageLeaving, kErrRefused);
  EXPECT_EQ(reload_interface(window_, folder_.get(), "page.iml", nullptr), kOk);
  EXPECT_EQ(PageShown(window_), "back");
  EXPECT_EQ(reload_interface(nullptr, folder_.get(), "page.iml", nullptr), kErrState);
}

}  // namespace
