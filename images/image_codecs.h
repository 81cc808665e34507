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
Status PngRead(ImageStream* input, Pixmap** pixmap, Pixmap** mask, MaskDescriptor* maskDescriptor, ImageInfo* info);
Status PngWrite(ImageStream* output, Pixmap* pixmap, Pixmap* mask, const MaskDescriptor* maskDescriptor,
                const ImageInfo* info);

// The number of colours an indexed map's pixels need: its table's count, or more when pixels hold
// indices beyond the table (image data may), so that writers give every pixel a code of its own.
uint32_t ImageColoursUsed(const Pixmap* pixmap);

// The common first step of every reader.
void ImageResetOutputs(Pixmap** pixmap, Pixmap** mask, MaskDescriptor* maskDescriptor, ImageInfo* info);
