// The space manager: where the blocks of an archive (entry data, the directory) lie when they change
// size. Space left behind is never reclaimed.
#include "files/archive_layout.h"

using namespace archive_layout;

namespace {

// Copies count bytes from one place of the stream to a later, non-overlapping one.
Status CopyForward(Stream* stream, uint32_t from, uint32_t to, uint32_t count, uint8_t* buffer, uint32_t piece) {
  for (uint32_t done = 0; done < count; done += piece) {
    const uint32_t part = count - done < piece ? count - done : piece;
    Status status = StreamReadAt(stream, from + done, part, buffer);
    if (status == kOk) status = StreamWriteAt(stream, to + done, part, buffer);
    if (status != kOk) return status;
  }
  return kOk;
}

}  // namespace

Status ArchiveResizeBlock(Stream* archive, uint32_t oldOffset, uint32_t oldSize, uint32_t newSize,
                          uint32_t* newOffset) {
  *newOffset = newSize ? oldOffset : 0;
  if (oldOffset == 0 && oldSize != 0) return kErrDamagedArchive;
  if (newSize == oldSize) return kOk;
  return StreamKeepingPosition(archive, [&] {
    uint32_t length = 0;
    Status status = StreamGetLength(archive, &length);
    if (status != kOk) return status;
    if (uint64_t(oldOffset) + oldSize > length) return Status(kErrDamagedArchive);

    if (oldOffset + oldSize == length) {  // the last block: in place
      if (uint64_t(oldOffset) + newSize > UINT32_MAX) return Status(kErrMemory);
      return StreamSetLength(archive, oldOffset + newSize);
    }
    if (newSize < oldSize) return Status(kOk);  // the tail stays as a gap

    if (uint64_t(length) + newSize > UINT32_MAX) return Status(kErrMemory);
    const uint32_t piece = newSize < kCopyPiece ? newSize : kCopyPiece;
    UniqueBlock<uint8_t> buffer(static_cast<uint8_t*>(BlockNew(piece)));
    if (!buffer) return Status(kErrMemory);
    status = StreamSetLength(archive, length + newSize);
    if (status == kOk) status = CopyForward(archive, oldOffset, length, oldSize, buffer.get(), piece);
    if (status == kOk) status = WriteZeros(archive, length + oldSize, newSize - oldSize);
    if (status == kOk) *newOffset = length;
    return status;
  });
}
