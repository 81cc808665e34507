// The commands of the image tool, apart from its command line so that tests can run them. Each writes
// what it did to `out` and its complaints to `err`, and returns 0 on success and 1 on failure.
#pragma once

#include <cstdio>
#include <string>

#include "runtime/fourcc.h"

// The format a file name's extension names (letter case aside), or 0.
FourCC ImageFormatOfName(const std::string& name);

// Format, size, depth and transparency of a picture, one line each.
int ShowImageInfo(const std::string& path, FILE* out, FILE* err);

// Reads any picture the program reads and writes it in the format the output's extension names.
// `quality` (0 to 100, or -1 for the best) matters to JPEG only.
int ConvertImage(const std::string& input, const std::string& output, int quality, FILE* out, FILE* err);
