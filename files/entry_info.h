// The record through which callers describe an item to create, rename or query: an archive entry here,
// a disk file or folder in the file layer.
#pragma once

#include <cstdint>

#include "runtime/fourcc.h"

struct EntryInfo {
  char name[256];      // escaped form of a path component
  uint8_t readable;
  uint8_t writable;
  uint8_t container;   // holds other items: a nested archive, a folder, an archive file
  uint8_t hidden;      // stored and reported, not acted on
  uint8_t isArchive;   // on query: the item is a chunk archive
  // On create of a container: the number of directory records to start with (1 to 1000, else 10). On
  // query: used entries of a nested archive, entry count of an archive file, items in a folder, or the
  // size of a plain item in bytes.
  uint32_t countOrSize;
  uint32_t created;    // seconds since 1970-01-01 00:00 UTC, of the disk file that holds the item
  uint32_t modified;
  FourCC type;
  FourCC creator;      // from the file type table; not stored in archives
};
