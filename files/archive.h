// Chunk archives: a 20-byte big-endian header, a flat directory of fixed-size records and the entry
// data, read and written through a stream. An open archive is a stream whose header block and whole
// directory are loaded into two handles; lookups read the loaded directory and every change is written
// through to the stream at once, so the stream's bytes are a valid archive after every operation.
//
// Every operation puts the archive stream's position back before it returns. Operations that take an
// entry name take it in the escaped form of path components (see archive_names.h) and load the
// directory first when it is not loaded yet.
#pragma once

#include <cstdint>

#include "files/entry_info.h"
#include "files/stream.h"
#include "runtime/fourcc.h"

constexpr FourCC kArchiveMagic = MakeFourCC("CHNK");
constexpr uint32_t kArchiveHeaderSize = 20;   // the meaningful part of the header block
constexpr uint32_t kArchiveRecordSize = 80;   // written by this code; readers step by the stored size
constexpr uint32_t kArchiveNameSize = 64;     // a stored name has at most 63 bytes and a NUL
constexpr uint32_t kArchiveDefaultCapacity = 10;
constexpr uint32_t kArchiveMaximumCapacity = 1000;

// Flag bits of a record.
constexpr uint32_t kEntryReadable = 1;
constexpr uint32_t kEntryWritable = 2;
constexpr uint32_t kEntryContainer = 4;  // the entry is itself a chunk archive
constexpr uint32_t kEntryHidden = 8;     // stored and reported, not acted on

// A directory record, in the machine's byte order.
struct ArchiveEntry {
  char name[kArchiveNameSize];  // empty: a free record
  uint32_t flags;
  uint32_t offset;  // 0 for an empty entry
  uint32_t size;
  FourCC type;
};

// Writes a new empty archive of the given number of records (outside 1..1000: 10) from offset 0.
Status ArchiveFormat(Stream* stream, uint32_t capacity);
// Validates the stream's header and loads header block and directory (-7206 when it is no archive).
// Does nothing when they are loaded already.
Status ArchiveLoadDirectory(Stream* stream);
// The validity test on a handle's bytes, and on a stream's (whose position is kept); the latter also
// tells the header's entry count.
bool ArchiveIsValidBlock(MemoryHandle handle);
bool ArchiveIsValidStream(Stream* stream, uint32_t* entryCount);

// Directory records of a loaded archive: their number (used and free), and one of them.
uint32_t ArchiveCapacity(Stream* archive);
ArchiveEntry ArchiveRecord(Stream* archive, uint32_t index);
// Exact byte comparison with the stored (decoded) name; the empty name finds the first free record.
bool ArchiveFindEntry(Stream* archive, const char* name, uint32_t* index, ArchiveEntry* entry);

// Opens a stream on an entry, sharing one that is open on the same entry already. With loadAsArchive
// the entry's own header and directory are loaded too (a nested archive).
Status ArchiveOpenEntry(Stream* archive, const char* name, bool forWriting, bool loadAsArchive, Stream** entry);
Status ArchiveCreateEntry(Stream* archive, const EntryInfo& info);
Status ArchiveDeleteEntry(Stream* archive, const char* name);
// Renames and changes flags (not the container flag) and type; a type of 0 takes the file type
// table's type for the new name.
Status ArchiveSetEntryInfo(Stream* archive, const char* oldName, const EntryInfo& info);
Status ArchiveGetEntryInfo(Stream* archive, const char* name, EntryInfo* info);

// The space manager: gives a block of the archive a new size and tells where it now lies. The last
// block grows and shrinks in place; another block that grows moves to the end (its old place becomes
// an unused gap); one that shrinks stays. A new size of 0 gives the offset 0.
Status ArchiveResizeBlock(Stream* archive, uint32_t oldOffset, uint32_t oldSize, uint32_t newSize,
                          uint32_t* newOffset);
