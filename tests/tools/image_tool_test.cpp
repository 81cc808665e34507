#include "tools/image/image_tool.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include "images/image.h"
#include "runtime/memory.h"
#include "tests/graphics/pixmap_test_support.h"

namespace {

std::string ReadAll(const std::string& path) {
  std::stringstream contents;
  contents << std::ifstream(path, std::ios::binary).rdbuf();
  return contents.str();
}

// A scratch folder with a transparent GIF in it; what the commands say goes to files.
class ImageToolTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/image_tool_XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    root_ = pattern;
    UniquePixmap map = NewMap(5, 3, kPixelIndexed, &SystemColourTable());
    Fill(map.get(), [](int32_t x, int32_t y) { return x + 5 * y; });
    ImageInfo info{};
    ImageInfoReset(&info);
    info.format = kImageGif;
    const MaskDescriptor key = {kTransferKeyColour, 7, 0, 0, 0};
    MemoryHandle encoded = nullptr;
    ASSERT_EQ(ImageWrite(map.get(), nullptr, &key, &info, &encoded), kOk);
    std::ofstream(root_ + "/logo.gif", std::ios::binary)
        .write(reinterpret_cast<const char*>(HandleData(encoded)), std::streamsize(HandleGetSize(encoded)));
    HandleDispose(encoded);
  }
  void TearDown() override {
    std::fclose(out_);
    std::fclose(err_);
    EXPECT_EQ(std::system(("rm -rf " + root_).c_str()), 0);
  }
  static std::string Said(FILE*& file) {
    std::string text;
    std::rewind(file);
    for (int c; (c = std::fgetc(file)) != EOF;) text += char(c);
    std::fclose(file);
    file = std::tmpfile();
    return text;
  }

  std::string root_;
  FILE* out_ = std::tmpfile();
  FILE* err_ = std::tmpfile();
};

TEST_F(ImageToolTest, InfoDescribesFormatSizeDepthAndTransparency) {
  ASSERT_EQ(ShowImageInfo(root_ + "/logo.gif", out_, err_), 0) << Said(err_);
  EXPECT_EQ(Said(out_),
            "format: GIF\n"
            "size: 5 x 3 pixels\n"
            "depth: 8 bits per pixel, indexed, 256 colours\n"
            "transparency: colour index 7\n");
  std::ofstream(root_ + "/notes.txt") << "not a picture at all, but long enough to be looked at";
  EXPECT_EQ(ShowImageInfo(root_ + "/notes.txt", out_, err_), 1);
  EXPECT_NE(Said(err_).find("notes.txt: not a picture in a format this tool reads"), std::string::npos);
  EXPECT_EQ(ShowImageInfo(root_ + "/missing.png", out_, err_), 1);
  EXPECT_NE(Said(err_).find("missing.png: No such file"), std::string::npos);
}

TEST_F(ImageToolTest, ConvertWritesTheFormatTheExtensionNames) {
  const struct {
    const char* name;
    const char* format;
    const char* depth;
  } outputs[] = {{"logo.BMP", "BMP", "8 bits per pixel, indexed, 256 colours"},
                 {"logo.tga", "Targa", "8 bits per pixel, indexed, 256 colours"},
                 {"logo.pct", "PICT", "8 bits per pixel, indexed, 256 colours"},
                 {"logo.jpeg", "JPEG", "32 bits per pixel, direct colour"},
                 {"logo.png", "PNG", "8 bits per pixel, indexed, 256 colours"}};
  for (const auto& o : outputs) {
    SCOPED_TRACE(o.name);
    const std::string path = root_ + "/" + o.name;
    ASSERT_EQ(ConvertImage(root_ + "/logo.gif", path, -1, out_, err_), 0) << Said(err_);
    EXPECT_EQ(Said(out_).find(path + ": " + o.format + ", 5 x 3 pixels, "), 0u);
    ASSERT_EQ(ShowImageInfo(path, out_, err_), 0) << Said(err_);
    const std::string said = Said(out_);
    EXPECT_NE(said.find(std::string("format: ") + o.format + "\n"), std::string::npos) << said;
    EXPECT_NE(said.find(std::string("depth: ") + o.depth + "\n"), std::string::npos) << said;
  }
  // A lower JPEG quality gives a smaller file.
  ASSERT_EQ(ConvertImage(root_ + "/logo.gif", root_ + "/small.jpg", 10, out_, err_), 0);
  EXPECT_LT(ReadAll(root_ + "/small.jpg").size(), ReadAll(root_ + "/logo.jpeg").size());
  // Formats that cannot take the picture, or names that say no format, leave nothing behind.
  EXPECT_EQ(ConvertImage(root_ + "/logo.gif", root_ + "/logo.ppat", -1, out_, err_), 1);
  EXPECT_NE(Said(err_).find("logo.ppat: the data ends early or gives a size out of range"), std::string::npos);
  EXPECT_EQ(access((root_ + "/logo.ppat").c_str(), F_OK), -1);
  EXPECT_EQ(ConvertImage(root_ + "/logo.gif", root_ + "/logo.xcf", -1, out_, err_), 1);
  EXPECT_NE(Said(err_).find("names no format"), std::string::npos);
}

TEST(ImageToolNamesTest, ExtensionsNameFormats) {
  EXPECT_EQ(ImageFormatOfName("a.jpg"), kImageJpeg);
  EXPECT_EQ(ImageFormatOfName("dir.v2/A.JPEG"), kImageJpeg);
  EXPECT_EQ(ImageFormatOfName("x.pict"), kImagePict);
  EXPECT_EQ(ImageFormatOfName("x.ppat"), kImagePattern);
  EXPECT_EQ(ImageFormatOfName("x.tga"), kImageTarga);
  EXPECT_EQ(ImageFormatOfName("gif"), 0u);
  EXPECT_EQ(ImageFormatOfName("x.gif.txt"), 0u);
}

}  // namespace
