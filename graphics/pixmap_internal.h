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

// The plain copy, for the copies the layer makes itself.
constexpr TransferMode kPlainCopy = {kTransferCopy, 0, 0, 0, 0};

inline bool RectIsEmpty(const Rect& r) { return r.right <= r.left || r.bottom <= r.top; }
// Cuts `cut` so that it lies within `limit`, moving the edges of `other` in proportion: a cut of d
// pixels moves the other edge by d * (its extent) / (this extent). Both copies clip their rectangles so.
void RectClipInProportion(Rect& cut, Rect& other, const Rect& limit);

// The inverse table for `table` (the map's own when none), rebuilt when it is stale.
const uint8_t* PixmapInverseTable(Pixmap* pixmap, const ColourTable* table);

// A memory-only map, or one of the same device kind, with this map's format and table.
Pixmap* PixmapNewLike(Pixmap* pixmap, const Rect& bounds);
// Gives `pixmap` the picture, size and buffer of `replacement` and disposes of `replacement` with the
// old buffer. The links, table and identity stay.
void PixmapReplaceBuffer(Pixmap* pixmap, Pixmap* replacement);

// The mode a copy runs in: the automatic choice (1 with a mask, else 2 for a source with alpha, else
// 0), the shortcuts of alpha 0 (`nothing`) and 255, and the modes that lack what they need. -7001 for
// an unknown mode.
Status PixmapChooseMode(const TransferMode* record, const Pixmap* source, const Pixmap* mask, uint32_t* mode,
                        bool* nothing);

// Fills a new record of a world: format, bounds, row bytes, table, identity and the DIB description,
// all but the pixel memory. False for an unsupported format or size.
bool PixmapInitRecord(Pixmap* pixmap, const Rect& bounds, uint32_t formatCode, const ColourTable* table);

// Fills the DIB description of the buffer from the record's format, size and table.
void PixelBufferDescribe(Pixmap* pixmap);
