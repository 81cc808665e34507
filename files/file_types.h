// The file type table: which type and creator codes go with which name extension.
#pragma once

#include "runtime/fourcc.h"

struct FileType {
  FourCC type;
  FourCC creator;
};

// By the name's extension (the text after its last ".", or the whole name without one), compared as
// up to four lower-case characters. A name that ends in "." is looked up by the type given instead.
// Unknown extensions and types give "????" for both.
FileType FileTypeForName(const char* name, FourCC type);
FileType FileTypeForType(FourCC type);
