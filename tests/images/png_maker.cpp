#include <png.h>

#include <csetjmp>

#include "tests/images/image_test_support.h"

Bytes MakePng(const PngShape& shape) {
  Bytes out;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    return {};
  }
  png_set_write_fn(
      png, &out,
      [](png_structp p, png_bytep data, size_t count) {
        auto* bytes = static_cast<Bytes*>(png_get_io_ptr(p));
        bytes->insert(bytes->end(), data, data + count);
      },
      [](png_structp) {});
  png_set_IHDR(png, info, shape.width, shape.height, shape.depth, shape.colourType, PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  std::vector<png_color> palette;
  for (const auto& c : shape.palette) palette.push_back(png_color{c[0], c[1], c[2]});
  if (!palette.empty()) png_set_PLTE(png, info, palette.data(), int(palette.size()));
  png_color_16 colour = {};
  if (!shape.transparentAlphas.empty())
    png_set_tRNS(png, info, shape.transparentAlphas.data(), int(shape.transparentAlphas.size()), nullptr);
  if (shape.transparentGrey >= 0) {
    colour.gray = png_uint_16(shape.transparentGrey);
    png_set_tRNS(png, info, nullptr, 0, &colour);
  }
  if (shape.physical.unit >= 0) png_set_pHYs(png, info, shape.physical.x, shape.physical.y, shape.physical.unit);
  if (shape.offset.unit >= 0) png_set_oFFs(png, info, shape.offset.x, shape.offset.y, shape.offset.unit);
  if (shape.gamma > 0) png_set_gAMA(png, info, shape.gamma);
  if (shape.srgb) png_set_sRGB(png, info, PNG_sRGB_INTENT_PERCEPTUAL);
  if (shape.backgroundGrey >= 0) {
    colour.gray = png_uint_16(shape.backgroundGrey);
    png_set_bKGD(png, info, &colour);
  }
  png_write_info(png, info);
  for (const Bytes& row : shape.rows) png_write_row(png, row.data());
  png_write_end(png, info);
  png_destroy_write_struct(&png, &info);
  return out;
}
