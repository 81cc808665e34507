// Reading and writing dispatch: the format decides the codec.
#include "images/image_codecs.h"

namespace {

struct Codec {
  FourCC primary;
  FourCC alias;
  ImageReader read;
  ImageWriter write;
};

constexpr Codec kCodecs[] = {
    {kImageGif, kImageGifAlias, GifRead, GifWrite},
    {kImagePng, kImagePngAlias, PngRead, PngWrite},
    {kImageJpeg, kImageJpegAlias, JpegRead, JpegWrite},
    {kImageBmp, kImageBmpAlias, BmpRead, BmpWrite},
    {kImageTarga, kImageTargaAlias, TargaRead, TargaWrite},
    {kImagePict, kImagePict, PictRead, PictWrite},
    {kImagePattern, kImagePattern, PatternRead, PatternWrite},
};

const Codec* FindCodec(FourCC format) {
  for (const Codec& codec : kCodecs)
    if (codec.primary == format || codec.alias == format) return &codec;
  return nullptr;
}

}  // namespace

void ImageInfoReset(ImageInfo* info) {
  if (info) *info = ImageInfo{0, 0.0, kDefaultBackground, 0, 0, 0};
}

void MaskDescriptorReset(MaskDescriptor* mask) {
  if (mask) *mask = MaskDescriptor{kTransferCopy, 255, 0, 0, 0};
}

void ImageResetOutputs(Pixmap** pixmap, Pixmap** mask, MaskDescriptor* maskDescriptor, ImageInfo* info) {
  if (pixmap) *pixmap = nullptr;
  if (mask) *mask = nullptr;
  MaskDescriptorReset(maskDescriptor);
  ImageInfoReset(info);
}

uint32_t ImageColoursUsed(const Pixmap* pixmap) {
  uint32_t count = pixmap->colourTable.count < 256 ? pixmap->colourTable.count : 256;
  const int32_t width = PixmapWidth(pixmap), height = PixmapHeight(pixmap);
  for (int32_t y = 0; y < height && count < 256; ++y) {
    const uint8_t* row = pixmap->baseAddress + size_t(y) * pixmap->rowBytes;
    for (int32_t x = 0; x < width; ++x)
      if (row[x] >= count) count = row[x] + 1u;
  }
  return count;
}

Status ImageRowIndicesOrBgr(Pixmap* pixmap, int32_t y, uint8_t* row) {
  const int32_t width = PixmapWidth(pixmap);
  for (int32_t x = 0; x < width; ++x) {
    if (pixmap->kind == 1) {
      row[x] = pixmap->baseAddress[size_t(y) * pixmap->rowBytes + size_t(x)];
      continue;
    }
    Colour c;
    const Status status = PixmapGetPixelColour(pixmap, nullptr, x, y, &c);
    if (status != kOk) return status;
    uint8_t* p = row + 3 * x;
    p[0] = c.blue, p[1] = c.green, p[2] = c.red;
  }
  return kOk;
}

Status ImageRead(MemoryHandle data, Pixmap** pixmap, Pixmap** mask, MaskDescriptor* maskDescriptor,
                 ImageInfo* info) {
  ImageResetOutputs(pixmap, mask, maskDescriptor, info);
  if (!pixmap || !data) return kErrArgument;
  ImageStream input = ImageStreamOver(data);
  HandleLockScope lock(data);  // the readers keep pointers into it
  const Codec* codec = FindCodec(ImageIdentify(data));
  if (!codec) return kErrImageFormat;
  return codec->read(&input, pixmap, mask, maskDescriptor, info);
}

Status ImageWrite(Pixmap* pixmap, Pixmap* mask, const MaskDescriptor* maskDescriptor, const ImageInfo* info,
                  MemoryHandle* encoded) {
  if (encoded) *encoded = nullptr;
  if (!pixmap || !info || !encoded) return kErrArgument;
  const Codec* codec = FindCodec(info->format);
  if (!codec) return kErrImageFormat;
  ImageStream* output = ImageStreamNewOutput();
  if (!output) return kErrMemory;
  Status status = PixmapLock(pixmap, mask, nullptr);
  if (status == kOk) {
    status = codec->write(output, pixmap, mask, maskDescriptor, info);
    PixmapUnlock(pixmap, mask);
  }
  if (status != kOk) {
    ImageStreamDispose(output);
    return status;
  }
  *encoded = ImageStreamDetach(output);
  return kOk;
}
