// The BMP writer: indexed maps as 8 bits with their table, every other map as 24 bits, rows bottom-up.
#include "images/image_codecs.h"
#include "runtime/byte_order.h"

Status BmpWrite(ImageStream* output, Pixmap* pixmap, Pixmap*, const MaskDescriptor*, const ImageInfo*) {
  const int32_t width = PixmapWidth(pixmap), height = PixmapHeight(pixmap);
  const bool indexed = pixmap->kind == 1;
  const uint32_t colours = indexed ? ImageColoursUsed(pixmap) : 0;
  const uint32_t bits = indexed ? 8 : 24;
  const uint64_t rowSize = (uint64_t(width) * bits + 31) / 32 * 4;
  const uint64_t offset = 14 + 40 + 4 * colours, imageSize = rowSize * uint64_t(height);
  if (offset + imageSize > UINT32_MAX) return kErrImageData;

  uint8_t header[54] = {'B', 'M'};
  PutLittle32(header + 2, uint32_t(offset + imageSize));
  PutLittle32(header + 10, uint32_t(offset));
  PutLittle32(header + 14, 40);
  PutLittle32(header + 18, uint32_t(width));
  PutLittle32(header + 22, uint32_t(height));
  PutLittle16(header + 26, 1);
  PutLittle16(header + 28, bits);
  PutLittle32(header + 34, uint32_t(imageSize));
  PutLittle32(header + 46, colours == 256 ? 0 : colours);
  Status status = ImageStreamWrite(output, sizeof header, header);
  for (uint32_t i = 0; i < colours && status == kOk; ++i) {
    const Colour c = pixmap->colourTable.entries[i];
    const uint8_t entry[4] = {c.blue, c.green, c.red, 0};
    status = ImageStreamWrite(output, 4, entry);
  }

  UniqueBlock<uint8_t> row(static_cast<uint8_t*>(BlockNewClear(size_t(rowSize))));
  if (!row && status == kOk) status = kErrMemory;
  for (int32_t y = height - 1; y >= 0 && status == kOk; --y) {
    status = ImageRowIndicesOrBgr(pixmap, y, row.get());
    if (status == kOk) status = ImageStreamWrite(output, uint32_t(rowSize), row.get());
  }
  if (status != kOk) ImageStreamReset(output);
  return status;
}
