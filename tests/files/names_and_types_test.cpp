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
  for (const char* bad : {"a/b", "a:b", "a\\b", "cut%00short"}) {
    EXPECT_EQ(ArchiveNameDecode(bad, name), kErrBadName) << bad;
  }
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

// Type and creator of a name, as eight characters.
std::string TypeOf(const char* name, FourCC type = 0) {
  const FileType found = FileTypeForName(name, type);
  std::string text;
  for (FourCC code : {found.type, found.creator}) {
    for (int shift = 24; shift >= 0; shift -= 8) text += char(code >> shift);
  }
  return text;
}

TEST(FileTypes, ByExtensionAndByType) {
  EXPECT_EQ(TypeOf("LOGO.PNG"), "PNGfogle");
  EXPECT_EQ(TypeOf("a.b.txt"), "TEXTttxt");
  EXPECT_EQ(TypeOf("main.cpp"), "TEXTCWIE");
  EXPECT_EQ(TypeOf("notes.textfile"), "TEXTttxt") << "four characters are compared";
  EXPECT_EQ(TypeOf("classic.iml"), "????????");
  EXPECT_EQ(TypeOf("png"), "PNGfogle") << "no dot: the whole name";
  EXPECT_EQ(TypeOf("picture.", MakeFourCC("GIF ")), "GIF ogle") << "an empty key: by type";
  EXPECT_EQ(TypeOf("picture.", MakeFourCC("abcd")), "????????");
}

}  // namespace
