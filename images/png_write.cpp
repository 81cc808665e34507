// The PNG writer: indexed maps as palette images of the smallest depth, direct maps as RGB, or RGBA
// when a mask map carries their alpha.
#include <csetjmp>

#include "images/image_codecs.h"
#include "images/png_glue.h"
#include "runtime/memory.h"

namespace {

struct PngWriteState {
  png_structp png;
  png_infop info;
  Pixmap* pixmap;
  Pixmap* mask;  // set only when its alpha is written
  const MaskDescriptor* maskDescriptor;
  const ImageInfo* imageInfo;
  uint8_t* row;
};

int PaletteDepth(uint32_t count) { return count <= 2 ? 1 : count <= 4 ? 2 : count <= 16 ? 4 : 8; }

Status FillRow(PngWriteState* s, int32_t y, int32_t width) {
  for (int32_t x = 0; x < width; ++x) {
    Colour c;
    const Status status = PixmapGetPixelColour(s->pixmap, s->mask, x, y, &c);
    if (status != kOk) return status;
    uint8_t* p = s->row + x * 4;
    p[0] = c.blue, p[1] = c.green, p[2] = c.red, p[3] = c.alpha;
  }
  return kOk;
}

Status Encode(PngWriteState* s) {
  if (setjmp(png_jmpbuf(s->png))) return kErrImageData;
  png_structp png = s->png;
  Pixmap* pixmap = s->pixmap;
  const int32_t width = PixmapWidth(pixmap), height = PixmapHeight(pixmap);
  const bool indexed = pixmap->kind == 1;
  const uint32_t count = pixmap->colourTable.count > 256 ? 256 : pixmap->colourTable.count;
  const int depth = indexed ? PaletteDepth(ImageColoursUsed(pixmap)) : 8;
  const int colourType = indexed ? PNG_COLOR_TYPE_PALETTE : s->mask ? PNG_COLOR_TYPE_RGB_ALPHA : PNG_COLOR_TYPE_RGB;
  const bool interlaced = s->imageInfo && s->imageInfo->interlaced;
  png_set_IHDR(png, s->info, png_uint_32(width), png_uint_32(height), depth, colourType,
               interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
               PNG_FILTER_TYPE_DEFAULT);
  if (indexed) {
    png_color palette[256] = {};
    const int entries = 1 << depth;
    for (uint32_t i = 0; i < count; ++i) {
      const Colour c = pixmap->colourTable.entries[i];
      palette[i] = png_color{c.red, c.green, c.blue};
    }
    png_set_PLTE(png, s->info, palette, entries);
    // The table's alphas and a transparent index are kept, so the picture reads back as it was.
    png_byte alphas[256];
    int listed = 0;
    for (int i = 0; i < entries; ++i) {
      alphas[i] = uint32_t(i) < count ? pixmap->colourTable.entries[i].alpha : 255;
      if (s->maskDescriptor && s->maskDescriptor->mode == kTransferKeyColour && s->maskDescriptor->alphaOrIndex == i)
        alphas[i] = 0;
      if (alphas[i] < 255) listed = i + 1;
    }
    if (listed > 0) png_set_tRNS(png, s->info, alphas, listed, nullptr);
  } else if (s->imageInfo && s->imageInfo->hasBackground) {
    png_color_16 background = {};
    background.red = s->imageInfo->background.red;
    background.green = s->imageInfo->background.green;
    background.blue = s->imageInfo->background.blue;
    png_set_bKGD(png, s->info, &background);
  }
  if (s->imageInfo && s->imageInfo->gamma != 1.0 && s->imageInfo->gamma != 0.0)
    png_set_gAMA(png, s->info, 1.0 / s->imageInfo->gamma);
  png_write_info(png, s->info);
  if (!indexed) {
    png_set_bgr(png);
    if (!s->mask) png_set_filler(png, 0, PNG_FILLER_AFTER);
  }
  if (depth < 8) png_set_packing(png);

  const int passes = interlaced ? png_set_interlace_handling(png) : 1;
  for (int pass = 0; pass < passes; ++pass) {
    for (int32_t y = 0; y < height; ++y) {
      if (indexed) {
        png_write_row(png, pixmap->baseAddress + size_t(y) * pixmap->rowBytes);
        continue;
      }
      const Status status = FillRow(s, y, width);
      if (status != kOk) return status;
      png_write_row(png, s->row);
    }
  }
  png_write_end(png, s->info);
  return kOk;
}

}  // namespace

Status PngWrite(ImageStream* output, Pixmap* pixmap, Pixmap* mask, const MaskDescriptor* maskDescriptor,
                const ImageInfo* info) {
  PngWriteState state{};
  state.pixmap = pixmap;
  state.mask = pixmap->kind > 1 && mask && maskDescriptor && maskDescriptor->mode == kTransferMask ? mask : nullptr;
  state.maskDescriptor = maskDescriptor;
  state.imageInfo = info;
  state.row = pixmap->kind > 1 ? static_cast<uint8_t*>(BlockNew(size_t(PixmapWidth(pixmap)) * 4)) : nullptr;
  state.png = PngCreateWrite(output);
  if (state.png) state.info = png_create_info_struct(state.png);
  const Status status = !state.info || (pixmap->kind > 1 && !state.row) ? kErrMemory : Encode(&state);
  png_destroy_write_struct(state.png ? &state.png : nullptr, state.info ? &state.info : nullptr);
  BlockDispose(state.row);
  if (status != kOk) ImageStreamReset(output);
  return status;
}
