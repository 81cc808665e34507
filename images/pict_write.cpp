// The PICT writer: a version 2 picture with a 512-byte file header and one PackBitsRect (indexed maps)
// or DirectBitsRect (direct maps) whose rows are packed.
#include <algorithm>
#include <cstring>

#include "files/codecs.h"
#include "images/mac_pixel_map.h"
#include "runtime/byte_order.h"

namespace {

constexpr uint32_t kFileHeaderSize = 512;

// The version opcode, the extended header, the highlight default and the clip region of the frame.
void PutPreamble(uint8_t* b, const Rect& frame) {
  const uint8_t opcodes[] = {0x00, 0x11, 0x02, 0xFF, 0x0C, 0x00, 0xFF, 0xFE, 0x00, 0x00};
  std::memcpy(b, opcodes, sizeof opcodes);
  PutBig32(b + 10, kMacResolution);
  PutBig32(b + 14, kMacResolution);
  MacRectPut(b + 18, frame);
  PutBig32(b + 26, 0);
  const uint8_t clip[] = {0x00, 0x1E, 0x00, 0x01, 0x00, 0x0A};
  std::memcpy(b + 30, clip, sizeof clip);
  MacRectPut(b + 36, frame);
}
constexpr uint32_t kPreambleSize = 44;

// One row: 32-bit pixels as red, green and blue planes; packed unless the rows are too short to pack,
// as readers expect.
Status WriteRow(ImageStream* output, Pixmap* pixmap, int32_t y, uint32_t bytesPerPixel, uint32_t rowBytes,
                uint8_t* row, MemoryHandle work) {
  const auto width = uint32_t(PixmapWidth(pixmap));
  Status status = kOk;
  if (bytesPerPixel == 4 && rowBytes >= 8) {
    std::memset(row, 0, rowBytes);
    for (uint32_t x = 0; x < width && status == kOk; ++x) {
      Colour c;
      status = PixmapGetPixelColour(pixmap, nullptr, int32_t(x), y, &c);
      row[x] = c.red, row[width + x] = c.green, row[2 * width + x] = c.blue;
    }
  } else {
    status = MacRowFromMap(pixmap, y, bytesPerPixel, row);
  }
  if (status != kOk) return status;
  if (rowBytes < 8) return ImageStreamWrite(output, rowBytes, row);
  if ((status = HandleSetSize(work, rowBytes)) != kOk) return kErrMemory;
  std::memcpy(HandleData(work), row, rowBytes);
  if ((status = CompressBlock(work, bytesPerPixel == 2 ? kCodecPackWords : kCodecPack, nullptr)) != kOk) return status;
  const auto packed = uint32_t(HandleGetSize(work));
  uint8_t count[2];
  PutBig16(count, packed);
  status = rowBytes < 251 ? ImageStreamWriteByte(output, uint8_t(packed)) : ImageStreamWrite(output, 2, count);
  return status == kOk ? ImageStreamWrite(output, packed, HandleData(work)) : status;
}

}  // namespace

Status PictWrite(ImageStream* output, Pixmap* pixmap, Pixmap*, const MaskDescriptor*, const ImageInfo*) {
  // Rows longer than the row bytes field's fourteen bits cannot be described; taller pictures are cut.
  const int32_t width = PixmapWidth(pixmap), height = std::min(PixmapHeight(pixmap), 32766);
  const uint32_t bytesPerPixel = MacBytesPerPixel(pixmap);
  if (uint64_t(width) * bytesPerPixel > 0x3FFF) return kErrImageData;
  const uint32_t rowBytes = uint32_t(width) * bytesPerPixel;
  const Rect frame = {0, 0, width, height};
  const bool indexed = bytesPerPixel == 1;

  uint8_t start[kFileHeaderSize + 10 + kPreambleSize + 6 + kMacPixelMapSize] = {};
  uint8_t* at = start + kFileHeaderSize;
  MacRectPut(at + 2, frame);
  PutPreamble(at + 10, frame);
  at += 10 + kPreambleSize;
  const uint8_t opcode[6] = {0x00, uint8_t(indexed ? 0x98 : 0x9A), 0x00, 0x00, 0x00, 0xFF};
  std::memcpy(at, opcode, sizeof opcode);
  at += indexed ? 2 : 6;  // the direct opcode carries a base address
  MacPixelMap map = MacPixelMapFor(bytesPerPixel, width, height);
  map.packType = indexed ? 0 : bytesPerPixel == 2 ? 3 : 4;
  MacPixelMapPut(at, map);
  at += kMacPixelMapSize;
  Status status = ImageStreamWrite(output, uint32_t(at - start), start);
  if (status == kOk && indexed) status = MacColourTableWrite(output, pixmap->colourTable, ImageColoursUsed(pixmap));
  uint8_t rects[18] = {};
  MacRectPut(rects, frame);
  MacRectPut(rects + 8, frame);
  if (status == kOk) status = ImageStreamWrite(output, sizeof rects, rects);

  UniqueBlock<uint8_t> row(static_cast<uint8_t*>(BlockNew(rowBytes)));
  UniqueHandle work(HandleNew(0));
  if (status == kOk && (!row || !work)) status = kErrMemory;
  for (int32_t y = 0; y < height && status == kOk; ++y)
    status = WriteRow(output, pixmap, y, bytesPerPixel, rowBytes, row.get(), work.get());
  if (status == kOk && (output->size & 1)) status = ImageStreamWriteByte(output, 0);
  if (status == kOk) status = ImageStreamWrite(output, 2, "\x00\xFF");
  if (status == kOk) PutBig16(HandleData(output->data) + kFileHeaderSize, (output->size - kFileHeaderSize) & 0xFFFF);
  if (status != kOk) ImageStreamReset(output);
  return status;
}
