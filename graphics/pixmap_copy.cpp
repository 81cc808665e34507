// The general copy between pixel maps: mode choice, clipping in proportion, loop selection.
#include <cstdint>

#include "graphics/colour_match.h"
#include "graphics/pixel_loops.h"
#include "graphics/pixmap_internal.h"
#include "runtime/memory.h"

namespace {

int64_t Extent(int32_t low, int32_t high) { return int64_t(high) - low; }

int32_t Clamp32(int64_t v) { return int32_t(v < INT32_MIN ? INT32_MIN : v > INT32_MAX ? INT32_MAX : v); }

void TableColours(const ColourTable& table, uint32_t colours[256]) {
  for (uint32_t i = 0; i < 256; ++i) colours[i] = ColourToArgb(table.entries[i]);
}

}  // namespace

void RectClipInProportion(Rect& cut, Rect& other, const Rect& limit) {
  auto side = [](int32_t& edge, int32_t& otherEdge, int64_t amount, int64_t extent, int64_t otherExtent,
                 int direction) {
    if (amount <= 0 || extent <= 0) return;
    edge = Clamp32(edge + direction * amount);
    otherEdge = Clamp32(otherEdge + direction * (amount * otherExtent / extent));
  };
  side(cut.left, other.left, int64_t(limit.left) - cut.left, Extent(cut.left, cut.right),
       Extent(other.left, other.right), 1);
  side(cut.right, other.right, int64_t(cut.right) - limit.right, Extent(cut.left, cut.right),
       Extent(other.left, other.right), -1);
  side(cut.top, other.top, int64_t(limit.top) - cut.top, Extent(cut.top, cut.bottom),
       Extent(other.top, other.bottom), 1);
  side(cut.bottom, other.bottom, int64_t(cut.bottom) - limit.bottom, Extent(cut.top, cut.bottom),
       Extent(other.top, other.bottom), -1);
}

Status PixmapChooseMode(const TransferMode* record, const Pixmap* source, const Pixmap* mask, uint32_t* mode,
                        bool* nothing) {
  *nothing = false;
  if (!record) {
    *mode = mask ? kTransferMask : PixelFormatHasAlpha(source->format) ? kTransferSourceAlpha : kTransferCopy;
    return kOk;
  }
  *mode = record->mode;
  switch (*mode) {
    case kTransferCopy:
    case kTransferKeyColour:
      return kOk;
    case kTransferMask:
      if (!mask) *mode = kTransferCopy;  // no coverage given: everything is covered
      return kOk;
    case kTransferSourceAlpha:
      if (!PixelFormatHasAlpha(source->format)) *mode = kTransferCopy;
      return kOk;
    case kTransferBlend:
    case kTransferMaskBlend:
      if (!mask) *mode = kTransferBlend;
      if (record->alphaOrIndex == 0) *nothing = true;
      if (record->alphaOrIndex == 255) *mode = *mode == kTransferBlend ? kTransferCopy : kTransferMask;
      return kOk;
    default:
      return kErrArgument;
  }
}

Status PixmapCopy(Pixmap* destination, const Rect* destinationRect, Pixmap* source, Pixmap* mask,
                  const TransferMode* record, const Rect* sourceRect) {
  if (!destination || !source || (mask && mask->kind != 1)) return kErrArgument;
  uint32_t mode = 0;
  bool nothing = false;
  Status status = PixmapChooseMode(record, source, mask, &mode, &nothing);
  if (status != kOk || nothing) return status;
  const bool usesMask = mode == kTransferMask || mode == kTransferMaskBlend;

  Rect to = destinationRect ? *destinationRect : destination->bounds;
  Rect from = sourceRect ? *sourceRect : source->bounds;
  if (RectIsEmpty(to) || RectIsEmpty(from)) return kOk;
  Rect sourceLimit = source->bounds;
  if (usesMask) {  // the mask lies over the source's bounds and may be smaller
    if (PixmapWidth(mask) < PixmapWidth(source)) sourceLimit.right = sourceLimit.left + PixmapWidth(mask);
    if (PixmapHeight(mask) < PixmapHeight(source)) sourceLimit.bottom = sourceLimit.top + PixmapHeight(mask);
  }
  RectClipInProportion(to, from, destination->bounds);
  if (RectIsEmpty(to) || RectIsEmpty(from)) return kOk;
  RectClipInProportion(from, to, sourceLimit);
  if (RectIsEmpty(to) || RectIsEmpty(from)) return kOk;

  // Both rectangles now lie within their maps, so their extents fit.
  const int32_t width = int32_t(Extent(to.left, to.right)), height = int32_t(Extent(to.top, to.bottom));
  const int32_t sourceWidth = int32_t(Extent(from.left, from.right));
  const int32_t sourceHeight = int32_t(Extent(from.top, from.bottom));
  const bool scaled = width != sourceWidth || height != sourceHeight;
  const bool sameTable = source->kind == 1 && destination->kind == 1 &&
                         source->tableIdentity == destination->tableIdentity;
  const int destinationKind = sameTable ? kSameTable : destination->kind;
  CopyLoop loop = SelectPlainLoop(mode, source->kind, destinationKind, scaled);
  if (!loop) loop = SelectBlendLoop(mode, source->kind, destinationKind, scaled);
  if (!loop) return kErrArgument;

  UniqueBlock<CopyJob> job(static_cast<CopyJob*>(BlockNewClear(sizeof(CopyJob))));
  UniqueBlock<int32_t> columns(scaled ? static_cast<int32_t*>(BlockNew(sizeof(int32_t) * size_t(width))) : nullptr);
  if (!job || (scaled && !columns)) return kErrMemory;
  if (scaled) {
    for (int32_t x = 0; x < width; ++x) columns.get()[x] = int32_t(int64_t(x) * sourceWidth / width);
  }

  // A map may be its own destination; it is then locked twice, which is harmless. The mask is locked
  // on its own: it may be smaller than the source.
  Pixmap* usedMask = usesMask ? mask : nullptr;
  PixmapAccess sourceAccess, maskAccess{}, destinationAccess;
  if ((status = PixmapLock(source, nullptr, &sourceAccess)) != kOk) return status;
  if (usedMask && (status = PixmapLock(usedMask, nullptr, &maskAccess)) != kOk) {
    PixmapUnlock(source, nullptr);
    return status;
  }
  if ((status = PixmapLock(destination, nullptr, &destinationAccess)) != kOk) {
    PixmapUnlock(source, usedMask);
    return status;
  }

  CopyJob& j = *job;
  const int32_t sx = from.left - source->bounds.left, sy = from.top - source->bounds.top;
  j.source = sourceAccess.base + size_t(sy) * sourceAccess.rowBytes + size_t(sx) * source->kind;
  j.sourceRowBytes = sourceAccess.rowBytes;
  if (usesMask) {
    j.mask = maskAccess.base + size_t(sy) * maskAccess.rowBytes + size_t(sx);
    j.maskRowBytes = maskAccess.rowBytes;
  }
  j.destination = destinationAccess.base +
                  size_t(to.top - destination->bounds.top) * destinationAccess.rowBytes +
                  size_t(to.left - destination->bounds.left) * destination->kind;
  j.destinationRowBytes = destinationAccess.rowBytes;
  j.width = width;
  j.height = height;
  j.sourceHeight = sourceHeight;
  j.columns = columns.get();
  j.sourceFormat = source->format;
  j.destinationFormat = destination->format;
  if (source->kind == 1) TableColours(source->colourTable, j.sourceColours);
  if (destination->kind == 1) {
    TableColours(destination->colourTable, j.destinationColours);
    j.inverse = PixmapInverseTable(destination, nullptr);
  }
  if (record && mode == kTransferKeyColour) {
    // A direct key is compared on its colour bits alone, whatever the pixel's alpha.
    const PixelFormat& f = source->format;
    j.keyMask = source->kind == 1 ? 0xFFu
                                  : uint32_t(f.red.mask) << f.red.shift | uint32_t(f.green.mask) << f.green.shift |
                                        uint32_t(f.blue.mask) << f.blue.shift;
    j.key = source->kind == 1 ? record->alphaOrIndex
                              : PixelPack(f, uint32_t(record->red) << 16 | uint32_t(record->green) << 8 |
                                                 record->blue) & j.keyMask;
  }
  if (record) j.weight = uint32_t(AlphaWeight(record->alphaOrIndex));
  loop(j);

  PixmapUnlock(source, usedMask);
  PixmapUnlock(destination, nullptr);
  return kOk;
}
