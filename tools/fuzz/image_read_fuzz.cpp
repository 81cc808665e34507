// Fuzz target: image recognition and every reader on any bytes. What decodes is checked for sane
// outputs and sent through the GIF and PNG writers and read again.
#include <cstdint>
#include <cstdlib>

#include "images/image.h"

namespace {

void Check(bool condition) {
  if (!condition) std::abort();
}

void RoundTrip(Pixmap* pixmap, Pixmap* mask, const MaskDescriptor& descriptor, FourCC format) {
  ImageInfo info{};
  ImageInfoReset(&info);
  info.format = format;
  MemoryHandle encoded = nullptr;
  const Status status = ImageWrite(pixmap, mask, &descriptor, &info, &encoded);
  if (status != kOk) {
    Check(encoded == nullptr);
    return;
  }
  Pixmap* again = nullptr;
  Check(ImageRead(encoded, &again, nullptr, nullptr, nullptr) == kOk);
  Check(again->bounds.right - again->bounds.left == pixmap->bounds.right - pixmap->bounds.left);
  PixmapDispose(again);
  HandleDispose(encoded);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  MemoryHandle handle = HandleNewFromData(data, size);
  if (!handle) return 0;
  Pixmap *pixmap = nullptr, *mask = nullptr;
  MaskDescriptor descriptor;
  ImageInfo info;
  const Status status = ImageRead(handle, &pixmap, &mask, &descriptor, &info);
  Check((status == kOk) == (pixmap != nullptr));
  if (pixmap) {
    Check(pixmap->bounds.right > pixmap->bounds.left && pixmap->bounds.bottom > pixmap->bounds.top);
    Check(!mask || descriptor.mode == kTransferMask);
    // Small pictures only: the writers are not what large inputs are about.
    if (uint64_t(pixmap->rowBytes) * uint64_t(pixmap->bounds.bottom - pixmap->bounds.top) < (1u << 16)) {
      RoundTrip(pixmap, mask, descriptor, kImageGif);
      RoundTrip(pixmap, mask, descriptor, kImagePng);
    }
  }
  PixmapDispose(pixmap);
  PixmapDispose(mask);
  HandleDispose(handle);
  return 0;
}
