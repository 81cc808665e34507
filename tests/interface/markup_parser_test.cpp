#include "interface/markup_parser.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <random>

#include "runtime/encodings.h"
#include "tests/interface/markup_test_support.h"

namespace {

using Strings = std::vector<std::string>;

void ExpectTree(const std::string& source, const std::string& tree, const Strings& messages = {}) {
  SCOPED_TRACE(source);
  Parsed parsed(source);
  ASSERT_EQ(parsed.status, kOk);
  EXPECT_EQ(parsed.dump(), tree);
  EXPECT_EQ(parsed.messages(), messages);
  EXPECT_TRUE(DepthsAreConsistent(parsed.tree));
}

TEST(MarkupRepair, EmptyElementsEndTagsAndUnclosedElements) {
  ExpectTree("<P/>one<BR>two", "P/ \"one\" BR/ \"two\"");
  ExpectTree("<b>x</B>", "B{\"x\"}");
  ExpectTree("<A><B>text</A>after", "A{B{\"text\"}} \"after\"", {"Unbalanced or badly nested tag <B>"});
  ExpectTree("<A>x</X>y</A>", "A{\"x\" X{} \"y\"}", {"Unbalanced or badly nested tag </X>"});
  ExpectTree("<A><B>", "A{B{}}", {"Unbalanced or badly nested tag <B>", "Unbalanced or badly nested tag <A>"});
  ExpectTree("<A><B><C></B>", "A{B{C{}}}",
             {"Unbalanced or badly nested tag <C>", "Unbalanced or badly nested tag <A>"});
  ExpectTree("x</P>y", "\"x\" P/ \"y\"");  // an always-empty name is never an end tag
  ExpectTree("</A/>", "A/");
  ExpectTree("</A />", "A/");
  ExpectTree("<A/><B />", "A/ B/");
}

TEST(MarkupAttributes, ValuesWithAndWithoutEqualsSignAndDuplicates) {
  Parsed parsed("<TEXTBOX EDITABLE NAME=\"\" Title=x/>");
  EXPECT_EQ(parsed.dump(), "TEXTBOX[EDITABLE NAME= TITLE=x]/");
  const ValueTable* attributes = parsed.tree->attributes;
  EXPECT_EQ(entry_of_value(get_value(attributes, "editable"))->separator, 0);
  EXPECT_EQ(entry_of_value(get_value(attributes, "NAME"))->separator, '=');

  Parsed duplicate("<TEXTBOX NAME=a name=\"b\"/>");
  EXPECT_EQ(duplicate.dump(), "TEXTBOX[NAME=a]/");
  ASSERT_EQ(duplicate.diagnostics.size(), 1u);
  EXPECT_EQ(duplicate.diagnostics[0].code, kErrDuplicate);
  EXPECT_STREQ(duplicate.diagnostics[0].message, "Ignoring duplicate parameter in tag <TEXTBOX>");

  ExpectTree("<A B C=1 D/>", "A[B C=1 D]/");
  ExpectTree("<A HREF=\"a%20b%u0041%zz%4\" X=%41 Y=a/b/>", "A[HREF=a bA%zz%4 X=A Y=a B]/");
  ExpectTree("<A T='it\"s' U=`b c` V=\"&amp;\"/>", "A[T=it\"s U=b c V=&amp;]/");
  ExpectTree("<A T=\"x>", "A[T]{}", {"Unbalanced or badly nested tag <A>"});  // unclosed quote: no value
  ExpectTree("<A =x \"y\" B/>", "A[X Y B]/", {"Unexpected character in tag"});
}

TEST(MarkupTagEnd, QuotesOnTheLineDecideWhetherGreaterThanEndsTheTag) {
  ExpectTree("<A TITLE=\"a>b\">text</A>", "A[TITLE=a>b]{\"text\"}");
  // No partner for the apostrophe on its line: the first '>' ends the tag.
  ExpectTree("<A TITLE='a>b\n</A>", "A[TITLE]{\"b\\x0A\"}");
  // A stray quote holding one of the special characters keeps '>' literal to the end.
  ExpectTree("<A TITLE='a=>b\n<B>", "A[TITLE]{}", {"Unbalanced or badly nested tag <A>"});
  // A '<' cuts an unterminated tag short; the byte before it stands in for the '>'.
  ExpectTree("<B\n<I>x", "B{I{\"x\"}}", {"Unbalanced or badly nested tag <I>", "Unbalanced or badly nested tag <B>"});
  ExpectTree("<B<I>x</I>", "I{\"x\"}");
  ExpectTree("<A", "A{}", {"Unbalanced or badly nested tag <A>"});
  ExpectTree("a<>b< >c", "\"a\" \"b\" \"c\"");
}

TEST(MarkupComments, CommentEndsAtTheFirstGreaterThanAfterTheFirstDoubleDash) {
  ExpectTree("<!-- a -- b > c -->", "!\"<!-- a -- b \" \" c -->\"");
  ExpectTree("<!---->after", "!\"<!----\" \"after\"");
  ExpectTree("x<!-- open", "\"x\" !\"<!-- open\"");
  ExpectTree("<A><!-- in --></A>", "A{!\"<!-- in --\"}");
}

TEST(MarkupRawContent, ScriptBodiesStayVerbatim) {
  ExpectTree("<SCRIPT>if (a<b) s=\"</p>&amp;\";</SCRIPT>after",
             "SCRIPT{~\"if (a<b) s=\\x22</p>&amp;\\x22;\"} \"after\"");
  ExpectTree("<script>x</ Script >y", "SCRIPT{~\"x\"} \"y\"");
  ExpectTree("<SCRIPT></SCRIPT>", "SCRIPT{}");
  ExpectTree("<SCRIPT>a<b", "SCRIPT{~\"a<b\"}", {"Unbalanced or badly nested tag <SCRIPT>"});
  // A tag with a stray character never opens raw content.
  ExpectTree("<SCRIPT !>a<b></SCRIPT>", "SCRIPT{\"a\" B{}}",
             {"Unexpected character in tag", "Unbalanced or badly nested tag <B>"});
}

TEST(MarkupText, EntitiesInTextPercentEscapesOnlyInValuesNulAndEmptySource) {
  ExpectTree("&uuml;&#65;&#6;&#123;&#u0233;&bogus;&amp;lt;&#00;%41",
             "\"\\xFCA&#6;&#123;\\xE9&bogus;&lt; %41\"");
  ExpectTree("& &; &toolong; &EACUTE; &Uuml;", "\"& &; &toolong; \\xE9 \\xDC\"");
  ExpectTree(std::string("a\0b<A\0B/>", 9), "\"a b\" A[B]/");
  ExpectTree("", "\"\"");
  ExpectTree("<>< />", "\"\"");
}

TEST(MarkupSpecialTags, SpecialCharacterKindsAndClosers) {
  ExpectTree("<#NAME a=1#>x</NAME>", "#NAME[A=1]{\"x\"}");
  ExpectTree("<#X/>text", "#X{} \"text\"");
  ExpectTree("<(X)>", "(X{}", {"Unbalanced or badly nested tag <X>"});
  ExpectTree("<?xml version=\"1.0\"?><A/>", "?XML[VERSION=1.0]{A/}", {"Unbalanced or badly nested tag <XML>"});
}

TEST(MarkupDiagnostics, LinesColumnsAndOffsets) {
  Parsed parsed("ab\r\ncd\re\n  </X>");
  ASSERT_EQ(parsed.diagnostics.size(), 1u);
  const MarkupDiagnostic& d = parsed.diagnostics[0];
  EXPECT_EQ(d.code, 0);
  EXPECT_EQ(d.offset, 11u);
  EXPECT_EQ(d.length, 4u);
  EXPECT_EQ(d.line, 4u);
  EXPECT_EQ(d.lineStart, 9u);
  EXPECT_EQ(d.lineLength, 6u);
  EXPECT_STREQ(d.sourceName, "");

  Parsed unclosed("<A>\r\n<B> x\n\n<C>");  // reported innermost first, so the lines go backwards
  ASSERT_EQ(unclosed.diagnostics.size(), 3u);
  EXPECT_EQ(unclosed.diagnostics[0].line, 4u);
  EXPECT_EQ(unclosed.diagnostics[1].line, 2u);
  EXPECT_EQ(unclosed.diagnostics[1].lineStart, 5u);
  EXPECT_EQ(unclosed.diagnostics[1].lineLength, 5u);
  EXPECT_EQ(unclosed.diagnostics[2].line, 1u);
  EXPECT_EQ(unclosed.diagnostics[2].lineLength, 3u);

  Parsed once("<A \"=\"'/>");  // only the first unexpected character of a tag is reported
  EXPECT_EQ(once.diagnostics.size(), 1u);
}

// Each input is parsed from a heap block of exactly its size, for every prefix, so that the address
// sanitizer sees any read past the end.
void ParseEveryPrefix(const std::string& source) {
  for (size_t length = 0; length <= source.size(); ++length) {
    char* copy = static_cast<char*>(std::malloc(length ? length : 1));
    std::memcpy(copy, source.data(), length);
    MarkupNode* tree = nullptr;
    MemoryHandle sink = (length % 2) ? HandleNew(0) : nullptr;
    ASSERT_EQ(parse_markup_bytes(copy, length, kRawContentTags, kAlwaysEmptyTags, sink, &tree), kOk);
    ASSERT_NE(tree, nullptr);
    free_node_list(tree);
    HandleDispose(sink);
    std::free(copy);
  }
}

TEST(MarkupBounds, NoInputLeadsOutsideTheBuffer) {
  ASSERT_EQ(EncodingTablesInit(), kOk);  // built on first use otherwise, which would count as a leak
  const size_t tables = live_table_count();
  for (const char* source :
       {"<A B='x>y' C=\"z\">&eacute;&#u0233;&#12;</A>", "<SCRIPT>a</SCR", "<!-- x --", "<#X a=%4",
        "<A HREF=%u004", "&#u02", "</ SCRIPT", "<SCRIPT >< /", "<(A B=`x`)", "x\r\n<A\r<B>\"'`"})
    ParseEveryPrefix(source);

  std::mt19937 random(12345);
  const char alphabet[] = "<>/=\"'`!-#(){}[]&;%u0aAPBRSCRIPT \r\n\t";
  for (int round = 0; round < 300; ++round) {
    std::string source(random() % 64, ' ');
    for (char& c : source) c = alphabet[random() % (sizeof alphabet - 1)];
    ParseEveryPrefix(source);
  }
  EXPECT_EQ(live_table_count(), tables);
}

}  // namespace
