// The PICT reader: walks the opcodes of a version 1 or 2 picture by their length rules and turns the
// bitmap and pixel-map opcodes into one pixel map; a picture without them is a white page of its frame.
#include <cstring>

#include "files/codecs.h"
#include "images/mac_pixel_map.h"
#include "images/pict_opcodes.h"
#include "runtime/byte_order.h"

namespace {

constexpr uint32_t kFileHeaderSize = 512;
constexpr uint32_t kEndOfPicture = 0xFF;

struct Picture {
  ImageStream* input;
  bool version2;
  Rect frame;
  Rect bounds;  // of the map being built
  ImageInfo* info;
  BuiltImage built;
  MemoryHandle work;  // one packed row, expanded in place
};

Status ReadOpcode(Picture& p, uint32_t* opcode) {
  if (!p.version2) {
    uint8_t byte = 0;
    const Status status = ImageStreamReadByte(p.input, &byte);
    *opcode = byte;
    return status;
  }
  // Version 2 opcodes are words at even offsets.
  if ((p.input->position & 1) && ImageStreamSkip(p.input, 1) != kOk) return kErrImageData;
  const uint8_t* word = ImageStreamTake(p.input, 2);
  if (!word) return kErrImageData;
  *opcode = GetBig16(word);
  return kOk;
}

Status PixelPattern(Picture& p) {
  const uint8_t* type = ImageStreamTake(p.input, 2);
  if (!type) return kErrImageData;
  switch (GetBig16(type)) {
    case 1: return kErrUnsupported;  // a full pixel pattern
    case 2: return ImageStreamSkip(p.input, 14);  // a dithered one: the one-bit pattern and a colour
    default: return kErrImageFormat;
  }
}

// The header of a bitmap opcode: a pixel map with its table, a bitmap as two colours, or (the direct
// opcodes) a base address and a pixel map without table.
Status ReadMapHeader(Picture& p, uint32_t opcode, MacPixelMap* map, ColourTable* table) {
  const bool direct = opcode == 0x9A || opcode == 0x9B;
  if (direct && ImageStreamSkip(p.input, 4) != kOk) return kErrImageData;
  uint8_t bytes[kMacPixelMapSize] = {};
  if (ImageStreamRead(p.input, 2, bytes) != kOk) return kErrImageData;
  const bool pixelMap = direct || (GetBig16(bytes) & kMacPixelMapFlag);
  if (ImageStreamRead(p.input, pixelMap ? kMacPixelMapSize - 2 : 8, bytes + 2) != kOk) return kErrImageData;
  *map = MacPixelMapGet(bytes);
  if (!pixelMap) {
    map->pixelSize = map->componentCount = map->componentSize = 1;
    *table = ColourTable{2, {{255, 255, 255, 255}, {255, 0, 0, 0}}};
    return kOk;
  }
  return direct ? kOk : MacColourTableRead(p.input, true, 0, table);
}

// A map for the bounds of the given depth: the one built so far when it fits, else a new one.
Status MapFor(Picture& p, uint32_t pixelSize, const ColourTable& table) {
  const uint32_t format = pixelSize <= 8 ? kPixelIndexed : pixelSize == 16 ? kPixel555 : kPixel32;
  if (p.built.image && p.built.image->format.code != format) p.built.Discard();
  if (p.built.image) return kOk;
  const int64_t width = int64_t(p.bounds.right) - p.bounds.left, height = int64_t(p.bounds.bottom) - p.bounds.top;
  if (!ImageSizeFits(width, height, pixelSize <= 8 ? 1 : 4)) return kErrImageData;
  const Status status = p.built.Make(p.bounds, format, pixelSize <= 8 ? &table : nullptr);
  if (status == kOk && p.info) {
    p.info->format = kImagePict;
    p.info->gamma = 1.7;
  }
  return status;
}

// The bytes one row of the width needs, for each way of storing it.
uint32_t RowNeeds(const MacPixelMap& map, uint32_t pack, uint32_t width) {
  if (pack == 2) return 3 * width;
  if (map.pixelSize != 32 || pack == 1) return (width * map.pixelSize + 7) / 8;
  const uint32_t length = map.RowLength();  // planes: red, green and blue, after alpha when there are four
  return (map.componentCount == 4 ? 3 * length / 4 : length / 2) + width;
}

// One row's bytes: as stored, or expanded from their packed form into the work handle.
Status ReadRow(Picture& p, const MacPixelMap& map, uint32_t pack, const uint8_t** row, uint32_t* length) {
  const uint32_t rowLength = map.RowLength();
  if (pack == 1 || pack == 2) {
    *length = pack == 1 ? rowLength : rowLength * 3 / 4;
    *row = ImageStreamTake(p.input, *length);
    return *row ? kOk : kErrImageData;
  }
  const uint8_t* count = ImageStreamTake(p.input, rowLength < 251 ? 1 : 2);
  if (!count) return kErrImageData;
  const uint32_t packed = rowLength < 251 ? count[0] : GetBig16(count);
  const uint8_t* bytes = ImageStreamTake(p.input, packed);
  if (!bytes) return kErrImageData;
  Status status = HandleSetSize(p.work, packed);
  if (status != kOk) return status;
  std::memcpy(HandleData(p.work), bytes, packed);
  if ((status = ExpandBlock(p.work, map.pixelSize == 16 ? kCodecPackWords : kCodecPack, nullptr)) != kOk)
    return status;
  *row = HandleData(p.work);
  *length = uint32_t(HandleGetSize(p.work));
  return kOk;
}

Status Bits(Picture& p, uint32_t opcode) {
  MacPixelMap map{};
  ColourTable table{};
  Status status = ReadMapHeader(p, opcode, &map, &table);
  if (status != kOk) return status;
  const uint8_t* rects = ImageStreamTake(p.input, 18);  // source, destination, transfer mode
  if (!rects) return kErrImageData;
  const Rect source = MacRectGet(rects);
  if (opcode == 0x91 || opcode == 0x99 || opcode == 0x9B) {
    const PictOpcode region = {PictRule::RegionLength, 0, false};  // the mask region, not used
    if ((status = PictSkipData(p.input, region)) != kOk) return status;
  }
  const uint32_t rowLength = map.RowLength();
  const uint32_t pack = opcode == 0x90 || opcode == 0x91 || rowLength < 8 ? 1 : map.packType;
  const uint32_t size = map.pixelSize;
  if (pack > 4 || (pack == 2 && size != 32)) return kErrImageFormat;
  if (size != 1 && size != 2 && size != 4 && size != 8 && size != 16 && size != 32) return kErrImageFormat;
  if (source.left >= source.right || source.top >= source.bottom) return kErrImageData;
  if (!(source == p.bounds)) {
    p.built.Discard();
    p.bounds = source;
  }
  if ((status = MapFor(p, size, table)) != kOk) return status;

  const int32_t width = source.right - source.left, height = source.bottom - source.top;
  UniqueBlock<Colour> colours(static_cast<Colour*>(BlockNew(sizeof(Colour) * size_t(width))));
  UniqueBlock<uint8_t> indices(static_cast<uint8_t*>(BlockNew(size_t(width))));
  if (!colours || !indices) return kErrMemory;
  const uint32_t needs = RowNeeds(map, pack, uint32_t(width));
  const uint32_t planes = map.componentCount == 4 ? rowLength / 4 : 0;  // where red starts
  for (int32_t y = 0; y < height; ++y) {
    const uint8_t* row = nullptr;
    uint32_t length = 0;
    if ((status = ReadRow(p, map, pack, &row, &length)) != kOk) return status;
    if (length < needs) return kErrImageData;
    if (size < 32 || pack == 1) {
      status = MacRowToMap(&p.built, y, size, row, indices.get(), colours.get());
    } else {
      const uint32_t step = pack == 2 ? 3 : 1;
      const uint8_t* red = pack == 2 ? row : row + planes;
      const uint8_t* green = pack == 2 ? row + 1 : row + planes + rowLength / 4;
      const uint8_t* blue = pack == 2 ? row + 2 : row + planes + rowLength / 2;
      for (int32_t x = 0; x < width; ++x)
        colours.get()[x] = Colour{255, red[x * step], green[x * step], blue[x * step]};
      status = PixmapSetColourRow(p.built.image, nullptr, y, colours.get());
    }
    if (status != kOk) return status;
  }
  return kOk;
}

Status Walk(Picture& p) {
  for (;;) {
    uint32_t opcode = 0;
    Status status = ReadOpcode(p, &opcode);
    if (status != kOk) return status;
    if (opcode == kEndOfPicture) return kOk;
    if (opcode >= 0x12 && opcode <= 0x14) {
      status = PixelPattern(p);
    } else if (opcode == 0x90 || opcode == 0x91 || (opcode >= 0x98 && opcode <= 0x9B)) {
      status = Bits(p, opcode);
    } else {
      const PictOpcode rule = PictOpcodeOf(opcode);
      status = rule.unsupported ? kErrUnsupported : PictSkipData(p.input, rule);
    }
    if (status != kOk) return status;
  }
}

// The picture size, the frame, zero padding and the version opcode.
Status ReadStart(Picture& p) {
  ImageStream* input = p.input;
  if (!ImagePictureAt(HandleData(input->data), input->size, 0) && ImageStreamSkip(input, kFileHeaderSize) != kOk)
    return kErrImageData;
  const uint8_t* start = ImageStreamTake(input, 10);
  if (!start) return kErrImageData;
  p.frame = p.bounds = MacRectGet(start + 2);
  uint8_t byte = 0;
  do {
    if (ImageStreamReadByte(input, &byte) != kOk) return kErrImageData;
  } while (byte == 0);
  uint8_t version = 0;
  if (byte != 0x11 || ImageStreamReadByte(input, &version) != kOk) return kErrImageFormat;
  p.version2 = version == 2;
  if (version == 2 && (ImageStreamReadByte(input, &byte) != kOk || byte != 0xFF)) return kErrImageFormat;
  if (version != 1 && version != 2) return kErrImageFormat;
  if (p.frame.left >= p.frame.right || p.frame.top >= p.frame.bottom) return kErrImageFormat;
  return kOk;
}

// Without a bitmap the picture is its frame, white.
Status WhitePage(Picture& p) {
  const int64_t width = int64_t(p.bounds.right) - p.bounds.left, height = int64_t(p.bounds.bottom) - p.bounds.top;
  if (!ImageSizeFits(width, height, 4)) return kErrImageData;
  const Status status = p.built.Make(p.bounds, kPixel32, nullptr);
  if (status != kOk) return status;
  for (int32_t y = 0; y < height; ++y) std::memset(p.built.Row(y), 0xFF, size_t(width) * 4);
  if (p.info) {
    p.info->format = kImagePict;
    p.info->gamma = 1.7;
  }
  return kOk;
}

}  // namespace

Status PictRead(ImageStream* input, Pixmap** pixmap, Pixmap** mask, MaskDescriptor* maskDescriptor, ImageInfo* info) {
  ImageResetOutputs(pixmap, mask, maskDescriptor, info);
  Picture p{};
  p.input = input;
  p.info = info;
  UniqueHandle work(HandleNew(0));
  p.work = work.get();
  if (!p.work) return kErrMemory;
  Status status = ReadStart(p);
  if (status == kOk) status = Walk(p);
  if (status == kOk && !p.built.image) status = WhitePage(p);
  if (status == kOk && !(p.built.image->bounds == p.frame)) status = p.built.SetBounds(p.frame);
  if (status != kOk) {
    ImageInfoReset(info);
    return status;
  }
  p.built.HandOut(pixmap, nullptr);
  return kOk;
}
