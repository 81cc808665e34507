// What the PNG reader and writer share: libpng created with the system's allocation, silent warnings,
// and errors that unwind to the caller's recovery point.
#pragma once

#include <png.h>

#include "images/image_stream.h"

png_structp PngCreateRead(ImageStream* input);
png_structp PngCreateWrite(ImageStream* output);
