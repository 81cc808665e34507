#include "images/mac_pixel_map.h"

#include "runtime/byte_order.h"

Rect MacRectGet(const uint8_t* b) {
  const auto field = [b](int i) { return int32_t(int16_t(GetBig16(b + 2 * i))); };
  return Rect{field(1), field(0), field(3), field(2)};
}

void MacRectPut(uint8_t* bytes, const Rect& rect) {
  PutBig16(bytes, uint32_t(rect.top));
  PutBig16(bytes + 2, uint32_t(rect.left));
  PutBig16(bytes + 4, uint32_t(rect.bottom));
  PutBig16(bytes + 6, uint32_t(rect.right));
}

MacPixelMap MacPixelMapGet(const uint8_t* b) {
  return MacPixelMap{GetBig16(b),      MacRectGet(b + 2), GetBig16(b + 10), GetBig16(b + 12), GetBig32(b + 14),
                     GetBig16(b + 26), GetBig16(b + 28),  GetBig16(b + 30), GetBig16(b + 32), GetBig32(b + 34),
                     GetBig32(b + 38)};
}

void MacPixelMapPut(uint8_t* b, const MacPixelMap& map) {
  PutBig16(b, map.rowBytes);
  MacRectPut(b + 2, map.bounds);
  PutBig16(b + 10, map.version);
  PutBig16(b + 12, map.packType);
  PutBig32(b + 14, map.packSize);
  PutBig32(b + 18, kMacResolution);
  PutBig32(b + 22, kMacResolution);
  PutBig16(b + 26, map.pixelType);
  PutBig16(b + 28, map.pixelSize);
  PutBig16(b + 30, map.componentCount);
  PutBig16(b + 32, map.componentSize);
  PutBig32(b + 34, map.planeBytes);
  PutBig32(b + 38, map.tableOffset);
  PutBig32(b + 42, 0);
}

MacPixelMap MacPixelMapFor(uint32_t bytesPerPixel, int32_t width, int32_t height) {
  MacPixelMap map{};
  map.rowBytes = kMacPixelMapFlag | (uint32_t(width) * bytesPerPixel);
  map.bounds = Rect{0, 0, width, height};
  map.pixelType = bytesPerPixel == 1 ? 0 : 16;  // indexed or direct
  map.pixelSize = bytesPerPixel * 8;
  map.componentCount = bytesPerPixel == 1 ? 1 : 3;
  map.componentSize = bytesPerPixel == 2 ? 5 : 8;
  return map;
}

uint32_t MacBytesPerPixel(const Pixmap* pixmap) { return pixmap->kind == 1 || pixmap->kind == 2 ? pixmap->kind : 4; }

Status MacColourTableRead(ImageStream* input, bool byPosition, uint32_t slots, ColourTable* table) {
  const uint8_t* head = ImageStreamTake(input, 8);
  if (!head) return kErrImageData;
  const uint32_t size = GetBig16(head + 6);
  if (size > 255) return kErrImageData;
  const uint8_t* entries = ImageStreamTake(input, (size + 1) * 8);
  if (!entries) return kErrImageData;
  byPosition = byPosition || (GetBig16(head + 4) & 0x8000);
  *table = ColourTable{};
  table->count = slots ? slots : size + 1;
  for (uint32_t i = 0; i <= size; ++i) {
    const uint8_t* e = entries + i * 8;
    const uint32_t slot = byPosition ? i : GetBig16(e);
    if (slot < table->count) table->entries[slot] = Colour{255, e[2], e[4], e[6]};
  }
  return kOk;
}

Status MacColourTableWrite(ImageStream* output, const ColourTable& table, uint32_t count) {
  uint8_t head[8] = {};
  PutBig16(head + 6, count - 1);
  Status status = ImageStreamWrite(output, sizeof head, head);
  for (uint32_t i = 0; i < count && status == kOk; ++i) {
    const Colour c = table.entries[i];
    const uint8_t entry[8] = {0, uint8_t(i), c.red, c.red, c.green, c.green, c.blue, c.blue};
    status = ImageStreamWrite(output, sizeof entry, entry);
  }
  return status;
}

Status MacRowToMap(BuiltImage* built, int32_t row, uint32_t pixelSize, const uint8_t* pixels, uint8_t* indices,
                   Colour* colours) {
  const int32_t width = PixmapWidth(built->image);
  if (pixelSize <= 8) {
    UnpackIndices(pixels, pixelSize, width, indices);
    built->CopyRow(row, indices);
    return kOk;
  }
  for (int32_t x = 0; x < width; ++x) {
    const uint8_t* p = pixels + x * (pixelSize / 8);
    colours[x] = pixelSize == 16 ? Colour555(GetBig16(p)) : Colour{255, p[1], p[2], p[3]};
  }
  return PixmapSetColourRow(built->image, nullptr, row, colours);
}

Status MacRowFromMap(Pixmap* pixmap, int32_t row, uint32_t bytesPerPixel, uint8_t* pixels) {
  const int32_t width = PixmapWidth(pixmap);
  for (int32_t x = 0; x < width; ++x) {
    uint8_t* p = pixels + x * bytesPerPixel;
    if (bytesPerPixel == 1) {
      const Status status = PixmapGetPixelIndex(pixmap, nullptr, nullptr, x, row, p);
      if (status != kOk) return status;
      continue;
    }
    Colour c;
    const Status status = PixmapGetPixelColour(pixmap, nullptr, x, row, &c);
    if (status != kOk) return status;
    if (bytesPerPixel == 2) {
      PutBig16(p, Value555(c));
    } else {
      p[0] = c.alpha, p[1] = c.red, p[2] = c.green, p[3] = c.blue;
    }
  }
  return kOk;
}
