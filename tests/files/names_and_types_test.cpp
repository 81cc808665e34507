#include <gtest/gtest.h>

#include <string>

#include "files/archive_names.h"
#include "files/file_types.h"

namespace {

TEST(ArchiveNames, DecodingKeepsSeparatorsOut) {
  struct Case {
    const char* escaped;
    const char* name;
  } cases[] = {
      {"a%2fb", "a/b"}, {"%41%62c", "Abc"}, {"%3A", "%3A"}, {"%5c", "%5c"},  // a separator stays literal
      {"100%", "100%"}, {"%zz%4", "%zz%4"}, {"%%41", "%A"},
  };
  char name[kEscapedNameSize];
  for (const Case& c : cases) {
    ASSERT_EQ(ArchiveNameDecode(c.escaped, name), kOk) << c.escaped;
    EXPECT_STREQ(name, c.name) << c.escaped;
  }
  for (const char* bad : {"a/b", "a:b", "a\\b", "cut%00short"}) EXPECT_EQ(ArchiveNameDecode(bad, name), kErrBadName) << bad;
  ASSERT_EQ(ArchiveNameDecode(std::string(300, 'x').c_str(), name), kOk);
  EXPECT_EQ(std::string(name), std::string(255, 'x'));
}

TEST(ArchiveNames, EncodingNeverCutsAnEscape) {
  char escaped[kEscapedNameSize];
  ArchiveNameEncode("a/b:c\\d%e\tf\r\ng h", escaped);
  EXPECT_STREQ(escaped, "a%2Fb%3Ac%5Cd%25e%09f%0D%0Ag h");
  ArchiveNameEncode((std::string(253, 'x') + "/").c_str(), escaped);
  EXPECT_EQ(std::string(escaped), std::string(253, 'x'));
}

TEST(FileTypes, ByExtensionAndByType) {
  struct Case {
    const char* name;
    FourCC type;
    const char* expected;  // type and creator
  } cases[] = {
      {"LOGO.PNG", 0, "PNGfogle"},    {"a.b.txt", 0, "TEXTttxt"},  {"notes.textfile", 0, "TEXTttxt"},  // four characters
      {"classic.iml", 0, "????????"}, {"png", 0, "PNGfogle"},      // no dot: the whole name
      {"picture.", MakeFourCC("GIF "), "GIF ogle"},                // empty key: by type
      {"picture.", MakeFourCC("abcd"), "????????"},
  };
  for (const Case& c : cases) {
    const FileType type = FileTypeForName(c.name, c.type);
    EXPECT_EQ(type.type, MakeFourCC(c.expected[0], c.expected[1], c.expected[2], c.expected[3])) << c.name;
    EXPECT_EQ(type.creator, MakeFourCC(c.expected[4], c.expected[5], c.expected[6], c.expected[7])) << c.name;
  }
}

}  // namespace
