#include "tools/image/image_tool.h"

#include <cerrno>
#include <cstring>

#include "images/image.h"
#include "tools/common/tool_files.h"

namespace {

struct FormatName {
  FourCC code;
  const char* name;
  const char* extensions[2];
};

constexpr FormatName kFormats[] = {
    {kImageGif, "GIF", {"gif", nullptr}},     {kImagePng, "PNG", {"png", nullptr}},
    {kImageJpeg, "JPEG", {"jpg", "jpeg"}},    {kImageBmp, "BMP", {"bmp", nullptr}},
    {kImageTarga, "Targa", {"tga", nullptr}}, {kImagePict, "PICT", {"pct", "pict"}},
    {kImagePattern, "pixel pattern", {"ppat", nullptr}},
};

const char* NameOf(FourCC format) {
  for (const FormatName& f : kFormats)
    if (f.code == format) return f.name;
  return "unknown";
}

const char* Explain(Status status) {
  switch (status) {
    case kErrImageFormat: return "not a picture in a format this tool reads, or a damaged one";
    case kErrImageData: return "the data ends early or gives a size out of range";
    case kErrUnsupported: return "the picture uses a feature this tool does not support";
    case kErrMemory: return "not enough memory";
    default: return "image error";
  }
}

int Fail(FILE* err, const std::string& subject, const char* problem, Status status = kOk) {
  if (status == kOk) {
    std::fprintf(err, "skyward-image: %s: %s\n", subject.c_str(), problem);
  } else {
    std::fprintf(err, "skyward-image: %s: %s (status %d)\n", subject.c_str(), problem, int(status));
  }
  return 1;
}

// A picture read from a file, with everything the reader says about it.
struct Picture {
  Pixmap* pixmap = nullptr;
  Pixmap* mask = nullptr;
  MaskDescriptor descriptor{};
  ImageInfo info{};
  ~Picture() {
    PixmapDispose(pixmap);
    PixmapDispose(mask);
  }
};

int Load(const std::string& path, Picture* picture, FILE* err) {
  UniqueHandle bytes;
  if (!ReadFile(path, &bytes)) return Fail(err, path, std::strerror(errno));
  const Status status = ImageRead(bytes.get(), &picture->pixmap, &picture->mask, &picture->descriptor, &picture->info);
  return status == kOk ? 0 : Fail(err, path, Explain(status), status);
}

void DescribeTransparency(const Picture& p, FILE* out) {
  const MaskDescriptor& d = p.descriptor;
  switch (d.mode) {
    case kTransferMask:
      std::fprintf(out, "transparency: alpha of every pixel\n");
      break;
    case kTransferSourceAlpha:
      std::fprintf(out, "transparency: the picture's own alpha channel\n");
      break;
    case kTransferKeyColour:
      if (p.pixmap->kind == 1) {
        std::fprintf(out, "transparency: colour index %u\n", unsigned(d.alphaOrIndex));
      } else {
        std::fprintf(out, "transparency: key colour #%02X%02X%02X\n", d.red, d.green, d.blue);
      }
      break;
    default:
      std::fprintf(out, "transparency: none\n");
  }
}

}  // namespace

FourCC ImageFormatOfName(const std::string& name) {
  const size_t dot = name.rfind('.');
  if (dot == std::string::npos) return 0;
  std::string extension = name.substr(dot + 1);
  for (char& c : extension) c = char(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
  for (const FormatName& f : kFormats)
    for (const char* e : f.extensions)
      if (e && extension == e) return f.code;
  return 0;
}

int ShowImageInfo(const std::string& path, FILE* out, FILE* err) {
  Picture p;
  if (Load(path, &p, err) != 0) return 1;
  const Pixmap* map = p.pixmap;
  std::fprintf(out, "format: %s\n", NameOf(p.info.format));
  std::fprintf(out, "size: %d x %d pixels\n", int(PixmapWidth(map)), int(PixmapHeight(map)));
  if (map->kind == 1) {
    std::fprintf(out, "depth: 8 bits per pixel, indexed, %u colours\n", unsigned(map->colourTable.count));
  } else {
    std::fprintf(out, "depth: %u bits per pixel, direct colour\n", unsigned(map->bitsPerPixel));
  }
  DescribeTransparency(p, out);
  if (p.info.gamma != 0.0) std::fprintf(out, "gamma: %.2f\n", p.info.gamma);
  return 0;
}

int ConvertImage(const std::string& input, const std::string& output, int quality, FILE* out, FILE* err) {
  const FourCC format = ImageFormatOfName(output);
  if (format == 0) return Fail(err, output, "the extension names no format this tool writes");
  Picture p;
  if (Load(input, &p, err) != 0) return 1;
  ImageInfo info = p.info;  // gamma, background and interlacing go along
  info.format = format;
  info.compression = quality < 0 ? 0 : uint8_t((100 - quality) * 255 / 100);
  MemoryHandle encoded = nullptr;
  const Status status = ImageWrite(p.pixmap, p.mask, &p.descriptor, &info, &encoded);
  if (status != kOk) return Fail(err, output, Explain(status), status);
  UniqueHandle bytes(encoded);
  if (!WriteFile(output, HandleData(encoded), HandleGetSize(encoded))) return Fail(err, output, std::strerror(errno));
  std::fprintf(out, "%s: %s, %d x %d pixels, %zu bytes\n", output.c_str(), NameOf(format), int(PixmapWidth(p.pixmap)),
               int(PixmapHeight(p.pixmap)), size_t(HandleGetSize(encoded)));
  return 0;
}
