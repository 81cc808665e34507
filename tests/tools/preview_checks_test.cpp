// The page previewer's pure half: the check of a page file against the names the order program needs,
// disk paths as path texts and back, the page file chosen in a folder, lines of offsets in page files,
// and when a burst of changes has settled.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "interface/document_tree.h"
#include "tests/interface/markup_test_support.h"
#include "tools/preview/change_settling.h"
#include "tools/preview/page_location.h"
#include "tools/preview/walk_check.h"

namespace {

constexpr const char* kClassTags[] = {"BUTTON", "IMAGE", "IMG", "BORDER", "FRAME", "POPUP", "TEXTBOX"};

const char kCompleteNamePage[] =
    "<PAGE NAME=enter_name>"
    "<TEXTBOX NAME=user_name EDITABLE/><TEXTBOX NAME=user_company EDITABLE/>"
    "<TEXTBOX NAME=user_address EDITABLE=\"\"/><TEXTBOX NAME=user_email EDITABLE/>"
    "<TEXTBOX NAME=user_phone EDITABLE/><TEXTBOX NAME=user_fax EDITABLE/>"
    "<TEXTBOX NAME=user_invalid_1>Please give your name and address.</TEXTBOX>"
    "<IMAGE NAME=user_invalid_2 SRC=bad.png/>"
    "</PAGE>";

// The findings for the pages inside one INTERFACE, as "page: text" (problems only unless asked).
std::vector<std::string> Findings(const std::string& pages, bool notes = false) {
  Parsed parsed("<INTERFACE>" + pages + "</INTERFACE>");
  PageDirectory directory;
  EXPECT_EQ(build_page_directory(find_tagged_element(parsed.tree, nullptr, "INTERFACE", false), &directory), kOk);
  std::vector<std::string> lines;
  for (const WalkFinding& finding : CheckWalkPages(directory, kClassTags)) {
    // The list of the walk's pages the file lacks is long and checked on its own.
    if (finding.page.empty()) continue;
    if (finding.problem || notes) lines.push_back(finding.page + ": " + finding.text);
  }
  free_page_directory(&directory);
  return lines;
}

using Lines = std::vector<std::string>;

std::string Replaced(std::string text, const std::string& from, const std::string& to) {
  const size_t at = text.find(from);
  EXPECT_NE(at, std::string::npos) << from;
  return at == std::string::npos ? text : text.replace(at, from.size(), to);
}

TEST(WalkCheck, APageWithEveryNameGetsANoteOnly) {
  EXPECT_EQ(Findings(kCompleteNamePage), Lines{});
  EXPECT_EQ(Findings(kCompleteNamePage, true), Lines{"enter_name: has every name the order program needs"});
}

TEST(WalkCheck, MissingWrongKindAndTwiceAreReportedInTheTablesOrder) {
  std::string page = Replaced(kCompleteNamePage, "<TEXTBOX NAME=user_fax EDITABLE/>", "");
  page = Replaced(page, "<TEXTBOX NAME=user_name EDITABLE/>", "<TEXTBOX NAME=user_name/>");
  page = Replaced(page, "<TEXTBOX NAME=user_phone EDITABLE/>", "<TEXTBOX NAME=user_phone EDITABLE=none/>");
  page = Replaced(page, "</PAGE>", "<BUTTON NAME=USER_EMAIL/></PAGE>");
  EXPECT_EQ(Findings(page), (Lines{
                                "enter_name: user_name is a TEXTBOX, the order program needs an editable TEXTBOX",
                                "enter_name: user_email is there 2 times; the order program uses the first",
                                "enter_name: user_phone is a TEXTBOX, the order program needs an editable TEXTBOX",
                                "enter_name: user_fax is missing (an editable TEXTBOX)",
                            }));
}

TEST(WalkCheck, OnlyElementsThePageProgramCanFindCount) {
  // Inside a displayed element a control is part of it; an element of an unknown tag is markup only.
  std::string page = Replaced(kCompleteNamePage, "<TEXTBOX NAME=user_fax EDITABLE/>",
                              "<BUTTON NAME=wrapper><TEXTBOX NAME=user_fax EDITABLE/></BUTTON>");
  page = Replaced(page, "<TEXTBOX NAME=user_phone EDITABLE/>",
                  "<FONT FACE=Arial><FIELD NAME=user_phone EDITABLE/></FONT>");
  EXPECT_EQ(Findings(page), (Lines{"enter_name: user_phone is missing (an editable TEXTBOX)",
                                   "enter_name: user_fax is missing (an editable TEXTBOX)"}));
}

TEST(WalkCheck, OuterPagesNeedTheirFrameShowingTheStepAndTheirNextButton) {
  EXPECT_EQ(Findings("<PAGE NAME=email_name><FRAME NAME=enter_name SRC=\"#enter_name\"/>"
                     "<IMG NAME=enter_method SRC=next.png/></PAGE>"),
            Lines{});
  // SOURCE wins over SRC, as in the frame itself.
  EXPECT_EQ(Findings("<PAGE NAME=fax_name><FRAME NAME=enter_name SOURCE=\"#intro\" SRC=\"#enter_name\"/>"
                     "<BUTTON NAME=enter_method/></PAGE>"),
            Lines{"fax_name: no FRAME shows the page enter_name (SRC=\"#enter_name\")"});
  // A missing frame is reported once, not again for what it should show.
  EXPECT_EQ(Findings("<PAGE NAME=usmail_name><BUTTON NAME=enter_method/></PAGE>"),
            Lines{"usmail_name: enter_name is missing (a FRAME)"});
  EXPECT_EQ(Findings("<PAGE NAME=usmail_count><FRAME SRC=\"#enter_count\"/></PAGE>"), Lines{});
  EXPECT_EQ(Findings("<PAGE NAME=usmail_cd><FRAME SRC=\"#enter_count\"/></PAGE>"),
            Lines{"usmail_cd: no FRAME shows the page enter_cd (SRC=\"#enter_cd\")"});
}

TEST(WalkCheck, CheckBoxesAndParametersAreTold) {
  EXPECT_EQ(Findings("<PAGE NAME=enter_cd><BUTTON NAME=quillon_cd KIND=check/></PAGE>"), Lines{});
  EXPECT_EQ(Findings("<PAGE NAME=enter_cd><BUTTON NAME=quillon_cd KIND=RADIO/></PAGE>"),
            Lines{"enter_cd: quillon_cd is a BUTTON, the order program needs a check box (BUTTON KIND=CHECK)"});
  // A variable is shown by a PARAMETER anywhere in the page, also inside a text box, in any letter case.
  EXPECT_EQ(Findings("<PAGE NAME=enter_error_sender><TEXTBOX>Refused: <PARAM NAME=invalid_email>x</PARAM>"
                     "</TEXTBOX></PAGE>"),
            Lines{});
  EXPECT_EQ(Findings("<PAGE NAME=enter_error_email><TEXTBOX NAME=ERROR/>"
                     "<PARAMETER NAME=ERROR/><PARAMETER NAME=ERROR/></PAGE>"),
            Lines{});
  EXPECT_EQ(Findings("<PAGE NAME=enter_error_save><TEXTBOX NAME=ERROR/></PAGE>"),
            Lines{"enter_error_save: ERROR is missing (a PARAMETER)"});
}

TEST(WalkCheck, PagesOfTheWalkTheFileLacksAreListedOnce) {
  Parsed parsed("<INTERFACE><PAGE NAME=intro/><PAGE NAME=enter_cd/><PAGE NAME=Enter_Done/></INTERFACE>");
  PageDirectory directory;
  ASSERT_EQ(build_page_directory(parsed.tree, &directory), kOk);
  const std::vector<WalkFinding> findings = CheckWalkPages(directory, kClassTags);
  free_page_directory(&directory);
  ASSERT_FALSE(findings.empty());
  const WalkFinding& absent = findings.back();
  EXPECT_TRUE(absent.page.empty());
  EXPECT_TRUE(absent.problem);
  EXPECT_EQ(absent.text.find("pages of the order walk not in this file: usmail_name, email_name, fax_name,"), 0u);
  EXPECT_EQ(absent.text.find("enter_cd"), std::string::npos);
  EXPECT_NE(absent.text.find(", enter_done,"), std::string::npos);  // page names are matched exactly
  EXPECT_EQ(absent.text.find("intro"), std::string::npos);
  EXPECT_EQ(findings.size(), 2u);  // enter_cd's missing check box, then the list
}

TEST(PageLocation, DiskPathsAsPathTextsAndBack) {
  struct Case {
    const char* disk;
    const char* text;
    const char* back;
  };
  const Case cases[] = {
      {"c:\\Pages\\my%pages", "/C/Pages/my%25pages", "C:\\Pages\\my%pages"},
      {"C:\\", "/C", "C:\\"},
      {"D:\\a\\\\b\\", "/D/a/b", "D:\\a\\b"},
      {"Z:\\tmp\\page folder\\x.iml", "/Z/tmp/page folder/x.iml", "Z:\\tmp\\page folder\\x.iml"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(PathTextOfDiskPath(c.disk), c.text) << c.disk;
    EXPECT_EQ(DiskPathOfPathText(c.text), c.back) << c.text;
  }
  for (const char* unreachable : {"\\\\server\\share\\pages", "pages", "C:pages", "", "1:\\x"})
    EXPECT_EQ(PathTextOfDiskPath(unreachable), "") << unreachable;
  EXPECT_EQ(PathTextOfDiskPath("C:\\" + std::string(256, 'n')), "");  // a name longer than names may be
  for (const char* noDrive : {"", "/", "C", "/CD/x", "/_Virtual_/classic.iml"})
    EXPECT_EQ(DiskPathOfPathText(noDrive), "") << noDrive;
}

TEST(PageLocation, ThePageFileOfAFolder) {
  using Names = std::vector<std::string>;
  EXPECT_EQ(ChoosePageFile(Names{"logo.gif", "index.iml", "Classic.IML"}), "Classic.IML");
  EXPECT_EQ(ChoosePageFile(Names{"zeta.iml", "index.iml"}), "index.iml");
  EXPECT_EQ(ChoosePageFile(Names{"b.iml", "A.iml", "c.IML", "notes.txt"}), "A.iml");
  EXPECT_EQ(ChoosePageFile(Names{"logo.gif", ".iml", "iml"}), "");
  EXPECT_EQ(ChoosePageFile(Names{}), "");
  EXPECT_TRUE(IsPageFileName("x.IML"));
  EXPECT_FALSE(IsPageFileName("x.iml.bak"));
}

TEST(PageLocation, LinesOfOffsetsAsTheParserCountsThem) {
  const std::string text = "a\nb\r\nc\rd<X>";
  auto line = [&](const std::string& bytes, uint32_t offset) {
    return LineOfOffset(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), offset);
  };
  EXPECT_EQ(line(text, 0), 1u);
  EXPECT_EQ(line(text, 2), 2u);   // after LF
  EXPECT_EQ(line(text, 4), 2u);   // the LF of CR LF is still on line 2
  EXPECT_EQ(line(text, 5), 3u);
  EXPECT_EQ(line(text, 7), 4u);   // a CR alone ends a line
  EXPECT_EQ(line(text, 8), 4u);
  EXPECT_EQ(line(text, 1000), 4u);
  // UTF-16 with its signature: the engine's offsets count characters after the signature.
  std::string wide = "\xFF\xFE";
  for (char c : text) wide += std::string{c, '\0'};
  EXPECT_EQ(line(wide, 7), 4u);
  EXPECT_EQ(line(wide, 4), 2u);
  EXPECT_EQ(line("", 3), 1u);
}

TEST(ChangeSettling, AReloadWaitsForQuietButNotForEver) {
  ChangeSettling settling(100, 1000);
  EXPECT_EQ(settling.Remaining(0), -1);
  EXPECT_FALSE(settling.Due(5000));
  settling.Changed(1000);
  EXPECT_EQ(settling.Remaining(1000), 100);
  EXPECT_FALSE(settling.Due(1099));
  settling.Changed(1050);  // the rename after the write
  EXPECT_FALSE(settling.Due(1100));
  EXPECT_TRUE(settling.Due(1150));
  settling.Clear();
  EXPECT_FALSE(settling.Pending());
  // A file written again and again: due a second after the first change all the same.
  for (int64_t now = 3000; now < 5000; now += 50) {
    settling.Changed(now);
    if (settling.Due(now)) {
      EXPECT_EQ(now, 4000);
      break;
    }
  }
  EXPECT_TRUE(settling.Due(4000));
}

}  // namespace
