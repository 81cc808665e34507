// Changing a map's size: new bounds (with the picture scaled into them) and widening for tiling.
#include "graphics/pixmap_internal.h"

namespace {

// Replaces the picture of `pixmap` by one of `bounds`, drawn by `draw(replacement)`.
template <class Draw>
Status Rebuild(Pixmap* pixmap, const Rect& bounds, Draw draw) {
  Pixmap* replacement = PixmapNewLike(pixmap, bounds);
  if (!replacement) return kErrMemory;
  const Status status = draw(replacement);
  if (status != kOk) {
    PixmapDispose(replacement);
    return status;
  }
  PixmapReplaceBuffer(pixmap, replacement);
  return kOk;
}

Status Resample(Pixmap* pixmap, const Rect& bounds) {
  return Rebuild(pixmap, bounds, [&](Pixmap* replacement) -> Status {
    return PixmapCopy(replacement, nullptr, pixmap, nullptr, &kPlainCopy, nullptr);
  });
}

// Copies of the picture laid edge to edge from the new bounds' top-left corner.
Status Tile(Pixmap* pixmap, const Rect& bounds) {
  return Rebuild(pixmap, bounds, [&](Pixmap* replacement) -> Status {
    const int32_t w = PixmapWidth(pixmap), h = PixmapHeight(pixmap);
    for (int32_t y = bounds.top; y < bounds.bottom; y += h) {
      for (int32_t x = bounds.left; x < bounds.right; x += w) {
        const Rect at = {x, y, x + w, y + h};
        const Status status = PixmapCopy(replacement, &at, pixmap, nullptr, &kPlainCopy, nullptr);
        if (status != kOk) return status;
      }
    }
    return kOk;
  });
}

int32_t WidenedExtent(int32_t extent) {
  constexpr int32_t kTile = 128;
  return extent >= kTile ? extent : (kTile + extent - 1) / extent * extent;
}

}  // namespace

Status PixmapSetBounds(Pixmap* pixmap, Pixmap* mask, const Rect& bounds) {
  if (!pixmap || (mask && mask->kind != 1)) return kErrArgument;
  if (pixmap->lockCount > 0 || (mask && mask->lockCount > 0)) return kErrPixmapLocked;
  if (bounds.right <= bounds.left || bounds.bottom <= bounds.top) return kErrArgument;
  const bool sameSize = int64_t(bounds.right) - bounds.left == PixmapWidth(pixmap) &&
                        int64_t(bounds.bottom) - bounds.top == PixmapHeight(pixmap);
  if (sameSize) {
    pixmap->bounds = bounds;
    if (mask) mask->bounds = bounds;
    return kOk;
  }
  Status status = Resample(pixmap, bounds);
  if (status == kOk && mask) status = Resample(mask, bounds);
  return status;
}

Status PixmapWidenForTiling(Pixmap* pixmap, Pixmap* mask) {
  if (!pixmap || (mask && mask->kind != 1)) return kErrArgument;
  if (pixmap->lockCount > 0 || (mask && mask->lockCount > 0)) return kErrPixmapLocked;
  const int32_t width = PixmapWidth(pixmap), height = PixmapHeight(pixmap);
  const int32_t wide = WidenedExtent(width), high = WidenedExtent(height);
  if (wide == width && high == height) return kOk;
  const Rect bounds = {pixmap->bounds.left, pixmap->bounds.top, pixmap->bounds.left + wide,
                       pixmap->bounds.top + high};
  Status status = Tile(pixmap, bounds);
  if (status == kOk && mask) {
    const Rect maskBounds = {mask->bounds.left, mask->bounds.top, mask->bounds.left + wide, mask->bounds.top + high};
    status = Tile(mask, maskBounds);
  }
  return status;
}
