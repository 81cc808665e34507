// Pixel maps with a device side: DIB sections and compatible bitmaps in memory contexts, kept in step
// with their memory copies, and the maps that mirror a window.
#include "graphics/pixmap_device.h"

#include "graphics/pixmap_internal.h"
#include "graphics/port_objects.h"
#include "runtime/memory.h"

namespace {

const BITMAPINFO* InfoOf(const Pixmap* pixmap) {
  return reinterpret_cast<const BITMAPINFO*>(&pixmap->buffer.header);
}

// The separate memory of a compatible bitmap goes to and from the device through a 32-bit picture,
// which every device reads and writes alike; the pixel loops convert between it and the map's format.
// The bitmap cannot be read or written while it is selected into a context.
class Unselected {
 public:
  explicit Unselected(Pixmap* pixmap)
      : dc_(static_cast<HDC>(pixmap->buffer.memoryContext)), held_(SelectObject(dc_, pixmap->buffer.previousBitmap)) {}
  ~Unselected() { SelectObject(dc_, held_); }
  Unselected(const Unselected&) = delete;
  Unselected& operator=(const Unselected&) = delete;
  HDC dc() const { return dc_; }

 private:
  HDC dc_;
  HGDIOBJ held_;
};

Status ReadBack(Pixmap* pixmap) {
  GdiFlush();
  if (pixmap->buffer.kind != PixelBufferKind::CompatibleBitmap) return kOk;
  Pixmap* picture = PixmapNew(pixmap->bounds, kPixel32, nullptr);
  if (!picture) return kErrMemory;
  const int height = PixmapHeight(pixmap);
  int lines;
  {
    Unselected unselected(pixmap);
    lines = GetDIBits(unselected.dc(), static_cast<HBITMAP>(pixmap->buffer.bitmap), 0, UINT(height),
                      picture->baseAddress, const_cast<BITMAPINFO*>(InfoOf(picture)), DIB_RGB_COLORS);
  }
  Status status = lines == height ? kOk : GdiFailure(kErrGraphics);
  if (status == kOk) {
    pixmap->flags &= uint8_t(~kPixmapDeviceNewer);  // the copy below must not read the device again
    status = PixmapCopy(pixmap, nullptr, picture, nullptr, &kPlainCopy, nullptr);
    pixmap->flags &= uint8_t(~kPixmapMemoryNewer);  // both copies hold the same picture
  }
  PixmapDispose(picture);
  return status;
}

Status WriteOut(Pixmap* pixmap) {
  Pixmap* picture = PixmapNew(pixmap->bounds, kPixel32, nullptr);
  if (!picture) return kErrMemory;
  Status status = PixmapCopy(picture, nullptr, pixmap, nullptr, &kPlainCopy, nullptr);
  if (status == kOk) {
    const int height = PixmapHeight(pixmap);
    Unselected unselected(pixmap);
    const int lines = SetDIBits(unselected.dc(), static_cast<HBITMAP>(pixmap->buffer.bitmap), 0, UINT(height),
                                picture->baseAddress, InfoOf(picture), DIB_RGB_COLORS);
    if (lines != height) status = GdiFailure(kErrGraphics);
  }
  PixmapDispose(picture);
  return status;
}

Pixmap* NewLike(Pixmap* pixmap, const Rect& bounds) {
  return PixmapNewForDevice(static_cast<HDC>(pixmap->buffer.memoryContext), bounds, pixmap->format.code,
                            pixmap->kind == 1 ? &pixmap->colourTable : nullptr, false);
}

// Everything but the memory block, which the caller frees.
void Release(Pixmap* pixmap) {
  PixelBuffer& buffer = pixmap->buffer;
  if (pixmap->links.port && pixmap->links.port->dc) PortDetach(pixmap->links.port);
  HDC dc = static_cast<HDC>(buffer.memoryContext);
  if (dc) {
    if (buffer.previousBitmap) SelectObject(dc, buffer.previousBitmap);
    DeleteDC(dc);
  }
  if (buffer.bitmap) DeleteObject(buffer.bitmap);
  buffer.memoryContext = buffer.bitmap = buffer.previousBitmap = nullptr;
  buffer.device = nullptr;
}

void SelectBitmap(Pixmap* pixmap, bool in) {
  PixelBuffer& buffer = pixmap->buffer;
  SelectObject(static_cast<HDC>(buffer.memoryContext), in ? buffer.bitmap : buffer.previousBitmap);
}

constexpr PixelBufferDevice kDeviceBuffer = {ReadBack, NewLike, Release, SelectBitmap};

}  // namespace

uint32_t DeviceFormatCode(HDC dc) {
  switch (GetDeviceCaps(dc, BITSPIXEL) * GetDeviceCaps(dc, PLANES)) {
    case 24: return 24;
    case 16: return 16;
    case 15: return 15;
    default: return kPixel32;
  }
}

Pixmap* PixmapNewForDevice(HDC reference, const Rect& bounds, uint32_t formatCode, const ColourTable* table,
                           bool withPort) {
  GraphicsWorld* world = WorldNew(withPort ? sizeof(GraphicsPort) : 0, sizeof(Pixmap));
  if (!world) return nullptr;
  Pixmap* pixmap = world->links.pixmap;
  PixelBuffer& buffer = pixmap->buffer;
  auto fail = [&]() -> Pixmap* {
    Release(pixmap);
    BlockDispose(buffer.memory);
    WorldDispose(world);
    return nullptr;
  };
  if (!PixmapInitRecord(pixmap, bounds, formatCode, table)) return fail();
  HDC dc = CreateCompatibleDC(reference);
  if (!dc) return fail();
  buffer.memoryContext = dc;
  if (buffer.header.compression == kDibPlain) {
    void* bits = nullptr;
    buffer.bitmap = CreateDIBSection(dc, InfoOf(pixmap), DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!buffer.bitmap) return fail();
    buffer.kind = PixelBufferKind::DibSection;
    pixmap->baseAddress = static_cast<uint8_t*>(bits);
  } else {
    buffer.memory = static_cast<uint8_t*>(BlockNewClear(size_t(pixmap->rowBytes) * size_t(PixmapHeight(pixmap))));
    buffer.bitmap = CreateCompatibleBitmap(reference ? reference : dc, PixmapWidth(pixmap), PixmapHeight(pixmap));
    if (!buffer.memory || !buffer.bitmap) return fail();
    buffer.kind = PixelBufferKind::CompatibleBitmap;
    pixmap->baseAddress = buffer.memory;
    pixmap->flags = kPixmapMemoryNewer;
  }
  buffer.previousBitmap = SelectObject(dc, buffer.bitmap);
  if (!buffer.previousBitmap) return fail();
  buffer.device = &kDeviceBuffer;
  if (withPort && PortAttach(world->links.port, dc, kNoWindow, false) != kOk) return fail();
  return pixmap;
}

Status PixmapBeginDrawing(Pixmap* pixmap) {
  if (pixmap->buffer.kind != PixelBufferKind::CompatibleBitmap || !(pixmap->flags & kPixmapMemoryNewer))
    return kOk;
  const Status status = WriteOut(pixmap);
  if (status == kOk) pixmap->flags &= uint8_t(~kPixmapMemoryNewer);
  return status;
}

void PixmapEndDrawing(Pixmap* pixmap) {
  if (pixmap->buffer.device) pixmap->flags |= kPixmapDeviceNewer;
}

Pixmap* PixmapNewForWindow(HWND window, Rect* bounds) {
  RECT client;
  if (!GetClientRect(window, &client)) return nullptr;
  HDC dc = GetDC(window);
  if (!dc) return nullptr;
  const Rect size = {0, 0, client.right > 0 ? client.right : 1, client.bottom > 0 ? client.bottom : 1};
  Pixmap* pixmap = PixmapNewForDevice(dc, size, DeviceFormatCode(dc), nullptr, true);
  ReleaseDC(window, dc);
  if (!pixmap) return nullptr;
  pixmap->window = window;
  if (bounds) *bounds = size;
  return pixmap;
}

Status PixmapShowOnWindow(Pixmap* pixmap, HDC windowDc, const Rect* rects, int32_t count) {
  if (!pixmap || !windowDc) return kErrArgument;
  if (count == 0) return PixmapToDevice(windowDc, nullptr, pixmap, nullptr, nullptr, nullptr);
  for (int32_t i = 0; i < count; ++i) {
    const Status status = PixmapToDevice(windowDc, &rects[i], pixmap, nullptr, &kPlainCopy, &rects[i]);
    if (status != kOk) return status;
  }
  return kOk;
}
