#include "graphics/region.h"

#include <cstdint>

#include "graphics/port_objects.h"
#include "runtime/memory.h"

namespace {

constexpr int32_t kWideOpenReach = 32000;

int64_t Width(const Rect& rect) { return int64_t{rect.right} - rect.left; }
int64_t Height(const Rect& rect) { return int64_t{rect.bottom} - rect.top; }

int32_t MapCoordinate(int32_t value, int32_t fromLow, int64_t fromExtent, int32_t toLow, int64_t toExtent) {
  return static_cast<int32_t>((int64_t{value} - fromLow) * toExtent / fromExtent + toLow);
}

RECT MapRect(const RECT& rect, const Rect& a, const Rect& b) {
  return RECT{MapCoordinate(rect.left, b.left, Width(b), a.left, Width(a)),
              MapCoordinate(rect.top, b.top, Height(b), a.top, Height(a)),
              MapCoordinate(rect.right, b.left, Width(b), a.left, Width(a)),
              MapCoordinate(rect.bottom, b.top, Height(b), a.top, Height(a))};
}

// Rebuilds the region from its rectangles, each carried across; rectangles that shrink to nothing go.
Status RegionScale(HRGN region, const Rect& a, const Rect& b) {
  const DWORD size = GetRegionData(region, 0, nullptr);
  if (size == 0) return GdiFailure(kErrMemory);
  UniqueBlock<RGNDATA> data(static_cast<RGNDATA*>(BlockNew(size)));
  if (!data || GetRegionData(region, size, data.get()) != size) return GdiFailure(kErrMemory);

  RGNDATAHEADER& header = data->rdh;
  header.rcBound = MapRect(header.rcBound, a, b);
  auto* rects = reinterpret_cast<RECT*>(data->Buffer);
  DWORD kept = 0;
  for (DWORD i = 0; i < header.nCount; ++i) {
    const RECT mapped = MapRect(rects[i], a, b);
    if (mapped.left < mapped.right && mapped.top < mapped.bottom) rects[kept++] = mapped;
  }
  header.nCount = kept;
  header.nRgnSize = kept * sizeof(RECT);

  HRGN rebuilt = ExtCreateRegion(nullptr, sizeof header + header.nRgnSize, data.get());
  if (!rebuilt) return GdiFailure(kErrMemory);
  const int type = CombineRgn(region, rebuilt, nullptr, RGN_COPY);
  DeleteObject(rebuilt);
  return type == ERROR ? GdiFailure(kErrMemory) : kOk;
}

Status RegionSetWholePlane(HRGN region) {
  if (!SetRectRgn(region, kWholePlane.left, kWholePlane.top, kWholePlane.right, kWholePlane.bottom))
    return GdiFailure(kErrMemory);
  return kOk;
}

Rect RectFrom(const RECT& rect) { return Rect{rect.left, rect.top, rect.right, rect.bottom}; }

using PointConversion = BOOL(WINAPI*)(HDC, POINT*, int);

// The region's box, and the box converted by LPtoDP or DPtoLP.
Status Boxes(HDC dc, HRGN region, PointConversion convert, Rect* box, Rect* converted) {
  RECT corners;
  if (GetRgnBox(region, &corners) == ERROR) return GdiFailure(kErrMemory);
  *box = RectFrom(corners);
  if (!convert(dc, reinterpret_cast<POINT*>(&corners), 2)) return GdiFailure(kErrMemory);
  *converted = RectFrom(corners);
  return kOk;
}

// The region in device coordinates: the region itself when the mapping leaves its box alone, else a
// mapped copy (in *copy, for the caller to delete).
Status ToDevice(HDC dc, HRGN region, HRGN* device, HRGN* copy) {
  *copy = nullptr;
  *device = region;
  Rect logicalBox, deviceBox;
  const Status status = Boxes(dc, region, LPtoDP, &logicalBox, &deviceBox);
  if (status != kOk || logicalBox == deviceBox) return status;
  *device = *copy = RegionCopyNew(region);
  return *copy ? RegionMap(*copy, deviceBox, logicalBox) : kErrMemory;
}

// GetClipRgn answers in device coordinates.
Status DeviceClipToLogical(HDC dc, HRGN region) {
  Rect deviceBox, logicalBox;
  const Status status = Boxes(dc, region, DPtoLP, &deviceBox, &logicalBox);
  if (status != kOk || logicalBox == deviceBox) return status;
  return RegionMap(region, logicalBox, deviceBox);
}

Status SelectClip(HDC dc, HRGN region, int mode) {
  return ExtSelectClipRgn(dc, region, mode) == ERROR ? GdiFailure(kErrMemory) : kOk;
}

Status SelectLogicalRegion(GraphicsPort* port, HRGN region, int mode) {
  HRGN device, copy;
  Status status = ToDevice(port->dc, region, &device, &copy);
  if (status == kOk) status = SelectClip(port->dc, device, mode);
  RegionDispose(copy);
  return status;
}

}  // namespace

HRGN RegionNew() {
  HRGN region = CreateRectRgn(0, 0, 0, 0);
  if (!region) GdiFailure(kErrMemory);
  return region;
}

HRGN RegionCopyNew(HRGN region) {
  HRGN copy = RegionNew();
  if (copy && CombineRgn(copy, region, nullptr, RGN_COPY) == ERROR) {
    DeleteObject(copy);
    GdiFailure(kErrMemory);
    return nullptr;
  }
  return copy;
}

void RegionDispose(HRGN region) {
  if (region) DeleteObject(region);
}

Status RegionBounds(HRGN region, Rect* bounds) {
  RECT box;
  if (GetRgnBox(region, &box) == ERROR) return GdiFailure(kErrMemory);
  *bounds = RectFrom(box);
  return kOk;
}

Status RegionSetRect(HRGN region, const Rect& rect) {
  const RECT limited = GdiRect(rect);
  if (!SetRectRgn(region, limited.left, limited.top, limited.right, limited.bottom))
    return GdiFailure(kErrMemory);
  return kOk;
}

Status RegionUnion(HRGN destination, HRGN a, HRGN b) {
  return CombineRgn(destination, a, b, RGN_OR) == ERROR ? GdiFailure(kErrMemory) : kOk;
}

Status RegionMap(HRGN region, const Rect& a, const Rect& b) {
  if (Width(a) == Width(b) && Height(a) == Height(b)) {
    const int64_t dx = int64_t{a.left} - b.left;
    const int64_t dy = int64_t{a.top} - b.top;
    if (dx == 0 && dy == 0) return kOk;
    return OffsetRgn(region, static_cast<int>(dx), static_cast<int>(dy)) == ERROR ? GdiFailure(kErrMemory)
                                                                                    : kOk;
  }
  if (Width(b) == 0 || Height(b) == 0) return kErrArgument;
  return RegionScale(region, a, b);
}

bool RegionIsWideOpen(HRGN region) {
  RECT box;
  return GetRgnBox(region, &box) == SIMPLEREGION && box.left <= -kWideOpenReach &&
         box.top <= -kWideOpenReach && box.right >= kWideOpenReach && box.bottom >= kWideOpenReach;
}

Status PortGetClip(GraphicsPort* port, HRGN* clip) {
  *clip = nullptr;
  HRGN region = RegionNew();
  if (!region) return kErrMemory;
  Status status;
  switch (GetClipRgn(port->dc, region)) {
    case 0:
      status = RegionSetWholePlane(region);
      break;
    case 1:
      status = DeviceClipToLogical(port->dc, region);
      break;
    default:
      status = GdiFailure(kErrGraphics);
  }
  if (status != kOk) {
    RegionDispose(region);
    return status;
  }
  *clip = region;
  return kOk;
}

Status PortSetClip(GraphicsPort* port, HRGN region) {
  if (RegionIsWideOpen(region)) return SelectClip(port->dc, nullptr, RGN_COPY);
  return SelectLogicalRegion(port, region, RGN_COPY);
}

Status PortSetClipRect(GraphicsPort* port, const Rect& rect) {
  RECT corners = GdiRect(rect);
  if (!LPtoDP(port->dc, reinterpret_cast<POINT*>(&corners), 2)) return GdiFailure(kErrMemory);
  HRGN region = CreateRectRgnIndirect(&corners);
  if (!region) return GdiFailure(kErrMemory);
  const Status status = SelectClip(port->dc, region, RGN_COPY);
  DeleteObject(region);
  return status;
}

Status PortIntersectClip(GraphicsPort* port, HRGN region) {
  // Nothing to cut; carrying the whole plane into device coordinates would only overflow.
  if (RegionIsWideOpen(region)) return kOk;
  return SelectLogicalRegion(port, region, RGN_AND);
}

Status PortIntersectClipRect(GraphicsPort* port, const Rect& rect) {
  HRGN region = RegionNew();
  if (!region) return kErrMemory;
  Status status = RegionSetRect(region, rect);
  if (status == kOk) status = PortIntersectClip(port, region);
  RegionDispose(region);
  return status;
}

