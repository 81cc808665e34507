// Copying a pixel map onto a device context: straight from the memory copy, through a one-bit mask
// for a transparent colour, or through the general copy on pixels read back from the device.
#include "graphics/colour_match.h"
#include "graphics/pixmap_device.h"
#include "graphics/pixmap_internal.h"
#include "graphics/port_objects.h"
#include "graphics/rect_limit.h"
#include "runtime/memory.h"

namespace {

int32_t Width(const Rect& r) { return r.right - r.left; }
int32_t Height(const Rect& r) { return r.bottom - r.top; }

// The description of the rows of `from` alone, so that GDI sees a top-down picture starting at its
// first row whatever its conventions for the source origin.
struct RowsDescription {
  DibHeader header;
  uint32_t colours[256];
};

const uint8_t* RowsOf(const Pixmap* pixmap, const Rect& from, RowsDescription* description) {
  description->header = pixmap->buffer.header;
  description->header.height = -Height(from);
  BytesCopy(description->colours, pixmap->buffer.colours, sizeof description->colours);
  return pixmap->baseAddress + size_t(from.top - pixmap->bounds.top) * pixmap->rowBytes;
}

Status Plain(HDC dc, const Rect& to, Pixmap* pixmap, const Rect& from) {
  RowsDescription description;
  const uint8_t* rows = RowsOf(pixmap, from, &description);
  const auto* info = reinterpret_cast<const BITMAPINFO*>(&description);
  const int x = from.left - pixmap->bounds.left;
  int lines;
  if (Width(to) == Width(from) && Height(to) == Height(from) && GetMapMode(dc) == MM_TEXT) {
    lines = SetDIBitsToDevice(dc, to.left, to.top, DWORD(Width(from)), DWORD(Height(from)), x, 0, 0,
                              UINT(Height(from)), rows, info, DIB_RGB_COLORS);
  } else {
    lines = StretchDIBits(dc, to.left, to.top, Width(to), Height(to), x, 0, Width(from), Height(from), rows, info,
                          DIB_RGB_COLORS, SRCCOPY);
  }
  return lines > 0 ? kOk : GdiFailure(kErrGraphics);
}

// A memory context holding a bitmap, released at the end of the scope.
class MemoryBitmap {
 public:
  MemoryBitmap(HDC reference, HBITMAP bitmap) : dc_(CreateCompatibleDC(reference)), bitmap_(bitmap) {
    if (dc_ && bitmap_) previous_ = SelectObject(dc_, bitmap_);
  }
  ~MemoryBitmap() {
    if (previous_) SelectObject(dc_, previous_);
    if (bitmap_) DeleteObject(bitmap_);
    if (dc_) DeleteDC(dc_);
  }
  MemoryBitmap(const MemoryBitmap&) = delete;
  MemoryBitmap& operator=(const MemoryBitmap&) = delete;
  bool ok() const { return previous_ != nullptr; }
  HDC dc() const { return dc_; }

 private:
  HDC dc_;
  HBITMAP bitmap_;
  HGDIOBJ previous_ = nullptr;
};

// The key as GDI sees it once the source is on the device: an index's table colour, or the record's
// colour cut to the source's channels and expanded again.
COLORREF KeyColour(const Pixmap* pixmap, const TransferMode& mode) {
  uint32_t argb;
  if (pixmap->kind == 1) {
    argb = ColourToArgb(pixmap->colourTable.entries[mode.alphaOrIndex]);
  } else {
    const uint32_t raw = PixelPack(pixmap->format, uint32_t(mode.red) << 16 | uint32_t(mode.green) << 8 | mode.blue);
    argb = PixelUnpack(pixmap->format, raw);
  }
  return RGB(argb >> 16 & 255, argb >> 8 & 255, argb & 255);
}

Status KeyColourCopy(HDC dc, const Rect& to, Pixmap* pixmap, const Rect& from, const TransferMode& mode) {
  const int w = Width(from), h = Height(from);
  MemoryBitmap colour(dc, CreateCompatibleBitmap(dc, w, h));
  MemoryBitmap mask(dc, CreateBitmap(w, h, 1, 1, nullptr));
  if (!colour.ok() || !mask.ok()) return GdiFailure(kErrGraphics);
  Status status = Plain(colour.dc(), Rect{0, 0, w, h}, pixmap, from);
  if (status != kOk) return status;
  // Key pixels become white in the mask, and black in the colour bitmap (destination AND NOT source).
  // A one-bit source turns into the target context's background colour for 1 and text colour for 0.
  SetBkColor(colour.dc(), KeyColour(pixmap, mode));
  bool ok = BitBlt(mask.dc(), 0, 0, w, h, colour.dc(), 0, 0, SRCCOPY);
  SetBkColor(colour.dc(), RGB(255, 255, 255));
  SetTextColor(colour.dc(), RGB(0, 0, 0));
  ok = ok && BitBlt(colour.dc(), 0, 0, w, h, mask.dc(), 0, 0, 0x220326);
  // Mask and colour onto the device: the mask keeps the key pixels' destination, the colour paints the rest.
  const COLORREF text = SetTextColor(dc, RGB(0, 0, 0)), back = SetBkColor(dc, RGB(255, 255, 255));
  if (ok && Width(to) == w && Height(to) == h) {
    ok = BitBlt(dc, to.left, to.top, w, h, mask.dc(), 0, 0, SRCAND) &&
         BitBlt(dc, to.left, to.top, w, h, colour.dc(), 0, 0, SRCPAINT);
  } else if (ok) {
    ok = StretchBlt(dc, to.left, to.top, Width(to), Height(to), mask.dc(), 0, 0, w, h, SRCAND) &&
         StretchBlt(dc, to.left, to.top, Width(to), Height(to), colour.dc(), 0, 0, w, h, SRCPAINT);
  }
  SetTextColor(dc, text);
  SetBkColor(dc, back);
  return ok ? kOk : GdiFailure(kErrGraphics);
}

// Modes 1 to 4: the destination area is read back into a map of the device's format, combined by the
// general copy and written back.
Status BlendedCopy(HDC dc, const Rect& to, Pixmap* pixmap, Pixmap* mask, const TransferMode* mode, const Rect& from) {
  const Rect area = {0, 0, Width(to), Height(to)};
  Pixmap* under = PixmapNewForDevice(dc, area, DeviceFormatCode(dc), nullptr, false);
  if (!under) return kErrGraphics;
  HDC underDc = static_cast<HDC>(under->buffer.memoryContext);
  Status status = BitBlt(underDc, 0, 0, area.right, area.bottom, dc, to.left, to.top, SRCCOPY)
                      ? kOk
                      : GdiFailure(kErrGraphics);
  if (status == kOk) {
    under->flags |= kPixmapDeviceNewer;
    status = PixmapCopy(under, &area, pixmap, mask, mode, &from);
  }
  if (status == kOk) status = Plain(dc, to, under, area);
  PixmapDispose(under);
  return status;
}

}  // namespace

Status PixmapToDevice(HDC dc, const Rect* destinationRect, Pixmap* pixmap, Pixmap* mask, const TransferMode* mode,
                      const Rect* sourceRect) {
  if (!dc || !pixmap || (mask && mask->kind != 1)) return kErrArgument;
  uint32_t resolved = 0;
  bool nothing = false;
  Status status = PixmapChooseMode(mode, pixmap, mask, &resolved, &nothing);
  if (status != kOk || nothing) return status;
  // The source within the map, the destination cut in proportion by the map's edges.
  Rect from = sourceRect ? *sourceRect : pixmap->bounds;
  Rect to = RectLimitSpans(destinationRect ? *destinationRect : from);
  if (RectIsEmpty(from) || RectIsEmpty(to)) return kOk;
  RectClipInProportion(from, to, pixmap->bounds);
  if (RectIsEmpty(from) || RectIsEmpty(to)) return kOk;

  // The memory copy is what goes out: bring it up to date with what GDI drew.
  if ((status = PixmapLock(pixmap, nullptr, nullptr)) != kOk) return status;
  switch (resolved) {
    case kTransferCopy: status = Plain(dc, to, pixmap, from); break;
    case kTransferKeyColour: status = KeyColourCopy(dc, to, pixmap, from, *mode); break;
    default: status = BlendedCopy(dc, to, pixmap, mask, mode, from); break;
  }
  // Reading does not make the memory copy newer: the lock is given back without that mark.
  if (pixmap->lockCount > 0) --pixmap->lockCount;
  return status;
}
