// Following links and scripts between pages and files, the page program's vetoes, and the events a
// walk through the pages produces.
#include <gtest/gtest.h>

#include "tests/interface/interface_test_support.h"

namespace {

using NavigationTest = InterfaceTest;

// main -> second -> third of one file, and a page of another file.
constexpr char kWalk[] =
    "<PAGE NAME=main><SWATCH NAME=next RECT=\"0,0,20,20\" HREF=\"#second\" KEYS=\"+\"/></PAGE>"
    "<PAGE NAME=second><SWATCH NAME=back RECT=\"0,0,20,20\" HREF=\"#main\" KEYS=\"-\"/>"
    "<SWATCH NAME=on RECT=\"30,0,50,20\" HREF=\"other.iml#far\"/></PAGE>"
    "<PAGE NAME=Main></PAGE>";

class NavigationWalk : public NavigationTest {
 protected:
  void SetUp() override {
    NavigationTest::SetUp();
    PutInterface("walk.iml", "", kWalk);
    PutInterface("other.iml", "", "<PAGE NAME=near></PAGE><PAGE NAME=far><SWATCH NAME=home HREF=\"walk.iml\"/></PAGE>");
  }
  Status Activate(const char* name) {
    const int32_t index = find_element(window_, name);
    if (index < 0) return kErrNotFound;
    return follow_link(window_, ElementAt(index), nullptr);
  }
  Element* ElementAt(int32_t index) {
    Status status;
    return element_at(window_, index, &status);
  }
};

TEST_F(NavigationWalk, AWalkSendsEachEventWithItsPageIndexAndName) {
  ASSERT_EQ(Open("walk.iml"), kOk);
  ASSERT_EQ(Activate("next"), kOk);
  EXPECT_EQ(PageShown(window_), "second");
  ASSERT_EQ(Activate("on"), kOk);
  EXPECT_EQ(PageShown(window_), "far");
  ASSERT_EQ(Activate("home"), kOk);
  EXPECT_EQ(PageShown(window_), "main");
  close_interface(window_);
  EXPECT_EQ(Events(), (std::vector<std::string>{
                          "0 0 - -1 -",   "0 2 main -1 -",   "0 3 main -1 -",   "0 9 main 0 next",
                          "0 6 main -1 -", "0 2 second -1 -", "0 3 second -1 -", "0 9 second 1 on",
                          "0 6 second -1 -", "0 2 far -1 -",  "0 3 far -1 -",    "0 9 far 0 home",
                          "0 6 far -1 -",  "0 2 main -1 -",   "0 3 main -1 -",   "0 6 main -1 -",
                          "0 1 - -1 -"}));
}

TEST_F(NavigationWalk, PageNamesAreExactAndUnknownPagesLeaveTheWindowEmpty) {
  ASSERT_EQ(Open("walk.iml", "Main"), kOk);
  EXPECT_EQ(PageShown(window_), "Main");
  ASSERT_EQ(follow_link(window_, nullptr, "#main"), kOk);
  EXPECT_EQ(PageShown(window_), "main");
  EXPECT_EQ(count_elements(window_), 1);
  ASSERT_EQ(follow_link(window_, nullptr, "#nowhere"), kOk);
  EXPECT_EQ(PageShown(window_), "<none>");
  EXPECT_EQ(count_elements(window_), 0);
  EXPECT_TRUE(is_interface_open(window_));
  // A link to a file alone shows its first page; a missing file is an error and leaves it empty.
  ASSERT_EQ(follow_link(window_, nullptr, "other.iml"), kOk);
  EXPECT_EQ(PageShown(window_), "near");
  EXPECT_EQ(follow_link(window_, nullptr, "gone.iml#x"), kErrFileNotFound);
  EXPECT_EQ(PageShown(window_), "<none>");
}

TEST_F(NavigationWalk, VetoesOfLeavingAndOfActivationKeepThePage) {
  ASSERT_EQ(Open("walk.iml"), kOk);
  Answer(kEventPageLeaving, kErrRefused, "main");
  EXPECT_EQ(Activate("next"), kOk);
  EXPECT_EQ(PageShown(window_), "main");
  Answer(kEventPageLeaving, kOk, "main");
  Answer(kEventActivated, kErrRefused);
  EXPECT_EQ(Activate("next"), kOk);
  EXPECT_EQ(PageShown(window_), "main");
  // Any other answer is an error of the operation, and the page stays too.
  Answer(kEventActivated, kErrMailReply);
  EXPECT_EQ(Activate("next"), kErrMailReply);
  EXPECT_EQ(PageShown(window_), "main");
  Answer(kEventActivated, kOk);
  ClearEvents();
  EXPECT_EQ(Activate("next"), kOk);
  EXPECT_EQ(PageShown(window_), "second");
  EXPECT_EQ(Events(), (std::vector<std::string>{"0 9 main 0 next", "0 6 main -1 -", "0 2 second -1 -",
                                               "0 3 second -1 -"}));
}

TEST_F(NavigationWalk, ThePageProgramMayRetargetTheLinkOnActivation) {
  ASSERT_EQ(Open("walk.iml"), kOk);
  onEvent_ = [this](int32_t event) {
    if (event != kEventActivated) return;
    MarkupNode* node = element_node(window_, 0);
    remove_value(node->attributes, "HREF");
    append_value(node->attributes, "HREF", "other.iml#far");
  };
  ASSERT_EQ(Activate("next"), kOk);
  EXPECT_EQ(PageShown(window_), "far");
}

TEST_F(NavigationTest, ScriptsWinOverLinksAndQuitEndsTheLoop) {
  PutInterface("page.iml", "",
               "<PAGE NAME=p><SWATCH NAME=both SCRIPT=\"Beep()\" HREF=\"#q\"/><SWATCH NAME=empty SCRIPT=\"\" HREF=\"#q\"/>"
               "<SWATCH NAME=quit SCRIPT=\"Quit();\" HREF=\"#q\"/><SWATCH NAME=other SCRIPT=\"Jump\"/></PAGE>"
               "<PAGE NAME=q></PAGE>");
  ASSERT_EQ(Open("page.iml"), kOk);
  Status status;
  for (const char* name : {"both", "empty", "other"}) {
    SCOPED_TRACE(name);
    ASSERT_EQ(follow_link(window_, element_at(window_, find_element(window_, name), &status), nullptr), kOk);
    EXPECT_EQ(PageShown(window_), "p");
  }
  // An explicit link given with the activation is followed instead of the script.
  ASSERT_EQ(follow_link(window_, element_at(window_, 0, &status), "#q"), kOk);
  EXPECT_EQ(PageShown(window_), "q");
  ASSERT_EQ(follow_link(window_, nullptr, "#p"), kOk);

  // The program's loop: the script closes the window from inside the loop, which then ends.
  const HWND native = Native();
  PostMessageA(native, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(1, 1));  // outside every swatch: nothing
  Element* quit = element_at(window_, find_element(window_, "quit"), &status);
  ASSERT_EQ(follow_link(window_, quit, nullptr), kOk);
  EXPECT_FALSE(is_interface_open(window_));
  EXPECT_FALSE(IsWindow(native));
  EXPECT_EQ(Events().back(), "0 1 - -1 -");
  window_ = nullptr;
}

TEST_F(NavigationTest, WebAndMailLinksGoToTheShellWhichMayFail) {
  PutInterface("page.iml", "", "<PAGE NAME=p><SWATCH NAME=web HREF=\"skyward-none://nowhere/a b\"/></PAGE>");
  ASSERT_EQ(Open("page.iml"), kOk);
  // No program opens this kind of link: the failure comes back (with a beep), and the page stays.
  Status status;
  EXPECT_EQ(follow_link(window_, element_at(window_, 0, &status), nullptr), kErrSystem);
  EXPECT_EQ(PageShown(window_), "p");
}

TEST_F(NavigationTest, TheCloseBoxClosesTheWindowOnce) {
  PutInterface("page.iml", "", "<PAGE NAME=p></PAGE>");
  ASSERT_EQ(Open("page.iml"), kOk);
  Answer(kEventPageLeaving, kErrRefused);  // closing cannot be vetoed
  PostMessageA(Native(), WM_SYSCOMMAND, SC_CLOSE, 0);
  Pump();
  EXPECT_FALSE(is_interface_open(window_));
  EXPECT_EQ(Events(), (std::vector<std::string>{"0 0 - -1 -", "0 2 p -1 -", "0 3 p -1 -", "0 6 p -1 -", "0 1 - -1 -"}));
  window_ = nullptr;
}

TEST_F(NavigationTest, FramedPagesChangeWhileTheOuterPageStays) {
  PutInterface("page.iml", "",
               "<PAGE><SWATCH NAME=logo RECT=\"0,0,10,10\"/><FRAME NAME=walk RECT=\"100,0,300,200\" SRC=\"#intro\"/></PAGE>"
               "<PAGE NAME=intro><SWATCH NAME=next RECT=\"0,0,20,20\" HREF=\"#route\"/></PAGE>"
               "<PAGE NAME=route><SWATCH NAME=back RECT=\"0,0,20,20\" HREF=\"#intro\"/></PAGE>");
  ASSERT_EQ(Open("page.iml"), kOk);
  EXPECT_EQ(Events(), (std::vector<std::string>{"0 0 - -1 -", "0 2  -1 -", "1 0 - -1 -", "1 2 intro -1 -",
                                               "1 3 intro -1 -", "0 3  -1 -"}));
  ClearEvents();
  Click(105, 5);  // the framed "next"
  EXPECT_EQ(PageShown(Window(1)), "route");
  EXPECT_EQ(PageShown(window_), "");
  EXPECT_EQ(Events(), (std::vector<std::string>{"1 9 intro 0 next", "1 6 intro -1 -", "1 2 route -1 -",
                                               "1 3 route -1 -"}));
  ClearEvents();
  close_interface(window_);
  EXPECT_EQ(Events(), (std::vector<std::string>{"0 6  -1 -", "0 1 - -1 -", "1 6 route -1 -", "1 1 - -1 -"}));
  EXPECT_EQ(OpenWindowCount(), 0);
}

}  // namespace
