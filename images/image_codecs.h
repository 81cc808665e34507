// The readers and writers behind the dispatchers.
#pragma once

#include "images/image.h"
#include "images/image_stream.h"

// Every reader resets its outputs, creates and fills the pixel map, and on failure disposes of what it
// made and returns none. `mask`, `maskDescriptor` and `info` may be none.
// Writers run inside ImageWrite, which holds the map and the mask locked for them.
using ImageReader = Status (*)(ImageStream* input, Pixmap** pixmap, Pixmap** mask, MaskDescriptor* maskDescriptor,
                               ImageInfo* info);
using ImageWriter = Status (*)(ImageStream* output, Pixmap* pixmap, Pixmap* mask,
                               const MaskDescriptor* maskDescriptor, const ImageInfo* info);

Status GifRead(ImageStream* input, Pixmap** pixmap, Pixmap** mask, MaskDescriptor* maskDescriptor, ImageInfo* info);
Status GifWrite(ImageStream* output, Pixmap* pixmap, Pixmap* mask, const MaskDescriptor* maskDescriptor,
                const ImageInfo* info);
Status BmpRead(ImageStream* input, Pixmap** pixmap, Pixmap** mask, MaskDescriptor* maskDescriptor, ImageInfo* info);
Status BmpWrite(ImageStream* output, Pixmap* pixmap, Pixmap* mask, const MaskDescriptor* maskDescriptor,
                const ImageInfo* info);
Status JpegRead(ImageStream* input, Pixmap** pixmap, Pixmap** mask, MaskDescriptor* maskDescriptor, ImageInfo* info);
Status JpegWrite(ImageStream* output, Pixmap* pixmap, Pixmap* mask, const MaskDescriptor* maskDescriptor,
                 const ImageInfo* info);
Status PatternRead(ImageStream* input, Pixmap** pixmap, Pixmap** mask, MaskDescriptor* maskDescriptor,
                   ImageInfo* info);
Status PatternWrite(ImageStream* output, Pixmap* pixmap, Pixmap* mask, const MaskDescriptor* maskDescriptor,
                    const ImageInfo* info);
Status PictRead(ImageStream* input, Pixmap** pixmap, Pixmap** mask, MaskDescriptor* maskDescriptor, ImageInfo* info);
Status PictWrite(ImageStream* output, Pixmap* pixmap, Pixmap* mask, const MaskDescriptor* maskDescriptor,
                 const ImageInfo* info);
Status PngRead(ImageStream* input, Pixmap** pixmap, Pixmap** mask, MaskDescriptor* maskDescriptor, ImageInfo* info);
Status PngWrite(ImageStream* output, Pixmap* pixmap, Pixmap* mask, const MaskDescriptor* maskDescriptor,
                const ImageInfo* info);
Status TargaRead(ImageStream* input, Pixmap** pixmap, Pixmap** mask, MaskDescriptor* maskDescriptor,
                 ImageInfo* info);
Status TargaWrite(ImageStream* output, Pixmap* pixmap, Pixmap* mask, const MaskDescriptor* maskDescriptor,
                  const ImageInfo* info);

// The picture test of recognition: size, frame, zero padding and the version opcode at `offset`.
bool ImagePictureAt(const uint8_t* data, uint32_t size, uint32_t offset);

// The number of colours an indexed map's pixels need: its table's count, or more when pixels hold
// indices beyond the table (image data may), so that writers give every pixel a code of its own.
uint32_t ImageColoursUsed(const Pixmap* pixmap);

// A row as the formats that store indices or blue, green and red bytes write it: one index per pixel
// for indexed maps, else three bytes.
Status ImageRowIndicesOrBgr(Pixmap* pixmap, int32_t y, uint8_t* row);

// The common first step of every reader.
void ImageResetOutputs(Pixmap** pixmap, Pixmap** mask, MaskDescriptor* maskDescriptor, ImageInfo* info);
