// Images in files of the file layer. Windows only.
#pragma once

#include "files/paths.h"
#include "images/image.h"

// Reads the whole item and decodes it; the outputs are those of ImageRead.
Status ImageLoadFile(PathSpec* base, Location location, Pixmap** pixmap, Pixmap** mask,
                     MaskDescriptor* maskDescriptor, ImageInfo* info);
// Encodes the map into the info's format and writes it as the item `name` of `folder`, in place of any
// item of that name. The picture is encoded before the old item goes, so a failed encoding leaves it be;
// a file that could not be written whole is deleted.
Status ImageSaveFile(PathSpec* folder, const char* name, Pixmap* pixmap, Pixmap* mask,
                     const MaskDescriptor* maskDescriptor, const ImageInfo* info);
