// The Targa reader: colour-mapped, true-colour and grey images, plain or run-length encoded, with the
// footer and extension area that give the gamma, the key colour and what the alpha bits mean.
#include <algorithm>
#include <cstring>
#include <utility>

#include "graphics/colour_tables.h"
#include "images/image_reading.h"
#include "runtime/byte_order.h"

namespace {

constexpr uint32_t kFooterSize = 26, kExtensionSize = 495;

struct Header {
  uint32_t idLength, mapType, imageType, firstEntry, mapLength, entrySize, width, height, depth, descriptor;
  bool RunLength() const { return imageType >= 9; }
  bool Grey() const { return imageType == 3 || imageType == 11; }
  uint32_t AlphaBits() const { return descriptor & 15; }
  bool RightToLeft() const { return descriptor & 16; }
  bool TopDown() const { return descriptor & 32; }
};

Header ParseHeader(const uint8_t* h) {
  return Header{h[0], h[1], h[2], GetLittle16(h + 3), GetLittle16(h + 5), h[7],
                GetLittle16(h + 12), GetLittle16(h + 14), h[16], h[17]};
}

// What recognition checks, again: the reader relies on it.
bool Valid(const Header& h) {
  const uint32_t type = h.imageType & ~8u;
  if (h.mapType > 1 || type < 1 || type > 3 || h.imageType == 8) return false;
  if (type == 1 && (h.mapType != 1 || h.depth != 8)) return false;
  if (type == 3 && h.mapType == 1) return false;
  if (h.mapType == 1 && (h.firstEntry >= h.mapLength ||
                         (h.entrySize != 15 && h.entrySize != 16 && h.entrySize != 24 && h.entrySize != 32)))
    return false;
  return (h.depth == 8 || h.depth == 16 || h.depth == 24 || h.depth == 32) && (h.descriptor & 0xC0) == 0;
}

// What the extension area says; all zero without one.
struct Extension {
  bool present = false;
  uint32_t keyColour = 0;  // bytes blue, green, red, alpha from the low end
  uint32_t gammaNumerator = 0, gammaDenominator = 0;
  uint32_t attributes = 0;  // 0 no alpha, 1 ignore it, 2 retain it, 3 useful alpha
};

Status ReadExtension(const ImageStream& input, Extension* extension) {
  const uint8_t* data = HandleData(input.data);
  const uint32_t size = input.size;
  if (size < 18 + kFooterSize + 1) return kOk;
  const uint8_t* footer = data + size - kFooterSize;
  if (std::memcmp(footer + 8, "TRUEVISION-XFILE.", 17) != 0 || footer[25] != 0) return kOk;
  const uint32_t offset = GetLittle32(footer), directory = GetLittle32(footer + 4);
  if (offset >= size || directory >= size) return kErrImageData;
  if (offset == 0) return kOk;
  if (size - offset < 2) return kErrImageData;
  if (GetLittle16(data + offset) != kExtensionSize) return kOk;
  if (size - offset <= kExtensionSize) return kErrImageData;
  const uint8_t* e = data + offset;
  extension->present = true;
  extension->keyColour = GetLittle32(e + 470);
  extension->gammaNumerator = GetLittle16(e + 478);
  extension->gammaDenominator = GetLittle16(e + 480);
  extension->attributes = e[494];
  return extension->attributes >= 4 ? kErrImageData : kOk;
}

Status ReadColourMap(ImageStream* input, const Header& h, ColourTable* table) {
  const uint32_t entryBytes = (h.entrySize + 7) / 8;
  const uint8_t* map = ImageStreamTake(input, h.mapLength * entryBytes);
  if (!map) return kErrImageData;
  table->count = std::min<uint32_t>(h.mapLength - h.firstEntry, 256);
  for (uint32_t i = 0; i < table->count; ++i) {
    const uint8_t* e = map + i * entryBytes;
    table->entries[i] = entryBytes == 2 ? Colour555(GetLittle16(e)) : Colour{255, e[2], e[1], e[0]};
  }
  return kOk;
}

// The key colour's transparency: an index of the table for colour-mapped images, the colour itself for
// true colour; useful alpha asks for blending by the map's own alpha.
MaskDescriptor KeyDescriptor(const Header& h, const Extension& e, const ColourTable& table) {
  MaskDescriptor d;
  MaskDescriptorReset(&d);
  const uint32_t k = e.keyColour;
  const uint8_t red = uint8_t(k >> 16), green = uint8_t(k >> 8), blue = uint8_t(k);
  if (h.depth == 8) {
    if (k == 0) return d;
    // Colours from 16-bit entries lost their low bits; compare without them.
    const uint8_t m = h.entrySize <= 16 ? 0xF1 : 0xFF;
    for (uint32_t i = 0; i < table.count; ++i) {
      const Colour c = table.entries[i];
      if ((c.red & m) == (red & m) && (c.green & m) == (green & m) && (c.blue & m) == (blue & m))
        return MaskDescriptor{kTransferKeyColour, uint8_t(i), 0, 0, 0};
    }
    return d;
  }
  if (h.depth != 24 && e.attributes == 3) return MaskDescriptor{kTransferSourceAlpha, 255, 0, 0, 0};
  if (k != 0) return MaskDescriptor{kTransferKeyColour, 0, red, green, blue};
  return d;
}

// One row of pixels in the file's layout, run-length packets expanded; a packet never crosses a row.
Status ReadRow(ImageStream* input, const Header& h, uint8_t* row) {
  const uint32_t pixelBytes = h.depth / 8, rowBytes = h.width * pixelBytes;
  if (!h.RunLength()) return ImageStreamRead(input, rowBytes, row);
  for (uint32_t x = 0; x < h.width;) {
    uint8_t packet = 0;
    Status status = ImageStreamReadByte(input, &packet);
    if (status != kOk) return status;
    const uint32_t count = (packet & 127u) + 1;
    if (count > h.width - x) return kErrImageData;
    uint8_t* at = row + x * pixelBytes;
    if (packet & 128) {
      if ((status = ImageStreamRead(input, pixelBytes, at)) != kOk) return status;
      for (uint32_t i = 1; i < count; ++i) std::memcpy(at + i * pixelBytes, at, pixelBytes);
    } else if ((status = ImageStreamRead(input, count * pixelBytes, at)) != kOk) {
      return status;
    }
    x += count;
  }
  return kOk;
}

void Mirror(uint8_t* row, uint32_t width, uint32_t pixelBytes) {
  for (uint32_t a = 0, b = width - 1; a < b; ++a, --b)
    for (uint32_t i = 0; i < pixelBytes; ++i) std::swap(row[a * pixelBytes + i], row[b * pixelBytes + i]);
}

}  // namespace

Status TargaRead(ImageStream* input, Pixmap** pixmap, Pixmap** mask, MaskDescriptor* maskDescriptor,
                 ImageInfo* info) {
  ImageResetOutputs(pixmap, mask, maskDescriptor, info);
  const uint8_t* bytes = ImageStreamTake(input, 18);
  if (!bytes) return kErrImageData;
  const Header h = ParseHeader(bytes);
  if (!Valid(h)) return kErrImageFormat;
  Extension extension;
  Status status = ReadExtension(*input, &extension);
  if (status == kOk) status = ImageStreamSkip(input, h.idLength);
  if (status != kOk) return status;
  ColourTable table{};
  if (h.mapType == 1) {
    if ((status = ReadColourMap(input, h, &table)) != kOk) return status;
  } else if (h.Grey()) {
    table = GreyColourTable();
  } else if (h.depth == 8) {
    return kErrImageFormat;  // indices without colours
  }
  if (h.width == 0 || h.height == 0) return kErrImageData;

  // Alpha the depth cannot carry is refused; the image carries alpha when the extension area says the
  // alpha is worth keeping, or, without one, when the descriptor counts alpha bits.
  const uint32_t alphaBits = h.AlphaBits();
  if (alphaBits != 0 && (h.depth == 8 || h.depth == 24 || (h.depth == 16 && alphaBits > 1) ||
                         (h.depth == 32 && alphaBits != 8)))
    return kErrImageData;
  const bool carriesAlpha = h.depth != 8 && h.depth != 24 &&
                            (extension.present ? extension.attributes >= 2 : alphaBits != 0);
  const uint32_t format = h.depth == 8 ? kPixelIndexed : h.depth == 16 ? kPixel555
                          : h.depth == 24                ? kPixel888
                          : carriesAlpha                 ? kPixel8888
                                                         : kPixel32;
  if (!ImageSizeFits(h.width, h.height, h.depth == 8 ? 1 : 4)) return kErrImageData;
  // The least data the rows can take, checked before a map is made for them.
  const uint64_t pixelBytes = h.depth / 8, packets = (h.width + 127) / 128;
  const uint64_t least = h.RunLength() ? h.height * packets * (1 + pixelBytes) : uint64_t(h.width) * h.height * pixelBytes;
  if (least > input->size - input->position) return kErrImageData;
  const bool withMask = carriesAlpha && mask;
  BuiltImage built;
  if ((status = built.Make(Rect{0, 0, int32_t(h.width), int32_t(h.height)}, format,
                           h.depth == 8 ? &table : nullptr, withMask)) != kOk)
    return status;
  if (info) {
    info->format = kImageTarga;
    info->gamma = extension.gammaDenominator ? double(extension.gammaNumerator) / extension.gammaDenominator : 2.2;
  }

  UniqueBlock<uint8_t> row(static_cast<uint8_t*>(BlockNew(size_t(h.width) * 4)));
  UniqueBlock<Colour> colours(h.depth == 16 ? static_cast<Colour*>(BlockNew(sizeof(Colour) * h.width)) : nullptr);
  if (!row || (h.depth == 16 && !colours)) return kErrMemory;
  for (uint32_t y = 0; y < h.height; ++y) {
    if ((status = ReadRow(input, h, row.get())) != kOk) return status;
    if (h.RightToLeft()) Mirror(row.get(), h.width, uint32_t(pixelBytes));
    const auto target = int32_t(h.TopDown() ? y : h.height - 1 - y);
    if (h.depth == 16) {
      for (uint32_t x = 0; x < h.width; ++x) {
        const uint32_t value = GetLittle16(row.get() + 2 * x);
        colours.get()[x] = Colour555(value);
        // The attribute bit marks the pixels that show.
        if (carriesAlpha && !(value & 0x8000)) colours.get()[x].alpha = 0;
      }
      if ((status = PixmapSetColourRow(built.image, built.mask, target, colours.get())) != kOk) return status;
      continue;
    }
    built.CopyRow(target, row.get());
    if (built.mask) {
      uint8_t* coverage = row.get();  // the alphas, gathered in place
      for (uint32_t x = 0; x < h.width; ++x) coverage[x] = row.get()[4 * x + 3];
      built.CopyMaskRow(target, coverage);
    }
  }
  if (maskDescriptor) {
    *maskDescriptor = built.mask ? MaskDescriptor{kTransferMask, 255, 0, 0, 0} : KeyDescriptor(h, extension, table);
  }
  built.HandOut(pixmap, mask);
  return kOk;
}
