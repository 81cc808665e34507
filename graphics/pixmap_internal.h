// What the pixel-map files share among themselves.
#pragma once

#include "graphics/pixmap.h"

// Locks a map (and a mask) for one operation when they are not locked already.
class PixmapCallLock {
 public:
  PixmapCallLock(Pixmap* pixmap, Pixmap* mask);
  ~PixmapCallLock();
  PixmapCallLock(const PixmapCallLock&) = delete;
  PixmapCallLock& operator=(const PixmapCallLock&) = delete;
  Status status() const { return status_; }

 private:
  Pixmap* pixmap_ = nullptr;
  Pixmap* mask_ = nullptr;
  Status status_ = kOk;
};

inline int32_t PixmapWidth(const Pixmap* pixmap) { return pixmap->bounds.right - pixmap->bounds.left; }
inline int32_t PixmapHeight(const Pixmap* pixmap) { return pixmap->bounds.bottom - pixmap->bounds.top; }

// The inverse table for `table` (the map's own when none), rebuilt when it is stale.
const uint8_t* PixmapInverseTable(Pixmap* pixmap, const ColourTable* table);

// A memory-only map, or one of the same device kind, with this map's format and table.
Pixmap* PixmapNewLike(Pixmap* pixmap, const Rect& bounds);
// Gives `pixmap` the picture, size and buffer of `replacement` and disposes of `replacement` with the
// old buffer. The links, table and identity stay.
void PixmapReplaceBuffer(Pixmap* pixmap, Pixmap* replacement);

// Fills the DIB description of the buffer from the record's format, size and table.
void PixelBufferDescribe(Pixmap* pixmap);
