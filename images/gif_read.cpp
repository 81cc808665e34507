// The GIF reader: the first image of a GIF87a or GIF89a file as an 8-bit indexed pixel map.
#include <cstring>

#include "images/gif_lzw.h"
#include "images/image_codecs.h"
#include "runtime/byte_order.h"

namespace {

struct GifTable {
  bool present = false;
  uint32_t count = 0;
  uint8_t rgb[256 * 3];
};

Status ReadTable(ImageStream* input, uint8_t packed, GifTable* table) {
  table->present = (packed & 0x80) != 0;
  if (!table->present) return kOk;
  table->count = 1u << ((packed & 7) + 1);
  return ImageStreamRead(input, table->count * 3, table->rgb);
}

struct Transparency {
  bool stated = false;  // a graphic-control extension said whether a colour is transparent
  bool set = false;
  uint8_t index = 0;
};

// Skips to the image separator, remembering what a graphic-control extension says on the way. Every
// other byte, the trailer included, is passed over, so a file without an image runs out of data.
Status FindImage(ImageStream* input, Transparency* transparency) {
  for (;;) {
    uint8_t byte = 0;
    Status status = ImageStreamReadByte(input, &byte);
    if (status != kOk) return status;
    if (byte == ',') return kOk;
    if (byte != '!') continue;
    uint8_t label = 0, size = 0;
    if ((status = ImageStreamReadByte(input, &label)) != kOk) return status;
    if (label == 0xF9) {
      uint8_t block[256];
      if ((status = ImageStreamReadByte(input, &size)) != kOk) return status;
      if ((status = ImageStreamRead(input, size + 1u, block)) != kOk) return status;
      if (size >= 4) {
        transparency->stated = true;
        transparency->set = (block[0] & 1) != 0;
        transparency->index = block[3];
      }
      continue;
    }
    do {
      uint8_t skipped[255];
      if ((status = ImageStreamReadByte(input, &size)) != kOk) return status;
      if ((status = ImageStreamRead(input, size, skipped)) != kOk) return status;
    } while (size != 0);
  }
}

}  // namespace

Status GifRead(ImageStream* input, Pixmap** pixmap, Pixmap** mask, MaskDescriptor* maskDescriptor, ImageInfo* info) {
  ImageResetOutputs(pixmap, mask, maskDescriptor, info);
  uint8_t header[13];
  Status status = ImageStreamRead(input, 6, header);
  if (status != kOk) return status;
  const bool gif89a = std::memcmp(header, "GIF89a", 6) == 0;
  if (!gif89a && std::memcmp(header, "GIF87a", 6) != 0) return kErrImageFormat;
  if ((status = ImageStreamRead(input, 7, header + 6)) != kOk) return status;
  const uint8_t backgroundIndex = header[11];
  GifTable global, local;
  if ((status = ReadTable(input, header[10], &global)) != kOk) return status;

  Transparency transparency;
  if ((status = FindImage(input, &transparency)) != kOk) return status;
  uint8_t descriptor[9];
  if ((status = ImageStreamRead(input, 9, descriptor)) != kOk) return status;
  if ((status = ReadTable(input, descriptor[8], &local)) != kOk) return status;
  const GifTable* table = local.present ? &local : global.present ? &global : nullptr;
  if (!table) return kErrImageFormat;

  // Without a graphic-control extension the background colour is taken as transparent; an extension
  // that clears the flag says the image is opaque.
  const bool transparent = gif89a && (transparency.set || (global.present && !transparency.stated));
  const uint8_t transparentIndex = transparency.set ? transparency.index : backgroundIndex;
  ColourTable colours{};
  colours.count = table->count;
  for (uint32_t i = 0; i < table->count; ++i) {
    const uint8_t* rgb = table->rgb + i * 3;
    colours.entries[i] = Colour{255, rgb[0], rgb[1], rgb[2]};
  }
  if (transparent) colours.entries[transparentIndex].alpha = 0;

  const int32_t left = int32_t(GetLittle16(descriptor)), top = int32_t(GetLittle16(descriptor + 2));
  const int32_t width = int32_t(GetLittle16(descriptor + 4)), height = int32_t(GetLittle16(descriptor + 6));
  if (width == 0 || height == 0) return kErrImageData;
  Pixmap* image = PixmapNew(Rect{left, top, left + width, top + height}, kPixelIndexed, &colours);
  if (!image) return kErrMemory;
  const bool interlaced = (descriptor[8] & 0x40) != 0;
  if (info) {
    info->format = kImageGif;
    info->interlaced = interlaced;
    info->gamma = 0.0;
  }
  if (transparent && maskDescriptor) *maskDescriptor = MaskDescriptor{kTransferKeyColour, transparentIndex, 0, 0, 0};

  PixmapLock(image, nullptr, nullptr);
  GifLineWriter lines = GifLineWriterFor(image, interlaced);
  status = GifDecodeImage(input, &lines);
  PixmapUnlock(image, nullptr);
  if (status != kOk) {
    PixmapDispose(image);
    MaskDescriptorReset(maskDescriptor);
    return status;
  }
  *pixmap = image;
  return kOk;
}
