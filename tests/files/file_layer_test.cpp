// The file layer on a scratch folder: locations and path texts, archives browsed as folders, whole-file
// writing and its clean-up, unique names. Run under Wine.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "files/archive.h"
#include "files/disk_stream.h"
#include "tests/files/archive_checks.h"
#include "tests/files/file_layer_checks.h"

namespace {

std::string DiskPathOf(const PathSpec* path) {
  return (path->drive ? std::string{path->drive, ':'} : std::string()) + path->folder;
}

// A mounted archive of the caller's handle, as the path record that unmounts it.
UniquePath Mount(MemoryHandle block, bool writable) {
  PathSpec* mounted = nullptr;
  EXPECT_EQ(PathMountBlock(block, writable, &mounted), kOk);
  return UniquePath(mounted);
}

Status Write(PathSpec* folder, const char* name, const std::string& bytes, bool replace = false, bool append = false) {
  return FileWriteAll(folder, name, replace, append, 0, 0, HandleOf(bytes).get());
}

TEST_F(FileLayerTest, TheMountedVolumeIsReachedByRecordAndByName) {
  UniqueHandle block(HandleNew(0));
  UniquePath volume = Mount(block.get(), true);
  ASSERT_EQ(Write(volume.get(), "classic.iml", "<INTERFACE>"), kOk);

  UniquePath page = Resolve(volume.get(), "classic.iml");
  EXPECT_EQ(ReadAll(page.get(), nullptr), "<INTERFACE>");
  EXPECT_EQ(TextOf(page.get()), "/_Virtual_/classic.iml");
  EXPECT_EQ(ReadAll(nullptr, "/_Virtual_/classic.iml"), "<INTERFACE>");
  EntryInfo info{};
  ASSERT_EQ(FileGetInfo(volume.get(), nullptr, &info, false), kOk);
  EXPECT_STREQ(info.name, "_Virtual_");
  EXPECT_TRUE(info.container && info.isArchive);
  Stream* stream = nullptr;
  EXPECT_EQ(FileOpen(volume.get(), nullptr, false, &stream), kErrWholeVolume);

  // The record that mounted the volume unmounts it; the block stays with its owner.
  page.reset();
  volume.reset();
  EXPECT_EQ(VolumeFirstMounted(), nullptr);
  EXPECT_GT(HandleGetSize(block.get()), 820u);
}

TEST_F(FileLayerTest, DriveTextsCodesAndVolumesReachTheirFolders) {
  char windows[MAX_PATH];
  GetWindowsDirectoryA(windows, MAX_PATH);
  UniquePath found = Resolve(nullptr, "/C/Windows");
  EXPECT_STRCASEEQ(DiskPathOf(found.get()).c_str(), windows);
  EXPECT_EQ(TextOf(found.get()), "/C/Windows");

  // The parent of a folder; of a drive's root there is none.
  ASSERT_EQ(PathResolve(found.get(), kLocationParent, nullptr, false), kOk);
  EXPECT_EQ(DiskPathOf(found.get()), "C:\\");
  EXPECT_EQ(PathResolve(found.get(), kLocationParent, nullptr, false), kErrPathNotFound);
  EXPECT_EQ(TextOf(Resolve(nullptr, 1).get()), "/C");

  // The program's folder is the root, and every special folder exists and is reached again by its text.
  char program[MAX_PATH];
  GetModuleFileNameA(nullptr, program, MAX_PATH);
  *std::strrchr(program, '\\') = 0;
  EXPECT_EQ(DiskPathOf(FileLayerRoot()), program);
  for (int code = kLocationCommonAppData; code <= kLocationProgramFolder; ++code) {
    UniquePath special = Resolve(nullptr, code);
    ASSERT_TRUE(special) << code;
    EntryInfo info{};
    EXPECT_EQ(FileGetInfo(special.get(), nullptr, &info, false), kOk) << code;
    EXPECT_TRUE(info.container) << code;
    EXPECT_EQ(DiskPathOf(Resolve(nullptr, TextOf(special.get()).c_str()).get()), DiskPathOf(special.get())) << code;
  }
  Resolve(nullptr, "/NoSuchVolume/x", kErrPathNotFound);
  Resolve(nullptr, -8, kErrArgument);
}

TEST_F(FileLayerTest, TheWalkTestsEachComponentOnTheWay) {
  scratch_.Put("note.txt", "plain text");
  Resolve(folder_.get(), "note.txt/inside", kErrDamagedArchive, true);
  Resolve(folder_.get(), "missing/inside", kErrFileNotFound, true);
  Resolve(folder_.get(), "missing", kErrFileNotFound);
  // The last component may be missing when asked; escapes are decoded on disk.
  UniquePath later = Resolve(folder_.get(), "to%20be.txt", kOk, true);
  EXPECT_EQ(DiskPathOf(later.get()), scratch_ / "to be.txt");
  // Separators inside a component are refused, also where an escape would make one on disk.
  Resolve(folder_.get(), "a:b", kErrBadName, true);
  EXPECT_EQ(Write(folder_.get(), "..%2F..%2Fescaped", "x"), kErrBadName);
  Resolve(folder_.get(), "%2E%2E%2Fx/y", kErrBadName, true);
  // A percent sign in a disk name survives the trip through the text.
  scratch_.Put("100%.txt", "full");
  UniquePath percent = Resolve(folder_.get(), "100%25.txt");
  EXPECT_EQ(TextOf(percent.get()), PathTextOf(scratch_.path()) + "/100%25.txt");
  EXPECT_EQ(ReadAll(nullptr, TextOf(percent.get()).c_str()), "full");
}

TEST_F(FileLayerTest, AnArchiveFileIsBrowsedAsAFolderWithANestedArchive) {
  ASSERT_EQ(FileCreate(folder_.get(), InfoNamed("box.chnk", true, 4)), kOk);
  EntryInfo info{};
  ASSERT_EQ(FileGetInfo(folder_.get(), "box.chnk", &info, true), kOk);
  EXPECT_TRUE(info.container && info.isArchive);
  ASSERT_EQ(FileGetInfo(folder_.get(), "box.chnk", &info, false), kOk);
  EXPECT_FALSE(info.container);

  UniquePath box = Resolve(folder_.get(), "box.chnk");
  ASSERT_EQ(FileCreate(box.get(), InfoNamed("inner.chnk", true, 2)), kOk);
  UniquePath inner = Resolve(folder_.get(), "box.chnk/inner.chnk");
  // Three entries in a nested archive of two records: its directory grows through the disk file.
  for (const char* name : {"a.txt", "b.txt", "c.txt"}) {
    ASSERT_EQ(Write(inner.get(), name, std::string("data of ") + name), kOk);
  }
  ASSERT_EQ(FileGetInfo(folder_.get(), "box.chnk/inner.chnk/b.txt", &info, false), kOk);
  EXPECT_EQ(info.countOrSize, 13u);
  ASSERT_EQ(FileGetInfo(box.get(), "inner.chnk", &info, true), kOk);
  EXPECT_EQ(info.countOrSize, 3u);

  // Streams through both archives, shared per entry, written and read.
  Stream* writer = nullptr;
  Stream* reader = nullptr;
  ASSERT_EQ(FileOpen(folder_.get(), "box.chnk/inner.chnk/a.txt", true, &writer), kOk);
  ASSERT_EQ(FileOpen(inner.get(), "a.txt", false, &reader), kOk);
  EXPECT_EQ(writer, reader);
  ASSERT_EQ(StreamWriteAt(writer, 13, 6, ", more"), kOk);
  EXPECT_EQ(StreamFlush(writer), kOk);
  StreamClose(writer);
  StreamClose(reader);
  EXPECT_EQ(FileRename(inner.get(), "c.txt", InfoNamed("d.txt")), kOk);
  EXPECT_EQ(FileDelete(inner.get(), "b.txt"), kOk);
  Resolve(folder_.get(), "box.chnk/nothing/a.txt", kErrPathNotFound);
  Resolve(folder_.get(), "box.chnk/inner.chnk/a.txt/deeper", kErrPathNotFound);
  inner.reset();
  box.reset();
  ASSERT_EQ(StreamFirstOpen(), nullptr);

  // Loaded afresh from the disk, both archives agree with their bytes and hold what was written.
  Stream* file = nullptr;
  ASSERT_EQ(DiskStreamOpen((scratch_ / "box.chnk").c_str(), false, &file), kOk);
  EXPECT_TRUE(ReloadsTheSame(file));
  Stream* nested = nullptr;
  ASSERT_EQ(ArchiveOpenEntry(file, "inner.chnk", false, true, &nested), kOk);
  EXPECT_TRUE(ReloadsTheSame(nested));
  StreamClose(nested);
  StreamClose(file);
  UniqueHandle copy = HandleOf(scratch_.Get("box.chnk"));
  UniquePath volume = Mount(copy.get(), false);
  EXPECT_EQ(ReadAll(volume.get(), "inner.chnk/a.txt"), "data of a.txt, more");
  EXPECT_EQ(ReadAll(volume.get(), "inner.chnk/d.txt"), "data of c.txt");
  EXPECT_EQ(ReadAll(volume.get(), "inner.chnk/b.txt"), "<-7203>");
}

TEST_F(FileLayerTest, WriteAllCreatesReplacesAndAppends) {
  EXPECT_EQ(Write(folder_.get(), "out.txt", "one"), kOk);
  EXPECT_EQ(Write(folder_.get(), "out.txt", "two"), kErrExists);
  EXPECT_EQ(Write(folder_.get(), "out.txt", ", two", false, true), kOk);
  EXPECT_EQ(scratch_.Get("out.txt"), "one, two");
  EXPECT_EQ(Write(folder_.get(), "out.txt", "3", true), kOk);
  EXPECT_EQ(scratch_.Get("out.txt"), "3");
  EntryInfo info{};
  ASSERT_EQ(FileGetInfo(folder_.get(), "out.txt", &info, true), kOk);
  EXPECT_EQ(info.type, MakeFourCC("TEXT"));
  EXPECT_EQ(info.countOrSize, 1u);

  // Renaming on disk changes the name and the flags.
  EntryInfo renamed = InfoNamed("renamed.txt");
  renamed.writable = 0;
  ASSERT_EQ(FileRename(folder_.get(), "out.txt", renamed), kOk);
  EXPECT_EQ(scratch_.Get("renamed.txt") + scratch_.Get("out.txt"), "3<absent>");
  ASSERT_EQ(FileGetInfo(folder_.get(), "renamed.txt", &info, true), kOk);
  EXPECT_FALSE(info.writable);

  // A folder with something in it is not deleted, nor replaced by an item.
  ASSERT_EQ(FileCreate(folder_.get(), InfoNamed("full", true)), kOk);
  UniquePath full = Resolve(folder_.get(), "full");
  ASSERT_EQ(Write(full.get(), "x", "x"), kOk);
  EXPECT_EQ(FileDelete(folder_.get(), "full"), kErrBusy);
  EXPECT_EQ(Write(folder_.get(), "full", "data", true), kErrBusy);
  EXPECT_EQ(ReadAll(full.get(), "x"), "x");
  ASSERT_EQ(FileDelete(full.get(), "x"), kOk);
  // An empty one is; archive data (an empty archive of three records) makes an archive.
  const std::string archive = std::string("CHNK\0\0\0\x14\0\0\0\x14\0\0\0\x50\0\0\0\x03", 20);
  EXPECT_EQ(Write(folder_.get(), "full", archive + std::string(240, '\0'), true), kOk);
  ASSERT_EQ(FileGetInfo(folder_.get(), "full", &info, true), kOk);
  EXPECT_TRUE(info.container && info.isArchive);
  EXPECT_EQ(info.countOrSize, 3u);
  EXPECT_EQ(FileDelete(folder_.get(), "full"), kOk);
  EXPECT_EQ(FileDelete(folder_.get(), "full"), kErrFileNotFound);
}

TEST_F(FileLayerTest, FailedWritesCleanUpAfterThemselves) {
  // On a mounted volume whose block is locked, nothing can grow.
  UniqueHandle block(HandleNew(0));
  UniquePath volume = Mount(block.get(), true);
  ASSERT_EQ(Write(volume.get(), "a", "old a"), kOk);
  ASSERT_EQ(Write(volume.get(), "b", "old b"), kOk);
  {
    HandleLockScope locked(block.get());
    EXPECT_EQ(Write(volume.get(), "new", "data"), kErrState);
    EXPECT_EQ(Write(volume.get(), "a", " and more", false, true), kErrState);
    EXPECT_EQ(ReadAll(volume.get(), "a"), "old a");  // a failed append keeps the old contents
    EXPECT_EQ(Write(volume.get(), "a", "a longer a", true), kErrState);
  }
  EXPECT_EQ(ReadAll(volume.get(), "new"), "<-7203>");  // created by the call, deleted again
  EXPECT_EQ(ReadAll(volume.get(), "a"), "");           // being replaced: left empty
  EXPECT_EQ(ReadAll(volume.get(), "b"), "old b");
  Stream* archive = nullptr;
  ASSERT_EQ(VolumeGetArchive(volume->ownedVolume, &archive), kOk);
  EXPECT_TRUE(ReloadsTheSame(archive));
}

TEST_F(FileLayerTest, UniqueNamesKeepTheirLimitsAndAreFree) {
  char name[kEscapedNameSize];
  const std::string prefix(20, 'p');
  EXPECT_EQ(FileMakeUniqueName(folder_.get(), prefix.c_str(), "123456", name), kErrBadName);
  ASSERT_EQ(FileMakeUniqueName(folder_.get(), prefix.c_str(), "12345", name), kOk);
  const std::string made = name;
  ASSERT_EQ(made.size(), 29u);
  EXPECT_EQ(made.substr(0, 20), prefix);
  EXPECT_EQ(made.substr(24), "12345");
  EXPECT_EQ(made.substr(20, 4).find_first_not_of("0123456789ABCDEF"), std::string::npos);
  EXPECT_EQ(FileMakeUniqueName(folder_.get(), nullptr, "a/b", name), kErrBadName);

  // Names taken are skipped, on disk and in archives.
  ASSERT_EQ(FileCreate(folder_.get(), InfoNamed("names.chnk", true, 0)), kOk);
  UniquePath archive = Resolve(folder_.get(), "names.chnk");
  for (PathSpec* folder : {folder_.get(), archive.get()}) {
    std::string names;
    for (int i = 0; i < 12; ++i) {
      ASSERT_EQ(FileMakeUniqueName(folder, "n", ".txt", name), kOk);
      EXPECT_EQ(names.find(name), std::string::npos) << name;
      names += name;
      ASSERT_EQ(Write(folder, name, name), kOk);
    }
  }
}

}  // namespace
