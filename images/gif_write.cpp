// The GIF writer: one image with a global colour table, GIF89a when a colour is transparent.
#include "graphics/colour_tables.h"
#include "images/gif_lzw.h"
#include "images/image_codecs.h"
#include "runtime/byte_order.h"

Status GifWrite(ImageStream* output, Pixmap* pixmap, Pixmap*, const MaskDescriptor* maskDescriptor,
                const ImageInfo* info) {
  const Rect b = pixmap->bounds;
  const int64_t width = int64_t(b.right) - b.left, height = int64_t(b.bottom) - b.top;
  if (width <= 0 || height <= 0 || width >= 65535 || height >= 65535 || b.left < -32768 || b.top < -32768 ||
      b.right > 32767 || b.bottom >= 32768)
    return kErrImageData;
  const bool transparent = maskDescriptor && maskDescriptor->mode == kTransferKeyColour;
  const ColourTable& table = pixmap->kind == 1 ? pixmap->colourTable : SystemColourTable();
  const uint32_t needed = pixmap->kind == 1 ? ImageColoursUsed(pixmap) : table.count;
  uint32_t bits = 1;
  while ((1u << bits) < needed && bits < 8) ++bits;
  const uint32_t minimumCodeSize = bits < 2 ? 2 : bits;

  uint8_t header[13] = {'G', 'I', 'F', '8', transparent ? uint8_t('9') : uint8_t('7'), 'a'};
  PutLittle16(header + 6, uint32_t(width));
  PutLittle16(header + 8, uint32_t(height));
  header[10] = uint8_t(0x80 | ((bits - 1) << 5) | (bits - 1));
  Status status = ImageStreamWrite(output, sizeof header, header);

  uint8_t colours[256 * 3] = {};
  const uint32_t used = table.count < 256 ? table.count : 256;
  for (uint32_t i = 0; i < used; ++i) {
    colours[i * 3] = table.entries[i].red;
    colours[i * 3 + 1] = table.entries[i].green;
    colours[i * 3 + 2] = table.entries[i].blue;
  }
  if (status == kOk) status = ImageStreamWrite(output, 3u << bits, colours);
  if (status == kOk && transparent) {
    const uint8_t control[8] = {0x21, 0xF9, 0x04, 0x01, 0x00, 0x00, maskDescriptor->alphaOrIndex, 0x00};
    status = ImageStreamWrite(output, sizeof control, control);
  }
  const bool interlaced = info && info->interlaced;
  uint8_t descriptor[10] = {0x2C};
  PutLittle16(descriptor + 1, b.left);
  PutLittle16(descriptor + 3, b.top);
  PutLittle16(descriptor + 5, uint32_t(width));
  PutLittle16(descriptor + 7, uint32_t(height));
  descriptor[9] = interlaced ? 0x40 : 0;
  if (status == kOk) status = ImageStreamWrite(output, sizeof descriptor, descriptor);
  if (status == kOk) status = GifEncodeImage(output, pixmap, minimumCodeSize, interlaced);
  if (status == kOk) status = ImageStreamWriteByte(output, 0x3B);
  if (status != kOk) ImageStreamReset(output);
  return status;
}
