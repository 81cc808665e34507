// The text an element shows, built from its markup: styles of the runs, the white-space rules, block
// strings, link ranges, and the character format a style asks for.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "interface/document_tree.h"
#include "interface/text_flow.h"
#include "interface/text_style.h"
#include "tests/interface/markup_test_support.h"

namespace {

constexpr Colour kRed{255, 255, 0, 0};
constexpr Colour kBlack{255, 0, 0, 0};
constexpr Colour kLinkBlue{255, 0, 0, 238};

std::string Str(const char* text) { return text ? text : "(none)"; }

// A built text box, its runs as strings for comparing.
struct Built {
  explicit Built(const std::string& source, const char* tag = "TEXTBOX") : page(source) {
    element = find_tagged_element(page.tree, nullptr, tag, false);
    status = element ? build_styled_text(page.tree, element, &styled) : kErrNotFound;
  }
  std::string text() const { return std::string(styled.Text(), styled.TextLength()); }
  std::vector<std::string> runTexts() const {
    std::vector<std::string> out;
    for (size_t i = 0; i < styled.RunCount(); ++i)
      out.emplace_back(styled.Text() + styled.Run(i).offset, styled.Run(i).length);
    return out;
  }
  // The run that holds the first occurrence of the text.
  const TextRun& runWith(const std::string& wanted) const {
    const size_t at = text().find(wanted);
    for (size_t i = 0; i < styled.RunCount(); ++i)
      if (at >= styled.Run(i).offset && at < styled.Run(i).offset + styled.Run(i).length) return styled.Run(i);
    ADD_FAILURE() << "no run holds \"" << wanted << "\"";
    static const TextRun none{};
    return none;
  }
  std::vector<std::string> links() const {
    std::vector<std::string> out;
    for (size_t i = 0; i < styled.LinkCount(); ++i) {
      const LinkRange& link = styled.Link(i);
      const TextRun& first = styled.Run(link.firstRun);
      const TextRun& last = styled.Run(link.firstRun + link.runCount - 1);
      out.push_back(Str(first.style.link) + ":" +
                    std::string(styled.Text() + first.offset, last.offset + last.length - first.offset));
    }
    return out;
  }

  Parsed page;
  MarkupNode* element = nullptr;
  StyledText styled;
  Status status = kOk;
};

TEST(TextStyle, FontInsideATextBoxOverridesFaceAndSizeForItsTextOnly) {
  Built box(
      "<INTERFACE FGCOLOR=#000000><PAGE>"
      "<TEXTBOX FACE=\"geneva,arial,helvetica\" SIZE=9>"
      "<FONT FACE=\"system\" SIZE=12>Heading</FONT> body text"
      "<FONT FACE=\"times\" SIZE=14><B>bold</B></FONT>"
      "</TEXTBOX></PAGE></INTERFACE>");
  ASSERT_EQ(box.status, kOk);
  const TextRun& heading = box.runWith("Heading");
  EXPECT_EQ(Str(heading.style.face), "system");
  EXPECT_EQ(heading.style.size, 12);
  const TextRun& body = box.runWith("body");
  EXPECT_EQ(Str(body.style.face), "geneva,arial,helvetica");
  EXPECT_EQ(body.style.size, 9);
  EXPECT_EQ(body.style.flags & kRunBold, 0u);
  // B inside FONT inside the box: bold, with the FONT's face and size.
  const TextRun& bold = box.runWith("bold");
  EXPECT_EQ(bold.style.flags & kRunBold, uint32_t(kRunBold));
  EXPECT_EQ(bold.style.size, 14);
  EXPECT_EQ(Str(bold.style.face), "times");
  // The INTERFACE's FGCOLOR colours everything.
  for (size_t i = 0; i < box.styled.RunCount(); ++i) {
    EXPECT_NE(box.styled.Run(i).style.flags & kRunColoured, 0u);
    EXPECT_EQ(box.styled.Run(i).style.colour, kBlack);
  }
  EXPECT_EQ(box.text(), "Heading body textbold");
}

TEST(TextStyle, ColourOfTheBoxUnlessAnInnerOneOverrides) {
  Built box(
      "<INTERFACE FGCOLOR=#000000><PAGE>"
      "<TEXTBOX FGCOLOR=#FF0000>red <I>still red</I> <FONT FGCOLOR=#00F>blue</FONT>"
      " <FONT FGCOLOR=#12345>not a colour</FONT></TEXTBOX></PAGE></INTERFACE>");
  ASSERT_EQ(box.status, kOk);
  EXPECT_EQ(box.runWith("red").style.colour, kRed);
  EXPECT_EQ(box.runWith("still").style.colour, kRed);
  EXPECT_EQ(box.runWith("still").style.flags & kRunItalic, uint32_t(kRunItalic));
  EXPECT_EQ(box.runWith("blue").style.colour, (Colour{255, 0, 0, 255}));
  // A FGCOLOR that is no colour is passed over: the box's red stays, not white.
  EXPECT_EQ(box.runWith("not a").style.colour, kRed);
}

TEST(TextStyle, EmphasisTagsAndTheLimitAtTheInterface) {
  // A FONT around the INTERFACE is outside the interface and does not count.
  Parsed page(
      "<FONT SIZE=30 FACE=outside><INTERFACE SIZE=10><PAGE FACE=paged>"
      "<TEXTBOX><STRONG><EM><U><TT>all</TT></U></EM></STRONG><PRE>pre</PRE>"
      "<A NAME=anchor>no link</A><A HREF=\"#next\">link</A></TEXTBOX></PAGE></INTERFACE></FONT>");
  MarkupNode* box = find_tagged_element(page.tree, nullptr, "TEXTBOX", false);
  ASSERT_NE(box, nullptr);
  ContentCursor cursor;
  ASSERT_EQ(start_content_walk(&cursor, page.tree, box), kOk);
  std::vector<std::pair<std::string, RunStyle>> runs;
  for (;;) {
    ContentStep step;
    ASSERT_EQ(next_text_run(&cursor, &step), kOk);
    if (!step.node) break;
    runs.emplace_back(step.node->text, step.style);
  }
  ASSERT_EQ(runs.size(), 4u);
  EXPECT_EQ(runs[0].first, "all");
  EXPECT_EQ(runs[0].second.flags, uint32_t(kRunBold | kRunItalic | kRunUnderline | kRunTeletype));
  EXPECT_EQ(runs[0].second.size, 10);
  EXPECT_EQ(Str(runs[0].second.face), "paged");
  EXPECT_EQ(runs[1].second.flags, uint32_t(kRunPreformatted));
  EXPECT_EQ(runs[2].second.flags, 0u);  // an A without HREF is no link
  EXPECT_EQ(runs[2].second.link, nullptr);
  EXPECT_EQ(runs[3].second.flags, uint32_t(kRunLink));
  EXPECT_EQ(Str(runs[3].second.link), "#next");

  // text_style on a node: the style of the text around it.
  MarkupNode* pre = find_tagged_element(page.tree, nullptr, "PRE", false);
  RunStyle style;
  ASSERT_EQ(text_style(page.tree, pre, &style), kOk);
  EXPECT_EQ(style.flags, 0u);
  ASSERT_EQ(text_style(page.tree, pre->children, &style), kOk);
  EXPECT_EQ(style.flags, uint32_t(kRunPreformatted));
  Parsed other("<TEXTBOX>x</TEXTBOX>");
  EXPECT_EQ(text_style(page.tree, other.tree, &style), kErrNotFound);
}

TEST(TextFlow, WhiteSpaceOfTheSourceCollapses) {
  Built box(
      "<TEXTBOX>\n"
      "\t\tThank you for trying\n"
      "\t\tSkyward   for\r\n"
      "\tWindows.\rA licence <B> costs </B> 30.00\n"
      "</TEXTBOX>");
  ASSERT_EQ(box.status, kOk);
  // No blank at the start; one blank for every stretch of TABs, line breaks and blanks.
  EXPECT_EQ(box.text(), "Thank you for trying Skyward for Windows. A licence costs 30.00 ");
}

TEST(TextFlow, BlockStringsAndTheLineAfterThem) {
  Built box(
      "<TEXTBOX><B>Thank you!</B><BR>\n"
      "    Your order is on its way.<P>  Next paragraph"
      "<LI>first<LI> second\n"
      "<DL><DT>term<DD>meaning</DL></TEXTBOX>");
  ASSERT_EQ(box.status, kOk);
  EXPECT_EQ(box.text(),
            "Thank you!\r\nYour order is on its way.\r\n\r\nNext paragraph"
            "\r\n\x95 first\r\n\x95 second \r\nterm\r\nmeaning");
}

TEST(TextFlow, PreformattedTextKeepsItsWhiteSpace) {
  Built box("<TEXTBOX>a\r\n b<PRE>\tx  y\r\nz\rw\n</PRE> c</TEXTBOX>");
  ASSERT_EQ(box.status, kOk);
  EXPECT_EQ(box.text(), "a b    x  y\r\nz\r\nw\r\nc");
  EXPECT_EQ(box.runWith("x").style.flags & kRunPreformatted, uint32_t(kRunPreformatted));
}

TEST(TextFlow, OnlyTheElementsOwnContentCounts) {
  Built box(
      "<PAGE>before<TEXTBOX>in<!-- a comment --><SCRIPT>not text</SCRIPT><EMPTY></EMPTY>side</TEXTBOX>after"
      "<TEXTBOX>second</TEXTBOX></PAGE>");
  ASSERT_EQ(box.status, kOk);
  EXPECT_EQ(box.text(), "inside");
  EXPECT_EQ(box.runTexts(), (std::vector<std::string>{"in", "side"}));

  Built empty("<PAGE SIZE=9><TEXTBOX EDITABLE FACE=mono></TEXTBOX></PAGE>");
  ASSERT_EQ(empty.status, kOk);
  EXPECT_EQ(empty.styled.TextLength(), 0u);
  EXPECT_EQ(empty.styled.RunCount(), 0u);
  // Without a text node, the first style is that of text directly inside the box.
  EXPECT_EQ(empty.styled.first.size, 9);
  EXPECT_EQ(Str(empty.styled.first.face), "mono");
}

TEST(TextFlow, LinkRanges) {
  Built box(
      "<TEXTBOX>See <A HREF=\"#a\">the <B>price</B> list</A> or <A HREF=\"#a\">again</A>"
      "<A HREF=\"#b\">other</A><A HREF=\"#b\"> next</A>"
      "<A HREF=\"http://x/\">wrapped<BR>over lines</A></TEXTBOX>");
  ASSERT_EQ(box.status, kOk);
  // Runs of one A form one range; the same target again after plain text is a range of its own;
  // adjacent A elements with the same target join; a BR inside a link belongs to it.
  EXPECT_EQ(box.links(), (std::vector<std::string>{"#a:the price list", "#a:again", "#b:other next",
                                                    "http://x/:wrapped\r\nover lines"}));
}

TEST(RunFormat, HeightsColoursEffectsAndPitch) {
  RunStyle style{};
  RunFormat format = run_format(style, 96, kBlack, kLinkBlue);
  EXPECT_EQ(format.twips, 180);  // 12 pixels at 96 per inch: 9 points
  EXPECT_EQ(format.fontHeight, 0);
  EXPECT_EQ(format.fontWeight, 400);
  EXPECT_EQ(format.colour, kBlack);
  EXPECT_FALSE(format.bold || format.italic || format.underline || format.fixedPitch);

  style.size = 9;
  style.flags = kRunBold | kRunItalic | kRunColoured;
  style.colour = kRed;
  format = run_format(style, 120, kBlack, kLinkBlue);
  EXPECT_EQ(format.twips, 108);  // 9 * 1440 / 120
  EXPECT_EQ(format.fontHeight, -9);
  EXPECT_EQ(format.fontWeight, 700);
  EXPECT_TRUE(format.bold && format.italic && !format.underline);
  EXPECT_EQ(format.colour, kRed);

  // A link takes the link colour over its own and is always underlined.
  style.flags |= kRunLink;
  format = run_format(style, 96, kBlack, kLinkBlue);
  EXPECT_EQ(format.colour, kLinkBlue);
  EXPECT_TRUE(format.underline);

  style.flags = kRunTeletype;
  EXPECT_TRUE(run_format(style, 96, kBlack, kLinkBlue).fixedPitch);
  style.flags = kRunPreformatted;
  EXPECT_TRUE(run_format(style, 96, kBlack, kLinkBlue).fixedPitch);

  // Sizes that no font has are held to the range.
  style.size = -4;
  EXPECT_EQ(run_format(style, 96, kBlack, kLinkBlue).twips, 180);
  EXPECT_EQ(run_format(style, 96, kBlack, kLinkBlue).fontHeight, 0);
  style.size = INT32_MAX;
  EXPECT_EQ(run_format(style, 96, kBlack, kLinkBlue).twips, kLargestRunSize * 15);
  EXPECT_EQ(run_format(style, 96, kBlack, kLinkBlue).fontHeight, -kLargestRunSize);
}

TEST(TextFlow, DeepNestingDoesNotRecurse) {
  std::string source = "<TEXTBOX>";
  for (int i = 0; i < 5000; ++i) source += "<I>";
  source += "deep";
  for (int i = 0; i < 5000; ++i) source += "</I>";
  source += " end</TEXTBOX>";
  Built box(source);
  ASSERT_EQ(box.status, kOk);
  EXPECT_EQ(box.text(), "deep end");
  EXPECT_EQ(box.runWith("deep").style.flags, uint32_t(kRunItalic));
}

}  // namespace
