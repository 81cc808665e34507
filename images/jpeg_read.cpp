// The JPEG reader: libjpeg decodes into 32-bit maps; JPEG images are opaque.
#include "images/image_reading.h"
#include "images/jpeg_glue.h"

namespace {

// Everything the decoding touches lives here, outside the frame that libjpeg may unwind to.
struct JpegReadState {
  jpeg_decompress_struct jpeg;
  JpegErrors errors;
  bool created;
  ImageStream* input;
  ImageInfo* info;
  BuiltImage* built;
};

Status Decode(JpegReadState* s) {
  if (setjmp(s->errors.recovery)) return JpegErrorStatus(s->errors);
  j_decompress_ptr jpeg = &s->jpeg;
  JpegErrorsAttach(&s->errors, reinterpret_cast<j_common_ptr>(jpeg));
  s->created = true;  // destroying is safe even when creating fails half-way
  jpeg_create_decompress(jpeg);
  JpegWatchScans(&s->errors, jpeg);
  if (!(jpeg->src = JpegSourceNew(s->input))) return kErrMemory;
  jpeg_read_header(jpeg, TRUE);
  // Red, green and blue in the 32-bit map's own byte order, so that rows go straight into the map.
  jpeg->out_color_space = JCS_EXT_BGRX;
  jpeg_calc_output_dimensions(jpeg);
  if (!ImageSizeFits(jpeg->output_width, jpeg->output_height, 4)) return kErrImageData;
  jpeg_start_decompress(jpeg);
  const auto width = int32_t(jpeg->output_width), height = int32_t(jpeg->output_height);
  Status status = s->built->Make(Rect{0, 0, width, height}, kPixel32, nullptr);
  if (status != kOk) return status;
  if (s->info) {
    s->info->format = kImageJpeg;
    s->info->gamma = jpeg->output_gamma;
  }
  for (int32_t y = 0; y < height; ++y) {
    JSAMPROW row = s->built->Row(y);
    if (jpeg_read_scanlines(jpeg, &row, 1) != 1) status = kErrGraphics;
  }
  jpeg_finish_decompress(jpeg);
  return status;
}

}  // namespace

Status JpegRead(ImageStream* input, Pixmap** pixmap, Pixmap** mask, MaskDescriptor* maskDescriptor,
                ImageInfo* info) {
  ImageResetOutputs(pixmap, mask, maskDescriptor, info);
  BuiltImage built;
  JpegReadState state{};
  state.input = input;
  state.info = info;
  state.built = &built;
  Status status = Decode(&state);
  if (state.created) {
    BlockDispose(state.jpeg.src);
    state.jpeg.src = nullptr;
    jpeg_destroy_decompress(&state.jpeg);
  }
  if (status != kOk) {
    ImageInfoReset(info);
    return status;
  }
  built.HandOut(pixmap, mask);
  return kOk;
}
