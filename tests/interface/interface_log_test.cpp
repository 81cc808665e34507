// The engine's log: the parser's repairs of a page file with their lines, and the pictures it could
// not read with the element that names them; nothing at all when no log is set.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "interface/interface_log.h"
#include "tests/interface/interface_test_support.h"

namespace {

struct Logged {
  InterfaceLogKind kind;
  Status code;
  std::string file;
  uint32_t offset, line, column;
  std::string text;
};

// Line numbers below count from the first line of this text.
const std::string kPage =
    "<INTERFACE WIDTH=200 HEIGHT=100 BACKGROUND=\"sky.png\">\n"  // 1
    "<PRELOAD IMAGE SRC=\"later.png\"/>\n"                      // 2
    "<PAGE NAME=first>\n"                                       // 3
    "  <B>bold\n"                                               // 4: never closed
    "  <BUTTON NAME=go RECT=\"0,0,20,20\" SRC=\"gone.png\"/>\n"  // 5
    "  <SWATCH NAME=x RECT=\"30,0,40,10\" TITLE=a TITLE=b/>\n"  // 6: TITLE twice
    "</PAGE>\n"
    "<PAGE NAME=second><SWATCH NAME=y RECT=\"0,0,10,10\"/></PAGE>\n"
    "</INTERFACE>\n";

class InterfaceLogTest : public InterfaceTest {
 protected:
  void SetUp() override {
    InterfaceTest::SetUp();
    set_interface_log(Collect, this);
    scratch_.Put("log.iml", kPage);
  }
  void TearDown() override {
    InterfaceTest::TearDown();
    set_interface_log(nullptr, nullptr);
  }

  std::vector<Logged> Of(InterfaceLogKind kind) const {
    std::vector<Logged> found;
    for (const Logged& entry : logged_)
      if (entry.kind == kind) found.push_back(entry);
    return found;
  }
  // Idle ticks read one PRELOAD picture every half second.
  void PumpUntilPreloaded() {
    for (int round = 0; round < 100 && Of(InterfaceLogKind::kMissingPreload).empty(); ++round) Pump(5);
  }
  static uint32_t OffsetOf(const std::string& text) { return uint32_t(kPage.find(text)); }

  std::vector<Logged> logged_;

 private:
  static void Collect(void* context, const InterfaceLogEntry& entry) {
    static_cast<InterfaceLogTest*>(context)->logged_.push_back(
        {entry.kind, entry.code, entry.file, entry.offset, entry.line, entry.column, entry.text});
  }
};

TEST_F(InterfaceLogTest, RepairsComeWithTheirFileLineAndColumn) {
  ASSERT_EQ(Open("log.iml"), kOk);
  const std::vector<Logged> repairs = Of(InterfaceLogKind::kRepair);
  ASSERT_EQ(repairs.size(), 2u);
  EXPECT_EQ(repairs[0].text, "Ignoring duplicate parameter in tag <SWATCH>");
  EXPECT_EQ(repairs[0].code, kErrDuplicate);
  EXPECT_EQ(repairs[0].line, 6u);
  EXPECT_EQ(repairs[1].text, "Unbalanced or badly nested tag <B>");
  EXPECT_EQ(repairs[1].code, kOk);
  EXPECT_EQ(repairs[1].file, "log.iml");
  EXPECT_EQ(repairs[1].line, 4u);
  EXPECT_EQ(repairs[1].column, 3u);
  EXPECT_EQ(repairs[1].offset, OffsetOf("<B>"));
  // The page is repaired and shown all the same.
  EXPECT_EQ(PageShown(window_), "first");
  EXPECT_EQ(count_elements(window_), 2);
}

TEST_F(InterfaceLogTest, MissingPicturesNameTheElementThatAsksForThem) {
  ASSERT_EQ(Open("log.iml"), kOk);
  PumpUntilPreloaded();
  const std::vector<Logged> background = Of(InterfaceLogKind::kMissingBackground);
  ASSERT_EQ(background.size(), 1u);
  EXPECT_EQ(background[0].text, "Unable to load background 'sky.png'");
  EXPECT_EQ(background[0].code, kErrFileNotFound);
  EXPECT_EQ(background[0].offset, OffsetOf("<INTERFACE"));
  EXPECT_EQ(background[0].line, 0u);
  const std::vector<Logged> image = Of(InterfaceLogKind::kMissingImage);
  ASSERT_EQ(image.size(), 1u);
  EXPECT_EQ(image[0].text, "Unable to load image 'gone.png'");
  EXPECT_EQ(image[0].file, "log.iml");
  EXPECT_EQ(image[0].offset, OffsetOf("<BUTTON"));
  const std::vector<Logged> preload = Of(InterfaceLogKind::kMissingPreload);
  ASSERT_EQ(preload.size(), 1u);
  EXPECT_EQ(preload[0].text, "Unable to preload image 'later.png'");
  EXPECT_EQ(preload[0].offset, OffsetOf("<PRELOAD"));
}

TEST_F(InterfaceLogTest, ALinkRereadsTheFileAndRepeatsItsRepairsButNotItsPictures) {
  ASSERT_EQ(Open("log.iml"), kOk);
  PumpUntilPreloaded();
  const size_t images = Of(InterfaceLogKind::kMissingImage).size();
  logged_.clear();
  ASSERT_EQ(follow_link(window_, nullptr, "#second"), kOk);
  ASSERT_EQ(follow_link(window_, nullptr, "#first"), kOk);
  EXPECT_EQ(Of(InterfaceLogKind::kRepair).size(), 4u);  // each load parses the file again
  // The window remembers a missing picture until it closes; the background is read with each load.
  EXPECT_TRUE(Of(InterfaceLogKind::kMissingImage).empty());
  EXPECT_EQ(images, 1u);
  EXPECT_EQ(Of(InterfaceLogKind::kMissingBackground).size(), 2u);
}

TEST_F(InterfaceLogTest, WithoutALogThePageIsTheSameAndNothingIsReported) {
  set_interface_log(nullptr, this);
  EXPECT_FALSE(interface_log_set());
  ASSERT_EQ(Open("log.iml"), kOk);
  Pump(80);  // idle ticks long enough for the PRELOAD picture to be tried
  EXPECT_TRUE(logged_.empty());
  EXPECT_EQ(PageShown(window_), "first");
  EXPECT_EQ(count_elements(window_), 2);
  EXPECT_EQ(find_element(window_, "x"), 1);
}

}  // namespace
