#include "tools/archive/archive_tool.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>

#include "files/archive.h"
#include "files/memory_stream.h"

namespace {

std::string ReadAll(const std::string& path) {
  std::stringstream contents;
  contents << std::ifstream(path, std::ios::binary).rdbuf();
  return contents.str();
}

void WriteAll(const std::string& path, const std::string& data) { std::ofstream(path, std::ios::binary) << data; }

// A scratch folder with a folder of pages in it; what the commands say goes to files.
class ArchiveToolTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/archive_tool_XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    root_ = pattern;
    pages_ = root_ + "/pages";
    ASSERT_EQ(mkdir(pages_.c_str(), 0777), 0);
    for (int i = 0; i < 4; ++i) WriteAll(pages_ + "/" + kNames[i], kContents[i]);
    WriteAll(pages_ + "/.hidden", "left out");
  }
  void TearDown() override {
    std::fclose(out_);
    std::fclose(err_);
    EXPECT_EQ(std::system(("rm -rf " + root_).c_str()), 0);
  }
  // What was written to the file since the last call.
  static std::string Said(FILE*& file) {
    std::string text;
    std::rewind(file);
    for (int c; (c = std::fgetc(file)) != EOF;) text += char(c);
    std::fclose(file);
    file = std::tmpfile();
    return text;
  }

  static constexpr const char* kNames[] = {"Zebra.gif", "a.png", "classic.iml", "empty.txt"};  // capitals first
  const std::string kContents[4] = {"GIF89a", std::string("\x89PNG\0", 5), "<INTERFACE><PAGE></PAGE></INTERFACE>", ""};
  std::string root_, pages_;
  FILE* out_ = std::tmpfile();
  FILE* err_ = std::tmpfile();
};

TEST_F(ArchiveToolTest, PacksSortedBackToBackAfterTheDirectoryAndListsAndExtractsThat) {
  const std::string path = root_ + "/pages.chnk";
  ASSERT_EQ(PackFolder(pages_, path, 2048000, out_, err_), 0) << Said(err_);
  const std::string bytes = ReadAll(path);
  EXPECT_EQ(bytes.size(), 20u + 4 * 80 + 6 + 5 + 36) << "the last entry ends the archive";
  Said(out_);
  ASSERT_EQ(ListArchive(path, out_, err_), 0);
  EXPECT_EQ(Said(out_),
            "name                                     flags     offset       size  type\n"
            "Zebra.gif                                    3        340          6  GIFf\n"
            "a.png                                        3        346          5  PNGf\n"
            "classic.iml                                  3        351         36  ????\n"
            "empty.txt                                    3          0          0  TEXT\n"
            "4 entries in 4 records\n");

  const std::string unpacked = root_ + "/unpacked";
  ASSERT_EQ(ExtractArchive(path, unpacked, {}, out_, err_), 0) << Said(err_);
  for (int i = 0; i < 4; ++i) EXPECT_EQ(ReadAll(unpacked + "/" + kNames[i]), kContents[i]) << kNames[i];
  EXPECT_EQ(ExtractArchive(path, unpacked, {"missing"}, out_, err_), 1);
  EXPECT_NE(Said(err_).find("missing: no such entry"), std::string::npos);

  ASSERT_EQ(PackFolder(pages_, path, bytes.size(), out_, err_), 0) << "exactly the limit is fine";
  EXPECT_EQ(ReadAll(path), bytes) << "the same folder packs to the same bytes";
}

TEST_F(ArchiveToolTest, RefusesOversizedArchivesSubfoldersAndOtherFiles) {
  const std::string path = root_ + "/big.chnk";
  EXPECT_EQ(PackFolder(pages_, path, 386, out_, err_), 1);
  EXPECT_NE(Said(err_).find("larger than 386 bytes"), std::string::npos);
  EXPECT_NE(access(path.c_str(), F_OK), 0) << "no archive is left behind";
  ASSERT_EQ(mkdir((pages_ + "/sub").c_str(), 0777), 0);
  EXPECT_EQ(PackFolder(pages_, path, 2048000, out_, err_), 1);
  EXPECT_NE(Said(err_).find("not a plain file"), std::string::npos);
  WriteAll(path, "just text");
  EXPECT_EQ(ListArchive(path, out_, err_), 1);
  EXPECT_NE(Said(err_).find("not a page archive"), std::string::npos);
}

TEST_F(ArchiveToolTest, ExtractsOddNamesAsEscapedFileNamesAndRefusesDotDot) {
  UniqueHandle bytes(HandleNew(0));
  Stream* archive = nullptr;
  ASSERT_EQ(MemoryStreamOpen(bytes.get(), true, &archive), kOk);
  ASSERT_EQ(ArchiveFormat(archive, 2), kOk);
  for (const char* name : {"a%2Fb", ".."}) {
    EntryInfo info{};
    std::strcpy(info.name, name);
    info.readable = 1;
    ASSERT_EQ(ArchiveCreateEntry(archive, info), kOk);
  }
  StreamClose(archive);
  const std::string path = root_ + "/odd.chnk";
  WriteAll(path, std::string(reinterpret_cast<const char*>(HandleData(bytes.get())), HandleGetSize(bytes.get())));
  EXPECT_EQ(ExtractArchive(path, root_ + "/odd", {}, out_, err_), 1);
  EXPECT_NE(Said(err_).find("..: this name cannot be a file name"), std::string::npos);
  EXPECT_EQ(access((root_ + "/odd/a%2Fb").c_str(), F_OK), 0);
}

}  // namespace
