// Helpers shared by the file layer's tests.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "files/file_system.h"
#include "tests/files/scratch_folder.h"

struct PathDisposer {
  void operator()(PathSpec* path) const { PathDispose(path); }
};
using UniquePath = std::unique_ptr<PathSpec, PathDisposer>;

// "C:\a\b" as the path text "/C/a/b".
inline std::string PathTextOf(const std::string& windowsPath) {
  std::string text = "/" + windowsPath.substr(0, 1) + windowsPath.substr(2);
  for (char& c : text) c = c == '\\' ? '/' : c;
  return text;
}

inline std::string TextOf(const PathSpec* path) {
  char text[1024];
  return PathToText(path, text, sizeof text) == kOk ? text : "<too long>";
}

inline UniqueHandle HandleOf(const std::string& bytes) {
  return UniqueHandle(HandleNewFromData(bytes.data(), bytes.size()));
}

// The whole item, or "<status>" when it cannot be read.
inline std::string ReadAll(PathSpec* base, Location location) {
  MemoryHandle data = nullptr;
  const Status status = FileReadAll(base, location, UINT32_MAX, false, &data);
  if (status != kOk) return "<" + std::to_string(status) + ">";
  UniqueHandle owned(data);
  return std::string(reinterpret_cast<const char*>(HandleData(data)), HandleGetSize(data));
}

// What FileCreate is given: a file or folder, or an archive file (or entry) of some capacity.
inline EntryInfo InfoNamed(const char* name, bool container = false, int archiveCapacity = -1) {
  EntryInfo info{};
  std::snprintf(info.name, sizeof info.name, "%s", name);
  info.readable = info.writable = 1;
  info.container = container || archiveCapacity >= 0;
  info.isArchive = archiveCapacity >= 0;
  info.countOrSize = archiveCapacity >= 0 ? uint32_t(archiveCapacity) : 0;
  return info;
}

// Starts the file layer and makes a scratch folder with a path record for it; checks afterwards that
// nothing was left open or mounted.
class FileLayerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(FileLayerStart(), kOk);
    folder_ = Resolve(nullptr, PathTextOf(scratch_.path()).c_str());
    ASSERT_TRUE(folder_);
  }
  void TearDown() override {
    folder_.reset();
    EXPECT_EQ(StreamFirstOpen(), nullptr) << "a stream was left open";
    EXPECT_EQ(VolumeFirstMounted(), nullptr) << "a volume was left mounted";
    EXPECT_TRUE(PathFirstLive() == FileLayerRoot() && !FileLayerRoot()->next) << "a path record was left";
  }

  UniquePath Resolve(PathSpec* base, Location location, Status expected = kOk, bool allowMissing = false) {
    PathSpec* path = nullptr;
    EXPECT_EQ(PathResolve(base, location, &path, allowMissing), expected);
    return UniquePath(path);
  }

  ScratchFolder scratch_;
  UniquePath folder_;
};
