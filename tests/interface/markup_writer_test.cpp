#include "interface/markup_writer.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "interface/markup_escapes.h"
#include "tests/interface/markup_test_support.h"

namespace {

std::string Escape(const std::string& text, EscapeMode mode, bool blanks = false) {
  char out[256];
  const size_t length = EscapeForOutput(text.data(), text.size(), mode, blanks, out, sizeof out);
  EXPECT_EQ(std::strlen(out), length);
  return out;
}

std::string Write(const MarkupNode* tree) {
  UniqueHandle out(HandleNew(0));
  EXPECT_EQ(write_markup(tree, out.get()), kOk);
  return std::string(reinterpret_cast<const char*>(HandleData(out.get())), HandleGetSize(out.get()));
}

TEST(MarkupEscaping, PercentAndEntityModes) {
  EXPECT_EQ(Escape("a b%'\"<>\t\x7F\xE9/", EscapeMode::kPercent), "a b%25%27%22%3C%3E%09%7F%E9/");
  EXPECT_EQ(Escape("a b", EscapeMode::kPercent, true), "a%20b");
  EXPECT_EQ(Escape("<a&b>\t\n\x07\xA0\xA9\xAE\xE9\x7F", EscapeMode::kEntity),
            "&lt;a&amp;b&gt;\t\n&#07;&nbsp;&copy;&reg;&#u0233;&#u0127;");

  char small[6];
  EXPECT_EQ(EscapeForOutput("\xE9\xE9", 2, EscapeMode::kPercent, false, small, sizeof small), 6u);
  EXPECT_STREQ(small, "%E9%E");  // cut, and still terminated
}

TEST(MarkupWriting, ElementsAttributesAndEndTags) {
  Parsed parsed("<A X=\"a b\" FLAG EMPTY=\"\">t&amp;<BR><C></C><D/><#S Q=1/><SCRIPT>a<b</SCRIPT>"
                "<!-- c --></A>");
  EXPECT_EQ(Write(parsed.tree),
            "<A X=\"a b\" FLAG EMPTY=\"\">t&amp;<BR/><C></C><D/><#S Q=\"1\"/><SCRIPT>a<b</SCRIPT>"
            "<!-- c --></A>");

  Parsed unclosed("<A>x<!-- never closed");  // written closed, so that it does not take the end tag
  EXPECT_EQ(Write(unclosed.tree), "<A>x<!-- never closed--></A>");
}

// Parsing what the writer wrote gives the same tree back.
void ExpectRoundTrip(const std::string& source) {
  Parsed first(source);
  ASSERT_EQ(first.status, kOk);
  const std::string written = Write(first.tree);
  Parsed second(written);
  EXPECT_EQ(second.dump(), first.dump()) << written;
  EXPECT_TRUE(second.diagnostics.empty()) << second.messages()[0];
}

TEST(MarkupWriting, ParseWriteParseGivesTheSameTree) {
  ExpectRoundTrip("<INTERFACE RECT=\"0, 0, 500, 400\" TITLE='Order > now'><PAGE NAME=intro>"
                  "<FONT FACE=\"Arial\" SIZE=2>Price: <PARAMETER NAME=\"PRICE\">PRICE</PARAMETER>"
                  "&uuml;&#65; 50%<BR>x<P></FONT><TEXTBOX EDITABLE NAME=\"a%20b\" TITLE=\"it's\"/>"
                  "<A HREF=\"#x\">link</A><SCRIPT>if (a<b) x='</p>';</SCRIPT></PAGE></INTERFACE>");
  ExpectRoundTrip("<A><B>unclosed</A></X><?xml v=1?>");

  std::string everyByte;
  for (int b = 1; b < 256; ++b) everyByte += char(b);
  MarkupNode* root = nullptr;
  MarkupNode* element = new_node_at(&root, NodePlace::kLastChild, nullptr, kNodeElement, "A", 1);
  ASSERT_NE(new_node_at(&root, NodePlace::kLastChild, element, kNodeText, everyByte.data(), everyByte.size()), nullptr);
  ASSERT_EQ(push_value(element->attributes, "W", everyByte.data(), everyByte.size(), '='), kOk);
  Parsed back(Write(root));
  EXPECT_EQ(back.dump(), Dump(root));
  free_node_list(root);

  // A lone quote later on the tag's line would make a '>' in a value end the tag; it is escaped.
  ExpectRoundTrip("<A W=\"a>b\">say &quot;hi</A>");
}

TEST(MarkupWriting, TheProjectsOwnPagesRoundTrip) {
  const std::filesystem::path folder = std::filesystem::path(SKYWARD_SOURCE_DIR) / "pages";
  if (!std::filesystem::is_directory(folder)) GTEST_SKIP() << "no pages folder yet";
  for (const auto& file : std::filesystem::directory_iterator(folder)) {
    if (file.path().extension() != ".iml") continue;
    SCOPED_TRACE(file.path().string());
    std::ifstream in(file.path(), std::ios::binary);
    std::stringstream contents;
    contents << in.rdbuf();
    Parsed first(contents.str());
    Parsed second(Write(first.tree));
    EXPECT_EQ(second.dump(), first.dump());
  }
}

}  // namespace
