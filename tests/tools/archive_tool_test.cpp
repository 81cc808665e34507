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
  std::ifstream file(path, std::ios::binary);
  std::stringstream contents;
  contents << file.rdbuf();
  return contents.str();
}

void WriteAll(const std::string& path, const std::string& data) { std::ofstream(path, std::ios::binary) << data; }

uint32_t Big32(const std::string& bytes, size_t offset) {
  return uint32_t(uint8_t(bytes[offset])) << 24 | uint32_t(uint8_t(bytes[offset + 1])) << 16 |
         uint32_t(uint8_t(bytes[offset + 2])) << 8 | uint8_t(bytes[offset + 3]);
}

// A scratch folder with a folder of pages in it; output of the commands is captured in files.
class ArchiveToolTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/archive_tool_XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    root_ = pattern;
    pages_ = root_ + "/pages";
    ASSERT_EQ(mkdir(pages_.c_str(), 0777), 0);
    WriteAll(pages_ + "/classic.iml", "<INTERFACE><PAGE></PAGE></INTERFACE>");
    WriteAll(pages_ + "/Zebra.gif", "GIF89a");
    WriteAll(pages_ + "/a.png", std::string("\x89PNG\0", 5));
    WriteAll(pages_ + "/empty.txt", "");
    WriteAll(pages_ + "/.hidden", "left out");
    out_ = std::tmpfile();
    err_ = std::tmpfile();
  }
  void TearDown() override {
    std::fclose(out_);
    std::fclose(err_);
    EXPECT_EQ(std::system(("rm -rf " + root_).c_str()), 0);
  }
  static std::string Captured(FILE* file) {
    std::string text;
    std::rewind(file);
    for (int c; (c = std::fgetc(file)) != EOF;) text += char(c);
    return text;
  }

  std::string root_, pages_;
  FILE* out_ = nullptr;
  FILE* err_ = nullptr;
};

TEST_F(ArchiveToolTest, PacksSortedBackToBackAfterTheDirectory) {
  const std::string path = root_ + "/pages.chnk";
  ASSERT_EQ(PackFolder(pages_, path, 2048000, out_, err_), 0) << Captured(err_);
  const std::string bytes = ReadAll(path);
  ASSERT_GE(bytes.size(), 20u);
  EXPECT_EQ(bytes.substr(0, 4), "CHNK");
  EXPECT_EQ(Big32(bytes, 8), 20u);
  EXPECT_EQ(Big32(bytes, 16), 4u) << "one record per file, all used";

  const char* order[] = {"Zebra.gif", "a.png", "classic.iml", "empty.txt"};  // byte order: capitals first
  const char* types[] = {"GIFf", "PNGf", "????", "TEXT"};
  const uint32_t sizes[] = {6, 5, 36, 0};
  uint32_t next = 20 + 4 * 80;
  for (int i = 0; i < 4; ++i) {
    const size_t record = 20 + 80 * size_t(i);
    EXPECT_EQ(std::string(bytes.c_str() + record), order[i]);
    EXPECT_EQ(Big32(bytes, record + 64), 3u) << "readable and writable";
    EXPECT_EQ(Big32(bytes, record + 72), sizes[i]);
    EXPECT_EQ(bytes.substr(record + 76, 4), types[i]);
    if (sizes[i]) {
      EXPECT_EQ(Big32(bytes, record + 68), next) << order[i];
      next += sizes[i];
    }
  }
  EXPECT_EQ(bytes.size(), next) << "the last entry ends the archive";
  EXPECT_EQ(bytes.substr(20 + 4 * 80, 6), "GIF89a");

  // The same folder packs to the same bytes.
  const std::string again = root_ + "/again.chnk";
  ASSERT_EQ(PackFolder(pages_, again, 2048000, out_, err_), 0);
  EXPECT_EQ(ReadAll(again), bytes);
}

TEST_F(ArchiveToolTest, RefusesAnArchiveOverTheLimit) {
  const std::string path = root_ + "/big.chnk";
  EXPECT_EQ(PackFolder(pages_, path, 20 + 4 * 80 + 46, out_, err_), 1);
  EXPECT_NE(Captured(err_).find("larger than 386 bytes"), std::string::npos) << Captured(err_);
  EXPECT_NE(access(path.c_str(), F_OK), 0) << "no archive is left behind";
  EXPECT_EQ(PackFolder(pages_, path, 20 + 4 * 80 + 47, out_, err_), 0) << "exactly the limit is fine";

  ASSERT_EQ(mkdir((pages_ + "/sub").c_str(), 0777), 0);
  EXPECT_EQ(PackFolder(pages_, path, 2048000, out_, err_), 1);
  EXPECT_NE(Captured(err_).find("not a plain file"), std::string::npos);
}

TEST_F(ArchiveToolTest, ListsAndExtractsWhatWasPacked) {
  const std::string path = root_ + "/pages.chnk";
  ASSERT_EQ(PackFolder(pages_, path, 2048000, out_, err_), 0);
  std::fclose(out_);
  out_ = std::tmpfile();
  ASSERT_EQ(ListArchive(path, out_, err_), 0);
  const std::string listing = Captured(out_);
  EXPECT_NE(listing.find("classic.iml                                  3        351         36  ????"),
            std::string::npos)
      << listing;
  EXPECT_NE(listing.find("4 entries in 4 records"), std::string::npos);

  const std::string unpacked = root_ + "/unpacked";
  ASSERT_EQ(ExtractArchive(path, unpacked, {}, out_, err_), 0) << Captured(err_);
  for (const char* name : {"Zebra.gif", "a.png", "classic.iml", "empty.txt"}) {
    EXPECT_EQ(ReadAll(unpacked + "/" + name), ReadAll(pages_ + "/" + name)) << name;
  }
  EXPECT_EQ(ExtractArchive(path, unpacked, {"missing"}, out_, err_), 1);
  EXPECT_NE(Captured(err_).find("missing: no such entry"), std::string::npos);

  WriteAll(root_ + "/not.chnk", "just text");
  EXPECT_EQ(ListArchive(root_ + "/not.chnk", out_, err_), 1);
  EXPECT_NE(Captured(err_).find("not a page archive"), std::string::npos);
}

TEST_F(ArchiveToolTest, ExtractsOddNamesAsEscapedFileNames) {
  // An archive made through the archive code, with names that no file name can hold as they are.
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

  EXPECT_EQ(ExtractArchive(path, root_ + "/odd", {}, out_, err_), 1) << "\"..\" cannot be extracted";
  EXPECT_EQ(access((root_ + "/odd/a%2Fb").c_str(), F_OK), 0);
}

}  // namespace
