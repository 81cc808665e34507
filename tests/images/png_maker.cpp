#include <png.h>

#include <csetjmp>

#include "tests/images/image_test_support.h"

namespace {

void AppendBytes(png_structp png, png_bytep data, size_t count) {
  auto* out = static_cast<Bytes*>(png_get_io_ptr(png));
  out->insert(out->end(), data, data + count);
}
void NoFlush(png_structp) {}

}  // namespace

Bytes MakePng(const PngSpec& spec) {
  Bytes out;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    return {};
  }
  png_set_write_fn(png, &out, AppendBytes, NoFlush);
  png_set_IHDR(png, info, spec.width, spec.height, spec.depth, spec.colourType,
               spec.interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
               PNG_FILTER_TYPE_DEFAULT);
  if (!spec.palette.empty()) {
    std::vector<png_color> palette;
    for (const auto& c : spec.palette) palette.push_back(png_color{c[0], c[1], c[2]});
    png_set_PLTE(png, info, palette.data(), int(palette.size()));
  }
  if (!spec.transparentAlphas.empty())
    png_set_tRNS(png, info, spec.transparentAlphas.data(), int(spec.transparentAlphas.size()), nullptr);
  if (spec.transparentGrey >= 0) {
    png_color_16 grey = {};
    grey.gray = png_uint_16(spec.transparentGrey);
    png_set_tRNS(png, info, nullptr, 0, &grey);
  }
  if (spec.physical.unit >= 0) png_set_pHYs(png, info, spec.physical.x, spec.physical.y, spec.physical.unit);
  if (spec.offset.unit >= 0) png_set_oFFs(png, info, spec.offset.x, spec.offset.y, spec.offset.unit);
  if (spec.gamma > 0) png_set_gAMA(png, info, spec.gamma);
  if (spec.srgb) png_set_sRGB(png, info, PNG_sRGB_INTENT_PERCEPTUAL);
  if (spec.background) {
    png_color_16 background = {};
    background.red = spec.backgroundRed, background.green = spec.backgroundGreen;
    background.blue = spec.backgroundBlue, background.gray = spec.backgroundGrey;
    png_set_bKGD(png, info, &background);
  }
  png_write_info(png, info);
  const int passes = spec.interlaced ? png_set_interlace_handling(png) : 1;
  for (int pass = 0; pass < passes; ++pass)
    for (const Bytes& row : spec.rows) png_write_row(png, row.data());
  png_write_end(png, info);
  png_destroy_write_struct(&png, &info);
  return out;
}
