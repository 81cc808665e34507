// The pixel-pattern reader: a pattern header, a pixel-map header, unpacked rows and a colour table.
#include "images/mac_pixel_map.h"
#include "runtime/byte_order.h"

namespace {

constexpr uint32_t kHeadersSize = 28 + 4 + kMacPixelMapSize;  // pattern header, base address, pixel map

}  // namespace

Status PatternRead(ImageStream* input, Pixmap** pixmap, Pixmap** mask, MaskDescriptor* maskDescriptor,
                   ImageInfo* info) {
  ImageResetOutputs(pixmap, mask, maskDescriptor, info);
  const uint8_t* headers = ImageStreamTake(input, kHeadersSize);
  if (!headers) return kErrImageData;
  const uint32_t dataOffset = GetBig32(headers + 6);
  const MacPixelMap map = MacPixelMapGet(headers + 32);
  const Rect b = map.bounds;
  const uint32_t size = map.pixelSize, rowLength = map.RowLength();
  if (size != 1 && size != 2 && size != 4 && size != 8 && size != 16 && size != 32) return kErrImageFormat;
  // Row lengths are even; bit 14 is no part of them.
  if (b.left >= b.right || b.top >= b.bottom || (map.rowBytes & 0x4001) || map.tableOffset > input->size)
    return kErrImageData;
  const uint32_t width = uint32_t(b.right - b.left), height = uint32_t(b.bottom - b.top);

  ColourTable table{};
  if (size <= 8) {
    // Indices without colours mean nothing.
    if (map.tableOffset == 0 || ImageStreamSeek(input, map.tableOffset) != kOk) return kErrImageData;
    const Status status = MacColourTableRead(input, false, 1u << size, &table);
    if (status != kOk) return status;
  }
  if (map.packType != 0 || dataOffset > input->size ||
      uint64_t(rowLength) * height > input->size - dataOffset || uint64_t(width) * size > uint64_t(rowLength) * 8)
    return kErrImageData;
  if (!ImageSizeFits(width, height, size <= 8 ? 1 : 4)) return kErrImageData;

  BuiltImage built;
  const uint32_t format = size <= 8 ? kPixelIndexed : size == 16 ? kPixel555 : kPixel32;
  Status status = built.Make(Rect{0, 0, int32_t(width), int32_t(height)}, format, size <= 8 ? &table : nullptr);
  if (status != kOk) return status;
  if (info) {
    info->format = kImagePattern;
    info->gamma = 1.7;
  }
  UniqueBlock<uint8_t> indices(static_cast<uint8_t*>(BlockNew(width)));
  UniqueBlock<Colour> colours(static_cast<Colour*>(BlockNew(sizeof(Colour) * width)));
  if (!indices || !colours) return kErrMemory;
  ImageStreamSeek(input, dataOffset);
  for (uint32_t y = 0; y < height && status == kOk; ++y) {
    const uint8_t* row = ImageStreamTake(input, rowLength);
    status = MacRowToMap(&built, int32_t(y), size, row, indices.get(), colours.get());
  }
  if (status != kOk) return status;
  built.HandOut(pixmap, mask);
  return kOk;
}
