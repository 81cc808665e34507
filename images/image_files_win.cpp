#include "images/image_files.h"

#include "files/file_system.h"
#include "images/image_codecs.h"

Status ImageLoadFile(PathSpec* base, Location location, Pixmap** pixmap, Pixmap** mask,
                     MaskDescriptor* maskDescriptor, ImageInfo* info) {
  ImageResetOutputs(pixmap, mask, maskDescriptor, info);
  if (!pixmap) return kErrArgument;
  MemoryHandle data = nullptr;
  Status status = FileReadAll(base, location, UINT32_MAX, true, &data);
  if (status != kOk) return status;
  status = ImageRead(data, pixmap, mask, maskDescriptor, info);
  HandleDispose(data);
  return status;
}

Status ImageSaveFile(PathSpec* folder, const char* name, Pixmap* pixmap, Pixmap* mask,
                     const MaskDescriptor* maskDescriptor, const ImageInfo* info) {
  MemoryHandle encoded = nullptr;
  Status status = ImageWrite(pixmap, mask, maskDescriptor, info, &encoded);
  if (status != kOk) return status;
  status = FileDelete(folder, name);
  if (status == kErrFileNotFound) status = kOk;
  // The file layer deletes a file it created when the write fails.
  if (status == kOk) status = FileWriteAll(folder, name, false, false, 0, 0, encoded);
  HandleDispose(encoded);
  return status;
}
