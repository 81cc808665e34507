// The PNG reader: libpng decodes; this file chooses the transformations, turns the colour types into
// pixel maps and carries transparency, gamma, background, physical size and offset over.
#include <cmath>
#include <csetjmp>

#include "graphics/colour_tables.h"
#include "images/image_codecs.h"
#include "images/png_glue.h"

namespace {

constexpr double kScreenGamma = 2.2;

// Everything the decoding touches lives here, outside the frame that libpng may unwind to.
struct PngReadState {
  png_structp png;
  png_infop info;
  ImageInfo* imageInfo;
  MaskDescriptor* maskDescriptor;
  bool wantMask;
  Pixmap* image;
  Pixmap* mask;
  png_bytep* rows;
};

void ReadBackground(PngReadState* s, int colourType) {
  png_color_16p background = nullptr;
  if (!s->imageInfo || !png_get_bKGD(s->png, s->info, &background)) return;
  ImageInfo& info = *s->imageInfo;
  info.hasBackground = 1;
  if (colourType & PNG_COLOR_MASK_COLOR) {
    info.background = Colour{255, uint8_t(background->red), uint8_t(background->green), uint8_t(background->blue)};
  } else {
    const auto grey = uint8_t(background->gray);
    info.background = Colour{255, grey, grey, grey};
  }
}

void RequestGamma(PngReadState* s) {
  int intent = 0;
  double fileGamma = 0;
  double gamma = kScreenGamma;
  if (png_get_sRGB(s->png, s->info, &intent)) {
    png_set_sRGB(s->png, s->info, intent);
  } else if (png_get_gAMA(s->png, s->info, &fileGamma) && fileGamma > 0) {
    png_set_gamma(s->png, kScreenGamma, fileGamma);
    gamma = 1.0 / fileGamma;
  } else {
    png_set_gamma(s->png, kScreenGamma, 1.0 / kScreenGamma);
  }
  if (s->imageInfo) s->imageInfo->gamma = gamma;
}

// The physical size as scale factors; both 1 when the picture keeps its size.
struct Factors {
  double x = 1, y = 1;
};

Factors AspectFactors(png_uint_32 ratio) {
  Factors f;
  if (ratio == 0) return f;  // pixels more than twice as wide as high: left as they are
  if (ratio > 1) f.x = ratio;
  if (1.0 / ratio > 1) f.y = 1.0 / ratio;
  return f;
}

// The new size for the physical size chunk, or false when the picture keeps its size.
bool PhysicalSize(PngReadState* s, int32_t width, int32_t height, int32_t* newWidth, int32_t* newHeight) {
  png_uint_32 xPerUnit = 0, yPerUnit = 0;
  int unit = 0;
  if (!png_get_pHYs(s->png, s->info, &xPerUnit, &yPerUnit, &unit) || xPerUnit == 0 || yPerUnit == 0) return false;
  const png_uint_32 ratio = yPerUnit / xPerUnit;
  Factors f;
  if (unit == PNG_RESOLUTION_UNKNOWN) {
    f = AspectFactors(ratio);
  } else if (unit == PNG_RESOLUTION_METER) {
    if (xPerUnit != 2835) f.x = xPerUnit * 0.0254 / 72;
    if (yPerUnit != 2835) f.y = yPerUnit * 0.0254 / 72;
  }
  if (f.x == 1 && f.y == 1) return false;
  auto fits = [&](const Factors& g) {
    const double w = std::round(width * g.x), h = std::round(height * g.y);
    if (w < 1 || h < 1 || w >= 4096 || h >= 4096) return false;
    *newWidth = int32_t(w), *newHeight = int32_t(h);
    return true;
  };
  if (fits(f)) return !(*newWidth == width && *newHeight == height);
  const Factors aspect = AspectFactors(ratio);
  return fits(aspect) && !(*newWidth == width && *newHeight == height);
}

// The offset chunk moves the bounds; an offset that leaves the coordinate range is not applied.
Status ApplyOffset(PngReadState* s) {
  png_int_32 x = 0, y = 0;
  int unit = 0;
  if (!png_get_oFFs(s->png, s->info, &x, &y, &unit)) return kOk;
  int64_t left = x, top = y;
  if (unit == PNG_OFFSET_MICROMETER) {
    left = std::llround(x * 72.0 / 25400), top = std::llround(y * 72.0 / 25400);
  } else if (unit != PNG_OFFSET_PIXEL) {
    return kOk;
  }
  const int64_t right = left + PixmapWidth(s->image), bottom = top + PixmapHeight(s->image);
  if (right > INT32_MAX || bottom > INT32_MAX) return kOk;
  return PixmapSetBounds(s->image, s->mask, Rect{int32_t(left), int32_t(top), int32_t(right), int32_t(bottom)});
}

void FillMask(PngReadState* s) {
  Pixmap* image = s->image;
  const int32_t width = PixmapWidth(image), height = PixmapHeight(image);
  for (int32_t y = 0; y < height; ++y) {
    const uint8_t* pixel = image->baseAddress + size_t(y) * image->rowBytes;
    uint8_t* coverage = s->mask->baseAddress + size_t(y) * s->mask->rowBytes;
    for (int32_t x = 0; x < width; ++x) {
      coverage[x] = image->kind == 4 ? pixel[x * 4 + 3] : image->colourTable.entries[pixel[x]].alpha;
    }
  }
}

// Everything that calls into libpng, under its recovery point.
Status Decode(PngReadState* s) {
  if (setjmp(png_jmpbuf(s->png))) return kErrImageData;
  png_structp png = s->png;
  png_read_info(png, s->info);
  png_uint_32 width = 0, height = 0;
  int depth = 0, colourType = 0, interlace = 0;
  png_get_IHDR(png, s->info, &width, &height, &depth, &colourType, &interlace, nullptr, nullptr);
  if (s->imageInfo) s->imageInfo->format = kImagePng;
  ReadBackground(s, colourType);
  RequestGamma(s);

  const bool hasTransparency = png_get_valid(png, s->info, PNG_INFO_tRNS) != 0;
  if ((colourType == PNG_COLOR_TYPE_GRAY || colourType == PNG_COLOR_TYPE_RGB) && hasTransparency) {
    png_set_tRNS_to_alpha(png);
    colourType |= PNG_COLOR_MASK_ALPHA;
  }
  ColourTable table{};
  uint32_t format = kPixelIndexed;
  uint32_t maskKind = kTransferCopy;
  uint8_t transparentIndex = 255;
  switch (colourType) {
    case PNG_COLOR_TYPE_GRAY: {
      if (depth < 8) png_set_packing(png);
      if (depth == 16) png_set_strip_16(png);
      const uint32_t levels = 1u << (depth < 8 ? depth : 8);
      table.count = levels;
      for (uint32_t i = 0; i < levels; ++i) {
        const auto level = uint8_t(i * (255 / (levels - 1)));
        table.entries[i] = Colour{255, level, level, level};
      }
      break;
    }
    case PNG_COLOR_TYPE_RGB:
    case PNG_COLOR_TYPE_RGB_ALPHA:
      if (depth == 16) png_set_strip_16(png);
      png_set_bgr(png);
      if (!(colourType & PNG_COLOR_MASK_ALPHA)) png_set_filler(png, 255, PNG_FILLER_AFTER);
      format = kPixel8888;
      if (colourType & PNG_COLOR_MASK_ALPHA) maskKind = kTransferMask;
      break;
    case PNG_COLOR_TYPE_PALETTE: {
      png_colorp palette = nullptr;
      int entries = 0;
      if (!png_get_PLTE(png, s->info, &palette, &entries)) return kErrGraphics;
      table.count = 1u << depth;
      for (int i = 0; i < entries && i < 256; ++i)
        table.entries[i] = Colour{255, palette[i].red, palette[i].green, palette[i].blue};
      for (uint32_t i = uint32_t(entries); i < table.count; ++i) table.entries[i] = Colour{255, 0, 0, 0};
      png_bytep alphas = nullptr;
      int listed = 0;
      if (hasTransparency && png_get_tRNS(png, s->info, &alphas, &listed, nullptr) && alphas && listed > 0) {
        uint32_t smallest = 0;
        for (int i = 0; i < listed && i < 256; ++i) {
          table.entries[i].alpha = alphas[i];
          if (alphas[i] < table.entries[smallest].alpha) smallest = uint32_t(i);
        }
        if (table.entries[smallest].alpha < 255) {
          maskKind = kTransferKeyColour;
          transparentIndex = uint8_t(smallest);
        }
      }
      if (depth < 8) png_set_packing(png);
      break;
    }
    case PNG_COLOR_TYPE_GRAY_ALPHA:
      if (depth == 16) png_set_strip_16(png);
      png_set_gray_to_rgb(png);
      png_set_bgr(png);
      format = kPixel8888;
      maskKind = kTransferMask;
      break;
    default:
      return kErrImageFormat;
  }
  png_set_interlace_handling(png);
  png_read_update_info(png, s->info);

  const uint64_t bytes = uint64_t(width) * (format == kPixelIndexed ? 1 : 4) * height;
  if (width > INT32_MAX || height > INT32_MAX || bytes > kPixmapMaxBytes) return kErrImageData;
  const Rect bounds = {0, 0, int32_t(width), int32_t(height)};
  s->image = PixmapNew(bounds, format, format == kPixelIndexed ? &table : nullptr);
  if (!s->image) return kErrMemory;
  if (maskKind == kTransferMask && s->wantMask) {
    s->mask = PixmapNew(bounds, kPixelIndexed, &GreyColourTable());
    if (!s->mask) return kErrMemory;
  }
  if (s->maskDescriptor && maskKind != kTransferCopy)
    *s->maskDescriptor = MaskDescriptor{maskKind, transparentIndex, 0, 0, 0};
  if (png_get_rowbytes(png, s->info) > s->image->rowBytes) return kErrImageData;

  PixmapAccess access;
  Status status = PixmapLock(s->image, s->mask, &access);
  if (status != kOk) return status;
  s->rows = static_cast<png_bytep*>(BlockNew(sizeof(png_bytep) * height));
  if (!s->rows) {
    PixmapUnlock(s->image, s->mask);
    return kErrMemory;
  }
  for (png_uint_32 y = 0; y < height; ++y) s->rows[y] = access.base + size_t(y) * access.rowBytes;
  // A libpng error from here on leaves the maps locked; the caller unlocks them with the rest.
  png_read_image(png, s->rows);
  png_read_end(png, nullptr);
  if (s->mask) FillMask(s);
  PixmapUnlock(s->image, s->mask);

  int32_t newWidth = 0, newHeight = 0;
  if (PhysicalSize(s, int32_t(width), int32_t(height), &newWidth, &newHeight)) {
    status = PixmapSetBounds(s->image, s->mask, Rect{0, 0, newWidth, newHeight});
    if (status != kOk) return status;
  }
  return ApplyOffset(s);
}

}  // namespace

Status PngRead(ImageStream* input, Pixmap** pixmap, Pixmap** mask, MaskDescriptor* maskDescriptor, ImageInfo* info) {
  ImageResetOutputs(pixmap, mask, maskDescriptor, info);
  PngReadState state{};
  state.imageInfo = info;
  state.maskDescriptor = maskDescriptor;
  state.wantMask = mask != nullptr;
  state.png = PngCreateRead(input);
  if (state.png) state.info = png_create_info_struct(state.png);
  Status status = state.info ? Decode(&state) : kErrMemory;
  png_destroy_read_struct(state.png ? &state.png : nullptr, state.info ? &state.info : nullptr, nullptr);
  BlockDispose(state.rows);
  if (state.image) {
    while (state.image->lockCount > 0) PixmapUnlock(state.image, nullptr);
    while (state.mask && state.mask->lockCount > 0) PixmapUnlock(state.mask, nullptr);
  }
  if (status != kOk) {
    PixmapDispose(state.image);
    PixmapDispose(state.mask);
    ImageResetOutputs(pixmap, mask, maskDescriptor, info);
    return status;
  }
  *pixmap = state.image;
  if (mask) *mask = state.mask;
  return kOk;
}
