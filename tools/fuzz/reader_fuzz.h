// What the fuzz targets of the single readers share: one reader on any bytes, its outputs checked, and
// what it decodes written by the format's own writer and read back by the same reader.
#pragma once

#include <cstdint>
#include <cstdlib>

#include "images/image_codecs.h"

inline void FuzzCheck(bool condition) {
  if (!condition) std::abort();
}

inline int FuzzReader(ImageReader read, ImageWriter write, const uint8_t* data, size_t size) {
  MemoryHandle handle = HandleNewFromData(data, size);
  if (!handle) return 0;
  HandleSetLock(handle, true);  // the readers keep pointers into it, as under ImageRead
  ImageStream input = ImageStreamOver(handle);
  Pixmap *pixmap = nullptr, *mask = nullptr;
  MaskDescriptor descriptor;
  ImageInfo info;
  const Status status = read(&input, &pixmap, &mask, &descriptor, &info);
  FuzzCheck((status == kOk) == (pixmap != nullptr));
  FuzzCheck(status == kOk || mask == nullptr);
  FuzzCheck(input.position <= input.size);
  // Small pictures only: the writers are not what large inputs are about.
  if (pixmap && uint64_t(pixmap->rowBytes) * uint64_t(pixmap->bounds.bottom - pixmap->bounds.top) < (1u << 16)) {
    FuzzCheck(pixmap->bounds.right > pixmap->bounds.left && pixmap->bounds.bottom > pixmap->bounds.top);
    ImageStream* output = ImageStreamNewOutput();
    FuzzCheck(PixmapLock(pixmap, mask, nullptr) == kOk);
    const Status written = write(output, pixmap, mask, &descriptor, &info);
    PixmapUnlock(pixmap, mask);
    if (written == kOk) {
      HandleSetLock(output->data, true);
      ImageStream again = ImageStreamOver(output->data);
      Pixmap* copy = nullptr;
      FuzzCheck(read(&again, &copy, nullptr, nullptr, nullptr) == kOk);
      FuzzCheck(copy->bounds.right - copy->bounds.left == pixmap->bounds.right - pixmap->bounds.left);
      PixmapDispose(copy);
      HandleSetLock(output->data, false);
    } else {
      FuzzCheck(output->size == 0);
    }
    ImageStreamDispose(output);
  }
  PixmapDispose(pixmap);
  PixmapDispose(mask);
  HandleSetLock(handle, false);
  HandleDispose(handle);
  return 0;
}
