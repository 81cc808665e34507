// The pixel-pattern writer: maps whose sides are powers of two, unpacked, with a colour table after the
// rows (for direct maps the customary white and black).
#include <algorithm>

#include "images/mac_pixel_map.h"
#include "runtime/byte_order.h"

namespace {

bool PowerOfTwo(int32_t n) { return n >= 2 && (n & (n - 1)) == 0; }

}  // namespace

Status PatternWrite(ImageStream* output, Pixmap* pixmap, Pixmap*, const MaskDescriptor*, const ImageInfo*) {
  const int32_t width = std::min(PixmapWidth(pixmap), 32766), height = std::min(PixmapHeight(pixmap), 32766);
  const uint32_t bytesPerPixel = MacBytesPerPixel(pixmap);
  if (!PowerOfTwo(width) || !PowerOfTwo(height) || uint32_t(width) * bytesPerPixel >= 16384) return kErrImageData;
  const uint32_t rowBytes = uint32_t(width) * bytesPerPixel;

  uint8_t headers[78] = {0, 1, 0, 0, 0, 28, 0, 0, 0, 78, 0, 0, 0, 0, 0xFF, 0xFF};
  MacPixelMap map = MacPixelMapFor(bytesPerPixel, width, height);
  map.tableOffset = rowBytes * uint32_t(height) + 78;
  MacPixelMapPut(headers + 32, map);
  Status status = ImageStreamWrite(output, sizeof headers, headers);
  UniqueBlock<uint8_t> row(static_cast<uint8_t*>(BlockNew(rowBytes)));
  if (status == kOk && !row) status = kErrMemory;
  for (int32_t y = 0; y < height && status == kOk; ++y) {
    status = MacRowFromMap(pixmap, y, bytesPerPixel, row.get());
    if (status == kOk) status = ImageStreamWrite(output, rowBytes, row.get());
  }
  if (status == kOk && bytesPerPixel == 1) {
    status = MacColourTableWrite(output, pixmap->colourTable, ImageColoursUsed(pixmap));
  } else if (status == kOk) {
    const uint8_t whiteAndBlack[24] = {0, 0, 0, uint8_t(bytesPerPixel == 2 ? 15 : 24), 0, 0, 0, 1,
                                       0, 0, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};
    status = ImageStreamWrite(output, sizeof whiteAndBlack, whiteAndBlack);
  }
  if (status != kOk) ImageStreamReset(output);
  return status;
}
