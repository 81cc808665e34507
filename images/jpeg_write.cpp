// The JPEG writer: red, green and blue of every pixel, at the quality the compression level asks for.
#include "images/image_codecs.h"
#include "images/jpeg_glue.h"
#include "runtime/memory.h"

namespace {

struct JpegWriteState {
  jpeg_compress_struct jpeg;
  JpegErrors errors;
  bool created;
  ImageStream* output;
  Pixmap* pixmap;
  const ImageInfo* info;
  JSAMPLE* row;
};

Status Encode(JpegWriteState* s) {
  if (setjmp(s->errors.recovery)) return JpegErrorStatus(s->errors);
  j_compress_ptr jpeg = &s->jpeg;
  JpegErrorsAttach(&s->errors, reinterpret_cast<j_common_ptr>(jpeg));
  s->created = true;  // destroying is safe even when creating fails half-way
  jpeg_create_compress(jpeg);
  if (!(jpeg->dest = JpegDestinationNew(s->output))) return kErrMemory;
  const int32_t width = PixmapWidth(s->pixmap), height = PixmapHeight(s->pixmap);
  jpeg->image_width = JDIMENSION(width);
  jpeg->image_height = JDIMENSION(height);
  jpeg->input_components = 3;
  jpeg->in_color_space = JCS_RGB;
  jpeg_set_defaults(jpeg);
  if (s->info) {
    // Level 0 is the best quality, 255 the smallest file.
    jpeg_set_quality(jpeg, (255 - s->info->compression) * 100 / 255, TRUE);
    if (s->info->gamma != 0.0) jpeg->input_gamma = s->info->gamma;
  }
  jpeg_start_compress(jpeg, TRUE);
  for (int32_t y = 0; y < height; ++y) {
    for (int32_t x = 0; x < width; ++x) {
      Colour c;
      const Status status = PixmapGetPixelColour(s->pixmap, nullptr, x, y, &c);
      if (status != kOk) return status;
      JSAMPLE* p = s->row + 3 * x;
      p[0] = c.red, p[1] = c.green, p[2] = c.blue;
    }
    jpeg_write_scanlines(jpeg, &s->row, 1);
  }
  jpeg_finish_compress(jpeg);
  return kOk;
}

}  // namespace

Status JpegWrite(ImageStream* output, Pixmap* pixmap, Pixmap*, const MaskDescriptor*, const ImageInfo* info) {
  // The format's sizes are 16-bit, and the library stops at 65500.
  if (PixmapWidth(pixmap) > JPEG_MAX_DIMENSION || PixmapHeight(pixmap) > JPEG_MAX_DIMENSION) return kErrImageData;
  JpegWriteState state{};
  state.output = output;
  state.pixmap = pixmap;
  state.info = info;
  state.row = static_cast<JSAMPLE*>(BlockNew(size_t(PixmapWidth(pixmap)) * 3));
  Status status = state.row ? Encode(&state) : kErrMemory;
  if (state.created) {
    BlockDispose(state.jpeg.dest);
    state.jpeg.dest = nullptr;
    jpeg_destroy_compress(&state.jpeg);
  }
  BlockDispose(state.row);
  if (status != kOk) ImageStreamReset(output);
  return status;
}
