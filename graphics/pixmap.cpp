#include "graphics/pixmap.h"

#include <cstring>
#include <utility>

#include "graphics/colour_match.h"
#include "graphics/colour_tables.h"
#include "graphics/pixel_store.h"
#include "graphics/pixmap_internal.h"
#include "runtime/memory.h"

namespace {

bool ValidMask(const Pixmap* pixmap, const Pixmap* mask) {
  return !mask || (mask->kind == 1 && PixmapWidth(mask) >= PixmapWidth(pixmap) &&
                   PixmapHeight(mask) >= PixmapHeight(pixmap));
}

uint8_t* PixelAt(const Pixmap* pixmap, int32_t x, int32_t y) {
  return pixmap->baseAddress + size_t(y) * pixmap->rowBytes + size_t(x) * pixmap->kind;
}

bool Inside(const Pixmap* pixmap, int32_t x, int32_t y) {
  return x >= 0 && y >= 0 && x < PixmapWidth(pixmap) && y < PixmapHeight(pixmap);
}

Status LockOne(Pixmap* pixmap) {
  if (pixmap->buffer.device && (pixmap->flags & kPixmapDeviceNewer)) {
    const Status status = pixmap->buffer.device->readBack(pixmap);
    if (status != kOk) return status;
    pixmap->flags &= uint8_t(~kPixmapDeviceNewer);
  }
  ++pixmap->lockCount;
  return kOk;
}

void UnlockOne(Pixmap* pixmap) {
  if (pixmap->lockCount > 0) --pixmap->lockCount;
  pixmap->flags |= kPixmapMemoryNewer;
}

}  // namespace

bool PixmapInitRecord(Pixmap* pixmap, const Rect& bounds, uint32_t formatCode, const ColourTable* table) {
  PixelFormat format;
  if (!PixelFormatDescribe(formatCode, &format)) return false;
  const bool indexed = format.bytesPerPixel == 1;
  if (indexed && (!table || table->count > 256)) return false;
  const int64_t width = int64_t(bounds.right) - bounds.left, height = int64_t(bounds.bottom) - bounds.top;
  if (width <= 0 || height <= 0) return false;
  const int64_t rowBytes = (width * format.bytesPerPixel * 8 + 31) / 32 * 4;
  if (rowBytes * height > kPixmapMaxBytes) return false;
  pixmap->kind = format.bytesPerPixel;
  pixmap->bitsPerPixel = uint8_t(format.bytesPerPixel * 8);
  pixmap->format = format;
  pixmap->bounds = bounds;
  pixmap->rowBytes = uint32_t(rowBytes);
  if (indexed) {
    pixmap->colourTable = *table;
    pixmap->tableIdentity = ColourTableNewIdentity(*table);
  } else {
    pixmap->tableIdentity = PixelFormatIdentity(format);
  }
  pixmap->inverseStale = 1;
  PixelBufferDescribe(pixmap);
  return true;
}

Pixmap* PixmapNew(const Rect& bounds, uint32_t formatCode, const ColourTable* table) {
  GraphicsWorld* world = WorldNew(0, sizeof(Pixmap));
  if (!world) return nullptr;
  Pixmap* pixmap = world->links.pixmap;
  uint8_t* memory = nullptr;
  if (PixmapInitRecord(pixmap, bounds, formatCode, table))
    memory = static_cast<uint8_t*>(BlockNewClear(size_t(pixmap->rowBytes) * size_t(PixmapHeight(pixmap))));
  if (!memory) {
    WorldDispose(world);
    return nullptr;
  }
  pixmap->baseAddress = memory;
  pixmap->buffer.kind = PixelBufferKind::MemoryOnly;
  pixmap->buffer.memory = memory;
  return pixmap;
}

void PixmapDispose(Pixmap* pixmap) {
  if (!pixmap) return;
  if (pixmap->buffer.device) pixmap->buffer.device->release(pixmap);
  BlockDispose(pixmap->buffer.memory);
  WorldDispose(pixmap->links.world);
}

void PixelBufferDescribe(Pixmap* pixmap) {
  PixelBuffer& buffer = pixmap->buffer;
  const PixelFormat& format = pixmap->format;
  buffer.header = DibHeader{sizeof(DibHeader), PixmapWidth(pixmap), -PixmapHeight(pixmap), 1,
                            pixmap->bitsPerPixel, kDibPlain, 0, 0, 0, 0, 0};
  std::memset(buffer.colours, 0, sizeof buffer.colours);
  if (pixmap->kind == 1) {
    buffer.header.clrUsed = 256;
    for (uint32_t i = 0; i < 256; ++i) buffer.colours[i] = ColourToArgb(pixmap->colourTable.entries[i]) & 0xFFFFFF;
    return;
  }
  // GDI's own layouts are 5-5-5 for 16 bits and red 16, green 8, blue 0 for 32; the others need masks.
  const bool own = pixmap->kind == 3 ||
                   (pixmap->kind == 2 && format.red.bits == 5 && format.green.bits == 5 && format.red.shift == 10) ||
                   (pixmap->kind == 4 && format.red.shift == 16 && format.blue.shift == 0);
  if (own) return;
  buffer.header.compression = kDibBitFields;
  buffer.colours[0] = uint32_t(format.red.mask) << format.red.shift;
  buffer.colours[1] = uint32_t(format.green.mask) << format.green.shift;
  buffer.colours[2] = uint32_t(format.blue.mask) << format.blue.shift;
}

Status PixmapBounds(const Pixmap* pixmap, Rect* bounds) {
  if (!pixmap || !bounds) return kErrArgument;
  *bounds = pixmap->bounds;
  return kOk;
}

bool PixmapIsDirect(const Pixmap* pixmap) { return pixmap && pixmap->kind > 1; }

Status PixmapGetColourTable(const Pixmap* pixmap, ColourTable* table) {
  if (!pixmap || !table) return kErrArgument;
  if (pixmap->kind == 1) {
    *table = pixmap->colourTable;
  } else {
    std::memset(table, 0, sizeof *table);
  }
  return kOk;
}

Status PixmapLock(Pixmap* pixmap, Pixmap* mask, PixmapAccess* access) {
  if (!pixmap || !ValidMask(pixmap, mask)) return kErrArgument;
  Status status = LockOne(pixmap);
  if (status != kOk) return status;
  if (mask && (status = LockOne(mask)) != kOk) {
    --pixmap->lockCount;
    return status;
  }
  if (access) {
    *access = PixmapAccess{pixmap->baseAddress, pixmap->rowBytes, mask ? mask->baseAddress : nullptr,
                           mask ? mask->rowBytes : 0};
  }
  return kOk;
}

Status PixmapUnlock(Pixmap* pixmap, Pixmap* mask) {
  if (!pixmap) return kErrArgument;
  UnlockOne(pixmap);
  if (mask) UnlockOne(mask);
  return kOk;
}

PixmapCallLock::PixmapCallLock(Pixmap* pixmap, Pixmap* mask) {
  if (pixmap->lockCount == 0) {
    status_ = LockOne(pixmap);
    if (status_ != kOk) return;
    pixmap_ = pixmap;
  }
  if (mask && mask->lockCount == 0) {
    status_ = LockOne(mask);
    if (status_ == kOk) mask_ = mask;
  }
}

PixmapCallLock::~PixmapCallLock() {
  if (pixmap_) UnlockOne(pixmap_);
  if (mask_) UnlockOne(mask_);
}

Status PixmapSetIndexRow(Pixmap* pixmap, Pixmap* mask, int32_t row, const uint8_t* indices) {
  if (!pixmap || pixmap->kind != 1 || !indices || !ValidMask(pixmap, mask) || !Inside(pixmap, 0, row))
    return kErrArgument;
  PixmapCallLock lock(pixmap, mask);
  if (lock.status() != kOk) return lock.status();
  const int32_t width = PixmapWidth(pixmap);
  std::memcpy(PixelAt(pixmap, 0, row), indices, size_t(width));
  if (mask) {
    uint8_t* coverage = PixelAt(mask, 0, row);
    for (int32_t x = 0; x < width; ++x) coverage[x] = pixmap->colourTable.entries[indices[x]].alpha;
  }
  return kOk;
}

Status PixmapSetColourRow(Pixmap* pixmap, Pixmap* mask, int32_t row, const Colour* colours) {
  if (!pixmap || pixmap->kind == 1 || !colours || !ValidMask(pixmap, mask) || !Inside(pixmap, 0, row))
    return kErrArgument;
  PixmapCallLock lock(pixmap, mask);
  if (lock.status() != kOk) return lock.status();
  const int32_t width = PixmapWidth(pixmap);
  uint8_t* pixel = PixelAt(pixmap, 0, row);
  for (int32_t x = 0; x < width; ++x, pixel += pixmap->kind)
    PixelStoreAny(pixel, pixmap->kind, PixelPack(pixmap->format, ColourToArgb(colours[x])));
  if (mask) {
    uint8_t* coverage = PixelAt(mask, 0, row);
    for (int32_t x = 0; x < width; ++x) coverage[x] = colours[x].alpha;
  }
  return kOk;
}

Status PixmapGetPixelColour(Pixmap* pixmap, Pixmap* mask, int32_t x, int32_t y, Colour* colour) {
  if (!pixmap || !colour || !ValidMask(pixmap, mask) || !Inside(pixmap, x, y)) return kErrArgument;
  PixmapCallLock lock(pixmap, mask);
  if (lock.status() != kOk) return lock.status();
  const uint32_t raw = PixelLoadAny(PixelAt(pixmap, x, y), pixmap->kind);
  *colour = pixmap->kind == 1 ? pixmap->colourTable.entries[raw] : ArgbToColour(PixelUnpack(pixmap->format, raw));
  if (mask) colour->alpha = *PixelAt(mask, x, y);
  return kOk;
}

const uint8_t* PixmapInverseTable(Pixmap* pixmap, const ColourTable* table) {
  if (!table) table = pixmap->kind == 1 ? &pixmap->colourTable : &SystemColourTable();
  if (pixmap->inverseStale || pixmap->inverseFor != table) {
    InverseTableBuild(*table, pixmap->inverseTable);
    pixmap->inverseFor = table;
    pixmap->inverseStale = 0;
  }
  return pixmap->inverseTable;
}

Status PixmapGetPixelIndex(Pixmap* pixmap, Pixmap* mask, const ColourTable* table, int32_t x, int32_t y,
                           uint8_t* index) {
  if (!pixmap || !index || !ValidMask(pixmap, mask) || !Inside(pixmap, x, y)) return kErrArgument;
  PixmapCallLock lock(pixmap, mask);
  if (lock.status() != kOk) return lock.status();
  const uint32_t raw = PixelLoadAny(PixelAt(pixmap, x, y), pixmap->kind);
  if (pixmap->kind == 1) {
    *index = uint8_t(raw);
  } else {
    *index = PixmapInverseTable(pixmap, table)[InverseTableSlot(PixelUnpack(pixmap->format, raw))];
  }
  return kOk;
}

Pixmap* PixmapNewLike(Pixmap* pixmap, const Rect& bounds) {
  Pixmap* like = pixmap->buffer.device
                     ? pixmap->buffer.device->newLike(pixmap, bounds)
                     : PixmapNew(bounds, pixmap->format.code, pixmap->kind == 1 ? &pixmap->colourTable : nullptr);
  // The same table keeps the same identity, so copies between the two move indices unchanged.
  if (like) like->tableIdentity = pixmap->tableIdentity;
  return like;
}

void PixmapReplaceBuffer(Pixmap* pixmap, Pixmap* replacement) {
  // A bitmap can be in one context only: both leave their contexts before they change places.
  if (pixmap->buffer.device) {
    pixmap->buffer.device->selectBitmap(pixmap, false);
    replacement->buffer.device->selectBitmap(replacement, false);
  }
  std::swap(pixmap->bounds, replacement->bounds);
  std::swap(pixmap->rowBytes, replacement->rowBytes);
  std::swap(pixmap->baseAddress, replacement->baseAddress);
  std::swap(pixmap->buffer, replacement->buffer);
  std::swap(pixmap->flags, replacement->flags);
  // A context stays with its record (an offscreen port draws into it); the bitmaps change places.
  std::swap(pixmap->buffer.memoryContext, replacement->buffer.memoryContext);
  std::swap(pixmap->buffer.previousBitmap, replacement->buffer.previousBitmap);
  if (pixmap->buffer.device) {
    pixmap->buffer.device->selectBitmap(pixmap, true);
    replacement->buffer.device->selectBitmap(replacement, true);
  }
  PixmapDispose(replacement);
}
