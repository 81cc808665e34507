// Images: recognising image data by its content and converting it to and from pixel maps.
#pragma once

#include <cstdint>

#include "graphics/pixmap.h"
#include "runtime/fourcc.h"
#include "runtime/memory.h"
#include "runtime/status.h"

// Primary codes, which recognition gives, and the alias of each, which the dispatchers also take.
constexpr FourCC kImageBmp = MakeFourCC("BMPf"), kImageBmpAlias = MakeFourCC("BMP ");
constexpr FourCC kImageGif = MakeFourCC("GIFf"), kImageGifAlias = MakeFourCC("GIF ");
constexpr FourCC kImageJpeg = MakeFourCC("JPEG"), kImageJpegAlias = MakeFourCC("JFIF");
constexpr FourCC kImagePict = MakeFourCC("PICT");
constexpr FourCC kImagePng = MakeFourCC("PNGf"), kImagePngAlias = MakeFourCC("PNG ");
constexpr FourCC kImageTarga = MakeFourCC("TPIC"), kImageTargaAlias = MakeFourCC("TGA ");
constexpr FourCC kImagePattern = MakeFourCC("ppat");

// Filled by the readers, read by the writers.
struct ImageInfo {
  FourCC format;
  double gamma;         // 0.0: not stated
  Colour background;
  uint8_t hasBackground;
  uint8_t interlaced;   // GIF and PNG interlacing
  uint8_t compression;  // 0 = best quality
};

// How an image's transparency is carried: kind 0 opaque, 1 a separate 8-bit mask map with the alpha
// of every pixel, 5 one colour index transparent. It is the transfer mode of the copy that draws the
// image and is handed on unchanged.
using MaskDescriptor = TransferMode;

// The background that the info record starts from: all bits set.
constexpr Colour kDefaultBackground = {255, 255, 255, 255};

void ImageInfoReset(ImageInfo* info);
void MaskDescriptorReset(MaskDescriptor* mask);

// The format of the data, or 0 when nothing matches.
FourCC ImageIdentify(MemoryHandle data);

// `pixmap` is required; `mask`, `maskDescriptor` and `info` may be none. Every output is reset first.
Status ImageRead(MemoryHandle data, Pixmap** pixmap, Pixmap** mask, MaskDescriptor* maskDescriptor,
                 ImageInfo* info);
// Encodes into the format named by `info`; on success `encoded` is a new handle with the whole file.
Status ImageWrite(Pixmap* pixmap, Pixmap* mask, const MaskDescriptor* maskDescriptor, const ImageInfo* info,
                  MemoryHandle* encoded);
