// The document model's pure half: attribute value forms, questions asked of a parsed page, and the
// page directory.
#include <gtest/gtest.h>

#include <string>

#include "interface/attribute_values.h"
#include "interface/document_tree.h"
#include "interface/page_directory.h"
#include "tests/interface/markup_test_support.h"

namespace {

TEST(AttributeValues, Integers) {
  EXPECT_EQ(read_integer("42"), 42);
  EXPECT_EQ(read_integer("-17px"), -17);
  EXPECT_EQ(read_integer("12,34"), 12);
  EXPECT_EQ(read_integer(" 5"), 0);  // a leading blank is "any other character"
  EXPECT_EQ(read_integer("+5"), 0);
  EXPECT_EQ(read_integer(""), 0);
  EXPECT_EQ(read_integer("-"), 0);
  EXPECT_EQ(read_integer("99999999999999999999"), INT32_MAX);
  EXPECT_EQ(read_integer("-99999999999999999999"), INT32_MIN);
}

TEST(AttributeValues, Rectangles) {
  EXPECT_EQ(read_rectangle("119, 10, 119, 390"), (Rect{119, 10, 119, 390}));
  EXPECT_EQ(read_rectangle("-5, 10, 20, 30"), (Rect{-5, 10, 20, 30}));
  EXPECT_EQ(read_rectangle("10, 20"), (Rect{10, 20, 0, 0}));
  EXPECT_EQ(read_rectangle(""), (Rect{0, 0, 0, 0}));
  EXPECT_EQ(read_rectangle("1,2,3,4,5,6"), (Rect{1, 2, 3, 4}));
  // '-' counts only before the first non-zero digit; blanks and other characters are skipped.
  EXPECT_EQ(read_rectangle("0-5,1-2, x7y ,- 8"), (Rect{-5, 12, 7, -8}));
  EXPECT_EQ(read_rectangle(",,,9"), (Rect{0, 0, 0, 9}));
  EXPECT_EQ(read_rectangle("99999999999, 0, 0, 0").left, INT32_MAX);
}

TEST(AttributeValues, ColoursInEveryFormAndNoColour) {
  struct Case {
    const char* text;
    bool given;
    Colour colour;
  };
  const Case cases[] = {
      {"#808080", true, {255, 128, 128, 128}}, {"808080", true, {255, 128, 128, 128}},
      {"##808080", true, {255, 128, 128, 128}}, {"#FFF", true, {255, 255, 255, 255}},
      {"F80", true, {255, 255, 136, 0}},        {"#fFfFfF", true, {255, 255, 255, 255}},
      {"#000000", true, {255, 0, 0, 0}},        {"#12G4Z6", true, {255, 0x12, 0x04, 0x06}},
      {"#12345", false, {}},                    {"#1234567", false, {}},
      {"", false, {}},                          {"###", false, {}},
      {"#FFFFFF ", false, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    Colour colour{1, 2, 3, 4};
    EXPECT_EQ(read_colour(c.text, &colour), c.given);
    EXPECT_EQ(colour, c.given ? c.colour : (Colour{1, 2, 3, 4}));
  }
}

TEST(AttributeValues, BooleansAndAlignments) {
  EXPECT_TRUE(read_boolean(""));
  EXPECT_TRUE(read_boolean("TRUE"));
  EXPECT_TRUE(read_boolean("0"));
  EXPECT_TRUE(read_boolean("FALSEHOOD"));
  EXPECT_FALSE(read_boolean("false"));
  EXPECT_FALSE(read_boolean("None"));
  EXPECT_EQ(read_alignment("right"), 1);
  EXPECT_EQ(read_alignment("LEFT"), -1);
  EXPECT_EQ(read_alignment("Center"), 0);
  EXPECT_EQ(read_alignment("LEFTISH"), 0);
}

// A page with everything the questions need: nested styling, a CENTER, a button holding a text box.
constexpr char kPage[] =
    "<INTERFACE ALIGN=RIGHT FACE=serif>"
    "<PAGE NAME=main>"
    "  <FONT FACE=Arial SIZE=9><B><TEXTBOX NAME=inner/></B></FONT>"
    "  <CENTER><DIV ALIGN=LEFT><BORDER NAME=left/></DIV><BORDER NAME=centred/></CENTER>"
    "  <BUTTON NAME=b><TEXTBOX NAME=in_button/></BUTTON>"
    "  <#TEXTBOX NAME=special>"
    "</PAGE>"
    "<PAGE NAME=Main TITLE=\"Second\"><PAGE NAME=nested></PAGE></PAGE>"
    "<PAGE/>"
    "</INTERFACE>";

MarkupNode* Named(MarkupNode* tree, const char* tag, const char* name) {
  for (MarkupNode* node = find_tagged_element(tree, nullptr, tag, false); node;
       node = find_tagged_element(tree, node, tag, false)) {
    const char* value = element_attribute(node, "NAME");
    if (value && std::string(value) == name) return node;
  }
  return nullptr;
}

TEST(DocumentTree, FindingElementsInDocumentOrder) {
  Parsed page(kPage);
  MarkupNode* first = find_tagged_element(page.tree, nullptr, "textbox", false);
  ASSERT_NE(first, nullptr);
  EXPECT_STREQ(element_attribute(first, "name"), "inner");
  MarkupNode* button = Named(page.tree, "BUTTON", "b");
  ASSERT_NE(button, nullptr);
  // Into the button's subtree, or past it; the special tag <#TEXTBOX> never matches.
  EXPECT_STREQ(element_attribute(find_tagged_element(page.tree, button, "TEXTBOX", false), "NAME"), "in_button");
  EXPECT_EQ(find_tagged_element(page.tree, button, "TEXTBOX", true), nullptr);
  EXPECT_EQ(find_tagged_element(page.tree, nullptr, "NOWHERE", false), nullptr);
}

TEST(DocumentTree, InheritedAndEnclosing) {
  Parsed page(kPage);
  MarkupNode* inner = Named(page.tree, "TEXTBOX", "inner");
  ASSERT_NE(inner, nullptr);
  EXPECT_STREQ(inherited_attribute(page.tree, inner, nullptr, "FACE", true), "Arial");
  EXPECT_EQ(inherited_attribute(page.tree, inner, nullptr, "FACE", false), nullptr);
  EXPECT_STREQ(inherited_attribute(page.tree, inner, "INTERFACE", "FACE", true), "serif");
  EXPECT_STREQ(inherited_attribute(page.tree, inner, nullptr, "name", true), "inner");
  EXPECT_EQ(inherited_attribute(page.tree, inner, nullptr, "HREF", true), nullptr);

  EXPECT_STREQ(element_attribute(enclosing_element(page.tree, inner, "font"), "SIZE"), "9");
  EXPECT_EQ(enclosing_element(page.tree, inner, "TEXTBOX"), inner);
  EXPECT_EQ(enclosing_element(page.tree, inner, "CENTER"), nullptr);
  EXPECT_STREQ(element_attribute(enclosing_element(page.tree, inner, "PAGE"), "NAME"), "main");
}

TEST(DocumentTree, AlignmentStopsAtTheNearestCenter) {
  Parsed page(kPage);
  int32_t alignment = 5;
  EXPECT_TRUE(element_alignment(page.tree, Named(page.tree, "TEXTBOX", "inner"), &alignment));
  EXPECT_EQ(alignment, 1);  // the INTERFACE's ALIGN is the document's default
  EXPECT_TRUE(element_alignment(page.tree, Named(page.tree, "BORDER", "left"), &alignment));
  EXPECT_EQ(alignment, -1);
  EXPECT_FALSE(element_alignment(page.tree, Named(page.tree, "BORDER", "centred"), &alignment));
  EXPECT_EQ(alignment, 0);
}

TEST(PageDirectory, PagesInOrderNamesExact) {
  Parsed page(kPage);
  MarkupNode* interface = find_tagged_element(page.tree, nullptr, "INTERFACE", false);
  PageDirectory directory;
  ASSERT_EQ(build_page_directory(interface, &directory), kOk);
  ASSERT_EQ(directory.count, 3u);  // the PAGE inside a PAGE is not one of them
  EXPECT_STREQ(page_by_index(&directory, 0)->name, "main");
  EXPECT_STREQ(page_by_index(&directory, 1)->title, "Second");
  EXPECT_STREQ(page_by_index(&directory, 2)->name, "");
  EXPECT_EQ(page_by_index(&directory, 3), nullptr);
  EXPECT_EQ(page_by_index(&directory, -1), nullptr);
  EXPECT_EQ(page_by_name(&directory, "main"), page_by_index(&directory, 0));
  EXPECT_EQ(page_by_name(&directory, "Main"), page_by_index(&directory, 1));
  EXPECT_EQ(page_by_name(&directory, "MAIN"), nullptr);
  EXPECT_EQ(page_by_name(&directory, "nested"), nullptr);
  free_page_directory(&directory);
  EXPECT_EQ(page_by_name(&directory, "main"), nullptr);
}

TEST(PageDirectory, ManyPagesShareBucketsAndTheFirstOfANameWins) {
  std::string source = "<INTERFACE>";
  for (int i = 0; i < 100; ++i) source += "<PAGE NAME=p" + std::to_string(i) + " TITLE=" + std::to_string(i) + "/>";
  source += "<PAGE NAME=p7 TITLE=again/></INTERFACE>";
  Parsed page(source);
  PageDirectory directory;
  ASSERT_EQ(build_page_directory(page.tree, &directory), kOk);
  ASSERT_EQ(directory.count, 101u);
  for (int i = 0; i < 100; ++i) {
    const PageRecord* record = page_by_name(&directory, ("p" + std::to_string(i)).c_str());
    ASSERT_NE(record, nullptr);
    EXPECT_EQ(record->index, uint32_t(i));
  }
  free_page_directory(&directory);
}

}  // namespace
