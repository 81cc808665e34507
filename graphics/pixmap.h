// Pixel maps: images in memory with a pixel format of their own, a colour table when indexed, and
// optionally a device side through which GDI draws into them and copies out of them.
//
// Rows run downwards from the base address and are padded to 32 bits. Row numbers and pixel positions
// given to the row and pixel operations count from the map's top-left pixel; the rectangles of the
// copies are in the maps' bounds coordinates.
#pragma once

#include <cstdint>

#include "graphics/graphics_types.h"
#include "graphics/pixel_format.h"
#include "graphics/world.h"
#include "runtime/status.h"

enum : uint8_t {
  kPixmapDeviceNewer = 16,  // GDI drew into the device copy since the memory copy was read
  kPixmapMemoryNewer = 32,  // the memory copy was written since the device copy was
};

// The layout of a device-independent bitmap's 40-byte header, top-down (negative height), so that the
// device side hands it to GDI as it is.
struct DibHeader {
  uint32_t size;
  int32_t width;
  int32_t height;
  uint16_t planes;
  uint16_t bitCount;
  uint32_t compression;  // 0 plain, 3 bit fields
  uint32_t sizeImage;
  int32_t xPelsPerMeter;
  int32_t yPelsPerMeter;
  uint32_t clrUsed;
  uint32_t clrImportant;
};
static_assert(sizeof(DibHeader) == 40);
constexpr uint32_t kDibPlain = 0;
constexpr uint32_t kDibBitFields = 3;

enum class PixelBufferKind : uint8_t {
  MemoryOnly,        // never drawn into by GDI (image decoding)
  DibSection,        // GDI and pixel access share one memory
  CompatibleBitmap,  // a device bitmap plus separate memory, kept in step by the flags
};

// What a map with a device side does beyond memory; memory-only maps have none.
struct PixelBufferDevice {
  Status (*readBack)(Pixmap* pixmap);                 // device copy into the memory copy
  Pixmap* (*newLike)(Pixmap* pixmap, const Rect& bounds);  // a map of the same kind and format
  void (*release)(Pixmap* pixmap);                    // contexts, bitmaps and device memory
  void (*selectBitmap)(Pixmap* pixmap, bool in);      // the buffer's bitmap into its context, or out
};

struct PixelBuffer {
  PixelBufferKind kind;
  DibHeader header;
  uint32_t colours[256];  // table entries as 0x00RRGGBB, or the red, green and blue masks for bit fields
  uint8_t* memory;        // pixel memory the map owns (none for a DIB section, whose bits GDI owns)
  void* memoryContext;
  void* bitmap;
  void* previousBitmap;   // the context's own bitmap, put back at release
  const PixelBufferDevice* device;
};

struct Pixmap {
  GraphicsLinks links;
  uint8_t kind;          // bytes per pixel
  uint8_t bitsPerPixel;
  uint8_t flags;
  uint8_t inverseStale;  // the inverse table waits to be rebuilt from `inverseFor`
  uint32_t lockCount;
  uint32_t tableIdentity;
  PixelFormat format;
  Rect bounds;
  uint32_t rowBytes;
  uint8_t* baseAddress;
  PixelBuffer buffer;
  ColourTable colourTable;        // indexed maps only
  uint8_t inverseTable[4096];
  const ColourTable* inverseFor;  // the table the inverse table belongs to
  void* deviceContext;            // maps that mirror a window
  void* window;
};

// The transfer mode of a copy; none means automatic. The same record is the mask descriptor that image
// readers hand out.
struct TransferMode {
  uint32_t mode;        // see below
  uint8_t alphaOrIndex; // the alpha of modes 3 and 4, or the key index of mode 5 with an indexed source
  uint8_t red;          // the key colour of mode 5 with a direct source
  uint8_t green;
  uint8_t blue;
};

enum : uint32_t {
  kTransferCopy = 0,
  kTransferMask = 1,         // each mask byte is the coverage of its pixel
  kTransferSourceAlpha = 2,  // blend by the source's own alpha channel
  kTransferBlend = 3,        // blend at the record's alpha
  kTransferMaskBlend = 4,    // as 1, every coverage scaled by the record's alpha
  kTransferKeyColour = 5,    // copy every pixel except those equal to the key
};

struct PixmapAccess {
  uint8_t* base;
  uint32_t rowBytes;
  uint8_t* maskBase;      // when a mask map was given
  uint32_t maskRowBytes;
};

// The largest pixel memory one map may have.
constexpr uint32_t kPixmapMaxBytes = 128u << 20;

Pixmap* PixmapNew(const Rect& bounds, uint32_t formatCode, const ColourTable* table);
void PixmapDispose(Pixmap* pixmap);  // none is allowed
Status PixmapBounds(const Pixmap* pixmap, Rect* bounds);
inline int32_t PixmapWidth(const Pixmap* pixmap) { return pixmap->bounds.right - pixmap->bounds.left; }
inline int32_t PixmapHeight(const Pixmap* pixmap) { return pixmap->bounds.bottom - pixmap->bounds.top; }
bool PixmapIsDirect(const Pixmap* pixmap);
Status PixmapGetColourTable(const Pixmap* pixmap, ColourTable* table);

Status PixmapLock(Pixmap* pixmap, Pixmap* mask, PixmapAccess* access);
Status PixmapUnlock(Pixmap* pixmap, Pixmap* mask);

Status PixmapSetIndexRow(Pixmap* pixmap, Pixmap* mask, int32_t row, const uint8_t* indices);
Status PixmapSetColourRow(Pixmap* pixmap, Pixmap* mask, int32_t row, const Colour* colours);
Status PixmapGetPixelColour(Pixmap* pixmap, Pixmap* mask, int32_t x, int32_t y, Colour* colour);
Status PixmapGetPixelIndex(Pixmap* pixmap, Pixmap* mask, const ColourTable* table, int32_t x, int32_t y,
                           uint8_t* index);

Status PixmapSetBounds(Pixmap* pixmap, Pixmap* mask, const Rect& bounds);
Status PixmapWidenForTiling(Pixmap* pixmap, Pixmap* mask);

// The general copy. Rectangles default to the maps' bounds; a mask map lies over the source's bounds.
Status PixmapCopy(Pixmap* destination, const Rect* destinationRect, Pixmap* source, Pixmap* mask,
                  const TransferMode* mode, const Rect* sourceRect);
