#include "images/jpeg_glue.h"

#include "runtime/memory.h"

namespace {

constexpr uint32_t kBufferSize = 4096;
// A progressive file may repeat scans without end; real ones have a dozen.
constexpr int kMostScans = 1000;

[[noreturn]] void ErrorExit(j_common_ptr object) {
  std::longjmp(reinterpret_cast<JpegErrors*>(object->err)->recovery, 1);
}

void OutputMessage(j_common_ptr) {}

void CheckScans(j_common_ptr object) {
  if (reinterpret_cast<j_decompress_ptr>(object)->input_scan_number > kMostScans) {
    object->err->msg_code = JERR_NOTIMPL;
    object->err->error_exit(object);
  }
}

struct Source {
  jpeg_source_mgr manager;  // first: the library sees only this part
  ImageStream* input;
  JOCTET buffer[kBufferSize];
};

void InitSource(j_decompress_ptr) {}

// The end of the data is an error: a truncated file is refused, not completed with grey.
boolean FillInputBuffer(j_decompress_ptr object) {
  auto* source = reinterpret_cast<Source*>(object->src);
  ImageStream* input = source->input;
  const uint32_t left = input->size - input->position;
  const uint32_t count = left < kBufferSize ? left : kBufferSize;
  if (count == 0) ERREXIT(object, JERR_INPUT_EOF);
  ImageStreamRead(input, count, source->buffer);
  source->manager.next_input_byte = source->buffer;
  source->manager.bytes_in_buffer = count;
  return TRUE;
}

void SkipInputData(j_decompress_ptr object, long count) {
  if (count <= 0) return;
  auto* source = reinterpret_cast<Source*>(object->src);
  jpeg_source_mgr& m = source->manager;
  if (size_t(count) <= m.bytes_in_buffer) {
    m.next_input_byte += count;
    m.bytes_in_buffer -= size_t(count);
    return;
  }
  const size_t beyond = size_t(count) - m.bytes_in_buffer;
  m.bytes_in_buffer = 0;
  ImageStream* input = source->input;
  const uint32_t left = input->size - input->position;
  input->position += beyond < left ? uint32_t(beyond) : left;  // past the end: the next fill fails
}

void TermSource(j_decompress_ptr) {}

struct Destination {
  jpeg_destination_mgr manager;  // first: the library sees only this part
  ImageStream* output;
  JOCTET buffer[kBufferSize];
};

void InitDestination(j_compress_ptr object) {
  auto* destination = reinterpret_cast<Destination*>(object->dest);
  destination->manager.next_output_byte = destination->buffer;
  destination->manager.free_in_buffer = kBufferSize;
}

void Flush(j_compress_ptr object, uint32_t count) {
  auto* destination = reinterpret_cast<Destination*>(object->dest);
  // Appending to memory fails only for want of it.
  if (ImageStreamWrite(destination->output, count, destination->buffer) != kOk) ERREXIT1(object, JERR_OUT_OF_MEMORY, 0);
}

boolean EmptyOutputBuffer(j_compress_ptr object) {
  Flush(object, kBufferSize);
  InitDestination(object);
  return TRUE;
}

void TermDestination(j_compress_ptr object) {
  Flush(object, kBufferSize - uint32_t(object->dest->free_in_buffer));
}

}  // namespace

void JpegErrorsAttach(JpegErrors* errors, j_common_ptr object) {
  object->err = jpeg_std_error(&errors->manager);
  errors->manager.error_exit = ErrorExit;
  errors->manager.output_message = OutputMessage;
}

void JpegWatchScans(JpegErrors* errors, j_decompress_ptr object) {
  errors->progress = jpeg_progress_mgr{CheckScans, 0, 0, 0, 0};
  object->progress = &errors->progress;
}

Status JpegErrorStatus(const JpegErrors& errors) {
  return errors.manager.msg_code == JERR_OUT_OF_MEMORY ? kErrMemory : kErrImageData;
}

jpeg_source_mgr* JpegSourceNew(ImageStream* input) {
  auto* source = static_cast<Source*>(BlockNew(sizeof(Source)));
  if (!source) return nullptr;
  source->input = input;
  source->manager = jpeg_source_mgr{nullptr, 0, InitSource, FillInputBuffer, SkipInputData, jpeg_resync_to_restart,
                                    TermSource};
  return &source->manager;
}

jpeg_destination_mgr* JpegDestinationNew(ImageStream* output) {
  auto* destination = static_cast<Destination*>(BlockNew(sizeof(Destination)));
  if (!destination) return nullptr;
  destination->output = output;
  destination->manager = jpeg_destination_mgr{nullptr, 0, InitDestination, EmptyOutputBuffer, TermDestination};
  return &destination->manager;
}
