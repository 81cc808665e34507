// The BMP reader: Windows and OS/2 bitmaps, uncompressed 1 to 32 bits, RLE8 and RLE4, bit fields.
#include <cstring>

#include "images/image_reading.h"
#include "runtime/byte_order.h"

namespace {

enum : uint32_t { kPlain = 0, kRunLength8 = 1, kRunLength4 = 2, kBitFields = 3 };

// 65535 / (2^n - 1) for a channel of n bits: (value * scale) >> 8 spreads it over 0 to 255.
constexpr uint32_t kChannelScale[9] = {0, 65535, 21845, 9362, 4369, 2114, 1040, 516, 257};

struct Channel {
  uint32_t mask = 0, shift = 0, drop = 0, scale = 0;
  uint8_t Of(uint32_t value) const { return uint8_t(((value & mask) >> shift >> drop) * scale >> 8); }
};

Channel ChannelOf(uint32_t mask) {
  Channel channel;
  channel.mask = mask;
  while (channel.shift < 31 && !(mask >> channel.shift & 1)) ++channel.shift;
  uint32_t bits = 0;
  while (bits < 32 - channel.shift && (mask >> channel.shift >> bits) != 0) ++bits;
  // Channels wider than a byte keep their top eight bits.
  channel.drop = bits > 8 ? bits - 8 : 0;
  channel.scale = kChannelScale[bits > 8 ? 8 : bits];
  return channel;
}

struct Header {
  uint32_t pixelOffset = 0;
  bool core = false;  // the 12-byte OS/2 header, whose table entries are 3 bytes
  int32_t width = 0, height = 0;
  uint32_t bitCount = 0, compression = 0, coloursUsed = 0;
  uint32_t masks[3] = {};
};

// The file header, behind a bitmap-array header when there is one.
Status ReadFileHeader(ImageStream* input, Header* header) {
  const uint8_t* h = ImageStreamTake(input, 14);
  if (!h) return kErrImageData;
  if (h[0] == 'B' && h[1] == 'A') {
    if (GetLittle32(h + 6) != 0 || GetLittle32(h + 10) != 40) return kErrImageFormat;
    if (!(h = ImageStreamTake(input, 14))) return kErrImageData;
  }
  // The offset may be as small as the file and core headers; the table's end is checked later.
  if (h[0] != 'B' || h[1] != 'M' || GetLittle32(h + 2) < 55 || GetLittle32(h + 10) < 26) return kErrImageFormat;
  header->pixelOffset = GetLittle32(h + 10);
  return kOk;
}

bool Supported(const Header& h) {
  const uint32_t bits = h.bitCount;
  if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32) return false;
  if (bits <= 8 && h.coloursUsed > (1u << bits)) return false;
  switch (h.compression) {
    case kPlain: return true;
    case kRunLength8: return bits == 8;
    case kRunLength4: return bits == 4;
    case kBitFields: return (bits == 16 || bits == 32) && h.masks[0] && h.masks[1] && h.masks[2];
    default: return false;
  }
}

Status ReadInfoHeader(ImageStream* input, Header* h) {
  uint8_t bytes[56] = {};
  Status status = ImageStreamRead(input, 4, bytes);
  if (status != kOk) return status;
  const uint32_t size = GetLittle32(bytes);
  if (size < 12 || (size > 12 && size < 16)) return kErrImageData;
  const uint32_t interpreted = size < 56 ? size : 56;
  if ((status = ImageStreamRead(input, interpreted - 4, bytes + 4)) != kOk) return status;
  if ((status = ImageStreamSkip(input, size - interpreted)) != kOk) return status;
  h->core = size == 12;
  if (h->core) {
    h->width = int32_t(GetLittle16(bytes + 4));
    h->height = int32_t(GetLittle16(bytes + 6));
    h->bitCount = GetLittle16(bytes + 10);
  } else {
    h->width = int32_t(GetLittle32(bytes + 4));
    h->height = int32_t(GetLittle32(bytes + 8));
    h->bitCount = GetLittle16(bytes + 14);
    h->compression = GetLittle32(bytes + 16);
    h->coloursUsed = GetLittle32(bytes + 32);
    for (int i = 0; i < 3; ++i) h->masks[i] = GetLittle32(bytes + 40 + 4 * i);
    // The common 40-byte header keeps its bit-field masks right after itself.
    if (size == 40 && h->compression == kBitFields) {
      uint8_t masks[12];
      if ((status = ImageStreamRead(input, 12, masks)) != kOk) return status;
      for (int i = 0; i < 3; ++i) h->masks[i] = GetLittle32(masks + 4 * i);
    }
  }
  if (h->width == 0 || h->height == 0) return kErrImageData;
  if (h->width < 0 || h->height == INT32_MIN || !Supported(*h)) return kErrImageData;
  if (h->compression == kPlain && h->bitCount == 16) {
    h->masks[0] = 0x7C00, h->masks[1] = 0x03E0, h->masks[2] = 0x001F;
  } else if (h->compression == kPlain && h->bitCount == 32) {
    h->masks[0] = 0xFF0000, h->masks[1] = 0xFF00, h->masks[2] = 0xFF;
  }
  return kOk;
}

Status ReadColourTable(ImageStream* input, const Header& h, ColourTable* table) {
  table->count = h.coloursUsed ? h.coloursUsed : 1u << h.bitCount;
  const uint32_t entrySize = h.core ? 3 : 4;
  const uint8_t* entries = ImageStreamTake(input, table->count * entrySize);
  if (!entries) return kErrImageData;
  for (uint32_t i = 0; i < table->count; ++i) {
    const uint8_t* e = entries + i * entrySize;
    table->entries[i] = Colour{255, e[2], e[1], e[0]};
  }
  return kOk;
}

// The map's format: indices, or the file's own layout where the pixel-map layer has it, so that rows
// are copied as they are; other bit fields are converted into 32 bits.
uint32_t MapFormat(const Header& h, bool* sameLayout) {
  const uint32_t* m = h.masks;
  *sameLayout = true;
  if (h.bitCount <= 8) return kPixelIndexed;
  if (h.bitCount == 24) return kPixel888;
  if (h.bitCount == 16 && m[0] == 0x7C00 && m[1] == 0x03E0 && m[2] == 0x001F) return kPixel555;
  if (h.bitCount == 16 && m[0] == 0xF800 && m[1] == 0x07E0 && m[2] == 0x001F) return kPixel565;
  if (h.bitCount == 32 && m[0] == 0xFF0000 && m[1] == 0xFF00 && m[2] == 0xFF) return kPixel32;
  *sameLayout = false;
  return kPixel32;
}

int32_t MapRow(const Header& h, int32_t fileRow) {
  return h.height < 0 ? fileRow : h.height - 1 - fileRow;
}

uint64_t PlainRowSize(const Header& h) { return (uint64_t(h.bitCount) * uint64_t(h.width) + 31) / 32 * 4; }

Status ReadPlainRows(ImageStream* input, const Header& h, bool sameLayout, BuiltImage* built) {
  const int32_t width = h.width, height = h.height < 0 ? -h.height : h.height;
  const uint64_t rowSize = PlainRowSize(h);
  UniqueBlock<uint8_t> indices(h.bitCount < 8 ? static_cast<uint8_t*>(BlockNew(size_t(width))) : nullptr);
  UniqueBlock<Colour> colours(sameLayout ? nullptr : static_cast<Colour*>(BlockNew(sizeof(Colour) * size_t(width))));
  if ((h.bitCount < 8 && !indices) || (!sameLayout && !colours)) return kErrMemory;
  const Channel red = ChannelOf(h.masks[0]), green = ChannelOf(h.masks[1]), blue = ChannelOf(h.masks[2]);
  for (int32_t y = 0; y < height; ++y) {
    const uint8_t* row = ImageStreamTake(input, uint32_t(rowSize));
    const int32_t target = MapRow(h, y);
    if (h.bitCount < 8) {
      UnpackIndices(row, h.bitCount, width, indices.get());
      built->CopyRow(target, indices.get());
    } else if (sameLayout) {
      built->CopyRow(target, row);
    } else {
      for (int32_t x = 0; x < width; ++x) {
        const uint32_t value = h.bitCount == 16 ? GetLittle16(row + 2 * x) : GetLittle32(row + 4 * x);
        colours.get()[x] = Colour{255, red.Of(value), green.Of(value), blue.Of(value)};
      }
      const Status status = PixmapSetColourRow(built->image, nullptr, target, colours.get());
      if (status != kOk) return status;
    }
  }
  return kOk;
}

// RLE8 and RLE4: pixels go into a line as wide as the image rounded up to four; a line is written when
// a pixel arrives past its end or an escape ends it.
class RunLengthRows {
 public:
  RunLengthRows(const Header& h, BuiltImage* built, uint8_t* line)
      : h_(h), built_(built), line_(line), height_(h.height < 0 ? -h.height : h.height),
        lineWidth_((h.width + 3) & ~3) {}

  Status Decode(ImageStream* input) {
    const bool nibbles = h_.compression == kRunLength4;
    while (rowsDone_ < height_) {
      const uint8_t* pair = ImageStreamTake(input, 2);
      if (!pair) return kErrImageData;
      if (pair[0] != 0) {
        for (uint32_t i = 0; i < pair[0] && rowsDone_ < height_; ++i)
          Put(nibbles ? (i & 1 ? pair[1] & 15 : pair[1] >> 4) : pair[1]);
        continue;
      }
      switch (pair[1]) {
        case 0:
          EndLine();
          break;
        case 1:
          EndLine();
          rowsDone_ = height_;  // the rest stays index 0, as the map was made
          break;
        case 2: {
          const uint8_t* step = ImageStreamTake(input, 2);
          if (!step) return kErrImageData;
          const int32_t column = x_ + step[0];
          for (uint32_t i = 0; i < step[1] && rowsDone_ < height_; ++i) EndLine();
          x_ = column < lineWidth_ ? column : lineWidth_;
          break;
        }
        default: {
          const uint32_t count = pair[1];
          const uint32_t stored = nibbles ? (count + 3) / 4 * 2 : (count + 1) & ~1u;
          const uint8_t* pixels = ImageStreamTake(input, stored);
          if (!pixels) return kErrImageData;
          for (uint32_t i = 0; i < count && rowsDone_ < height_; ++i)
            Put(nibbles ? (i & 1 ? pixels[i / 2] & 15 : pixels[i / 2] >> 4) : pixels[i]);
        }
      }
    }
    return kOk;
  }

 private:
  void Put(uint8_t index) {
    if (x_ >= lineWidth_) EndLine();
    if (rowsDone_ < height_) line_[x_++] = index;
  }
  void EndLine() {
    built_->CopyRow(MapRow(h_, rowsDone_++), line_);
    std::memset(line_, 0, size_t(lineWidth_));
    x_ = 0;
  }

  const Header& h_;
  BuiltImage* built_;
  uint8_t* line_;
  const int32_t height_, lineWidth_;
  int32_t rowsDone_ = 0, x_ = 0;
};

}  // namespace

Status BmpRead(ImageStream* input, Pixmap** pixmap, Pixmap** mask, MaskDescriptor* maskDescriptor, ImageInfo* info) {
  ImageResetOutputs(pixmap, mask, maskDescriptor, info);
  Header h;
  Status status = ReadFileHeader(input, &h);
  if (status == kOk) status = ReadInfoHeader(input, &h);
  ColourTable table{};
  if (status == kOk && h.bitCount <= 8) status = ReadColourTable(input, h, &table);
  if (status != kOk) return status;
  if (h.pixelOffset < input->position) return kErrImageData;
  if ((status = ImageStreamSeek(input, h.pixelOffset)) != kOk) return status;

  bool sameLayout = true;
  const uint32_t format = MapFormat(h, &sameLayout);
  const int32_t height = h.height < 0 ? -h.height : h.height;
  if (!ImageSizeFits(h.width, height, h.bitCount <= 8 ? 1 : 4)) return kErrImageData;
  // Plain rows must all be there before a map is made for them; run-length data may be much shorter.
  const bool runLength = h.compression == kRunLength8 || h.compression == kRunLength4;
  if (!runLength && PlainRowSize(h) * uint64_t(height) > input->size - input->position) return kErrImageData;
  BuiltImage built;
  if ((status = built.Make(Rect{0, 0, h.width, height}, format, h.bitCount <= 8 ? &table : nullptr)) != kOk)
    return status;
  if (info) {
    info->format = kImageBmp;
    info->gamma = 2.2;
  }
  if (runLength) {
    UniqueBlock<uint8_t> line(static_cast<uint8_t*>(BlockNewClear(size_t(h.width) + 4)));
    if (!line) return kErrMemory;
    status = RunLengthRows(h, &built, line.get()).Decode(input);
  } else {
    status = ReadPlainRows(input, h, sameLayout, &built);
  }
  if (status != kOk) return status;
  built.HandOut(pixmap, mask);
  return kOk;
}
