// The Targa writer: indexed maps as colour-mapped images with a 24-bit map, every other map as 24-bit
// true colour; rows top to bottom, uncompressed, no footer - unless the pixels end as a footer would.
#include <cstring>

#include "images/image_codecs.h"
#include "runtime/byte_order.h"

namespace {

constexpr uint32_t kFooterSize = 26;
constexpr char kSignature[] = "TRUEVISION-XFILE.";  // with its NUL: the footer's last 18 bytes

// A reader takes the last 26 bytes of a file for a footer when they carry the signature, and this one
// refuses the file when the footer's offsets lie beyond it. Pixels that happen to end that way get a
// real footer after them, one without extension area or directory, so the file reads back as written.
Status EndUnambiguously(ImageStream* output) {
  if (output->size < 18 + kFooterSize + 1) return kOk;
  const uint8_t* tail = HandleData(output->data) + output->size - kFooterSize;
  if (std::memcmp(tail + 8, kSignature, sizeof kSignature) != 0) return kOk;
  uint8_t footer[kFooterSize] = {};
  std::memcpy(footer + 8, kSignature, sizeof kSignature);
  return ImageStreamWrite(output, kFooterSize, footer);
}

}  // namespace

Status TargaWrite(ImageStream* output, Pixmap* pixmap, Pixmap*, const MaskDescriptor*, const ImageInfo*) {
  const Rect b = pixmap->bounds;
  const int32_t width = PixmapWidth(pixmap), height = PixmapHeight(pixmap);
  // Sizes are read back as signed 16-bit numbers.
  if (width > 32767 || height > 32767) return kErrImageData;
  const bool indexed = pixmap->kind == 1;
  const uint32_t colours = indexed ? ImageColoursUsed(pixmap) : 0;
  uint8_t header[18] = {0, uint8_t(indexed ? 1 : 0), uint8_t(indexed ? 1 : 2)};
  PutLittle16(header + 5, colours);
  header[7] = indexed ? 24 : 0;
  PutLittle16(header + 8, uint32_t(b.left));
  PutLittle16(header + 10, uint32_t(b.top));
  PutLittle16(header + 12, uint32_t(width));
  PutLittle16(header + 14, uint32_t(height));
  header[16] = indexed ? 8 : 24;
  header[17] = 32;  // rows top to bottom
  Status status = ImageStreamWrite(output, sizeof header, header);
  for (uint32_t i = 0; i < colours && status == kOk; ++i) {
    const Colour c = pixmap->colourTable.entries[i];
    const uint8_t entry[3] = {c.blue, c.green, c.red};
    status = ImageStreamWrite(output, 3, entry);
  }
  UniqueBlock<uint8_t> row(static_cast<uint8_t*>(BlockNew(size_t(width) * 3)));
  if (!row && status == kOk) status = kErrMemory;
  for (int32_t y = 0; y < height && status == kOk; ++y) {
    status = ImageRowIndicesOrBgr(pixmap, y, row.get());
    if (status == kOk) status = ImageStreamWrite(output, uint32_t(width) * (indexed ? 1 : 3), row.get());
  }
  if (status == kOk) status = EndUnambiguously(output);
  if (status != kOk) ImageStreamReset(output);
  return status;
}
