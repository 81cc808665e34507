#include "files/archive.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "files/memory_stream.h"
#include "tests/files/archive_checks.h"

namespace {

constexpr uint32_t kReadWrite = kEntryReadable | kEntryWritable;

// An archive of 10 records in a memory handle, with helpers that work on it or on a nested one.
class ArchiveTest : public ::testing::Test {
 protected:
  void SetUp() override {
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

  Status Create(const char* name, uint32_t flags = kReadWrite, uint32_t capacity = 0, Stream* archive = nullptr) {
    EntryInfo info{};
    std::strcpy(info.name, name);
    info.readable = (flags & kEntryReadable) != 0;
    info.writable = (flags & kEntryWritable) != 0;
    info.container = (flags & kEntryContainer) != 0;
    info.countOrSize = capacity;
    info.type = MakeFourCC("TEXT");
    return StillValid(ArchiveCreateEntry(archive ? archive : archive_, info), archive);
  }
  Status Write(const char* name, uint32_t position, const std::string& data, Stream* archive = nullptr) {
    Stream* entry = nullptr;
    Status status = ArchiveOpenEntry(archive ? archive : archive_, name, true, false, &entry);
    if (status == kOk) status = StreamWriteAt(entry, position, uint32_t(data.size()), data.data());
    if (entry) StreamClose(entry);
    return StillValid(status, archive);
  }
  // Every change the helpers make must leave the archive, and a nested one, loadable from its bytes.
  Status StillValid(Status status, Stream* nested) {
    if (status != kOk) return status;
    EXPECT_TRUE(ReloadsTheSame(archive_));
    if (nested) {
      EXPECT_TRUE(ReloadsTheSame(nested));
    }
    return status;
  }
  Status Delete(const char* name) { return StillValid(ArchiveDeleteEntry(archive_, name), nullptr); }
  Status CreateWith(const char* name, const std::string& data) {
    const Status status = Create(name);
    return status == kOk ? Write(name, 0, data) : status;
  }
  std::string Read(const char* name, Stream* archive = nullptr) {
    Stream* entry = nullptr;
    if (ArchiveOpenEntry(archive ? archive : archive_, name, false, false, &entry) != kOk) return "<cannot open>";
    std::string data(entry->length, '\0');
    const Status status = StreamRead(entry, entry->length, data.data());
    StreamClose(entry);
    return status == kOk ? data : "<cannot read>";
  }
  ArchiveEntry Record(const char* name) {
    ArchiveEntry entry{};
    EXPECT_TRUE(ArchiveFindEntry(archive_, name, nullptr, &entry)) << name;
    return entry;
  }

  UniqueHandle bytes_{HandleNew(0)};
  Stream* archive_ = nullptr;
};

TEST_F(ArchiveTest, FormatGivesTenRecordsOutsideOneToAThousand) {
  for (uint32_t capacity : {0u, 5000u, 1001u}) {
    ASSERT_EQ(ArchiveFormat(archive_, capacity), kOk);
    EXPECT_EQ(Length(), 820u) << capacity;
  }
  ASSERT_EQ(ArchiveFormat(archive_, 1000), kOk);
  EXPECT_EQ(Length(), 20u + 80u * 1000u);
  ASSERT_EQ(ArchiveFormat(archive_, 1), kOk);
  EXPECT_EQ(BytesAt(0, 100), std::string("CHNK\0\0\0\x14\0\0\0\x14\0\0\0\x50\0\0\0\x01", 20) + std::string(80, '\0'));
  EXPECT_TRUE(ReloadsTheSame(archive_));
}

TEST_F(ArchiveTest, DamagedHeadersAndEntriesAreRefused) {
  ASSERT_EQ(CreateWith("a", "data"), kOk);
  struct Case {
    const char* what;
    uint32_t offset;
    std::string bytes;
  } cases[] = {
      {"magic", 0, "CHNX"},
      {"header size below 20", 4, std::string("\0\0\0\x13", 4)},
      {"header size beyond the end", 4, std::string("\0\0\x04\0", 4)},
      {"directory past the end", 8, std::string("\0\0\0\x19", 4)},
      {"directory inside the header", 8, std::string("\0\0\0\x10", 4)},
      {"records shorter than their fields", 12, std::string("\0\0\0\x4f", 4)},
      {"record count that overflows 32 bits", 16, std::string("\x04\0\0\0", 4)},
      {"an entry that runs past the end", 20 + 72, std::string("\0\0\xc8\0", 4)},
  };
  for (const Case& c : cases) {
    UniqueHandle damaged(HandleDuplicate(bytes_.get()));
    BytesCopy(HandleData(damaged.get()) + c.offset, c.bytes.data(), c.bytes.size());
    const bool header = c.offset < 20;
    EXPECT_EQ(ArchiveIsValidBlock(damaged.get()), !header) << c.what;
    Stream* stream = nullptr;
    Stream* entry = nullptr;
    ASSERT_EQ(MemoryStreamOpen(damaged.get(), false, &stream), kOk);
    EXPECT_EQ(header ? ArchiveLoadDirectory(stream) : ArchiveOpenEntry(stream, "a", false, false, &entry),
              kErrDamagedArchive)
        << c.what;
    StreamClose(stream);
  }
  UniqueHandle shortOne(HandleNewFromData(HandleData(bytes_.get()), 19));
  EXPECT_FALSE(ArchiveIsValidBlock(shortOne.get()));
}

TEST_F(ArchiveTest, EntriesGoByExactNameAndOperationsKeepThePosition) {
  ASSERT_EQ(StreamSetPosition(archive_, 7), kOk);
  ASSERT_EQ(CreateWith("classic.iml", "<INTERFACE>"), kOk);
  EXPECT_EQ(Create("classic.iml"), kErrExists);
  EXPECT_EQ(Read("classic.iml"), "<INTERFACE>");
  EXPECT_EQ(Record("classic.iml").offset, 820u);  // the first data goes to the end of the archive
  Stream* entry = nullptr;
  EXPECT_EQ(ArchiveOpenEntry(archive_, "Classic.iml", false, false, &entry), kErrFileNotFound);
  EXPECT_EQ(ArchiveOpenEntry(archive_, "", false, false, &entry), kErrFileNotFound);
  // A name longer than a record holds could never be found again.
  EXPECT_EQ(Create(std::string(64, 'n').c_str()), kErrBadName);
  EXPECT_EQ(Create(std::string(63, 'n').c_str()), kOk);
  EXPECT_EQ(Create(""), kErrBadName);
  EntryInfo info{};
  ASSERT_EQ(ArchiveGetEntryInfo(archive_, "classic.iml", &info), kOk);
  std::strcpy(info.name, "b");
  ASSERT_EQ(ArchiveSetEntryInfo(archive_, "classic.iml", info), kOk);
  ASSERT_EQ(Delete("b"), kOk);
  uint32_t position = 0;
  ASSERT_EQ(StreamGetPosition(archive_, &position), kOk);
  EXPECT_EQ(position, 7u);
  EXPECT_TRUE(ReloadsTheSame(archive_));
}

TEST_F(ArchiveTest, AFullDirectoryDoublesInPlaceWhenLastAndMovesToTheEndOtherwise) {
  for (int i = 0; i < 11; ++i) ASSERT_EQ(Create(("entry" + std::to_string(i)).c_str()), kOk);
  EXPECT_EQ(ArchiveCapacity(archive_), 20u);
  EXPECT_EQ(Length(), 20u + 20u * 80u);
  for (uint32_t i = 0, found = 99; i < 11; ++i) {
    EXPECT_TRUE(ArchiveFindEntry(archive_, ("entry" + std::to_string(i)).c_str(), &found, nullptr));
    EXPECT_EQ(found, i);
  }
  EXPECT_TRUE(ReloadsTheSame(archive_));

  ASSERT_EQ(ArchiveFormat(archive_, 2), kOk);
  ASSERT_EQ(CreateWith("one", "first"), kOk);
  ASSERT_EQ(CreateWith("two", "second"), kOk);
  ASSERT_EQ(Create("three"), kOk);
  EXPECT_EQ(ArchiveCapacity(archive_), 4u);
  EXPECT_EQ(Length(), 191u + 4 * 80);
  EXPECT_EQ(BytesAt(8, 4), std::string("\0\0\0\xbf", 4)) << "the directory's new offset";
  EXPECT_EQ(BytesAt(20, 160), std::string(160, '\0')) << "its old place is cleared";
  EXPECT_EQ(Read("one"), "first");
  EXPECT_EQ(Read("two"), "second");
  EXPECT_TRUE(ReloadsTheSame(archive_));
}

// An empty directory of records that claim 2 MiB each would grow to 20 MiB for one new entry: refused
// as too much memory, with the archive left as it was.
TEST_F(ArchiveTest, ADirectoryOfHugeRecordsDoesNotGrow) {
  const std::string header("CHNK\0\0\0\x14\0\0\0\x14\0\x20\0\0\0\0\0\0", 20);
  ASSERT_EQ(HandleSetData(bytes_.get(), header.data(), header.size()), kOk);
  ASSERT_EQ(ArchiveLoadDirectory(archive_), kOk);
  EXPECT_EQ(Create("one"), kErrMemory);
  EXPECT_EQ(BytesAt(0, Length()), header);
}

TEST_F(ArchiveTest, GrowingMovesABlockThatIsNotLastAndDeletingTheLastShortens) {
  ASSERT_EQ(CreateWith("a", "AAAA"), kOk);
  ASSERT_EQ(CreateWith("b", "BBBB"), kOk);
  ASSERT_EQ(Length(), 828u);
  ASSERT_EQ(Write("a", 4, "x"), kOk);
  EXPECT_EQ(Record("a").offset, 828u);
  EXPECT_EQ(Length(), 833u);
  EXPECT_EQ(BytesAt(820, 4), "AAAA") << "the old place stays as a gap";
  EXPECT_EQ(Read("a"), "AAAAx");
  EXPECT_EQ(Read("b"), "BBBB");

  // The last block grows in place; a shrinking block that is not last stays where it is.
  ASSERT_EQ(Write("a", 5, "yz"), kOk);
  EXPECT_EQ(Record("a").offset, 828u);
  Stream* b = nullptr;
  ASSERT_EQ(ArchiveOpenEntry(archive_, "b", true, false, &b), kOk);
  ASSERT_EQ(StreamSetLength(b, 2), kOk);
  StreamClose(b);
  EXPECT_EQ(Record("b").offset, 824u);
  EXPECT_EQ(Read("b"), "BB");
  EXPECT_EQ(Length(), 835u);

  ASSERT_EQ(Delete("b"), kOk);  // not last: a gap
  EXPECT_EQ(Length(), 835u);
  ASSERT_EQ(Delete("a"), kOk);
  EXPECT_EQ(Length(), 828u);
  EXPECT_EQ(ArchiveDeleteEntry(archive_, "a"), kErrFileNotFound);
  EXPECT_TRUE(ReloadsTheSame(archive_));
}

// The move goes through one buffer in pieces of at most 32768 bytes: an entry larger than that needs
// several, and every byte must arrive in its place.
TEST_F(ArchiveTest, AMoveLargerThanOneCopyPieceKeepsEveryByte) {
  std::string big(40000, '\0');
  for (size_t i = 0; i < big.size(); ++i) big[i] = char(i * 7 + i / 251);
  ASSERT_EQ(CreateWith("big", big), kOk);
  ASSERT_EQ(CreateWith("later", "after the big one"), kOk);
  const uint32_t oldOffset = Record("big").offset;
  ASSERT_EQ(Write("big", 40000, "grown"), kOk);
  EXPECT_EQ(Record("big").offset, oldOffset + 40000 + 17) << "moved behind the later entry";
  EXPECT_EQ(Read("big"), big + "grown");
  EXPECT_EQ(Read("later"), "after the big one");
  EXPECT_EQ(BytesAt(oldOffset, 40000), big) << "the old place stays as a gap";
}

TEST_F(ArchiveTest, FlagsAndReadOnlyStreamsGovernOpening) {
  ASSERT_EQ(Create("writeonly", kEntryWritable), kOk);
  ASSERT_EQ(Create("readonly", kEntryReadable), kOk);
  Stream* entry = nullptr;
  EXPECT_EQ(ArchiveOpenEntry(archive_, "writeonly", false, false, &entry), kErrNotPermitted);
  EXPECT_EQ(ArchiveOpenEntry(archive_, "readonly", true, false, &entry), kErrNotPermitted);

  UniqueHandle copy(HandleDuplicate(bytes_.get()));
  Stream* readOnly = nullptr;
  ASSERT_EQ(MemoryStreamOpen(copy.get(), false, &readOnly), kOk);
  ASSERT_EQ(ArchiveOpenEntry(readOnly, "readonly", false, false, &entry), kOk);
  EXPECT_EQ(StreamWrite(entry, 1, "x"), kErrNotPermitted);
  StreamClose(entry);
  EXPECT_EQ(Create("new", kReadWrite, 0, readOnly), kErrNotPermitted);
  EXPECT_EQ(ArchiveDeleteEntry(readOnly, "readonly"), kErrNotPermitted);
  StreamClose(readOnly);
}

TEST_F(ArchiveTest, EntryStreamsAreSharedReadAllOrNothingAndFollowTheirData) {
  ASSERT_EQ(CreateWith("a", "0123"), kOk);
  ASSERT_EQ(CreateWith("b", "bb"), kOk);
  Stream* writer = nullptr;
  Stream* reader = nullptr;
  ASSERT_EQ(ArchiveOpenEntry(archive_, "a", true, false, &writer), kOk);
  ASSERT_EQ(ArchiveOpenEntry(archive_, "a", false, false, &reader), kOk);
  EXPECT_EQ(writer, reader);
  EXPECT_EQ(archive_->references, 2u) << "the entry holds its archive";
  char buffer[8] = "-------";
  ASSERT_EQ(StreamSetPosition(reader, 2), kOk);
  EXPECT_EQ(StreamRead(reader, 3, buffer), kErrPastEnd);
  EXPECT_EQ(std::string(buffer), "-------");
  EXPECT_EQ(reader->position, 2u);

  ASSERT_EQ(StreamWriteAt(writer, 4, 2, "45"), kOk);  // moves a's data behind b
  EXPECT_EQ(Record("a").offset, 826u);
  EXPECT_EQ(ArchiveDeleteEntry(archive_, "a"), kErrBusy);
  StreamClose(writer);
  EXPECT_EQ(ArchiveDeleteEntry(archive_, "a"), kErrBusy);
  ASSERT_EQ(StreamReadAt(reader, 0, 6, buffer), kOk);
  EXPECT_EQ(std::string(buffer, 6), "012345");
  StreamClose(reader);
  EXPECT_EQ(archive_->references, 1u);
  EXPECT_EQ(Delete("a"), kOk);
}

TEST_F(ArchiveTest, RenamesKeepDataAndContainerFlagAndSlashesNeedEscapes) {
  ASSERT_EQ(CreateWith("old.txt", "kept"), kOk);
  ASSERT_EQ(Create("a%2Fb"), kOk);
  EXPECT_TRUE(ArchiveFindEntry(archive_, "a/b", nullptr, nullptr));
  EXPECT_EQ(Create("a/b"), kErrBadName);
  EntryInfo info{};
  EXPECT_EQ(ArchiveGetEntryInfo(archive_, "a/b", &info), kErrBadName);
  std::strcpy(info.name, "x:y");
  EXPECT_EQ(ArchiveSetEntryInfo(archive_, "old.txt", info), kErrBadName);
  std::strcpy(info.name, "a%2fb");
  EXPECT_EQ(ArchiveSetEntryInfo(archive_, "old.txt", info), kErrExists);
  EXPECT_EQ(ArchiveSetEntryInfo(archive_, "missing", info), kErrFileNotFound);
  ASSERT_EQ(ArchiveGetEntryInfo(archive_, "a%2fb", &info), kOk);
  EXPECT_STREQ(info.name, "a%2Fb");

  std::strcpy(info.name, "new.png");
  info.readable = info.container = info.hidden = 1;  // the container flag is not changed by a rename
  info.writable = 0;
  info.type = 0;
  ASSERT_EQ(ArchiveSetEntryInfo(archive_, "old.txt", info), kOk);
  EXPECT_FALSE(ArchiveFindEntry(archive_, "old.txt", nullptr, nullptr));
  EXPECT_EQ(Record("new.png").flags, kEntryReadable | kEntryHidden);
  EXPECT_EQ(Record("new.png").type, MakeFourCC("PNGf")) << "no type given: the table's type for the new name";
  EXPECT_EQ(Read("new.png"), "kept");
  info.type = MakeFourCC("JPEG");
  ASSERT_EQ(ArchiveSetEntryInfo(archive_, "new.png", info), kOk) << "the same name may stay";
  EXPECT_EQ(Record("new.png").type, MakeFourCC("JPEG"));
  EXPECT_TRUE(ReloadsTheSame(archive_));
}

TEST_F(ArchiveTest, NestedArchivesLiveInsideAnEntry) {
  ASSERT_EQ(Create("inner", kReadWrite | kEntryContainer, 3), kOk);
  EXPECT_EQ(Record("inner").size, 20u + 3 * 80u);
  Stream* nested = nullptr;
  ASSERT_EQ(ArchiveOpenEntry(archive_, "inner", true, true, &nested), kOk);
  EXPECT_EQ(ArchiveCapacity(nested), 3u);
  ASSERT_EQ(Create("deep.txt", kReadWrite, 0, nested), kOk);
  ASSERT_EQ(Write("deep.txt", 0, "inside", nested), kOk);
  EXPECT_EQ(Read("deep.txt", nested), "inside");
  EXPECT_TRUE(ReloadsTheSame(nested));
  StreamClose(nested);
  EntryInfo info{};
  ASSERT_EQ(ArchiveGetEntryInfo(archive_, "inner", &info), kOk);
  EXPECT_TRUE(info.isArchive && info.container);
  EXPECT_EQ(info.countOrSize, 1u) << "the nested archive's entries";
  EXPECT_TRUE(ReloadsTheSame(archive_));
}

}  // namespace
