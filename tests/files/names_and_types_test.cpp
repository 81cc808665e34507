#include <gtest/gtest.h>

#include <string>

#include "files/archive_names.h"
#include "files/file_types.h"

namespace {

TEST(ArchiveNames, Decoding) {
  struct Case {
    const char* escaped;
    const char* name;
  } cases[] = {
      {"a%2Fb", "a/b"},         {"a%2fb", "a/b"},     {"%41%62c", "Abc"},
      {"%3A", "%3A"},           {"%5c", "%5c"},       // would give a separator: stays literal
      {"100%", "100%"},         {"%zz%4", "%zz%4"},   {"%%41", "%A"},
      {"tab%09", "tab\t"},
  };
  for (const Case& c : cases) {
    char name[kEscapedNameSize];
    ASSERT_EQ(ArchiveNameDecode(c.escaped, name), kOk) << c.escaped;
    EXPECT_STREQ(name, c.name) << c.escaped;
  }
  char name[kEscapedNameSize];
  for (const char* bad : {"a/b", "a:b", "a\\b", "cut%00short"}) {
    EXPECT_EQ(ArchiveNameDecode(bad, name), kErrBadName) << bad;
  }
  const std::string longName(300, 'x');
  ASSERT_EQ(ArchiveNameDecode(longName.c_str(), name), kOk);
  EXPECT_EQ(std::string(name), std::string(255, 'x'));
}

TEST(ArchiveNames, EncodingRoundTripsAndNeverCutsAnEscape) {
  char escaped[kEscapedNameSize];
  ArchiveNameEncode("a/b:c\\d%e\tf\r\ng h", escaped);
  EXPECT_STREQ(escaped, "a%2Fb%3Ac%5Cd%25e%09f%0D%0Ag h");
  char decoded[kEscapedNameSize];
  ASSERT_EQ(ArchiveNameDecode("a%2Fb%25", decoded), kOk);
  ArchiveNameEncode(decoded, escaped);
  EXPECT_STREQ(escaped, "a%2Fb%25");

  const std::string name = std::string(253, 'x') + "/";
  ArchiveNameEncode(name.c_str(), escaped);
  EXPECT_EQ(std::string(escaped), std::string(253, 'x'));
}

TEST(FileTypes, ByExtensionAndByType) {
  struct Case {
    const char* name;
    FourCC type;
    const char* expectType;
    const char* expectCreator;
  } cases[] = {
      {"logo.gif", 0, "GIFf", "ogle"},        {"LOGO.PNG", 0, "PNGf", "ogle"},
      {"photo.jpeg", 0, "JPEG", "ogle"},      {"notes.text", 0, "TEXT", "ttxt"},
      {"main.cpp", 0, "TEXT", "CWIE"},        {"a.b.txt", 0, "TEXT", "ttxt"},
      {"notes.textfile", 0, "TEXT", "ttxt"},  // four characters are compared
      {"classic.iml", 0, "????", "????"},     {"png", 0, "PNGf", "ogle"},  // no dot: the whole name
      {"picture.", MakeFourCC("GIF "), "GIF ", "ogle"},                    // empty key: by type
      {"picture.", MakeFourCC("TEXT"), "TEXT", "ttxt"},
      {"picture.", MakeFourCC("abcd"), "????", "????"},
  };
  for (const Case& c : cases) {
    const FileType type = FileTypeForName(c.name, c.type);
    EXPECT_EQ(type.type, MakeFourCC(c.expectType[0], c.expectType[1], c.expectType[2], c.expectType[3])) << c.name;
    EXPECT_EQ(type.creator, MakeFourCC(c.expectCreator[0], c.expectCreator[1], c.expectCreator[2], c.expectCreator[3]))
        << c.name;
  }
}

}  // namespace
