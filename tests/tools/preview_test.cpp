// The page previewer's Windows half in real interface windows: the view of a page window kept over a
// reload, pages chosen from the list shown where the buyer walks, the folder watch seeing saves in
// place and by renaming, page sources from paths, and the log's lines.
#include <gtest/gtest.h>

#include "interface/document_tree.h"
#include "tests/interface/interface_test_support.h"
#include "tools/preview/folder_watch.h"
#include "tools/preview/log_lines.h"
#include "tools/preview/page_source.h"
#include "tools/preview/page_view.h"

namespace {

// An outer page holding the walk's frame, and three pages walked in it; the third holds a frame of its own.
const char kPages[] =
    "<PAGE><SWATCH NAME=logo RECT=\"0,0,10,10\"/><FRAME NAME=walk RECT=\"100,0,380,280\" SRC=\"#one\"/></PAGE>"
    "<PAGE NAME=one TITLE=First><SWATCH NAME=a RECT=\"0,0,10,10\"/></PAGE>"
    "<PAGE NAME=two TITLE=Second><SWATCH NAME=b RECT=\"0,0,10,10\"/></PAGE>"
    "<PAGE NAME=three><FRAME RECT=\"0,100,200,200\" SRC=\"#one\"/><FRAME NAME=side RECT=\"0,0,100,50\" "
    "SRC=\"#one\"/></PAGE>";

class PageViewTest : public InterfaceTest {
 protected:
  void SetUp() override {
    InterfaceTest::SetUp();
    PutInterface("walk.iml", "WIDTH=400 HEIGHT=300", kPages);
  }
  // The page window opened again on the file, as the previewer does after a change.
  void Reopen() {
    close_interface(window_);
    ASSERT_EQ(Open("walk.iml"), kOk);
  }
  InterfaceWindow* Frame(InterfaceWindow* window, const char* name) {
    intptr_t nested = 0;
    EXPECT_EQ(element_instance(window, find_element(window, name), &nested), kOk) << name;
    return reinterpret_cast<InterfaceWindow*>(nested);
  }
  // The nested window of the first frame without a NAME.
  InterfaceWindow* UnnamedFrame(InterfaceWindow* window) {
    for (int32_t index = 0; index < count_elements(window); ++index) {
      const MarkupNode* node = element_node(window, index);
      if (has_tag(node, "FRAME") && !element_attribute(node, "NAME")) {
        intptr_t nested = 0;
        element_instance(window, index, &nested);
        return reinterpret_cast<InterfaceWindow*>(nested);
      }
    }
    return nullptr;
  }
};

TEST_F(PageViewTest, AReloadKeepsThePagesOfTheWindowAndOfItsFramesLevelByLevel) {
  ASSERT_EQ(Open("walk.iml"), kOk);
  ASSERT_EQ(go_to_page(Frame(window_, "walk"), "three"), kOk);
  ASSERT_EQ(go_to_page(Frame(Frame(window_, "walk"), "side"), "two"), kOk);
  ASSERT_EQ(go_to_page(UnnamedFrame(Frame(window_, "walk")), "three"), kOk);
  const WindowView view = CaptureView(window_);
  Reopen();
  EXPECT_EQ(PageShown(Frame(window_, "walk")), "one");  // as the file shows it at first
  std::vector<std::string> lost;
  ASSERT_EQ(RestoreView(window_, view, &lost), kOk);
  EXPECT_TRUE(lost.empty());
  InterfaceWindow* walk = Frame(window_, "walk");
  EXPECT_EQ(PageShown(walk), "three");
  EXPECT_EQ(PageShown(Frame(walk, "side")), "two");
  InterfaceWindow* unnamed = UnnamedFrame(walk);
  EXPECT_EQ(PageShown(unnamed), "three");
  EXPECT_EQ(PageShown(Frame(unnamed, "side")), "one");
}

TEST_F(PageViewTest, FramesAreFoundByNameAfterAnEditAndGonePagesAreReported) {
  ASSERT_EQ(Open("walk.iml"), kOk);
  ASSERT_EQ(go_to_page(Frame(window_, "walk"), "three"), kOk);
  ASSERT_EQ(go_to_page(Frame(Frame(window_, "walk"), "side"), "two"), kOk);
  const WindowView view = CaptureView(window_);
  // The author puts a frame before the named one, and renames the page "two".
  std::string pages = kPages;
  pages.replace(pages.find("<FRAME NAME=side"), 0, "<FRAME NAME=new RECT=\"0,60,50,90\" SRC=\"#one\"/>");
  pages.replace(pages.find("NAME=two"), 8, "NAME=deux");
  PutInterface("walk.iml", "WIDTH=400 HEIGHT=300", pages);
  Reopen();
  std::vector<std::string> lost;
  ASSERT_EQ(RestoreView(window_, view, &lost), kOk);
  EXPECT_EQ(lost, std::vector<std::string>{"two"});
  InterfaceWindow* walk = Frame(window_, "walk");
  EXPECT_EQ(PageShown(walk), "three");
  EXPECT_EQ(PageShown(Frame(walk, "side")), "one");  // left as the file shows it
  EXPECT_EQ(PageShown(Frame(walk, "new")), "one");
}

TEST_F(PageViewTest, ChosenPagesAreShownWhereTheBuyerWalksThem) {
  ASSERT_EQ(Open("walk.iml"), kOk);
  InterfaceWindow* walk = Frame(window_, "walk");
  EXPECT_EQ(WalkWindow(window_), walk);
  EXPECT_EQ(WalkPageShown(window_), 1);
  ASSERT_EQ(ShowChosenPage(window_, 2), kOk);
  EXPECT_EQ(PageShown(walk), "two");
  EXPECT_EQ(WalkPageShown(window_), 2);
  EXPECT_EQ(PageShown(window_), "");  // the outer page stays
  // The first page starts the walk again; the frame shows what the file says.
  ASSERT_EQ(ShowChosenPage(window_, 0), kOk);
  EXPECT_EQ(PageShown(Frame(window_, "walk")), "one");
  EXPECT_EQ(ShowChosenPage(window_, 9), kErrArgument);
}

TEST_F(PageViewTest, WithoutAFrameOfTheSameFileChosenPagesReplaceTheWholePage) {
  PutInterface("flat.iml", "WIDTH=400 HEIGHT=300",
               "<PAGE NAME=a><FRAME NAME=other RECT=\"0,0,100,100\" SRC=\"walk.iml#two\"/></PAGE>"
               "<PAGE NAME=b/><PAGE/>");
  ASSERT_EQ(Open("flat.iml"), kOk);
  EXPECT_EQ(WalkWindow(window_), window_);  // a frame of another file is no walk of this one
  ASSERT_EQ(ShowChosenPage(window_, 2), kOk);
  EXPECT_EQ(PageShown(window_), "");
  EXPECT_EQ(WalkPageShown(window_), 2);
  // The unnamed page is kept by its place in the file.
  const WindowView view = CaptureView(window_);
  close_interface(window_);
  ASSERT_EQ(Open("flat.iml"), kOk);
  std::vector<std::string> lost;
  ASSERT_EQ(RestoreView(window_, view, &lost), kOk);
  EXPECT_EQ(current_page(window_)->index, 2u);
}

// --- the folder watch

class FolderWatchTest : public ::testing::Test {
 protected:
  // Whether the watch reports a change within the time (under Wine too a change is seen at once). The
  // rest of the change's burst is waited out, so that the next question is about the next change.
  bool Changed(FolderWatch& watch, DWORD limit = 5000) {
    if (WaitForSingleObject(watch.Handle(), limit) != WAIT_OBJECT_0) return false;
    do {
      EXPECT_TRUE(watch.Rearm());
    } while (WaitForSingleObject(watch.Handle(), 300) == WAIT_OBJECT_0);
    return true;
  }
  ScratchFolder scratch_;
};

TEST_F(FolderWatchTest, SavesInPlaceAndByRenamingAreSeen) {
  scratch_.Put("page.iml", "<INTERFACE/>");
  FolderWatch watch;
  ASSERT_EQ(watch.Start(scratch_.path().c_str()), kOk);
  EXPECT_FALSE(Changed(watch, 300));
  scratch_.Put("page.iml", "<INTERFACE><PAGE/></INTERFACE>");
  EXPECT_TRUE(Changed(watch));
  EXPECT_FALSE(Changed(watch, 300));
  // An editor's save: a temporary file written, then renamed over the page file.
  scratch_.Put("page.iml.tmp", "<INTERFACE><PAGE NAME=x/></INTERFACE>");
  EXPECT_TRUE(Changed(watch));
  ASSERT_TRUE(MoveFileExA((scratch_ / "page.iml.tmp").c_str(), (scratch_ / "page.iml").c_str(), MOVEFILE_REPLACE_EXISTING));
  EXPECT_TRUE(Changed(watch));
  // A picture saved beside the pages. (Windows reports changes in subfolders too, as the watch asks;
  // this Wine does not, so they are not asserted. The page archive is packed from a flat folder.)
  scratch_.Put("logo.gif", "GIF89a");
  EXPECT_TRUE(Changed(watch));
  // Reading a file is no change.
  EXPECT_EQ(scratch_.Get("page.iml"), "<INTERFACE><PAGE NAME=x/></INTERFACE>");
  EXPECT_FALSE(Changed(watch, 300));
  watch.Stop();
  EXPECT_EQ(watch.Handle(), nullptr);
}

TEST_F(FolderWatchTest, AFolderThatIsNotThereCannotBeWatched) {
  FolderWatch watch;
  EXPECT_NE(watch.Start((scratch_ / "absent").c_str()), kOk);
  EXPECT_EQ(watch.Handle(), nullptr);
}

// --- page sources

TEST(PageSource, FoldersFilesAndWhatIsNotThere) {
  ScratchFolder scratch;
  scratch.Put("logo.gif", "GIF89a");
  scratch.Put("b.iml", "<INTERFACE/>");
  scratch.Put("100%.iml", "<INTERFACE WIDTH=120 HEIGHT=80><PAGE NAME=only/></INTERFACE>");
  PageSource source;
  ASSERT_EQ(PageSourceFromPath(scratch.path().c_str(), &source), kOk);
  EXPECT_EQ(source.folder, scratch.path());
  EXPECT_EQ(source.file, "100%.iml");  // the first page file by name
  ASSERT_EQ(PageSourceFromPath((scratch.path() + "\\").c_str(), &source), kOk);
  EXPECT_EQ(source.folder, scratch.path());
  ASSERT_EQ(PageSourceFromPath((scratch / "b.iml").c_str(), &source), kOk);
  EXPECT_EQ(source.file, "b.iml");
  EXPECT_EQ(PageSourceFromPath((scratch / "c.iml").c_str(), &source), kErrFileNotFound);
  CreateDirectoryA((scratch / "empty").c_str(), nullptr);
  EXPECT_EQ(PageSourceFromPath((scratch / "empty").c_str(), &source), kErrNoIndex);
}

TEST(PageSource, TheEngineReadsThePageFileThroughTheFileLayer) {
  ScratchFolder scratch;
  scratch.Put("100%.iml", "<INTERFACE WIDTH=120 HEIGHT=80><PAGE NAME=only/></INTERFACE>");
  const PageSource source{scratch.path(), "100%.iml"};
  EXPECT_EQ(PageSourceFileText(source), "100%25.iml");
  PathSpec* folder = nullptr;
  ASSERT_EQ(PageSourceFolder(source, &folder), kOk);
  ASSERT_EQ(start_interface_engine(), kOk);
  InterfaceWindow* window = nullptr;
  ASSERT_EQ(open_interface("Page source", true, false, nullptr, folder, PageSourceFileText(source).c_str(), nullptr,
                           nullptr, nullptr, nullptr, &window),
            kOk);
  EXPECT_STREQ(current_page(window)->name, "only");
  close_interface(window);
  PathDispose(folder);
}

// --- the log's lines

TEST(LogLines, EventsAsTheCallbackSeesThemAndStatusesInWords) {
  EXPECT_EQ(EventLine(1, kEventActivated, "route", 2, "send_email"),
            "event 9 activated: window 1, page \"route\", element 2 \"send_email\"");
  EXPECT_EQ(EventLine(0, kEventPageShown, "", -1, nullptr), "event 3 page shown: window 0, page \"\"");
  EXPECT_EQ(EventLine(2, kEventPressBegins, "p", 0, nullptr), "event 12 press begins: window 2, page \"p\", element 0 (no NAME)");
  EXPECT_EQ(EventLine(0, kEventWindowMade, nullptr, -1, nullptr), "event 0 window made: window 0");
  EXPECT_EQ(PlaceLine("classic.iml", 12, "Unbalanced or badly nested tag <B>"),
            "classic.iml(12): Unbalanced or badly nested tag <B>");
  EXPECT_EQ(PlaceLine("a.iml", 0, "x"), "a.iml: x");
  EXPECT_EQ(FindingLine({"enter_cd", "quillon_cd is missing", true}), "check enter_cd: quillon_cd is missing");
  EXPECT_EQ(FindingLine({"", "pages ...", true}), "check: pages ...");
  EXPECT_EQ(StatusWords(kErrFileNotFound), "not found (-7203)");
  EXPECT_EQ(StatusWords(kErrNoInterface), "no INTERFACE with a PAGE in it (-8401)");
  EXPECT_EQ(StatusWords(-7000), "status -7000");
}

}  // namespace
