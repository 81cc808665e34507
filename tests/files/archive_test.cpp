#include "files/archive.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "files/memory_stream.h"
#include "tests/files/archive_checks.h"

namespace {

class ArchiveTest : public ::testing::Test {
 protected:
  void SetUp() override {
    bytes_.reset(HandleNew(0));
    ASSERT_EQ(MemoryStreamOpen(bytes_.get(), true, &archive_), kOk);
    ASSERT_EQ(ArchiveFormat(archive_, 10), kOk);
  }
  void TearDown() override {
    StreamClose(archive_);
    EXPECT_EQ(StreamFirstOpen(), nullptr) << "a stream was left open";
  }

  uint32_t Length() const { return uint32_t(HandleGetSize(bytes_.get())); }
  std::string BytesAt(uint32_t offset, uint32_t count) const {
    return std::string(reinterpret_cast<const char*>(HandleData(bytes_.get())) + offset, count);
  }

  Status Create(const char* name, uint32_t flags = kEntryReadable | kEntryWritable, uint32_t capacity = 0) {
    EntryInfo info{};
    std::strcpy(info.name, name);
    info.readable = (flags & kEntryReadable) != 0;
    info.writable = (flags & kEntryWritable) != 0;
    info.container = (flags & kEntryContainer) != 0;
    info.hidden = (flags & kEntryHidden) != 0;
    info.countOrSize = capacity;
    info.type = MakeFourCC("TEXT");
    return ArchiveCreateEntry(archive_, info);
  }
  Status Write(const char* name, uint32_t position, const std::string& data, Stream* archive = nullptr) {
    Stream* entry = nullptr;
    Status status = ArchiveOpenEntry(archive ? archive : archive_, name, true, false, &entry);
    if (status == kOk) status = StreamWriteAt(entry, position, uint32_t(data.size()), data.data());
    if (entry) StreamClose(entry);
    return status;
  }
  std::string Read(const char* name, Stream* archive = nullptr) {
    Stream* entry = nullptr;
    if (ArchiveOpenEntry(archive ? archive : archive_, name, false, false, &entry) != kOk) return "<cannot open>";
    std::string data(entry->length, '\0');
    const Status status = StreamRead(entry, entry->length, data.data());
    StreamClose(entry);
    return status == kOk ? data : "<cannot read>";
  }
  // "a" and "b", four bytes each, back to back at 820 and 824.
  void MakeTwoEntries() {
    ASSERT_EQ(Create("a"), kOk);
    ASSERT_EQ(Write("a", 0, "AAAA"), kOk);
    ASSERT_EQ(Create("b"), kOk);
    ASSERT_EQ(Write("b", 0, "BBBB"), kOk);
  }
  ArchiveEntry Record(const char* name) {
    ArchiveEntry entry{};
    EXPECT_TRUE(ArchiveFindEntry(archive_, name, nullptr, &entry)) << name;
    return entry;
  }

  UniqueHandle bytes_;
  Stream* archive_ = nullptr;
};

TEST_F(ArchiveTest, FormatGivesTenRecordsOutsideOneToAThousand) {
  for (uint32_t capacity : {0u, 5000u, 1001u}) {
    ASSERT_EQ(ArchiveFormat(archive_, capacity), kOk);
    EXPECT_EQ(Length(), 820u) << capacity;
    EXPECT_EQ(ArchiveCapacity(archive_), 10u);
  }
  ASSERT_EQ(ArchiveFormat(archive_, 1000), kOk);
  EXPECT_EQ(Length(), 20u + 80u * 1000u);
  ASSERT_EQ(ArchiveFormat(archive_, 1), kOk);
  EXPECT_EQ(BytesAt(0, 20), std::string("CHNK\0\0\0\x14\0\0\0\x14\0\0\0\x50\0\0\0\x01", 20));
  EXPECT_EQ(BytesAt(20, 80), std::string(80, '\0'));
  EXPECT_TRUE(ReloadsTheSame(archive_));
}

TEST_F(ArchiveTest, DamagedHeadersAreRefused) {
  const std::string valid = BytesAt(0, 20);
  struct Case {
    const char* what;
    uint32_t offset;
    std::string bytes;
  } cases[] = {
      {"magic", 0, "CHNX"},
      {"header size below 20", 4, std::string("\0\0\0\x13", 4)},
      {"header size beyond the end", 4, std::string("\0\0\x04\0", 4)},
      {"directory past the end", 8, std::string("\0\0\0\x15", 4)},
      {"directory inside the header", 8, std::string("\0\0\0\x10", 4)},
      {"records shorter than their fields", 12, std::string("\0\0\0\x4f", 4)},
      {"record count that overflows 32 bits", 16, std::string("\x04\0\0\0", 4)},
  };
  for (const Case& c : cases) {
    UniqueHandle damaged(HandleDuplicate(bytes_.get()));
    BytesCopy(HandleData(damaged.get()) + c.offset, c.bytes.data(), c.bytes.size());
    EXPECT_FALSE(ArchiveIsValidBlock(damaged.get())) << c.what;
    Stream* stream = nullptr;
    ASSERT_EQ(MemoryStreamOpen(damaged.get(), false, &stream), kOk);
    EXPECT_EQ(ArchiveLoadDirectory(stream), kErrDamagedArchive) << c.what;
    EXPECT_EQ(stream->directory, nullptr);
    StreamClose(stream);
  }
  UniqueHandle shortOne(HandleNewFromData(valid.data(), 19));
  EXPECT_FALSE(ArchiveIsValidBlock(shortOne.get()));
  EXPECT_TRUE(ArchiveIsValidBlock(bytes_.get()));
}

TEST_F(ArchiveTest, EntriesAreCreatedWrittenAndReadByExactName) {
  ASSERT_EQ(Create("classic.iml"), kOk);
  EXPECT_EQ(Create("classic.iml"), kErrExists);
  ASSERT_EQ(Write("classic.iml", 0, "<INTERFACE>"), kOk);
  EXPECT_EQ(Read("classic.iml"), "<INTERFACE>");
  EXPECT_EQ(Record("classic.iml").offset, 820u);  // the first data goes to the end of the archive

  Stream* entry = nullptr;
  EXPECT_EQ(ArchiveOpenEntry(archive_, "Classic.iml", false, false, &entry), kErrFileNotFound);
  EXPECT_EQ(entry, nullptr);
  EXPECT_EQ(ArchiveOpenEntry(archive_, "", false, false, &entry), kErrFileNotFound);

  // A name longer than a record holds could never be found again.
  EXPECT_EQ(Create(std::string(64, 'n').c_str()), kErrBadName);
  EXPECT_EQ(Create(std::string(63, 'n').c_str()), kOk);
  EXPECT_EQ(Create(""), kErrBadName);
  EXPECT_TRUE(ReloadsTheSame(archive_));
}

TEST_F(ArchiveTest, EveryOperationKeepsTheArchivePosition) {
  ASSERT_EQ(StreamSetPosition(archive_, 7), kOk);
  ASSERT_EQ(Create("a"), kOk);
  ASSERT_EQ(Write("a", 0, "data"), kOk);
  EXPECT_EQ(Read("a"), "data");
  EntryInfo info{};
  ASSERT_EQ(ArchiveGetEntryInfo(archive_, "a", &info), kOk);
  std::strcpy(info.name, "b");
  ASSERT_EQ(ArchiveSetEntryInfo(archive_, "a", info), kOk);
  ASSERT_EQ(ArchiveDeleteEntry(archive_, "b"), kOk);
  uint32_t position = 0;
  ASSERT_EQ(StreamGetPosition(archive_, &position), kOk);
  EXPECT_EQ(position, 7u);
}

TEST_F(ArchiveTest, EleventhEntryDoublesALastDirectoryInPlace) {
  for (int i = 0; i < 10; ++i) ASSERT_EQ(Create(("entry" + std::to_string(i)).c_str()), kOk);
  ASSERT_EQ(Create("eleventh"), kOk);
  EXPECT_EQ(ArchiveCapacity(archive_), 20u);
  EXPECT_EQ(Length(), 20u + 20u * 80u);
  uint32_t index = 0;
  ASSERT_TRUE(ArchiveFindEntry(archive_, "eleventh", &index, nullptr));
  EXPECT_EQ(index, 10u);
  for (int i = 0; i < 10; ++i) {
    uint32_t found = 0;
    EXPECT_TRUE(ArchiveFindEntry(archive_, ("entry" + std::to_string(i)).c_str(), &found, nullptr));
    EXPECT_EQ(found, uint32_t(i));
  }
  EXPECT_TRUE(ReloadsTheSame(archive_));
}

TEST_F(ArchiveTest, FullDirectoryBeforeDataMovesToTheEndAndZeroesItsOldPlace) {
  ASSERT_EQ(ArchiveFormat(archive_, 2), kOk);
  ASSERT_EQ(Create("one"), kOk);
  ASSERT_EQ(Write("one", 0, "first"), kOk);
  ASSERT_EQ(Create("two"), kOk);
  ASSERT_EQ(Write("two", 0, "second"), kOk);
  const uint32_t before = Length();
  ASSERT_EQ(Create("three"), kOk);
  EXPECT_EQ(ArchiveCapacity(archive_), 4u);
  EXPECT_EQ(Length(), before + 4 * 80);
  EXPECT_EQ(BytesAt(8, 4), std::string("\0\0\0", 3) + char(before)) << "the directory's new offset";
  EXPECT_EQ(BytesAt(16, 4), std::string("\0\0\0\x04", 4)) << "and its new count";
  EXPECT_EQ(BytesAt(20, 160), std::string(160, '\0'));
  EXPECT_EQ(Read("one"), "first");
  EXPECT_EQ(Read("two"), "second");
  EXPECT_TRUE(ReloadsTheSame(archive_));
}

TEST_F(ArchiveTest, GrowingAnEntryThatIsNotLastMovesItAndLeavesAGap) {
  ASSERT_NO_FATAL_FAILURE(MakeTwoEntries());
  ASSERT_EQ(Length(), 828u);

  ASSERT_EQ(Write("a", 4, "x"), kOk);
  EXPECT_EQ(Record("a").offset, 828u);
  EXPECT_EQ(Length(), 833u);
  EXPECT_EQ(BytesAt(820, 4), "AAAA") << "the old place stays as a gap";
  EXPECT_EQ(Read("a"), "AAAAx");
  EXPECT_EQ(Read("b"), "BBBB");

  // The last block grows and shrinks in place; a shrinking block that is not last stays where it is.
  ASSERT_EQ(Write("a", 5, "yz"), kOk);
  EXPECT_EQ(Record("a").offset, 828u);
  EXPECT_EQ(Length(), 835u);
  Stream* b = nullptr;
  ASSERT_EQ(ArchiveOpenEntry(archive_, "b", true, false, &b), kOk);
  ASSERT_EQ(StreamSetLength(b, 2), kOk);
  StreamClose(b);
  EXPECT_EQ(Record("b").offset, 824u);
  EXPECT_EQ(Read("b"), "BB");
  EXPECT_EQ(Length(), 835u);
  EXPECT_TRUE(ReloadsTheSame(archive_));
}

TEST_F(ArchiveTest, DeletingTheLastEntryShortensTheArchive) {
  ASSERT_NO_FATAL_FAILURE(MakeTwoEntries());

  ASSERT_EQ(ArchiveDeleteEntry(archive_, "a"), kOk);  // not last: a gap
  EXPECT_EQ(Length(), 828u);
  EXPECT_FALSE(ArchiveFindEntry(archive_, "a", nullptr, nullptr));
  EXPECT_TRUE(ReloadsTheSame(archive_));

  ASSERT_EQ(ArchiveDeleteEntry(archive_, "b"), kOk);
  EXPECT_EQ(Length(), 824u);
  EXPECT_EQ(ArchiveDeleteEntry(archive_, "b"), kErrFileNotFound);
  EXPECT_TRUE(ReloadsTheSame(archive_));

  // A freed record is used again.
  ASSERT_EQ(Create("c"), kOk);
  uint32_t index = 99;
  ASSERT_TRUE(ArchiveFindEntry(archive_, "c", &index, nullptr));
  EXPECT_EQ(index, 0u);
}

TEST_F(ArchiveTest, SlashesAreRefusedAndEscapedSlashesNameEntries) {
  ASSERT_EQ(Create("plain"), kOk);
  Stream* entry = nullptr;
  EntryInfo info{};
  std::strcpy(info.name, "ok");
  EXPECT_EQ(Create("a/b"), kErrBadName);
  EXPECT_EQ(ArchiveOpenEntry(archive_, "a/b", false, false, &entry), kErrBadName);
  EXPECT_EQ(ArchiveDeleteEntry(archive_, "a/b"), kErrBadName);
  EXPECT_EQ(ArchiveGetEntryInfo(archive_, "a/b", &info), kErrBadName);
  EXPECT_EQ(ArchiveSetEntryInfo(archive_, "a/b", info), kErrBadName);
  std::strcpy(info.name, "x:y");
  EXPECT_EQ(ArchiveSetEntryInfo(archive_, "plain", info), kErrBadName);

  ASSERT_EQ(Create("a%2Fb"), kOk);
  EXPECT_TRUE(ArchiveFindEntry(archive_, "a/b", nullptr, nullptr));
  ASSERT_EQ(Write("a%2fb", 0, "slash"), kOk);
  ASSERT_EQ(ArchiveGetEntryInfo(archive_, "a%2Fb", &info), kOk);
  EXPECT_STREQ(info.name, "a%2Fb");
  EXPECT_EQ(info.countOrSize, 5u);
  EXPECT_TRUE(ReloadsTheSame(archive_));
}

TEST_F(ArchiveTest, FlagsGovernOpening) {
  ASSERT_EQ(Create("writeonly", kEntryWritable), kOk);
  ASSERT_EQ(Create("readonly", kEntryReadable), kOk);
  Stream* entry = nullptr;
  EXPECT_EQ(ArchiveOpenEntry(archive_, "writeonly", false, false, &entry), kErrNotPermitted);
  EXPECT_EQ(ArchiveOpenEntry(archive_, "readonly", true, false, &entry), kErrNotPermitted);
  ASSERT_EQ(ArchiveOpenEntry(archive_, "readonly", false, false, &entry), kOk);
  StreamClose(entry);

  // On a stream that is not writable, entries open for reading only and nothing changes.
  Stream* readOnly = nullptr;
  UniqueHandle copy(HandleDuplicate(bytes_.get()));
  ASSERT_EQ(MemoryStreamOpen(copy.get(), false, &readOnly), kOk);
  ASSERT_EQ(Create("rw"), kOk);
  EXPECT_EQ(ArchiveOpenEntry(readOnly, "readonly", true, false, &entry), kErrNotPermitted);
  ASSERT_EQ(ArchiveOpenEntry(readOnly, "readonly", false, false, &entry), kOk);
  EXPECT_EQ(StreamWrite(entry, 1, "x"), kErrNotPermitted);
  StreamClose(entry);
  EntryInfo info{};
  std::strcpy(info.name, "new");
  EXPECT_EQ(ArchiveCreateEntry(readOnly, info), kErrNotPermitted);
  EXPECT_EQ(ArchiveDeleteEntry(readOnly, "readonly"), kErrNotPermitted);
  StreamClose(readOnly);
}

TEST_F(ArchiveTest, OpenStreamsAreSharedAndBlockDeletion) {
  ASSERT_EQ(Create("shared"), kOk);
  Stream* first = nullptr;
  Stream* second = nullptr;
  ASSERT_EQ(ArchiveOpenEntry(archive_, "shared", true, false, &first), kOk);
  ASSERT_EQ(ArchiveOpenEntry(archive_, "shared", false, false, &second), kOk);
  EXPECT_EQ(first, second);
  EXPECT_EQ(first->references, 2u);
  EXPECT_EQ(archive_->references, 2u) << "the entry holds its archive";

  ASSERT_EQ(StreamWrite(first, 3, "abc"), kOk);
  EXPECT_EQ(ArchiveDeleteEntry(archive_, "shared"), kErrBusy);
  StreamClose(first);
  EXPECT_EQ(ArchiveDeleteEntry(archive_, "shared"), kErrBusy);
  StreamClose(second);
  EXPECT_EQ(archive_->references, 1u);
  EXPECT_EQ(ArchiveDeleteEntry(archive_, "shared"), kOk);
}

TEST_F(ArchiveTest, EntryStreamsReadAllOrNothingAndSeeMovesOfTheirData) {
  ASSERT_EQ(Create("a"), kOk);
  ASSERT_EQ(Create("b"), kOk);
  ASSERT_EQ(Write("a", 0, "0123"), kOk);
  ASSERT_EQ(Write("b", 0, "bb"), kOk);
  Stream* reader = nullptr;
  ASSERT_EQ(ArchiveOpenEntry(archive_, "a", false, false, &reader), kOk);
  char buffer[8] = "-------";
  ASSERT_EQ(StreamSetPosition(reader, 2), kOk);
  EXPECT_EQ(StreamRead(reader, 3, buffer), kErrPastEnd);
  EXPECT_EQ(std::string(buffer), "-------");
  EXPECT_EQ(reader->position, 2u);
  EXPECT_EQ(StreamSetPosition(reader, 5), kErrPastEnd);

  ASSERT_EQ(Write("a", 4, "45"), kOk);  // moves a's data behind b, through a stream of its own
  ASSERT_EQ(StreamSetPosition(reader, 0), kOk);
  ASSERT_EQ(StreamRead(reader, 6, buffer), kOk) << "the shared stream sees the new length";
  EXPECT_EQ(std::string(buffer, 6), "012345");
  StreamClose(reader);
}

TEST_F(ArchiveTest, EntriesOutsideTheArchiveAreDamaged) {
  ASSERT_EQ(Create("a"), kOk);
  ASSERT_EQ(Write("a", 0, "data"), kOk);
  // Claim a size that runs past the end of the archive.
  HandleData(bytes_.get())[20 + 72 + 3] = 200;
  Stream* fresh = nullptr;
  UniqueHandle copy(HandleDuplicate(bytes_.get()));
  ASSERT_EQ(MemoryStreamOpen(copy.get(), true, &fresh), kOk);
  Stream* entry = nullptr;
  EXPECT_EQ(ArchiveOpenEntry(fresh, "a", false, false, &entry), kErrDamagedArchive);
  StreamClose(fresh);
}

TEST_F(ArchiveTest, RenamingKeepsDataAndContainerFlag) {
  ASSERT_EQ(Create("old.txt"), kOk);
  ASSERT_EQ(Write("old.txt", 0, "kept"), kOk);
  ASSERT_EQ(Create("other"), kOk);
  EntryInfo info{};
  std::strcpy(info.name, "other");
  info.readable = 1;
  EXPECT_EQ(ArchiveSetEntryInfo(archive_, "old.txt", info), kErrExists);
  EXPECT_EQ(ArchiveSetEntryInfo(archive_, "missing", info), kErrFileNotFound);

  std::strcpy(info.name, "new.png");
  info.container = 1;  // not changed by a rename
  info.hidden = 1;
  ASSERT_EQ(ArchiveSetEntryInfo(archive_, "old.txt", info), kOk);
  EXPECT_FALSE(ArchiveFindEntry(archive_, "old.txt", nullptr, nullptr));
  const ArchiveEntry renamed = Record("new.png");
  EXPECT_EQ(renamed.flags, kEntryReadable | kEntryHidden);
  EXPECT_EQ(renamed.type, MakeFourCC("PNGf")) << "no type given: the table's type for the new name";
  EXPECT_EQ(Read("new.png"), "kept");

  info.type = MakeFourCC("JPEG");
  ASSERT_EQ(ArchiveSetEntryInfo(archive_, "new.png", info), kOk) << "the same name may stay";
  EXPECT_EQ(Record("new.png").type, MakeFourCC("JPEG"));
  EXPECT_TRUE(ReloadsTheSame(archive_));
}

TEST_F(ArchiveTest, NestedArchivesLiveInsideAnEntry) {
  ASSERT_EQ(Create("inner", kEntryReadable | kEntryWritable | kEntryContainer, 3), kOk);
  EntryInfo info{};
  ASSERT_EQ(ArchiveGetEntryInfo(archive_, "inner", &info), kOk);
  EXPECT_TRUE(info.isArchive && info.container);
  EXPECT_EQ(info.countOrSize, 0u);
  EXPECT_EQ(info.type, MakeFourCC("TEXT"));
  EXPECT_EQ(info.creator, MakeFourCC("ttxt"));
  EXPECT_EQ(Record("inner").size, 20u + 3 * 80u);

  Stream* nested = nullptr;
  ASSERT_EQ(ArchiveOpenEntry(archive_, "inner", true, true, &nested), kOk);
  EXPECT_EQ(ArchiveCapacity(nested), 3u);
  EntryInfo deep{};
  std::strcpy(deep.name, "deep.txt");
  deep.readable = deep.writable = 1;
  ASSERT_EQ(ArchiveCreateEntry(nested, deep), kOk);
  ASSERT_EQ(Write("deep.txt", 0, "inside", nested), kOk);
  EXPECT_EQ(Read("deep.txt", nested), "inside");
  EXPECT_TRUE(ReloadsTheSame(nested));
  StreamClose(nested);

  ASSERT_EQ(ArchiveGetEntryInfo(archive_, "inner", &info), kOk);
  EXPECT_EQ(info.countOrSize, 1u);
  EXPECT_TRUE(ReloadsTheSame(archive_));
}

}  // namespace
