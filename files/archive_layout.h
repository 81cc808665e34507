// Byte layout of the archive header and directory records, and access to the loaded copies. Internal
// to the archive code.
#pragma once

#include <cstdint>

#include "files/archive.h"
#include "runtime/byte_order.h"

namespace archive_layout {

// Header fields: byte offsets within the header block.
constexpr uint32_t kMagic = 0;
constexpr uint32_t kHeaderSize = 4;
constexpr uint32_t kDirectoryOffset = 8;
constexpr uint32_t kRecordSize = 12;
constexpr uint32_t kRecordCount = 16;

// Record fields: byte offsets within a directory record.
constexpr uint32_t kName = 0;
constexpr uint32_t kFlags = 64;
constexpr uint32_t kOffset = 68;
constexpr uint32_t kSize = 72;
constexpr uint32_t kType = 76;

// Pieces in which data is moved or zeroed: one buffer of at most this size.
constexpr uint32_t kCopyPiece = 32768;
// A directory does not grow past this: an archive of a few bytes whose records claim megabytes each
// would otherwise have one new entry allocate and write hundreds of megabytes. Far above any real
// directory (over 50000 records of 80 bytes).
constexpr uint32_t kLargestDirectory = 4u << 20;

// The validity test on the first 20 bytes of something `length` bytes long.
bool HeaderIsValid(const uint8_t* header, uint32_t length);

// Fields of a loaded archive.
inline uint32_t HeaderField(Stream* archive, uint32_t field) { return GetBig32(HandleData(archive->header) + field); }
inline void SetHeaderField(Stream* archive, uint32_t field, uint32_t value) {
  PutBig32(HandleData(archive->header) + field, value);
}
inline uint8_t* RecordBytes(Stream* archive, uint32_t index) {
  return HandleData(archive->directory) + size_t(index) * HeaderField(archive, kRecordSize);
}

ArchiveEntry DecodeRecord(const uint8_t* bytes);
void EncodeRecord(const ArchiveEntry& entry, uint8_t* bytes);

// Write-through of the loaded copies: the whole header block at offset 0, one whole record at its place.
Status WriteHeaderBlock(Stream* archive);
Status WriteRecord(Stream* archive, uint32_t index);

// Writes count zero bytes from offset on, in pieces.
Status WriteZeros(Stream* stream, uint32_t offset, uint32_t count);

// The open stream on an entry, or none.
Stream* FindOpenEntry(Stream* archive, uint32_t index);
// Opens (or shares) the stream on the entry of that index, without looking at its flags.
Status OpenEntryAt(Stream* archive, uint32_t index, bool loadAsArchive, Stream** entry);

// Decodes a name that is to be stored: besides the decoding rules it must be neither empty (that marks
// a free record) nor longer than a record holds (it could never be found again): -7201.
Status DecodeStoredName(const char* escaped, char* name);

// Loads the directory when needed: every operation on an archive starts here.
Status EnsureLoaded(Stream* archive);

}  // namespace archive_layout
