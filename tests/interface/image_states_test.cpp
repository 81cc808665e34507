// Image-state sets of picture buttons and images, from parsed markup.
#include "interface/controls/image_states.h"

#include <gtest/gtest.h>

#include "interface/document_tree.h"
#include "tests/interface/markup_test_support.h"

namespace {

class ImageStatesTest : public ::testing::Test {
 protected:
  void TearDown() override { HandleDispose(states_); }
  // The first BUTTON, IMAGE or IMG of the source, its states built.
  void Build(const char* source) {
    parsed_ = std::make_unique<Parsed>(source);
    ASSERT_EQ(parsed_->status, kOk);
    MarkupNode* element = parsed_->tree;
    ASSERT_TRUE(element && IsElementKind(element->kind));
    ASSERT_EQ(build_image_states(element, states_), kOk);
  }
  size_t Count() const { return image_state_count(states_); }
  const ImageState& State(size_t i) const { return image_states(states_)[i]; }

  std::unique_ptr<Parsed> parsed_;
  MemoryHandle states_ = HandleNew(0);
};

TEST_F(ImageStatesTest, OwnAttributesMakeOneSetWithDimAndLitFallingBackToNormal) {
  Build("<BUTTON SRC=\"rightarrow.png\" SRC_RECT=\"0, 0, 32, 32\" LIT_RECT=\"0, 32, 32, 64\" HREF=#next/>");
  ASSERT_EQ(Count(), 3u);
  EXPECT_STREQ(State(kDrawNormal).name, "rightarrow.png");
  EXPECT_EQ(State(kDrawNormal).source, (Rect{0, 0, 32, 32}));
  EXPECT_STREQ(State(kDrawDim).name, "rightarrow.png");
  EXPECT_EQ(State(kDrawDim).source, (Rect{0, 0, 32, 32}));
  EXPECT_STREQ(State(kDrawLit).name, "rightarrow.png");
  EXPECT_EQ(State(kDrawLit).source, (Rect{0, 32, 32, 64}));

  Build("<IMG SRC=logo.gif DIM=grey.gif LIT=bright.gif/>");
  ASSERT_EQ(Count(), 3u);
  EXPECT_STREQ(State(kDrawDim).name, "grey.gif");
  EXPECT_STREQ(State(kDrawLit).name, "bright.gif");
  EXPECT_EQ(State(kDrawNormal).source, (Rect{0, 0, 0, 0})) << "no rectangle: the whole image";

  Build("<BUTTON KIND=CHECK SCRIPT=\"\"/>");
  EXPECT_EQ(Count(), 0u) << "no picture: a native button";
}

TEST_F(ImageStatesTest, ChildImagesMakeOneSetEachOverTheElementsOwn) {
  Build("<BUTTON SRC=off.png DIM=grey.png LIT_RECT=\"1,2,3,4\">"
        "  <IMAGE/>"
        "  <B><IMAGE SRC=deeper.png/></B>"  // not a child: not a set
        "  <IMAGE SRC=on.png SRC_RECT=\"5,6,7,8\" LIT=lit.png/>"
        "</BUTTON>");
  ASSERT_EQ(Count(), 6u);
  EXPECT_STREQ(State(0).name, "off.png");
  EXPECT_STREQ(State(1).name, "grey.png");
  EXPECT_EQ(State(2).source, (Rect{1, 2, 3, 4}));
  EXPECT_STREQ(State(3).name, "on.png");
  EXPECT_EQ(State(3).source, (Rect{5, 6, 7, 8}));
  EXPECT_STREQ(State(4).name, "grey.png");
  EXPECT_EQ(State(4).source, (Rect{5, 6, 7, 8})) << "the dim state keeps its set's rectangle";
  EXPECT_STREQ(State(5).name, "lit.png");
  EXPECT_EQ(State(5).source, (Rect{1, 2, 3, 4}));

  // Written without closing tags, each IMAGE holds the next: still one set each, in order.
  Build("<BUTTON><IMAGE SRC=a.png><IMAGE SRC=b.png><IMAGE SRC=c.png></BUTTON>");
  ASSERT_EQ(Count(), 9u);
  EXPECT_STREQ(State(3).name, "b.png");
  EXPECT_STREQ(State(6).name, "c.png");
}

TEST_F(ImageStatesTest, LongNamesAreCutAndARebuildStartsOver) {
  std::string name(300, 'n');
  Build(("<IMAGE SRC=\"" + name + "\"/>").c_str());
  ASSERT_EQ(Count(), 3u);
  EXPECT_EQ(std::string(State(0).name), name.substr(0, 255));
  Build("<IMAGE SRC=a.png/>");
  EXPECT_EQ(Count(), 3u);
}

TEST(ImageStateIndex, ValueTimesThreePlusStateWithinTheList) {
  size_t index = 99;
  EXPECT_TRUE(image_state_index(0, kDrawLit, 3, &index));
  EXPECT_EQ(index, 2u);
  EXPECT_TRUE(image_state_index(1, kDrawDim, 6, &index));
  EXPECT_EQ(index, 4u);
  EXPECT_FALSE(image_state_index(1, kDrawNormal, 3, &index)) << "value 1 with one set";
  EXPECT_FALSE(image_state_index(-1, kDrawLit, 3, &index));
  EXPECT_FALSE(image_state_index(INT32_MAX, kDrawLit, SIZE_MAX, &index) && index < 3);
  EXPECT_FALSE(image_state_index(0, 3, 6, &index));
}

}  // namespace
