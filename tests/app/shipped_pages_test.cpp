// The page file the program ships, read as the engine reads it: every page and name the order program
// relies on is there, every link within the file leads to a page of it, the arrows carry their keys, the
// parser has nothing to repair, and every element lies inside the window or frame that shows its page.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>
#include <string>

#include "interface/attribute_values.h"
#include "interface/document_tree.h"
#include "interface/node_walk.h"
#include "tests/interface/markup_test_support.h"
#include "tools/preview/walk_check.h"

namespace {

constexpr const char* kClassTags[] = {"BUTTON", "IMAGE", "IMG", "BORDER", "FRAME", "POPUP", "TEXTBOX"};

std::string ShippedPageFile() {
  std::ifstream file(SKYWARD_PAGES_DIR "/classic.iml", std::ios::binary);
  std::ostringstream text;
  text << file.rdbuf();
  return text.str();
}

class ShippedPagesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_FALSE(source_.empty()) << "cannot read " SKYWARD_PAGES_DIR "/classic.iml";
    ASSERT_EQ(parsed_.status, kOk);
    interface_ = find_tagged_element(parsed_.tree, nullptr, "INTERFACE", false);
    ASSERT_TRUE(interface_);
    ASSERT_EQ(build_page_directory(interface_, &directory_), kOk);
  }
  void TearDown() override { free_page_directory(&directory_); }

  // Calls visit(page, element) for every element of a displayed kind on every page.
  template <typename Visit>
  void ForEachElement(Visit visit) {
    for (int32_t i = 0; const PageRecord* page = page_by_index(&directory_, i); ++i) {
      WalkNodes(page->element->children, [&](MarkupNode* node, auto&) {
        if (!is_plain_element(node)) return WalkStep::kDescend;
        for (const char* tag : kClassTags) {
          if (has_tag(node, tag)) {
            visit(page, node);
            return WalkStep::kSkipChildren;
          }
        }
        return WalkStep::kDescend;
      });
    }
  }

  std::string source_ = ShippedPageFile();
  Parsed parsed_{source_};
  MarkupNode* interface_ = nullptr;
  PageDirectory directory_{};
};

TEST_F(ShippedPagesTest, EveryPageAndNameTheOrderProgramNeeds) {
  EXPECT_EQ(parsed_.messages(), std::vector<std::string>{});
  for (const WalkFinding& finding : CheckWalkPages(directory_, kClassTags))
    EXPECT_FALSE(finding.problem) << finding.page << ": " << finding.text;
  for (const char* page : {"intro", "main", "web", "phone"}) EXPECT_TRUE(page_by_name(&directory_, page)) << page;
}

TEST_F(ShippedPagesTest, LinksLeadToPagesOfTheFileAndArrowsHaveTheirKeys) {
  ForEachElement([&](const PageRecord* page, MarkupNode* node) {
    for (const char* attribute : {"HREF", "SRC"}) {
      const char* link = element_attribute(node, attribute);
      if (link && link[0] == '#') EXPECT_TRUE(page_by_name(&directory_, link + 1)) << page->name << ": " << link;
    }
    const char* picture = element_attribute(node, "SRC");
    const char* keys = element_attribute(node, "KEYS");
    const std::string where = std::string(page->name) + ": " + (element_attribute(node, "NAME") ? element_attribute(node, "NAME") : "?");
    if (picture && std::string(picture) == "rightarrow.png") EXPECT_TRUE(keys && std::string(keys) == "+") << where;
    if (picture && std::string(picture) == "leftarrow.png") EXPECT_TRUE(keys && std::string(keys) == "-") << where;
  });
  // Links in text: every "#page" inside an A element.
  for (size_t at = source_.find("HREF=\"#"); at != std::string::npos; at = source_.find("HREF=\"#", at + 1)) {
    const size_t start = at + 7, end = source_.find('"', start);
    EXPECT_TRUE(page_by_name(&directory_, source_.substr(start, end - start).c_str())) << source_.substr(start, end - start);
  }
}

TEST_F(ShippedPagesTest, EveryElementLiesInsideTheAreaThatShowsItsPage) {
  // The window, the frame of the first page and the frames of the step pages: the size each page is
  // shown at, taken from the FRAME that shows it.
  const Rect window{0, 0, std::atoi(element_attribute(interface_, "WIDTH")), std::atoi(element_attribute(interface_, "HEIGHT"))};
  std::map<std::string, Rect> shownIn;
  ForEachElement([&](const PageRecord* page, MarkupNode* node) {
    const char* source = element_attribute(node, "SRC");
    if (!has_tag(node, "FRAME") || !source || source[0] != '#') return;
    const Rect frame = read_rectangle(element_attribute(node, "RECT"));
    const Rect size{0, 0, frame.right - frame.left, frame.bottom - frame.top};
    // The first page's frame shows every page that is not a step's own.
    if (!page->name[0]) {
      for (int32_t i = 1; const PageRecord* shown = page_by_index(&directory_, i); ++i)
        if (!shownIn.count(shown->name)) shownIn[shown->name] = size;
    }
    shownIn[source + 1] = size;
  });
  ASSERT_FALSE(shownIn.empty());
  ForEachElement([&](const PageRecord* page, MarkupNode* node) {
    const Rect area = page->name[0] ? shownIn.at(page->name) : window;
    const Rect rect = read_rectangle(element_attribute(node, "RECT"));
    const std::string where = std::string(page->name) + ": " + node->name + " " + element_attribute(node, "RECT");
    EXPECT_TRUE(rect.left >= area.left && rect.top >= area.top && rect.right <= area.right &&
                rect.bottom <= area.bottom)
        << where << " outside " << area.right << " x " << area.bottom;
  });
}

}  // namespace
